// The Controls unit: the window <-> control link, mouse tracking and capture,
// and TControl itself (TWinControl and the rest are in ControlsWinControl.cpp).
#include "Controls.h"

#include "ControlsPrivate.h"

#include "ActnList.h"
#include "Forms.h"
#include "Menus.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// The link between windows and controls.

namespace controls_detail {

thread_local TWinControl* CreationControl = nullptr;
thread_local TWinControl* CreatingControl = nullptr;
TControl* CaptureControl = nullptr;

ATOM ControlAtom() {
    static const ATOM atom = GlobalAddAtomA("ClassLibControl");
    return atom;
}

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

WORD NextChildID() {
    // Our child windows get ids of their own (a parent finds the child of a
    // WM_MEASUREITEM by id); 0xFF00 and up are left to MDI children.
    static WORD next = 0x100;
    if (++next >= 0xF000) next = 0x101;
    return next;
}

String NoParentText(const TControl* Control) { return "Control '" + Control->Name() + "' has no parent window"; }

}  // namespace controls_detail

using namespace controls_detail;

namespace {
TControl* gMouseControl = nullptr;
TMouse gMouse;

// The control of each window the library made, kept in the process: every
// message needs it, and a window property is a round trip to the window
// server under Wine. The property is still set, for code outside the library.
TWindowMap<TWinControl*>& ControlMap() {
    static TWindowMap<TWinControl*> map;
    return map;
}
}  // namespace

void ControlsImpl::Link(TWinControl* Control, HWND Wnd) {
    Control->FHandle = Wnd;
    ControlMap().Set(Wnd, Control);
    SetPropA(Wnd, MAKEINTATOM(ControlAtom()), Control);
}

void ControlsImpl::Unlink(TWinControl* Control, HWND Wnd) {
    ControlMap().Erase(Wnd);
    RemovePropA(Wnd, MAKEINTATOM(ControlAtom()));
    if (Control->FHandle == Wnd) {
        Control->FHandle = nullptr;
        Control->FShowing = false;
        Control->FTrackingMouse = false;
        ReleaseInnerWindows(Control);
    }
}

LRESULT CALLBACK ControlsImpl::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* control = nullptr;
    ControlMap().Find(Wnd, control);
    if (!control) {
        control = CreationControl;
        if (!control) return DefWindowProcA(Wnd, Msg, WParam, LParam);
        CreationControl = nullptr;
        Link(control, Wnd);
    }
    TMessage message{Msg, WParam, LParam, 0};
    try {
        // A copy: the handler may replace WindowProc, or free the control.
        TWndMethod proc = control->WindowProc;
        proc(message);
    } catch (const std::exception& e) {
        Application->HandleException(control, e);
    } catch (...) {
        Application->HandleException(control, std::runtime_error("Unknown exception"));
    }
    if (Msg == WM_NCDESTROY) Unlink(control, Wnd);
    return message.Result;
}

TWinControl* FindControl(HWND Handle) {
    // Only live windows of this process are in the map: no other process's
    // window can be mistaken for one of ours.
    TWinControl* control = nullptr;
    if (Handle) ControlMap().Find(Handle, control);
    return control;
}

bool IsClassLibWindow(HWND Handle) { return FindControl(Handle) != nullptr; }

WNDPROC ClassLibWindowProc() { return &ControlsImpl::WndProc; }

TWinControl* FindVCLWindow(const TPoint& Pos) {
    for (HWND wnd = WindowFromPoint(Pos); wnd; wnd = GetParent(wnd))
        if (TWinControl* c = FindControl(wnd)) return c;
    return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
    TWinControl* window = FindVCLWindow(Pos);
    if (!window) return nullptr;
    TControl* child = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled);
    return child ? child : window;
}

TControl* GetCaptureControl() {
    HWND wnd = GetCapture();
    if (!wnd) return nullptr;
    TControl* result = FindControl(wnd);
    if (CaptureControl && result && CaptureControl->Parent() == result) return CaptureControl;
    return result;
}

