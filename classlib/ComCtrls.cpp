#include "ComCtrls.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTrackBar

CLASSLIB_DEFINE_CLASS(TTrackBar, TWinControl,
    OrdProp<TTrackBar>("Orientation", TTypeKind::tkEnumeration, &TTrackBar::Orientation, &TTrackBar::SetOrientation,
                       trHorizontal),
    OrdProp<TTrackBar>("TickMarks", TTypeKind::tkEnumeration, &TTrackBar::TickMarks, &TTrackBar::SetTickMarks,
                       tmBottomRight),
    OrdProp<TTrackBar>("TickStyle", TTypeKind::tkEnumeration, &TTrackBar::TickStyle, &TTrackBar::SetTickStyle, tsAuto),
    OrdProp<TTrackBar>("ThumbLength", TTypeKind::tkInteger, &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength, 20),
    OrdProp<TTrackBar>("Min", TTypeKind::tkInteger, &TTrackBar::Min, &TTrackBar::SetMin, 0),
    OrdProp<TTrackBar>("Max", TTypeKind::tkInteger, &TTrackBar::Max, &TTrackBar::SetMax, 10),
    OrdProp<TTrackBar>("Position", TTypeKind::tkInteger, &TTrackBar::Position, &TTrackBar::SetPosition, 0),
    OrdProp<TTrackBar>("Frequency", TTypeKind::tkInteger, &TTrackBar::Frequency, &TTrackBar::SetFrequency, 1),
    OrdProp<TTrackBar>("LineSize", TTypeKind::tkInteger, &TTrackBar::LineSize, &TTrackBar::SetLineSize, 1),
    OrdProp<TTrackBar>("PageSize", TTypeKind::tkInteger, &TTrackBar::PageSize, &TTrackBar::SetPageSize, 2),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 45;
    FTabStop = true;
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

LRESULT TTrackBar::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return FHandle ? SendMessageA(FHandle, Msg, WParam, LParam) : 0;
}

void TTrackBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TRACKBAR_CLASSA);
    // The tick side bits mean the same for both orientations (bottom = right, top = left).
    static const DWORD kMarks[] = {TBS_BOTTOM, TBS_TOP, TBS_BOTH};
    static const DWORD kStyles[] = {TBS_NOTICKS, TBS_AUTOTICKS, 0};
    Params.Style |= TBS_FIXEDLENGTH | (FOrientation == trVertical ? TBS_VERT : TBS_HORZ) | kMarks[FTickMarks] |
                    kStyles[FTickStyle];
}

void TTrackBar::CreateWnd() {
    TWinControl::CreateWnd();
    SetThumbLength(FThumbLength);
    Send(TBM_SETLINESIZE, 0, FLineSize);
    Send(TBM_SETPAGESIZE, 0, FPageSize);
    Send(TBM_SETRANGEMIN, FALSE, FMin);
    Send(TBM_SETRANGEMAX, FALSE, FMax);
    Send(TBM_SETPOS, FALSE, FPosition);
    ApplyTicks();
}

void TTrackBar::DestroyWnd() {
    FPosition = Position();
    FThumbLength = ThumbLength();
    TWinControl::DestroyWnd();
}

void TTrackBar::ApplyTicks() {
    if (!FHandle) return;
    if (FTickStyle == tsAuto) Send(TBM_SETTICFREQ, FFrequency, 0);
    if (FTickStyle != tsManual) return;
    Send(TBM_CLEARTICS, FALSE, 0);
    for (int t : FTicks) Send(TBM_SETTIC, 0, t);
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    // A bar turned keeps its area: width and height change places.
    SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
    if (FTickMarks == Value) return;
    FTickMarks = Value;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
    if (FTickStyle == Value) return;
    FTickStyle = Value;
    RecreateWnd();
}

int TTrackBar::ThumbLength() const { return FHandle ? static_cast<int>(Send(TBM_GETTHUMBLENGTH, 0, 0)) : FThumbLength; }

void TTrackBar::SetThumbLength(int Value) {
    FThumbLength = Value;
    if (!FHandle) return;
    Send(TBM_SETTHUMBLENGTH, Value, 0);
    // Wine lays the thumb and channel out again only when it paints itself or
    // is sized; whoever paints the bar instead reads the new geometry at once.
    RECT r{};
    GetClientRect(FHandle, &r);
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
}

