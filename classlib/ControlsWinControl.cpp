// The windowed controls of the Controls unit: TWinControl, and the painted
// TGraphicControl / TCustomControl with their canvas.
#include "Controls.h"

#include "ControlsPrivate.h"
#include "ActnList.h"
#include "Forms.h"
#include "Menus.h"
#include "Scopes.h"
#include "WindowHooks.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>

using namespace controls_detail;

// ---------------------------------------------------------------------------
// TWinControl

// clang-format off
CLASSLIB_DEFINE_CLASS(TWinControl, TControl,
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 0),
    OrdProp<TWinControl>("TabOrder", TTypeKind::tkInteger, &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1,
                         false),
    OrdProp<TWinControl>("BorderWidth", TTypeKind::tkInteger, &TWinControl::BorderWidth,
                         &TWinControl::SetBorderWidth, 0),
    OrdProp<TWinControl>("Ctl3D", TTypeKind::tkBool, &TWinControl::Ctl3D, &TWinControl::SetCtl3D, 1),
    OrdProp<TWinControl>("ParentCtl3D", TTypeKind::tkBool, &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D,
                         1),
    OrdProp<TWinControl>("DoubleBuffered", TTypeKind::tkBool, &TWinControl::DoubleBuffered,
                         &TWinControl::SetDoubleBuffered, 0))
// clang-format on

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FBrush = new TBrush();
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    // Normally done in BeforeDestruction; this covers a plain delete. The
    // parent is left here, while this is still known to be windowed: from
    // ~TControl it would look among the windowless children and keep this.
    if (FParent) FParent->RemoveControl(this);
    if (FHandle) {
        HWND wnd = FHandle;
        FControlState.Include(csDestroyingHandle);
        DestroyWindow(wnd);
        if (FHandle == wnd) ControlsImpl::Unlink(this, wnd);
    }
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(c);
        c->Free();
    }
    delete FBrush;
    FBrush = nullptr;
}

void TWinControl::BeforeDestruction() {
    Destroying();
    if (FParent) RemoveFocus(true);
    if (FHandle) DestroyHandle();
    // Each child leaves the list before it is freed: afterwards nothing of it
    // may be read, and its own BeforeDestruction finds no parent to leave.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(c);
        ForgetChild(c);  // in case it did not leave
        c->Free();
    }
    TControl::BeforeDestruction();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    // Alignment held back while loading is done now, with every child in place.
    if (FControlState.Contains(csAlignmentNeeded)) Realign();
}

// --- The window ----------------------------------------------------------