void SetCaptureControl(TControl* Control) {
    CaptureControl = nullptr;
    if (!Control) {
        ReleaseCapture();
        return;
    }
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    if (!windowed) {
        if (!Control->Parent()) {
            ReleaseCapture();
            return;
        }
        windowed = Control->Parent();
    }
    // A window that already holds the mouse (a pressed system button) keeps
    // it undisturbed: releasing it would cancel its own press.
    HWND wnd = windowed->Handle();
    if (GetCapture() != wnd) SetCapture(wnd);
    if (windowed != Control) CaptureControl = Control;
}

TControl* MouseControl() { return gMouseControl; }

void TrackMouseControl(const TPoint& ScreenPos) {
    TControl* target = FindDragTarget(ScreenPos, true);
    if (target && target->ComponentState().Contains(csDesigning)) target = nullptr;
    // While a control holds the mouse, only it may become or stop being hot.
    if (TControl* capture = GetCaptureControl())
        if (target != capture) target = gMouseControl == capture ? nullptr : gMouseControl;
    if (target == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = target;
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (target && gMouseControl == target) target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(target));
}

TMouse* const Mouse = &gMouse;

TPoint TMouse::CursorPos() const {
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.x, Value.y); }

int TMouse::WheelScrollLines() const {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return static_cast<int>(lines);
}

TShiftState KeysToShiftState(WORD Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & 0x20000000) s.Include(ssAlt);
    return s;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TSizeConstraints, TPersistent,
    OrdProp<TSizeConstraints>("MaxHeight", TTypeKind::tkInteger, &TSizeConstraints::MaxHeight,
                              &TSizeConstraints::SetMaxHeight, 0),
    OrdProp<TSizeConstraints>("MaxWidth", TTypeKind::tkInteger, &TSizeConstraints::MaxWidth,
                              &TSizeConstraints::SetMaxWidth, 0),
    OrdProp<TSizeConstraints>("MinHeight", TTypeKind::tkInteger, &TSizeConstraints::MinHeight,
                              &TSizeConstraints::SetMinHeight, 0),
    OrdProp<TSizeConstraints>("MinWidth", TTypeKind::tkInteger, &TSizeConstraints::MinWidth,
                              &TSizeConstraints::SetMinWidth, 0))