void TTrackBar::SetRange(int AMin, int AMax) {
    if (AMax < AMin) AMax = AMin;
    FMin = AMin;
    FMax = AMax;
    FPosition = std::clamp(Position(), FMin, FMax);
    if (!FHandle) return;
    Send(TBM_SETRANGEMIN, FALSE, FMin);
    Send(TBM_SETRANGEMAX, TRUE, FMax);
    ApplyTicks();
}

int TTrackBar::Position() const { return FHandle ? static_cast<int>(Send(TBM_GETPOS, 0, 0)) : FPosition; }

void TTrackBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == Position()) return;
    FPosition = Value;
    Send(TBM_SETPOS, TRUE, Value);
    Changed();
}

void TTrackBar::SetFrequency(int Value) {
    if (Value < 1) Value = 1;
    FFrequency = Value;
    ApplyTicks();
}

void TTrackBar::SetLineSize(int Value) {
    FLineSize = Value;
    Send(TBM_SETLINESIZE, 0, Value);
}

void TTrackBar::SetPageSize(int Value) {
    FPageSize = Value;
    Send(TBM_SETPAGESIZE, 0, Value);
}

void TTrackBar::SetTick(int Value) {
    FTicks.push_back(Value);
    if (FTickStyle == tsManual && FHandle) {
        Send(TBM_SETTIC, 0, Value);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TTrackBar::ClearTicks() {
    FTicks.clear();
    if (FTickStyle == tsManual) Send(TBM_CLEARTICS, TRUE, 0);
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

void TTrackBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_HSCROLL:
        case CN_VSCROLL:
            FPosition = Position();
            Message.Result = 0;
            Changed();
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// TProgressBar

CLASSLIB_DEFINE_CLASS(TProgressBar, TWinControl,
    OrdProp<TProgressBar>("Min", TTypeKind::tkInteger, &TProgressBar::Min, &TProgressBar::SetMin, 0),
    OrdProp<TProgressBar>("Max", TTypeKind::tkInteger, &TProgressBar::Max, &TProgressBar::SetMax, 100),
    OrdProp<TProgressBar>("Position", TTypeKind::tkInteger, &TProgressBar::Position, &TProgressBar::SetPosition, 0),
    OrdProp<TProgressBar>("Step", TTypeKind::tkInteger, &TProgressBar::Step, &TProgressBar::SetStep, 10),
    OrdProp<TProgressBar>("Orientation", TTypeKind::tkEnumeration, &TProgressBar::Orientation,
                          &TProgressBar::SetOrientation, pbHorizontal),
    OrdProp<TProgressBar>("Smooth", TTypeKind::tkBool, &TProgressBar::Smooth, &TProgressBar::SetSmooth, 0))

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 16;
}

LRESULT TProgressBar::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return FHandle ? SendMessageA(FHandle, Msg, WParam, LParam) : 0;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, PROGRESS_CLASSA);
    if (FSmooth) Params.Style |= PBS_SMOOTH;
    if (FOrientation == pbVertical) Params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    Send(PBM_SETRANGE32, FMin, FMax);
    Send(PBM_SETSTEP, FStep, 0);
    Send(PBM_SETPOS, FPosition, 0);
}

void TProgressBar::DestroyWnd() {
    FPosition = Position();
    TWinControl::DestroyWnd();
}

void TProgressBar::SetRange(int AMin, int AMax) {
    FMin = AMin;
    FMax = AMax;
    Send(PBM_SETRANGE32, FMin, FMax);
    if (FMax > FMin) FPosition = std::clamp(Position(), FMin, FMax);
}

int TProgressBar::Position() const { return FHandle ? static_cast<int>(Send(PBM_GETPOS, 0, 0)) : FPosition; }

void TProgressBar::SetPosition(int Value) {
    if (FMax > FMin) Value = std::clamp(Value, FMin, FMax);
    FPosition = Value;
    Send(PBM_SETPOS, Value, 0);
}