HWND TWinControl::Handle() const {
    if (!FHandle) const_cast<TWinControl*>(this)->CreateHandle();
    return FHandle;
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value) return;
    if (FHandle) DestroyHandle();
    FParentWindow = Value;
    if (Value && FVisible) UpdateShowing();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams();
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FVisible) Params.Style |= WS_VISIBLE;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent) Params.WndParent = FParent->Handle();
    else if (FParentWindow) Params.WndParent = FParentWindow;
    else if (!IsTopLevel()) throw EClassLibError(NoParentText(this));
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcA;
    Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WindowClass.hInstance = ModuleInstance();
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, ControlClassName, &wc)) {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                                   ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                                   ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                                   ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        if (!GetClassInfoA(nullptr, ControlClassName, &wc))
            throw EClassLibError(String("Window class '") + ControlClassName + "' does not exist");
    }
    // Class and parent DCs would ignore a window region; global classes
    // would leak our procedure to other modules.
    wc.style &= ~(CS_PARENTDC | CS_OWNDC | CS_CLASSDC | CS_GLOBALCLASS);
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = nullptr;
    wc.lpszMenuName = nullptr;
    Params.WindowClass = wc;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (FHandle) return;  // made meanwhile by a parent that created its children
    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProcA;
    HINSTANCE inst = params.WindowClass.hInstance ? params.WindowClass.hInstance : ModuleInstance();
    WNDCLASSA existing{};
    bool registered = GetClassInfoA(inst, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != &ControlsImpl::WndProc) {
        if (registered) UnregisterClassA(params.WinClassName.c_str(), inst);
        WNDCLASSA wc = params.WindowClass;
        wc.lpfnWndProc = &ControlsImpl::WndProc;
        wc.hInstance = inst;
        wc.lpszClassName = params.WinClassName.c_str();
        if (!RegisterClassA(&wc)) throw EClassLibError("Cannot register the window class " + params.WinClassName);
    }
    params.WindowClass.hInstance = inst;
    TWinControl* savedCreation = CreationControl;
    TWinControl* savedCreating = CreatingControl;
    CreationControl = this;
    CreatingControl = this;
    FControlState.Include(csCreating);
    try {
        CreateWindowHandle(params);
    } catch (...) {
        CreationControl = savedCreation;
        CreatingControl = savedCreating;
        FControlState.Exclude(csCreating);
        throw;
    }
    CreationControl = savedCreation;
    CreatingControl = savedCreating;
    FControlState.Exclude(csCreating);
    if (!FHandle) throw EClassLibError("Error creating window of " + ClassName());
    HookInnerWindows(nullptr);
    UpdateBounds();
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
    if (FAutoSize) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    HMENU id = (Params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextChildID())) : nullptr;
    HWND wnd = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                               Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id,
                               Params.WindowClass.hInstance, Params.Param);
    if (wnd && !FHandle) ControlsImpl::Link(this, wnd);
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    if (FParent && !FParent->FHandle) {
        FParent->CreateHandle();  // makes our window too, as one of its children
        if (FHandle) return;
    }
    CreateWnd();
    // Keep the window's place among its siblings as the list says (the
    // system puts a new child window at the bottom).
    if (FParent) {
        auto& list = FParent->FWinControls;
        auto it = std::find(list.begin(), list.end(), this);
        HWND above = HWND_TOP;
        if (it != list.end())
            for (++it; it < list.end(); ++it)
                if ((*it)->FHandle) {
                    above = (*it)->FHandle;
                    break;
                }
        SetWindowPos(FHandle, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    for (size_t i = 0; i < FWinControls.size(); ++i) FWinControls[i]->CreateHandle();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    FControlState.Include(csDestroyingHandle);
    for (size_t i = 0; i < FWinControls.size(); ++i) FWinControls[i]->DestroyHandle();
    DestroyWnd();
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() {
    if (!FHandle) return;
    // The window's text is kept for the next window by WM_DESTROY, which
    // also covers windows destroyed from outside.
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    HWND wnd = FHandle;
    if (!wnd) return;
    FControlState.Include(csDestroyingHandle);
    DestroyWindow(wnd);
    if (FHandle == wnd) ControlsImpl::Unlink(this, wnd);
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
    if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
    bool wasFocused = Focused();
    DestroyHandle();
    UpdateShowing();
    if (FParent && FParent->FHandle && !FHandle) CreateHandle();
    if (wasFocused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::UpdateBounds() {
    if (!FHandle || IsIconic(FHandle)) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    HWND parent = GetParent(FHandle);
    if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
        if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::StoreBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    if (sized) {
        Realign();
        if (!FComponentState.Contains(csLoading)) Resize();
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int w = AWidth, h = AHeight;
    if (!ProposeBounds(ALeft, ATop, w, h)) return;
    if (FHandle && !IsIconic(FHandle)) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBounds();
    } else {
        StoreBounds(ALeft, ATop, w, h);
    }
    RequestAlign();
}

TRect TWinControl::ClientRect() const {
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    return TRect{0, 0, std::max<LONG>(0, FWidth - 2 * FBorderWidth), std::max<LONG>(0, FHeight - 2 * FBorderWidth)};
}

TPoint TWinControl::ClientOrigin() const {
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return p;
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
    WindowHandle = Handle();
    HDC dc = GetDC(WindowHandle);
    if (!dc) throw EClassLibError("Out of system resources");
    return dc;
}

void TWinControl::SetZOrder(bool TopMost) {
    if (FParent) {
        auto& list = FParent->FWinControls;
        auto it = std::find(list.begin(), list.end(), this);
        if (it != list.end()) {
            list.erase(it);
            if (TopMost) list.push_back(this);
            else list.insert(list.begin(), this);
        }
    }
    if (FHandle)
        SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// --- Children ----------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
    size_t i = static_cast<size_t>(Index);
    if (i < FControls.size()) return FControls[i];
    return FWinControls[i - FControls.size()];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this) return;
    auto* windowed = dynamic_cast<TWinControl*>(AControl);
    if (AControl == this || (windowed && windowed->ContainsControl(this)))
        throw EClassLibError("A control cannot have itself as its parent");
    if (AControl->FParent) AControl->FParent->RemoveControl(AControl);
    // A window whose parent changes is made again under the new parent.
    if (windowed && windowed->FHandle) windowed->DestroyHandle();
    if (windowed) {
        FWinControls.push_back(windowed);
        FTabList.push_back(windowed);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (windowed) {
        windowed->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
        if (FHandle) windowed->CreateHandle();
        windowed->UpdateShowing();
    } else {
        AControl->Invalidate();
    }
    AControl->UpdateAnchorRules();
    // Told once the control is on this parent, with its window when this one has its own.
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    if (AControl->FAlign != alNone) AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (!AControl || AControl->FParent != this) return;
    bool destroying = FComponentState.Contains(csDestroying);
    if (!destroying) Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    auto* windowed = dynamic_cast<TWinControl*>(AControl);
    if (windowed) {
        windowed->RemoveFocus(true);
        if (windowed->FHandle) windowed->DestroyHandle();
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), windowed), FWinControls.end());
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), windowed), FTabList.end());
    } else {
        AControl->InvalidateControl(AControl->FVisible, false);
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    if (CaptureControl == AControl) SetCaptureControl(nullptr);
    AControl->FParent = nullptr;
    if (windowed) windowed->FShowing = false;
    if (!destroying) {
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
        if (AControl->FAlign != alNone) Realign();
    }
}