// clang-format on

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TSizeConstraints*>(Source)) {
        FMaxHeight = src->FMaxHeight;
        FMaxWidth = src->FMaxWidth;
        FMinHeight = src->FMinHeight;
        FMinWidth = src->FMinWidth;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::SetMaxHeight(int Value) {
    if (Value == FMaxHeight) return;
    FMaxHeight = Value;
    if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
    Change();
}
void TSizeConstraints::SetMaxWidth(int Value) {
    if (Value == FMaxWidth) return;
    FMaxWidth = Value;
    if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
    Change();
}
void TSizeConstraints::SetMinHeight(int Value) {
    if (Value == FMinHeight) return;
    FMinHeight = Value;
    if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
    Change();
}
void TSizeConstraints::SetMinWidth(int Value) {
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
    Change();
}

void TSizeConstraints::Change() {
    if (FControl) FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TControl

// clang-format off
CLASSLIB_DEFINE_CLASS(TControl, TComponent,
    OrdProp<TControl>("Left", TTypeKind::tkInteger, &TControl::Left, &TControl::SetLeft, 0, false),
    OrdProp<TControl>("Top", TTypeKind::tkInteger, &TControl::Top, &TControl::SetTop, 0, false),
    OrdProp<TControl>("Width", TTypeKind::tkInteger, &TControl::Width, &TControl::SetWidth, 0, false),
    OrdProp<TControl>("Height", TTypeKind::tkInteger, &TControl::Height, &TControl::SetHeight, 0, false),
    OrdProp<TControl>("Align", TTypeKind::tkEnumeration, &TControl::Align, &TControl::SetAlign, alNone),
    OrdProp<TControl>("Anchors", TTypeKind::tkSet, &TControl::Anchors, &TControl::SetAnchors,
                      static_cast<std::int64_t>(TAnchors{akLeft, akTop}.ToBits())),
    OrdProp<TControl>("AutoSize", TTypeKind::tkBool, &TControl::AutoSize, &TControl::SetAutoSize, 0),
    OrdProp<TControl>("Visible", TTypeKind::tkBool, &TControl::Visible, &TControl::SetVisible, 1),
    OrdProp<TControl>("Enabled", TTypeKind::tkBool, &TControl::Enabled, &TControl::SetEnabled, 1),
    OrdProp<TControl>("Color", TTypeKind::tkInteger, &TControl::Color, &TControl::SetColor, 0, false),
    OrdProp<TControl>("ParentColor", TTypeKind::tkBool, &TControl::ParentColor, &TControl::SetParentColor, 1),
    ObjProp<TControl, TFont>("Font", &TControl::Font, &TControl::SetFont),
    OrdProp<TControl>("ParentFont", TTypeKind::tkBool, &TControl::ParentFont, &TControl::SetParentFont, 1),
    StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
    StrProp<TControl>("Hint", &TControl::Hint, &TControl::SetHint),
    OrdProp<TControl>("ShowHint", TTypeKind::tkBool, &TControl::ShowHint, &TControl::SetShowHint, 0),
    OrdProp<TControl>("ParentShowHint", TTypeKind::tkBool, &TControl::ParentShowHint,
                      &TControl::SetParentShowHint, 1),
    OrdProp<TControl>("Cursor", TTypeKind::tkInteger, &TControl::Cursor, &TControl::SetCursor, crDefault),
    OrdProp<TControl>("BiDiMode", TTypeKind::tkEnumeration, &TControl::BiDiMode, &TControl::SetBiDiMode,
                      bdLeftToRight),
    OrdProp<TControl>("ParentBiDiMode", TTypeKind::tkBool, &TControl::ParentBiDiMode,
                      &TControl::SetParentBiDiMode, 1),
    OrdProp<TControl>("DragMode", TTypeKind::tkEnumeration, &TControl::DragMode, &TControl::SetDragMode, dmManual),
    OrdProp<TControl>("DragKind", TTypeKind::tkEnumeration, &TControl::DragKind, &TControl::SetDragKind, dkDrag),
    ObjProp<TControl, TSizeConstraints>("Constraints", &TControl::Constraints),
    ObjProp<TControl, TBasicAction>("Action", &TControl::Action, &TControl::SetAction),
    ObjProp<TControl, TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu))
// clang-format on

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FFont = new TFont();
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    FConstraints = new TSizeConstraints(this);
}

TControl::~TControl() {
    *FLive = false;
    // Normally done in BeforeDestruction; this covers a plain delete.
    if (gMouseControl == this) gMouseControl = nullptr;
    if (CaptureControl == this) CaptureControl = nullptr;
    if (FParent) FParent->RemoveControl(this);
    delete FActionLink;
    FActionLink = nullptr;
    delete FConstraints;
    FConstraints = nullptr;
    delete FFont;
    FFont = nullptr;
}

