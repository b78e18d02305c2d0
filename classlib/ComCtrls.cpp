#include "ComCtrls.h"

#include "Scopes.h"

#include <algorithm>

namespace {
// Read from a form description: its lines may come in any order.
bool Loading(const TComponent* Component) { return Component->ComponentState().Contains(csLoading); }
}  // namespace

// ---------------------------------------------------------------------------
// TTrackBar

// clang-format off
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
// clang-format on

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
    Params.Style |=
        TBS_FIXEDLENGTH | (FOrientation == trVertical ? TBS_VERT : TBS_HORZ) | kMarks[FTickMarks] | kStyles[FTickStyle];
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
    // A bar turned keeps its area: width and height change places. A
    // description's Width and Height are already the turned bar's.
    if (!Loading(this)) SetBounds(FLeft, FTop, FHeight, FWidth);
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

void TTrackBar::SetMin(int Value) {
    if (Loading(this)) FMin = Value;
    else SetRange(Value, Value > FMax ? Value : FMax);
}

void TTrackBar::SetMax(int Value) {
    if (Loading(this)) FMax = Value;
    else SetRange(Value < FMin ? Value : FMin, Value);
}

void TTrackBar::Loaded() {
    TWinControl::Loaded();
    const int position = FPosition;
    SetRange(FMin, FMax);
    FPosition = std::clamp(position, FMin, FMax);
    Send(TBM_SETPOS, TRUE, FPosition);
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
    if (Loading(this)) {
        FPosition = Value;
        return;
    }
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

void TTrackBar::Changed() { FireEvent(OnChange, this); }

void TTrackBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_HSCROLL:
        case CN_VSCROLL:
            FPosition = Position();
            Message.Result = 0;
            Changed();
            return;
        default: TWinControl::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// TProgressBar

// clang-format off
CLASSLIB_DEFINE_CLASS(TProgressBar, TWinControl,
    OrdProp<TProgressBar>("Min", TTypeKind::tkInteger, &TProgressBar::Min, &TProgressBar::SetMin, 0),
    OrdProp<TProgressBar>("Max", TTypeKind::tkInteger, &TProgressBar::Max, &TProgressBar::SetMax, 100),
    OrdProp<TProgressBar>("Position", TTypeKind::tkInteger, &TProgressBar::Position, &TProgressBar::SetPosition, 0),
    OrdProp<TProgressBar>("Step", TTypeKind::tkInteger, &TProgressBar::Step, &TProgressBar::SetStep, 10),
    OrdProp<TProgressBar>("Orientation", TTypeKind::tkEnumeration, &TProgressBar::Orientation,
                          &TProgressBar::SetOrientation, pbHorizontal),
    OrdProp<TProgressBar>("Smooth", TTypeKind::tkBool, &TProgressBar::Smooth, &TProgressBar::SetSmooth, 0))
// clang-format on

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

void TProgressBar::Loaded() {
    TWinControl::Loaded();
    const int position = FPosition;
    SetRange(FMin, FMax);
    SetPosition(position);
}

void TProgressBar::SetRange(int AMin, int AMax) {
    FMin = AMin;
    FMax = AMax;
    if (Loading(this)) return;
    Send(PBM_SETRANGE32, FMin, FMax);
    if (FMax > FMin) FPosition = std::clamp(Position(), FMin, FMax);
}

int TProgressBar::Position() const { return FHandle ? static_cast<int>(Send(PBM_GETPOS, 0, 0)) : FPosition; }

void TProgressBar::SetPosition(int Value) {
    if (Loading(this)) {
        FPosition = Value;
        return;
    }
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

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomUpDown, TWinControl,
    OrdProp<TCustomUpDown>("Min", TTypeKind::tkInteger, &TCustomUpDown::Min, &TCustomUpDown::SetMin, 0),
    OrdProp<TCustomUpDown>("Max", TTypeKind::tkInteger, &TCustomUpDown::Max, &TCustomUpDown::SetMax, 100),
    OrdProp<TCustomUpDown>("Position", TTypeKind::tkInteger, &TCustomUpDown::Position, &TCustomUpDown::SetPosition, 0),
    OrdProp<TCustomUpDown>("Increment", TTypeKind::tkInteger, &TCustomUpDown::Increment,
                           &TCustomUpDown::SetIncrement, 1),
    OrdProp<TCustomUpDown>("Orientation", TTypeKind::tkEnumeration, &TCustomUpDown::Orientation,
                           &TCustomUpDown::SetOrientation, udVertical),
    OrdProp<TCustomUpDown>("Wrap", TTypeKind::tkBool, &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap, 0))
// clang-format on

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

void TCustomUpDown::Loaded() {
    TWinControl::Loaded();
    SetPosition(FPosition);
}

void TCustomUpDown::SetPosition(int Value) {
    if (Loading(this)) {
        FPosition = Value;
        return;
    }
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
    // As the track bar's: the size turns with the control, but not while read.
    if (!Loading(this)) SetBounds(FLeft, FTop, FHeight, FWidth);
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
        default: TWinControl::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// TTabSheet

// clang-format off
CLASSLIB_DEFINE_CLASS(TTabSheet, TWinControl,
    OrdProp<TTabSheet>("TabVisible", TTypeKind::tkBool, &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, 1),
    OrdProp<TTabSheet>("ImageIndex", TTypeKind::tkInteger, &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, -1))
// clang-format on

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FAlign = alClient;
    FVisible = false;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    if (!FPageControl) return;
    FPageControl->UpdateTabs();
    // A page whose tab went cannot stay the one shown.
    if (!Value && FPageControl->FActivePage == this)
        FPageControl->SetActivePage(FPageControl->FindNextPage(this, true, true));
    else FPageControl->ShowActivePage();
}

int TTabSheet::TabIndex() const {
    if (!FTabVisible || !FPageControl) return -1;
    int k = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return k;
        if (p->FTabVisible) ++k;
    }
    return -1;
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    Value = std::clamp(Value, 0, static_cast<int>(pages.size()) - 1);
    pages.erase(pages.begin() + PageIndex());
    pages.insert(pages.begin() + Value, this);
    FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->UpdateTabs();
}