bool TWinControl::HasChild(const TControl* Control) const {
    return std::find(FControls.begin(), FControls.end(), Control) != FControls.end() ||
           std::find(FWinControls.begin(), FWinControls.end(), Control) != FWinControls.end();
}

void TWinControl::ForgetChild(const TControl* Control) {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), Control), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Control), FTabList.end());
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->FParent)
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto hit = [&](TControl* c) {
        if (!c->FVisible && !c->FComponentState.Contains(csDesigning)) return false;
        if (!AllowDisabled && !c->Enabled()) return false;
        TRect r = c->BoundsRect();
        if (!PtInRect(&r, Pos)) return false;
        return c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.x - c->FLeft, Pos.y - c->FTop)) != 0;
    };
    if (AllowWinControls)
        for (size_t i = FWinControls.size(); i-- > 0;)
            if (hit(FWinControls[i])) return FWinControls[i];
    for (size_t i = FControls.size(); i-- > 0;)
        if (hit(FControls[i])) return FControls[i];
    return nullptr;
}

TControl* TWinControl::FindChildControl(const String& ControlName) const {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (_stricmp(c->Name().c_str(), ControlName.c_str()) == 0) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    std::vector<TControl*> list(FControls.begin(), FControls.end());
    list.insert(list.end(), FWinControls.begin(), FWinControls.end());
    TFreeWatch self(this);
    for (TControl* c : list) {
        // A handler may free or move its own control (or another): only the
        // pointer of a child that left is compared, never read through.
        if (self.Freed() || !HasChild(c)) continue;
        c->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage message{Msg, 0, 0, 0};
    Broadcast(message);
}

// --- Alignment -----------------------------------------------------------------

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (FComponentState.Contains(csDestroying)) return;
    if (FAlignLevel != 0 || FComponentState.Contains(csLoading)) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    ++FAlignLevel;
    try {
        TRect r = ClientRect();
        AdjustClientRect(r);
        AlignControls(AControl, r);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    --FAlignLevel;
    FControlState.Exclude(csAlignmentNeeded);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    std::vector<TControl*> all(FControls.begin(), FControls.end());
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : all)
            if (c->FAlign == align && (c->FVisible || c->FComponentState.Contains(csDesigning))) list.push_back(c);
        auto key = [align](TControl* c) {
            switch (align) {
                case alTop: return c->FTop;
                case alBottom: return -(c->FTop + c->FHeight);
                case alLeft: return c->FLeft;
                case alRight: return -(c->FLeft + c->FWidth);
                default: return 0;
            }
        };
        // The control that asked keeps the place it was given: it goes first among equals.
        std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
            int ka = key(a), kb = key(b);
            if (ka != kb) return ka < kb;
            return a == AControl && b != AControl;
        });
        for (TControl* c : list) {
            int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
            switch (align) {
                case alTop:
                    c->SetBounds(Rect.left, Rect.top, w, c->FHeight);
                    Rect.top += c->FHeight;
                    break;
                case alBottom:
                    c->SetBounds(Rect.left, Rect.bottom - c->FHeight, w, c->FHeight);
                    Rect.bottom -= c->FHeight;
                    break;
                case alLeft:
                    c->SetBounds(Rect.left, Rect.top, c->FWidth, h);
                    Rect.left += c->FWidth;
                    break;
                case alRight:
                    c->SetBounds(Rect.right - c->FWidth, Rect.top, c->FWidth, h);
                    Rect.right -= c->FWidth;
                    break;
                case alClient: c->SetBounds(Rect.left, Rect.top, w, h); break;
                default: break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
    ApplyAnchors();
}

void TWinControl::ApplyAnchors() {
    TRect client = ClientRect();
    if (client.right <= 0 && client.bottom <= 0) return;
    std::vector<TControl*> all(FControls.begin(), FControls.end());
    all.insert(all.end(), FWinControls.begin(), FWinControls.end());
    for (TControl* c : all) {
        if (c->FAlign != alNone) continue;
        if (!c->FAnchorsValid) {
            c->UpdateAnchorRules();
            continue;
        }
        bool right = c->FAnchors.Contains(akRight), bottom = c->FAnchors.Contains(akBottom);
        if (!right && !bottom) continue;
        int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
        if (right) {
            if (c->FAnchors.Contains(akLeft)) w = client.right - c->FAnchorRight - l;
            else l = client.right - c->FAnchorRight - w;
        }
        if (bottom) {
            if (c->FAnchors.Contains(akTop)) h = client.bottom - c->FAnchorBottom - t;
            else t = client.bottom - c->FAnchorBottom - h;
        }
        c->SetBounds(l, t, w, h);
    }
}

// --- Showing ---------------------------------------------------------------------

void TWinControl::UpdateShowing() {
    bool showing = FVisible && (FParent ? FParent->FShowing : (FParentWindow != nullptr || IsTopLevel()));
    if (showing && !FHandle) CreateHandle();
    if (showing != FShowing && (FHandle || !showing)) {
        FShowing = showing;
        try {
            Perform(CM_SHOWINGCHANGED, 0, 0);
        } catch (...) {
            FShowing = !showing;
            throw;
        }
    }
    for (size_t i = 0; i < FWinControls.size(); ++i) FWinControls[i]->UpdateShowing();
}

void TWinControl::ShowChildWindow() {
    // Child windows follow Visible (their parents' visibility does the rest).
    if (!FHandle || !(GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)) return;
    bool visible = (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != FVisible) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::CMShowingChanged(TMessage&) { ShowChildWindow(); }

void TWinControl::CMVisibleChanged(TMessage&) {
    if (!FVisible && FParent) RemoveFocus(false);
    ShowChildWindow();
    UpdateShowing();
}

void TWinControl::CMEnabledChanged(TMessage&) {
    if (!Enabled() && FParent) RemoveFocus(false);
    if (FHandle) EnableWindow(FHandle, Enabled() ? TRUE : FALSE);
}

// --- Focus ---------------------------------------------------------------------

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    TCustomForm* form = ::GetParentForm(this);
    for (const TControl* c = this; c; c = c->FParent) {
        if (!c->FVisible || !c->Enabled()) return false;
        if (c == form) return true;
    }
    return form == nullptr && (FParentWindow != nullptr || IsTopLevel() || FParent != nullptr);
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = ::GetParentForm(this); form && form != this) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus()) throw EClassLibError("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TWinControl::RemoveFocus(bool Removing) {
    if (TCustomForm* form = ::GetParentForm(this)) form->DefocusControl(this, Removing);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (Value < 0 || Value > static_cast<int>(list.size())) Value = static_cast<int>(list.size());
    list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), CurControl);
    int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c != CurControl && c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