void TControl::BeforeDestruction() {
    Destroying();
    if (Application.Assigned()) Application->ControlDestroying(this);
    if (gMouseControl == this) gMouseControl = nullptr;
    if (CaptureControl == this) {
        CaptureControl = nullptr;
        ReleaseCapture();
    }
    if (FParent) FParent->RemoveControl(this);
    // Last: frees the owned components that are not controls.
    TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw EClassLibError("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetName(const String& NewName) {
    String oldName = Name();
    bool followText = FControlStyle.Contains(csSetCaption) && !FComponentState.Contains(csLoading) &&
                      !oldName.empty() && Text() == oldName;
    // A control being loaded has the caption its description gives, or none.
    bool wasEmpty = oldName.empty() && FControlStyle.Contains(csSetCaption) && Text().empty() &&
                    !FComponentState.Contains(csLoading);
    TComponent::SetName(NewName);
    if (followText || wasEmpty) SetText(NewName);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
        if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    }
    if (TBasicAction* action = Action()) ActionChange(action, true);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// --- Geometry ------------------------------------------------------------

void TControl::ConstrainedResize(int& NewWidth, int& NewHeight) {
    if (FConstraints->MinWidth() > 0 && NewWidth < FConstraints->MinWidth()) NewWidth = FConstraints->MinWidth();
    if (FConstraints->MaxWidth() > 0 && NewWidth > FConstraints->MaxWidth()) NewWidth = FConstraints->MaxWidth();
    if (FConstraints->MinHeight() > 0 && NewHeight < FConstraints->MinHeight()) NewHeight = FConstraints->MinHeight();
    if (FConstraints->MaxHeight() > 0 && NewHeight > FConstraints->MaxHeight()) NewHeight = FConstraints->MaxHeight();
    if (NewWidth < 0) NewWidth = 0;
    if (NewHeight < 0) NewHeight = 0;
}

bool TControl::CanAutoSize(int&, int&) { return true; }
bool TControl::CanResize(int&, int&) { return true; }

bool TControl::ProposeBounds(int ALeft, int ATop, int& AWidth, int& AHeight) {
    if (!CanResize(AWidth, AHeight)) {
        AWidth = FWidth;
        AHeight = FHeight;
    }
    ConstrainedResize(AWidth, AHeight);
    return ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int w = AWidth, h = AHeight;
    if (!ProposeBounds(ALeft, ATop, w, h)) return;
    bool sized = w != FWidth || h != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = w;
    FHeight = h;
    InvalidateControl(FVisible, false);
    UpdateAnchorRules();
    if (sized) Resize();
    RequestAlign();
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::AdjustSize() {
    if (!FAutoSize) return;
    int w = FWidth, h = FHeight;
    if (CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

TRect TControl::ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(int Value) { SetBounds(FLeft, FTop, FWidth - ClientWidth() + Value, FHeight); }
void TControl::SetClientHeight(int Value) { SetBounds(FLeft, FTop, FWidth, FHeight - ClientHeight() + Value); }

TPoint TControl::ClientOrigin() const {
    if (!FParent) throw EClassLibError(NoParentText(this));
    TPoint p = FParent->ClientOrigin();
    p.x += FLeft;
    p.y += FTop;
    return p;
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.x - o.x, P.y - o.y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    TAlign old = FAlign;
    FAlign = Value;
    FAnchors = (Value == alNone || Value == alCustom) ? TAnchors{akLeft, akTop} : FAnchors;
    if (old != alNone && Value == alNone) {
        if (FParent) FParent->AlignControl(this);
    } else {
        RequestAlign();
    }
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    FAnchorsValid = false;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!FParent || FAlign != alNone) return;
    TRect r = FParent->ClientRect();
    if (r.right <= 0 && r.bottom <= 0) {
        FAnchorsValid = false;
        return;
    }
    FAnchorRight = r.right - (FLeft + FWidth);
    FAnchorBottom = r.bottom - (FTop + FHeight);
    FAnchorsValid = true;
}

void TControl::RequestAlign() {
    if (FParent && FAlign != alNone) FParent->AlignControl(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost) list.push_back(this);
    else list.insert(list.begin(), this);
    InvalidateControl(FVisible, true);
}

// --- Appearance ------------------------------------------------------------

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show() {
    if (FParent) FParent->Show();
    SetVisible(true);
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        FParentColor = false;
        Perform(CM_COLORCHANGED, 0, 0);
    } else {
        FParentColor = false;
    }
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent && !FComponentState.Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent && !FComponentState.Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

String TControl::Text() const {
    auto* self = const_cast<TControl*>(this);
    int len = static_cast<int>(self->Perform(WM_GETTEXTLENGTH, 0, 0));
    if (len <= 0) return String();
    String s(static_cast<size_t>(len) + 1, '\0');
    int got =
        static_cast<int>(self->Perform(WM_GETTEXT, static_cast<WPARAM>(len) + 1, reinterpret_cast<LPARAM>(&s[0])));
    s.resize(static_cast<size_t>(std::max(0, std::min(got, len))));
    return s;
}

void TControl::SetText(const String& Value) {
    if (Text() == Value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (FShowHint == Value) return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value && FParent) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
    FParentBiDiMode = false;
    if (FBiDiMode == Value) return;
    FBiDiMode = Value;
    Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
    if (FParentBiDiMode == Value) return;
    FParentBiDiMode = Value;
    if (Value && FParent) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

bool TControl::IsVisibleOnScreen() const {
    for (const TControl* c = this; c; c = c->FParent) {
        if (!c->FVisible) return false;
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && !w->FParent)
            return w->HandleAllocated() && IsWindowVisible(w->FHandle);
    }
    return false;
}

// --- Actions ---------------------------------------------------------------

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        delete FActionLink;
        FActionLink = nullptr;
        FControlStyle.Exclude(csActionClient);
        return;
    }
    FControlStyle.Include(csActionClient);
    if (!FActionLink) {
        FActionLink = new TBasicActionLink(this);
        FActionLink->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    }
    FActionLink->SetAction(Value);
    ActionChange(Value, FComponentState.Contains(csLoading));
}

void TControl::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().empty()) SetCaption(action->Caption());
    if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(action->Hint());
    if (!CheckDefaults || FVisible) SetVisible(action->Visible());
}