// ---------------------------------------------------------------------------
// TPageControl

// clang-format off
CLASSLIB_DEFINE_CLASS(TPageControl, TWinControl,
    OrdProp<TPageControl>("TabPosition", TTypeKind::tkEnumeration, &TPageControl::TabPosition,
                          &TPageControl::SetTabPosition, tpTop),
    OrdProp<TPageControl>("Style", TTypeKind::tkEnumeration, &TPageControl::Style, &TPageControl::SetStyle, tsTabs),
    OrdProp<TPageControl>("MultiLine", TTypeKind::tkBool, &TPageControl::MultiLine, &TPageControl::SetMultiLine, 0),
    OrdProp<TPageControl>("HotTrack", TTypeKind::tkBool, &TPageControl::HotTrack, &TPageControl::SetHotTrack, 0),
    OrdProp<TPageControl>("OwnerDraw", TTypeKind::tkBool, &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw, 0),
    OrdProp<TPageControl>("TabHeight", TTypeKind::tkInteger, &TPageControl::TabHeight, &TPageControl::SetTabHeight, 0),
    OrdProp<TPageControl>("TabWidth", TTypeKind::tkInteger, &TPageControl::TabWidth, &TPageControl::SetTabWidth, 0),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 289;
    FHeight = 193;
    FTabStop = true;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
}

TPageControl::~TPageControl() {
    if (FImages) FImages->UnRegisterChanges(this);
    // Pages still here leave without asking the window (it is gone).
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
    FPages.clear();
    delete FCanvas;
}

LRESULT TPageControl::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return FHandle ? SendMessageA(FHandle, Msg, WParam, LParam) : 0;
}

void TPageControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    static const DWORD kPositions[] = {0, TCS_BOTTOM, TCS_VERTICAL, TCS_VERTICAL | TCS_RIGHT};
    static const DWORD kStyles[] = {TCS_TABS, TCS_BUTTONS, TCS_BUTTONS | TCS_FLATBUTTONS};
    Params.Style |= WS_CLIPCHILDREN | kPositions[FTabPosition] | kStyles[FStyle];
    if (MultiLine()) Params.Style |= TCS_MULTILINE;
    if (FHotTrack) Params.Style |= TCS_HOTTRACK;
    if (FOwnerDraw) Params.Style |= TCS_OWNERDRAWFIXED;
    if (FTabWidth > 0) Params.Style |= TCS_FIXEDWIDTH;
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (FTabWidth > 0 || FTabHeight > 0) Send(TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
    if (FImages) Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    UpdateTabs();
    ShowActivePage();
}

TTabSheet* TPageControl::Pages(int Index) const { return Index >= 0 && Index < PageCount() ? FPages[Index] : nullptr; }

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    if (!FActivePage && Page->FTabVisible) SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
    const auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true, true) : FActivePage;
    if (next == Page) next = nullptr;
    FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
    Page->FPageControl = nullptr;
    if (FComponentState.Contains(csDestroying)) {
        if (FActivePage == Page) FActivePage = nullptr;
        return;
    }
    UpdateTabs();
    if (FActivePage == Page) {
        FActivePage = nullptr;
        SetActivePage(next);
    }
}