// --- Appearance --------------------------------------------------------------

void TWinControl::SetBorderWidth(int Value) {
    if (Value < 0) Value = 0;
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Realign();
}

void TWinControl::SetCtl3D(bool Value) {
    FParentCtl3D = false;
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
    if (FParentCtl3D == Value) return;
    FParentCtl3D = Value;
    if (Value && FParent) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

// --- Painting -----------------------------------------------------------------

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::DispatchCustomPaint(TMessage& Message) {
    const TFlagScope<TControlState, TControlStateItem> custom(FControlState, csCustomPaint);
    TWinControl::Dispatch(Message);
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintWindow(HDC DC) {
    // A window of our own class has nothing of its own to paint.
    if (FDefWndProc == DefWindowProcA || !FDefWndProc) return;
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& Message) {
    const TPaintScope paint(FHandle, reinterpret_cast<HDC>(Message.WParam));
    HDC dc = paint.DC();
    bool opaqueChildren = false;
    for (TControl* c : FControls)
        if (c->FVisible && c->FControlStyle.Contains(csOpaque)) opaqueChildren = true;
    if (!opaqueChildren) {
        PaintWindow(dc);
    } else {
        const TSavedDC saved(dc);
        // Opaque windowless children cover their area; keep our paint off it.
        for (TControl* c : FControls)
            if (c->FVisible && c->FControlStyle.Contains(csOpaque))
                ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    size_t i = 0;
    if (First) {
        auto it = std::find(FControls.begin(), FControls.end(), First);
        if (it != FControls.end()) i = static_cast<size_t>(it - FControls.begin());
    }
    std::vector<TControl*> list(FControls.begin() + static_cast<std::ptrdiff_t>(i), FControls.end());
    for (TControl* c : list) {
        if (!HasChild(c)) continue;  // freed or moved by an earlier one's paint
        if (!c->FVisible &&
            !(c->FComponentState.Contains(csDesigning) && !c->FControlStyle.Contains(csNoDesignVisible)))
            continue;
        TRect r = c->BoundsRect();
        if (!RectVisible(DC, &r)) continue;
        const TSavedDC saved(DC);
        OffsetViewportOrgEx(DC, c->FLeft, c->FTop, nullptr);
        IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::WMPaint(TMessage& Message) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
        DefaultHandler(Message);
        return;
    }
    if (!FDoubleBuffered || Message.WParam != 0) {
        PaintHandler(Message);
        return;
    }
    const TPaintScope paint(FHandle, nullptr);
    HDC dc = paint.DC();
    TRect r = ClientRect();
    const TMemoryDC mem(dc);
    // Deleted once the memory DC has let go of it (the selection's scope ends first).
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, BOOL(WINAPI*)(HGDIOBJ)> bmp(
        CreateCompatibleBitmap(dc, std::max<LONG>(1, r.right), std::max<LONG>(1, r.bottom)), &DeleteObject);
    const TSelectedObject selected(mem, bmp.get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Handle()), reinterpret_cast<LPARAM>(mem.Handle()));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem.Handle()), 0);
    BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::WMPrintClient(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if ((Message.LParam & PRF_CHECKVISIBLE) && !FVisible) return;
    if (FDefWndProc && FDefWndProc != DefWindowProcA) {
        // A system control prints itself; the windowless children go on top.
        DefaultHandler(Message);
        PaintControls(dc, nullptr);
        return;
    }
    if (Message.LParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    Perform(WM_PAINT, Message.WParam, 0);
    Message.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    if (FControlStyle.Contains(csOpaque)) {
        Message.Result = 1;
        return;
    }
    if (FDefWndProc && FDefWndProc != DefWindowProcA) {
        DefaultHandler(Message);
        return;
    }
    TRect r = ClientRect();
    FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::WMNCPaint(TMessage& Message) {
    DefaultHandler(Message);
    if (FBorderWidth <= 0 || !FHandle) return;
    RECT wr, cr;
    GetWindowRect(FHandle, &wr);
    GetClientRect(FHandle, &cr);
    MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&cr), 2);
    OffsetRect(&cr, -wr.left, -wr.top);
    RECT outer = cr;
    InflateRect(&outer, FBorderWidth, FBorderWidth);
    const TWindowDC dc(FHandle);
    ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
    FillRect(dc, &outer, FBrush->Handle());
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
        TCursor cursor = Screen->Cursor();
        if (cursor == crDefault) {
            POINT p;
            GetCursorPos(&p);
            TControl* c = ControlAtPos(ScreenToClient(p), false);
            cursor = c && c->FCursor != crDefault ? c->FCursor : FCursor;
        }
        if (cursor != crDefault) {
            ::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    if (!FControlState.Contains(csDestroyingHandle)) UpdateBounds();
    DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message) {
    if (FPopupMenu && !FComponentState.Contains(csDesigning)) {
        int x = static_cast<short>(LOWORD(Message.LParam)), y = static_cast<short>(HIWORD(Message.LParam));
        if (x == -1 && y == -1) {
            TPoint p = ClientToScreen(TPoint{0, 0});
            x = p.x;
            y = p.y;
        }
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(x, y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

// --- Keyboard -------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { FireEvent(OnKeyDown, this, Key, Shift); }

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { FireEvent(OnKeyUp, this, Key, Shift); }

void TWinControl::KeyPress(char& Key) { FireEvent(OnKeyPress, this, Key); }

bool TWinControl::FormPreviewEats(TMessage& Message, bool (TWinControl::*Do)(TMessage&)) {
    TCustomForm* form = GetParentForm();
    if (!form || form == this || !form->KeyPreview) return false;
    // A preview that freed this control ate the key as well.
    const std::shared_ptr<const bool> live = Alive();
    return (form->*Do)(Message) || !*live;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    if (FormPreviewEats(Message, &TWinControl::DoKeyDown)) return true;
    WORD key = Message.CharCode();
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyDown(key, KeyDataToShiftState(Message.LParam));
    }
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    if (FormPreviewEats(Message, &TWinControl::DoKeyUp)) return true;
    WORD key = Message.CharCode();
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyUp(key, KeyDataToShiftState(Message.LParam));
    }
    Message.SetCharCode(key);
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    if (FormPreviewEats(Message, &TWinControl::DoKeyPress)) return true;
    char ch = static_cast<char>(Message.CharCode());
    if (!FControlStyle.Contains(csNoStdEvents)) {
        KeyPress(ch);
    }
    Message.SetCharCode(static_cast<unsigned char>(ch));
    return ch == 0;
}

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    if (FComponentState.Contains(csDesigning)) {
        Message.Result = 0;
        return;
    }
    // Menu shortcuts: the popup menus of the control and its parents, then
    // the form's menu bar.
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    for (TControl* c = this; c; c = c->FParent)
        if (c->FPopupMenu && c->FPopupMenu->IsShortCut(Message.CharCode(), shift)) return;
    if (TCustomForm* form = GetParentForm();
        form && form->Menu() && form->Menu()->IsShortCut(Message.CharCode(), shift))
        return;
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (Message.CharCode()) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
        if (TCustomForm* form = GetParentForm())
            if (form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if (!FComponentState.Contains(csDesigning) && (Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
        if (TCustomForm* form = GetParentForm())
            if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
    }
    Message.Result = 0;
}

void TWinControl::CMDialogKeyChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::DoEnter() { FireEvent(OnEnter, this); }

void TWinControl::DoExit() { FireEvent(OnExit, this); }

// --- Messages --------------------------------------------------------------------

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TControl* control = nullptr;
    if (CaptureControl && CaptureControl->FParent == this && GetCapture() == FHandle) {
        control = CaptureControl;
    } else if (!GetCapture() || GetCapture() == FHandle) {
        control = ControlAtPos(TPoint{Message.XPos(), Message.YPos()}, false);
    }
    if (!control || control->FParent != this) return false;
    LPARAM pos = MAKELPARAM(static_cast<WORD>(Message.XPos() - control->FLeft),
                            static_cast<WORD>(Message.YPos() - control->FTop));
    Message.Result = control->Perform(Message.Msg, Message.WParam, pos);
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS: {
            // OnEnter (or another's OnExit) may free this control.
            const std::shared_ptr<const bool> live = Alive();
            if (TCustomForm* form = GetParentForm(); form && !form->SetFocusedControl(this)) return;
            if (!*live) return;
            break;
        }
        case WM_KILLFOCUS:
            if (FControlState.Contains(csFocusing)) return;
            break;
        case WM_MOUSELEAVE:
            FTrackingMouse = false;
            if (Application.Assigned()) {
                const std::shared_ptr<const bool> live = Alive();
                POINT p;
                GetCursorPos(&p);
                TrackMouseControl(p);
                if (!*live) return;
            }
            break;
        default:
            if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK) {
                if (Message.Msg == WM_MOUSEMOVE && !FTrackingMouse && FHandle) {
                    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, FHandle, 0};
                    FTrackingMouse = TrackMouseEvent(&tme) != 0;
                }
                if (IsControlMouseMsg(Message)) return;
            }
            break;
    }
    TControl::WndProc(Message);
}