void TControl::InitiateAction() {
    if (FActionLink && FActionLink->Action())
        Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(FActionLink->Action()));
}

// --- Messages --------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

LRESULT TControl::Perform(TMessage& Message) {
    WindowProc(Message);
    return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK) {
        if (!FControlStyle.Contains(csDoubleClicks)) {
            switch (Message.Msg) {
                case WM_LBUTTONDBLCLK:
                case WM_RBUTTONDBLCLK:
                case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
            }
        }
        switch (Message.Msg) {
            case WM_MOUSEMOVE:
                if (!TrackMove(Message)) return;
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: FControlState.Include(csLButtonDown); break;
            case WM_LBUTTONUP: FControlState.Exclude(csLButtonDown); break;
        }
    }
    Dispatch(Message);
}

bool TControl::TrackMove(TMessage& Message) {
    const std::shared_ptr<const bool> live = FLive;
    Application->HintMouseMessage(this, Message);
    return *live;
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP: MouseMessage(Message); return;
        case WM_CANCELMODE: WMCancelMode(Message); return;
        case WM_SETTEXT: WMSetText(Message); return;
        case CM_VISIBLECHANGED: VisibleChanged(); return;
        case CM_ENABLEDCHANGED:
        case CM_COLORCHANGED:
        case CM_FONTCHANGED: Invalidate(); return;
        case CM_PARENTCOLORCHANGED:
        case CM_PARENTFONTCHANGED:
        case CM_PARENTSHOWHINTCHANGED:
        case CM_PARENTBIDIMODECHANGED: ParentPropertyChanged(Message.Msg); return;
        case CM_HITTEST: Message.Result = HTCLIENT; return;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE: MouseCrossing(Message); return;
        case CM_ACTIONUPDATE:
        case CM_ACTIONEXECUTE: ActionMessage(Message); return;
        case CM_HINTSHOW:
        case CM_TEXTCHANGED:
        case CM_CHANGED: return;
        default: DefaultHandler(Message);
    }
}

void TControl::MouseMessage(TMessage& Message) {
    const std::shared_ptr<const bool> live = FLive;
    // The system's own handling may run a handler (a button's click) that
    // frees the control.
    DefaultHandler(Message);
    if (!*live) return;
    const bool twice =
        Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    const TShiftState shift = twice ? TShiftState{ssDouble} : TShiftState{};
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            if (!FControlStyle.Contains(csNoStdEvents))
                MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: LeftButtonDown(Message, twice); return;
        case WM_LBUTTONUP: LeftButtonUp(Message); return;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: DoMouseDown(Message, mbRight, shift); return;
        case WM_RBUTTONUP: DoMouseUp(Message, mbRight); return;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: DoMouseDown(Message, mbMiddle, shift); return;
        case WM_MBUTTONUP: DoMouseUp(Message, mbMiddle); return;
        default: return;
    }
}

void TControl::LeftButtonDown(TMessage& Message, bool Twice) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    if (Twice) {
        const std::shared_ptr<const bool> live = FLive;
        if (FControlStyle.Contains(csClickEvents)) DblClick();
        if (*live) DoMouseDown(Message, mbLeft, TShiftState{ssDouble});
    } else {
        DoMouseDown(Message, mbLeft, TShiftState{});
    }
}