void TPageControl::UpdateTabs() {
    if (!FHandle) return;
    Send(TCM_DELETEALLITEMS, 0, 0);
    int k = 0;
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible) continue;
        String text = p->Caption();
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = text.data();
        item.iImage = p->FImageIndex;
        item.lParam = reinterpret_cast<LPARAM>(p);
        Send(TCM_INSERTITEMA, k++, reinterpret_cast<LPARAM>(&item));
    }
    const int sel = FActivePage ? FActivePage->TabIndex() : -1;
    Send(TCM_SETCURSEL, sel, 0);
    // The rows may have changed, and with them the display area.
    Realign();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = CurrentPage ? CurrentPage->PageIndex() : -1;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible) return FPages[i];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (page && page != FActivePage && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    Send(TCM_SETCURSEL, Page ? Page->TabIndex() : -1, 0);
    if (old != Page || (Page && !Page->Visible())) ShowActivePage();
}

void TPageControl::SetActivePageIndex(int Value) { SetActivePage(Pages(Value)); }

void TPageControl::ShowActivePage() {
    if (FActivePage) {
        TRect r = ClientRect();
        AdjustClientRect(r);
        FActivePage->SetBoundsRect(r);
        FActivePage->SetVisible(true);
        FActivePage->BringToFront();
    }
    for (TTabSheet* p : FPages)
        if (p != FActivePage) p->SetVisible(false);
}

void TPageControl::AdjustClientRect(TRect& Rect) {
    TWinControl::AdjustClientRect(Rect);
    if (!FHandle) return;
    RECT r = Rect;
    Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    Rect = r;
}

void TPageControl::UpdateActivePage() {
    const int sel = static_cast<int>(Send(TCM_GETCURSEL, 0, 0));
    SetActivePage(PageOfTab(sel));
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() { FireEvent(OnChange, this); }

int TPageControl::TabCount() const {
    return static_cast<int>(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* p) { return p->FTabVisible; }));
}

int TPageControl::RowCount() const { return static_cast<int>(Send(TCM_GETROWCOUNT, 0, 0)); }

TRect TPageControl::TabRect(int TabIndex) const {
    RECT r{};
    if (FHandle) Send(TCM_GETITEMRECT, TabIndex, reinterpret_cast<LPARAM>(&r));
    return r;
}

int TPageControl::IndexOfTabAt(int X, int Y) const {
    if (!FHandle) return -1;
    TCHITTESTINFO hit{{X, Y}, 0};
    return static_cast<int>(Send(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

TTabSheet* TPageControl::PageOfTab(int TabIndex) const {
    if (TabIndex < 0) return nullptr;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible && TabIndex-- == 0) return p;
    return nullptr;
}

TCanvas* TPageControl::Canvas() const {
    if (!FCanvas) {
        auto* self = const_cast<TPageControl*>(this);
        self->FCanvas = new TControlCanvas();
        self->FCanvas->SetControl(self);
    }
    return FCanvas;
}

void TPageControl::SetTabPosition(TTabPosition Value) { Restyle(FTabPosition, Value); }

void TPageControl::SetStyle(TTabStyle Value) { Restyle(FStyle, Value); }

void TPageControl::SetMultiLine(bool Value) { Restyle(FMultiLine, Value); }

void TPageControl::SetHotTrack(bool Value) { Restyle(FHotTrack, Value); }

void TPageControl::SetOwnerDraw(bool Value) { Restyle(FOwnerDraw, Value); }

void TPageControl::SetTabHeight(int Value) { Restyle(FTabHeight, Value); }

void TPageControl::SetTabWidth(int Value) { Restyle(FTabWidth, Value); }

template <class T>
void TPageControl::Restyle(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    // The tab control takes these only as window styles.
    if (FHandle) RecreateWnd();
}

void TPageControl::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) {
        FImages->RemoveFreeNotification(this);
        FImages->UnRegisterChanges(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->FreeNotification(this);
        // The tab control keeps a list handle: a list made anew is handed over.
        FImages->RegisterChanges(this, [this](TObject*) {
            Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
            Invalidate();
        });
    }
    Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    Realign();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    // The tab control must not keep drawing from a list that is gone.
    if (Operation == TOperation::opRemove && AComponent == FImages) SetImages(nullptr);
}

void TPageControl::DrawTab(TMessage& Message) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    Message.Result = 1;
    if (!OnDrawTab) return;
    TCanvas* canvas = Canvas();
    const TSavedDC saved(item->hDC);
    canvas->SetHandle(item->hDC);
    OnDrawTab(this, static_cast<int>(item->itemID), item->rcItem, (item->itemState & ODS_SELECTED) != 0);
    canvas->SetHandle(nullptr);
}

void TPageControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
            Message.Result = 0;
            if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
                Message.Result = CanChange() ? 0 : 1;
            } else if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
                UpdateActivePage();
                Change();
            }
            return;
        }
        case CN_DRAWITEM: DrawTab(Message); return;
        case WM_SIZE:
            TWinControl::Dispatch(Message);
            ShowActivePage();
            return;
        default: TWinControl::Dispatch(Message);
    }
}