bool TWinControl::ReflectNotification(TMessage& Message) {
    HWND child = nullptr;
    switch (Message.Msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_CHARTOITEM:
        case WM_VKEYTOITEM: child = reinterpret_cast<HWND>(Message.LParam); break;
        case WM_NOTIFY:
            if (Message.LParam) child = reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom;
            break;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
            if (dis && dis->CtlType != ODT_MENU) child = dis->hwndItem;
            break;
        }
        case WM_COMPAREITEM:
            if (Message.LParam) child = reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem;
            break;
        case WM_DELETEITEM:
            if (Message.LParam) child = reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam)->hwndItem;
            break;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            if (!mis || mis->CtlType == ODT_MENU) return false;
            TWinControl* target = FHandle ? FindControl(GetDlgItem(FHandle, static_cast<int>(mis->CtlID))) : nullptr;
            // The list being made may ask before its window is known by id.
            if (!target && CreatingControl && CreatingControl->FParent == this) target = CreatingControl;
            if (!target) return false;
            Message.Result = target->Perform(CN_MEASUREITEM, Message.WParam, Message.LParam);
            return true;
        }
        case WM_PARENTNOTIFY:
            if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY)
                child = reinterpret_cast<HWND>(Message.LParam);
            break;
        default: return false;
    }
    if (!child || child == FHandle) return false;
    TWinControl* target = FindControl(child);
    if (!target) return ReflectColorsToForeignChild(child, Message);
    Message.Result = target->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