void TControl::LeftButtonUp(TMessage& Message) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TRect r = ClientRect();
        POINT p{Message.XPos(), Message.YPos()};
        const std::shared_ptr<const bool> live = FLive;
        if (PtInRect(&r, p)) Click();
        if (!*live) return;
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMCancelMode(TMessage& Message) {
    // A windowless child that holds the mouse through this window is told
    // first: afterwards the capture, and with it the child, is gone.
    TControl* held = GetCaptureControl();
    if (held && held != this && held->Parent() == this) held->Perform(WM_CANCELMODE, 0, 0);
    DefaultHandler(Message);
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
}

void TControl::WMSetText(TMessage& Message) {
    DefaultHandler(Message);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::VisibleChanged() {
    if (!FComponentState.Contains(csLoading)) InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::ParentPropertyChanged(UINT Msg) {
    if (!FParent) return;
    switch (Msg) {
        case CM_PARENTCOLORCHANGED:
            if (FParentColor) {
                SetColor(FParent->Color());
                FParentColor = true;
            }
            return;
        case CM_PARENTFONTCHANGED:
            if (FParentFont) {
                FFont->Assign(FParent->Font());
                FParentFont = true;
            }
            return;
        case CM_PARENTSHOWHINTCHANGED:
            if (FParentShowHint) {
                bool v = FParent->ShowHint();
                if (FShowHint != v) {
                    FShowHint = v;
                    Perform(CM_SHOWHINTCHANGED, 0, 0);
                }
                FParentShowHint = true;
            }
            return;
        case CM_PARENTBIDIMODECHANGED:
            if (FParentBiDiMode) {
                SetBiDiMode(FParent->BiDiMode());
                FParentBiDiMode = true;
            }
            return;
        default: return;
    }
}

void TControl::MouseCrossing(TMessage& Message) {
    const bool entering = Message.Msg == CM_MOUSEENTER;
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        const std::shared_ptr<const bool> live = FLive;
        if (entering) MouseEnter();
        else MouseLeave();
        // A handler that freed the control leaves nothing to tell.
        if (!*live) return;
    }
    // The parent hears of it too, with the control that was crossed.
    if (FParent) FParent->Perform(Message.Msg, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::ActionMessage(TMessage& Message) {
    if (!FActionLink || !FActionLink->Action()) return;
    if (Message.Msg == CM_ACTIONUPDATE) {
        FActionLink->Update();
        Message.Result = 1;
    } else {
        Message.Result = FActionLink->Execute(this) ? 1 : 0;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(Message.LParam);
            size_t size = Message.WParam;
            if (!buffer || size == 0) {
                Message.Result = 0;
                return;
            }
            size_t n = std::min(FText.size(), size - 1);
            FText.copy(buffer, n);
            buffer[n] = 0;
            Message.Result = static_cast<LRESULT>(n);
            return;
        }
        case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(FText.size()); return;
        case WM_SETTEXT:
            FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
            Message.Result = TRUE;
            return;
    }
}

// --- Painting --------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
    if (!FParent->FVisible && !FParent->FShowing) return;
    TRect r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, !(IsOpaque || FParent->FDoubleBuffered));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
    Invalidate();
    Update();
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
    if (!FParent) throw EClassLibError(NoParentText(this));
    WindowHandle = FParent->Handle();
    HDC dc = GetDCEx(WindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_CLIPCHILDREN);
    if (!dc) throw EClassLibError("Out of system resources");
    SetViewportOrgEx(dc, FLeft, FTop, nullptr);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    return dc;
}

// --- Mouse -----------------------------------------------------------------

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FireEvent(OnMouseDown, this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FireEvent(OnMouseUp, this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) { FireEvent(OnMouseMove, this, Shift, X, Y); }

void TControl::MouseEnter() { FireEvent(OnMouseEnter, this); }

void TControl::MouseLeave() { FireEvent(OnMouseLeave, this); }

void TControl::Click() {
    if (OnClick) FireEvent(OnClick, this);
    else if (FActionLink && FActionLink->Action() && !FComponentState.Contains(csDesigning)) FActionLink->Execute(this);
}

void TControl::DblClick() { FireEvent(OnDblClick, this); }

TCustomForm* TControl::GetParentForm() const { return ::GetParentForm(this); }

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