void TProgressBar::SetStep(int Value) {
    FStep = Value;
    Send(PBM_SETSTEP, Value, 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    RecreateWnd();
}

void TProgressBar::SetSmooth(bool Value) {
    if (FSmooth == Value) return;
    FSmooth = Value;
    RecreateWnd();
}

void TProgressBar::StepIt() {
    if (FHandle) Send(PBM_STEPIT, 0, 0);
    else SetPosition(FPosition + FStep > FMax ? FMin + (FPosition + FStep - FMax) : FPosition + FStep);
}

void TProgressBar::StepBy(int Delta) {
    if (FHandle) Send(PBM_DELTAPOS, Delta, 0);
    else SetPosition(FPosition + Delta);
}

// ---------------------------------------------------------------------------
// TCustomUpDown

CLASSLIB_DEFINE_CLASS(TCustomUpDown, TWinControl,
    OrdProp<TCustomUpDown>("Min", TTypeKind::tkInteger, &TCustomUpDown::Min, &TCustomUpDown::SetMin, 0),
    OrdProp<TCustomUpDown>("Max", TTypeKind::tkInteger, &TCustomUpDown::Max, &TCustomUpDown::SetMax, 100),
    OrdProp<TCustomUpDown>("Position", TTypeKind::tkInteger, &TCustomUpDown::Position, &TCustomUpDown::SetPosition, 0),
    OrdProp<TCustomUpDown>("Increment", TTypeKind::tkInteger, &TCustomUpDown::Increment,
                           &TCustomUpDown::SetIncrement, 1),
    OrdProp<TCustomUpDown>("Orientation", TTypeKind::tkEnumeration, &TCustomUpDown::Orientation,
                           &TCustomUpDown::SetOrientation, udVertical),
    OrdProp<TCustomUpDown>("Wrap", TTypeKind::tkBool, &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap, 0))

CLASSLIB_DEFINE_CLASS(TUpDown, TCustomUpDown)

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 17;
    FHeight = 25;
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
}

LRESULT TCustomUpDown::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return FHandle ? SendMessageA(FHandle, Msg, WParam, LParam) : 0;
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSA);
    Params.Style |= UDS_ARROWKEYS;
    if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
    if (FWrap) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyRange();
    Send(UDM_SETPOS32, 0, FPosition);
    SetIncrement(FIncrement);
}

void TCustomUpDown::DestroyWnd() {
    FPosition = Position();
    TWinControl::DestroyWnd();
}

void TCustomUpDown::ApplyRange() { Send(UDM_SETRANGE32, FMin, FMax); }

void TCustomUpDown::SetMin(int Value) {
    FMin = Value;
    ApplyRange();
}

void TCustomUpDown::SetMax(int Value) {
    FMax = Value;
    ApplyRange();
}

int TCustomUpDown::Position() const {
    // Without a buddy window the "failed" flag is always set: the value itself is good.
    return FHandle ? static_cast<int>(Send(UDM_GETPOS32, 0, 0)) : FPosition;
}

void TCustomUpDown::SetPosition(int Value) {
    FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    if (FHandle) {
        Send(UDM_SETPOS32, 0, FPosition);
        Invalidate();
    }
}

void TCustomUpDown::SetIncrement(int Value) {
    FIncrement = Value;
    UDACCEL accel{0, static_cast<UINT>(Value)};
    Send(UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TCustomUpDown::SetWrap(bool Value) {
    if (FWrap == Value) return;
    FWrap = Value;
    RecreateWnd();
}

void TCustomUpDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
            Message.Result = 0;
            if (hdr->code != UDN_DELTAPOS) return;
            bool allow = true;
            if (OnChanging) OnChanging(this, allow);
            Message.Result = allow ? 0 : 1;
            return;
        }
        case CN_HSCROLL:
        case CN_VSCROLL: {
            Message.Result = 0;
            if (LOWORD(Message.WParam) != SB_THUMBPOSITION) return;
            const int pos = Position();
            const int old = FPosition;
            FPosition = pos;
            if (pos != old && OnClick) OnClick(this, pos > old ? btNext : btPrev);
            return;
        }
        default:
            TWinControl::Dispatch(Message);
    }
}