bool TWinControl::ReflectColorsToForeignChild(HWND Child, TMessage& Message) {
    if (Message.Msg < WM_CTLCOLORMSGBOX || Message.Msg > WM_CTLCOLORSTATIC) return false;
    // A window that is not ours may still be given its colours by whoever
    // subclassed it; an inner part of such a window (a combo box's edit)
    // asks through its own parent. Windows that know nothing of the
    // reflected message answer 0 and keep their own colours.
    const HWND owner = GetParent(Child);
    for (HWND h : {Child, owner != FHandle ? owner : nullptr}) {
        const LRESULT brush = h ? SendMessageA(h, CN_BASE + Message.Msg, Message.WParam, Message.LParam) : 0;
        if (brush) {
            Message.Result = brush;
            return true;
        }
    }
    return false;
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PARENTNOTIFY: WMParentNotify(Message); break;
        case WM_PAINT: WMPaint(Message); return;
        case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
        case WM_NCPAINT: WMNCPaint(Message); return;
        case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
        case WM_SETCURSOR: WMSetCursor(Message); return;
        case WM_PRINTCLIENT: WMPrintClient(Message); return;
        case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
        case WM_CONTEXTMENU: WMContextMenu(Message); return;
        case WM_DESTROY: WMDestroy(Message); return;
        case WM_SETFOCUS: DefaultHandler(Message); return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR: KeyMessage(Message); return;
        case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: CNKeyDown(Message); return;
        case CN_CHAR:
        case CN_SYSCHAR: CNChar(Message); return;
        case CM_CHILDKEY:
            if (FParent) FParent->WindowProc(Message);
            return;
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
        case CM_FOCUSCHANGED: CMDialogKeyChar(Message); return;
        case CM_ENTER: DoEnter(); return;
        case CM_EXIT: DoExit(); return;
        case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
        case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
        case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
        case CM_COLORCHANGED:
        case CM_FONTCHANGED: CMColorOrFontChanged(Message); return;
        case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
        case CM_BIDIMODECHANGED: NotifyControls(CM_PARENTBIDIMODECHANGED); return;
        case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); return;
        case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(); return;
        case CM_INVALIDATE:
            if (FHandle && Message.WParam == 0) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
            return;
        case CM_RECREATEWND: CMRecreateWnd(Message); return;
        case CM_SYSCOLORCHANGE:
        case CM_WININICHANGE:
        case CM_SYSFONTCHANGED: NotifyControls(Message.Msg); return;
    }
    if (ReflectNotification(Message)) return;
    TControl::Dispatch(Message);
}

void TWinControl::WMParentNotify(TMessage& Message) {
    // A window the system class makes inside ours (not a control of the
    // library) is hooked before anyone else sees it made.
    if (LOWORD(Message.WParam) != WM_CREATE || !FHandle) return;
    HWND child = reinterpret_cast<HWND>(Message.LParam);
    if (child && !FindControl(child) && GetParent(child) == FHandle) HookInnerWindows(child);
}

void TWinControl::WMNCCalcSize(TMessage& Message) {
    DefaultHandler(Message);
    if (FBorderWidth <= 0) return;
    RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void TWinControl::WMDestroy(TMessage& Message) {
    // The text outlives the window (RecreateWnd).
    if (FHandle) {
        int len = GetWindowTextLengthA(FHandle);
        String s(static_cast<size_t>(std::max(0, len)) + 1, '\0');
        s.resize(static_cast<size_t>(std::max(0, GetWindowTextA(FHandle, &s[0], len + 1))));
        FText = s;
    }
    DefaultHandler(Message);
}

void TWinControl::KeyMessage(TMessage& Message) {
    const std::shared_ptr<const bool> live = Alive();
    bool eaten = false;
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: eaten = DoKeyDown(Message); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: eaten = DoKeyUp(Message); break;
        default: eaten = DoKeyPress(Message); break;
    }
    if (!eaten && *live) DefaultHandler(Message);
}

void TWinControl::WMMouseWheel(TMessage& Message) {
    if (Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) == 0) DefaultHandler(Message);
    else Message.Result = 0;
}

void TWinControl::CMColorOrFontChanged(TMessage& Message) {
    if (Message.Msg == CM_COLORCHANGED) FBrush->SetColor(FColor);
    else if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    TControl::Dispatch(Message);
    NotifyControls(Message.Msg == CM_COLORCHANGED ? CM_PARENTCOLORCHANGED : CM_PARENTFONTCHANGED);
}

void TWinControl::CMParentCtl3DChanged() {
    if (FParentCtl3D && FParent) {
        SetCtl3D(FParent->Ctl3D());
        FParentCtl3D = true;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(FFont->Color()));
        SetBkColor(dc, ColorToRGB(FBrush->Color()));
        Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
        return;
    }
    Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg, Message.WParam,
                                     Message.LParam);
}

// --- Inner windows ---------------------------------------------------------------

namespace {
struct TInnerWindow {
    TWinControl* Owner = nullptr;
    // Shared so that a record found in the map keeps the hook alive while
    // the map lets go of it (the hook is released when the last copy goes).
    std::shared_ptr<TWindowProcSubclass> Hook;
};

// Never freed: windows still alive while the program's statics go keep
// calling through their hooks into it.
TWindowMap<TInnerWindow>& InnerWindows() {
    static auto* map = new TWindowMap<TInnerWindow>();
    return *map;
}

void InnerWindowMessage(HWND Inner, const std::weak_ptr<TWindowProcSubclass>& Hook, TMessage& Message) {
    TInnerWindow record;
    if (!InnerWindows().Find(Inner, record)) {
        // Let go while a message of the window was still being handled.
        if (const auto hook = Hook.lock()) hook->CallPrevious(Message);
        return;
    }
    try {
        ControlsImpl::InnerWndProc(record.Owner, Inner, Message);
    } catch (const std::exception& e) {
        Application->HandleException(record.Owner, e);
    }
    // The window goes: its own procedure back, if no one came after us.
    if (Message.Msg == WM_NCDESTROY) InnerWindows().Erase(Inner);
}
}  // namespace

void TWinControl::HookInnerWindows(HWND) {}

void TWinControl::HookInnerWindow(HWND Inner) {
    TInnerWindow record;
    if (!Inner || !IsWindow(Inner) || InnerWindows().Find(Inner, record)) return;
    record.Owner = this;
    record.Hook = std::make_shared<TWindowProcSubclass>();
    // In the map before the procedure changes: the next message may come at once.
    InnerWindows().Set(Inner, record);
    const std::weak_ptr<TWindowProcSubclass> hook = record.Hook;
    if (!record.Hook->Attach(Inner, [Inner, hook](TMessage& Message) { InnerWindowMessage(Inner, hook, Message); }))
        InnerWindows().Erase(Inner);
}

void TWinControl::InnerWndProc(HWND Inner, TMessage& Message) { InnerDefaultHandler(Inner, Message); }

void TWinControl::InnerDefaultHandler(HWND Inner, TMessage& Message) {
    TInnerWindow record;
    if (!InnerWindows().Find(Inner, record) || !record.Hook) {
        Message.Result = DefWindowProcA(Inner, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    record.Hook->CallPrevious(Message);
}

void ControlsImpl::ReleaseInnerWindows(TWinControl* Control) {
    // Inner windows normally die with their owner's window. The hook of one
    // that lives on is released: it leaves the window's procedure slot, or,
    // under a later subclass, passes every message straight on.
    // The hooks are released here, once the map's lock is given back.
    std::vector<std::pair<HWND, TInnerWindow>> released;
    InnerWindows().ForEach([&](HWND Wnd, TInnerWindow& record) {
        if (record.Owner == Control) released.emplace_back(Wnd, record);
    });
    for (const auto& entry : released) InnerWindows().Erase(entry.first);
}

TWinControl* FindInnerWindowOwner(HWND Handle) {
    TInnerWindow record;
    return Handle && InnerWindows().Find(Handle, record) ? record.Owner : nullptr;
}

// ---------------------------------------------------------------------------
// TGraphicControl, TCustomControl, TControlCanvas

CLASSLIB_DEFINE_CLASS(TGraphicControl, TControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    delete FCanvas;
    FCanvas = nullptr;
}

TCanvas* TGraphicControl::Canvas() const { return FCanvas; }

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        if (Message.WParam == 0) return;
        FCanvas->WithHandle(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
        return;
    }
    TControl::Dispatch(Message);
}

CLASSLIB_DEFINE_CLASS(TCustomControl, TWinControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
    delete FCanvas;
    FCanvas = nullptr;
}

TCanvas* TCustomControl::Canvas() const { return FCanvas; }

void TCustomControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) DispatchCustomPaint(Message);
    else TWinControl::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
    FCanvas->WithHandle(DC, [this] {
        FCanvas->UpdateTextFlags();
        Paint();
    });
}

namespace {
// Control canvases that hold a DC of their own, oldest first.
std::vector<TControlCanvas*>& CanvasList() {
    static std::vector<TControlCanvas*> list;
    return list;
}
constexpr size_t CanvasListCacheSize = 4;
}  // namespace

CLASSLIB_DEFINE_CLASS(TControlCanvas, TCanvas)

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::WithHandle(HDC DC, const std::function<void()>& Action) {
    Lock();
    FreeHandle();
    SetHandle(DC);
    try {
        Action();
    } catch (...) {
        SetHandle(nullptr);
        Unlock();
        throw;
    }
    SetHandle(nullptr);
    Unlock();
}

void TControlCanvas::SetControl(TControl* Value) {
    if (FControl == Value) return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::CreateHandle() {
    if (!FControl) return;
    if (!FDeviceContext) {
        auto& list = CanvasList();
        // Keep only a few DCs: the oldest unlocked canvas gives its back.
        if (list.size() >= CanvasListCacheSize)
            for (TControlCanvas* c : list)
                if (c != this && c->LockCount() == 0) {
                    c->FreeHandle();
                    break;
                }
        FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
        list.push_back(this);
    }
    SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle() {
    SetHandle(nullptr);
    if (FDeviceContext) {
        ReleaseDC(FWindowHandle, FDeviceContext);
        FDeviceContext = nullptr;
        FWindowHandle = nullptr;
        auto& list = CanvasList();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void FreeDeviceContexts() {
    auto list = CanvasList();
    for (TControlCanvas* c : list)
        if (c->LockCount() == 0) c->FreeHandle();
}
