#include "Forms.h"

#include "Scopes.h"
#include "Menus.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

TGlobalInstance<TApplication> Application;
TGlobalInstance<TScreen> Screen;
THintWindowClass HintWindowClass;

namespace {
const char* const CannotFocusText = "Cannot focus a disabled or invisible window";

String ShortHint(const String& Hint) {
    size_t bar = Hint.find('|');
    return bar == String::npos ? Hint : Hint.substr(0, bar);
}
}  // namespace

TCustomForm* GetParentForm(const TControl* Control, bool TopForm) {
    if (!Control) return nullptr;
    const TControl* c = Control;
    if (TopForm) {
        while (c->Parent()) c = c->Parent();
        return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
    }
    for (; c; c = c->Parent())
        if (auto* f = dynamic_cast<const TCustomForm*>(c)) return const_cast<TCustomForm*>(f);
    return nullptr;
}

bool IsAccel(WORD VK, const String& Str) {
    for (size_t i = 0; i + 1 < Str.size(); ++i) {
        if (Str[i] != '&') continue;
        if (Str[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(Str[i + 1])) == std::toupper(static_cast<int>(VK & 0xFF));
    }
    return false;
}

// ---------------------------------------------------------------------------
// TCustomForm

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomForm, TWinControl,
    OrdProp<TCustomForm>("BorderStyle", TTypeKind::tkEnumeration, &TCustomForm::BorderStyle,
                         &TCustomForm::SetBorderStyle, bsSizeable),
    OrdProp<TCustomForm>("BorderIcons", TTypeKind::tkSet, &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                         static_cast<std::int64_t>(TBorderIcons{biSystemMenu, biMinimize, biMaximize}.ToBits())),
    OrdProp<TCustomForm>("WindowState", TTypeKind::tkEnumeration, &TCustomForm::WindowState,
                         &TCustomForm::SetWindowState, wsNormal),
    OrdProp<TCustomForm>("FormStyle", TTypeKind::tkEnumeration, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                         fsNormal),
    OrdProp<TCustomForm>("Position", TTypeKind::tkEnumeration, &TCustomForm::Position, &TCustomForm::SetPosition,
                         poDesigned),
    OrdField<TCustomForm, bool>("KeyPreview", TTypeKind::tkBool, &TCustomForm::KeyPreview, 0),
    OrdProp<TControl>("ClientWidth", TTypeKind::tkInteger, &TControl::ClientWidth, &TControl::SetClientWidth,
                         0, false),
    OrdProp<TControl>("ClientHeight", TTypeKind::tkInteger, &TControl::ClientHeight,
                         &TControl::SetClientHeight, 0, false),
    ObjProp<TCustomForm, TIcon>("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon),
    ObjProp<TCustomForm, TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu),
    ObjProp<TCustomForm, TWinControl>("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl))
// clang-format on

CLASSLIB_DEFINE_CLASS(TForm, TCustomForm)

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FFormState.Include(fsCreating);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    FWidth = 320;
    FHeight = 240;
    FIcon = new TIcon();
    FIcon->OnChange = [this](TObject* Sender) { IconChanged(Sender); };
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (Screen.Assigned()) Screen->RemoveForm(this);
    delete FCanvas;
    FCanvas = nullptr;
    delete FIcon;
    FIcon = nullptr;
}

void TCustomForm::AfterConstruction() {
    TWinControl::AfterConstruction();
    FFormState.Exclude(fsCreating);
    DoCreate();
}

void TCustomForm::BeforeDestruction() {
    // Not csDestroying: an owner that goes marks its components first.
    if (!FDestroyRaised) {
        FDestroyRaised = true;
        try {
            DoDestroy();
        } catch (const std::exception& e) {
            Application->HandleException(this, e);
        }
    }
    if (Application.Assigned() && Application->FMainForm == this) Application->FMainForm = nullptr;
    if (FMenu) {
        MergeMenuIntoFrame(false);
        FMenu->RemoveFreeNotification(this);
        if (FHandle && GetMenu(FHandle) == FMenu->Handle()) ::SetMenu(FHandle, nullptr);
        FMenu->SetWindowHandle(nullptr);
        FMenu = nullptr;
    }
    if (Screen.Assigned()) Screen->RemoveForm(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

TCanvas* TCustomForm::Canvas() const { return FCanvas; }

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FMenu) FMenu = nullptr;
    if (AComponent == FActiveControl) FActiveControl = nullptr;
}

// --- Window -------------------------------------------------------------------

void TCustomForm::FrameStyles(DWORD& Style, DWORD& ExStyle) const {
    Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ExStyle = 0;
    TFormBorderStyle bs = FBorderStyle;
    if (FFormStyle == fsMDIChild && (bs == bsNone || bs == bsDialog)) bs = bsSizeable;
    switch (bs) {
        case bsNone: Style |= WS_POPUP; break;
        case bsSingle: Style |= WS_CAPTION; break;
        case bsSizeable: Style |= WS_CAPTION | WS_THICKFRAME; break;
        case bsDialog:
            Style |= WS_POPUP | WS_CAPTION;
            ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
        case bsToolWindow:
            Style |= WS_CAPTION;
            ExStyle |= WS_EX_TOOLWINDOW;
            break;
        case bsSizeToolWin:
            Style |= WS_CAPTION | WS_THICKFRAME;
            ExStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (bs != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu)) Style |= WS_SYSMENU;
        bool boxes = bs != bsDialog && bs != bsToolWindow && bs != bsSizeToolWin;
        if (boxes && FBorderIcons.Contains(biMinimize)) Style |= WS_MINIMIZEBOX;
        if (boxes && FBorderIcons.Contains(biMaximize)) Style |= WS_MAXIMIZEBOX;
        if (FBorderIcons.Contains(biHelp) && (bs == bsDialog || !(Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
            ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop) ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == fsMDIChild) {
        Style = (Style & ~WS_POPUP) | WS_CHILD;
        ExStyle |= WS_EX_MDICHILD;
    }
}

TCustomForm* TCustomForm::MDIFrame() const {
    if (Application.Assigned()) {
        TCustomForm* main = Application->MainForm();
        if (main && main->FFormStyle == fsMDIForm) return main;
    }
    if (Screen.Assigned())
        for (TCustomForm* f : Screen->FForms)
            if (f != this && f->FFormStyle == fsMDIForm) return f;
    return nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FParent || FParentWindow) return;
    FrameStyles(Params.Style, Params.ExStyle);
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FFormStyle == fsMDIChild) Params.Style |= WS_VISIBLE;
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) Params.Width = Params.Height = CW_USEDEFAULT;
    if ((Params.Style & WS_POPUP) && Params.X == CW_USEDEFAULT) Params.X = Params.Y = 0;
    Params.WndParent = nullptr;
    if (FFormStyle != fsMDIChild && Application.Assigned()) {
        // Secondary forms stay above the main form and go with it.
        TCustomForm* main = Application->MainForm();
        if (main && main != this && main->HandleAllocated() && FFormStyle != fsStayOnTop)
            Params.WndParent = main->FHandle;
    }
    Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
    if (FFormStyle != fsMDIChild || FParent || FParentWindow) {
        TWinControl::CreateWindowHandle(Params);
        return;
    }
    TCustomForm* frame = MDIFrame();
    if (frame) frame->HandleNeeded();
    if (!frame || !frame->FClientHandle) throw EClassLibError("Cannot create form. No MDI forms are currently active");
    FMDIFrameClient = frame->FClientHandle;
    FFormState.Include(fsCreatedMDIChild);
    HWND wnd = CreateWindowExA(Params.ExStyle | WS_EX_MDICHILD, Params.WinClassName.c_str(), Params.Caption.c_str(),
                               Params.Style, Params.X, Params.Y, Params.Width, Params.Height, FMDIFrameClient, nullptr,
                               Params.WindowClass.hInstance, Params.Param);
    if (!wnd) {
        FFormState.Exclude(fsCreatedMDIChild);
        FMDIFrameClient = nullptr;
    }
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (FFormStyle == fsMDIForm && !FParent && !FClientHandle) {
        CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
        RECT r;
        GetClientRect(FHandle, &r);
        FClientHandle =
            CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL, 0, 0,
                            r.right, r.bottom, FHandle, nullptr, GetModuleHandleA(nullptr), &ccs);
        if (!FClientHandle) throw EClassLibError("Cannot create the MDI client window");
        Realign();
    }
    MenuToWindow();
    if (!FIcon->Empty()) {
        SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
        SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon->Handle()));
    }
}

void TCustomForm::DestroyWindowHandle() {
    if (FHandle && FMenu && GetMenu(FHandle) == FMenu->Handle()) ::SetMenu(FHandle, nullptr);
    if (FFormState.Contains(fsCreatedMDIChild) && FHandle) {
        HWND wnd = FHandle;
        MergeMenuIntoFrame(false);
        FControlState.Include(csDestroyingHandle);
        if (FMDIFrameClient && IsWindow(FMDIFrameClient))
            SendMessageA(FMDIFrameClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(wnd), 0);
        if (FHandle == wnd && IsWindow(wnd)) DestroyWindow(wnd);
        FControlState.Exclude(csDestroyingHandle);
        FFormState.Exclude(fsCreatedMDIChild);
        FMDIFrameClient = nullptr;
        return;
    }
    TWinControl::DestroyWindowHandle();
    FClientHandle = nullptr;
}

void TCustomForm::DefaultHandler(TMessage& Message) {
    if (FHandle) {
        if (FFormStyle == fsMDIForm && !FParent) {
            Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (FFormState.Contains(fsCreatedMDIChild)) {
            Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    TWinControl::DefaultHandler(Message);
}

TRect TCustomForm::ClientRect() const {
    if (FHandle || FParent || FParentWindow) return TWinControl::ClientRect();
    DWORD style, ex;
    FrameStyles(style, ex);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FMenu != nullptr, ex);
    return TRect{0, 0, std::max<LONG>(0, FWidth - (r.right - r.left)), std::max<LONG>(0, FHeight - (r.bottom - r.top))};
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    // The MDI client takes what the aligned controls leave.
    if (FClientHandle)
        SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, std::max<LONG>(0, Rect.right - Rect.left),
                     std::max<LONG>(0, Rect.bottom - Rect.top), SWP_NOACTIVATE);
}

void TCustomForm::MenuToWindow() {
    if (!FHandle || FParent || FParentWindow || FFormStyle == fsMDIChild) return;
    HMENU menu = nullptr;
    if (FMenu) {
        FMenu->SetWindowHandle(FHandle);
        menu = FMenu->Handle();
    }
    if (GetMenu(FHandle) != menu) ::SetMenu(FHandle, menu);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (FMenu == Value) return;
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        if (FHandle && GetMenu(FHandle) == FMenu->Handle()) ::SetMenu(FHandle, nullptr);
        FMenu->SetWindowHandle(nullptr);
    }
    if (FMenu) MergeMenuIntoFrame(false);
    FMenu = Value;
    if (Value) Value->FreeNotification(this);
    if (FFormStyle == fsMDIChild && FHandle && MDIFrame() && MDIFrame()->ActiveMDIChild() == this)
        MergeMenuIntoFrame(true);
    if (FFormStyle == fsMDIForm && Value && ActiveMDIChild()) Value->Merge(ActiveMDIChild()->Menu());
    MenuToWindow();
    Perform(CM_MENUCHANGED, 0, 0);
}

void TCustomForm::IconChanged(TObject*) {
    if (FHandle && !FParent) {
        HICON icon = FIcon->Empty() ? nullptr : FIcon->Handle();
        SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    Perform(CM_ICONCHANGED, 0, 0);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    bool recreate = FHandle != nullptr;
    if (recreate) DestroyHandle();
    FFormStyle = Value;
    if (Value == fsMDIChild) {
        // MDI children show as they are made.
        if (!FVisible) SetVisible(true);
        else UpdateShowing();
    } else if (recreate && FVisible) {
        UpdateShowing();
    }
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle && !FParent && IsWindowVisible(FHandle)) {
        if (IsIconic(FHandle)) return wsMinimized;
        if (IsZoomed(FHandle)) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (FHandle && !FParent && IsWindowVisible(FHandle)) {
        if (FFormState.Contains(fsCreatedMDIChild) && Value == wsMaximized) {
            SendMessageA(FMDIFrameClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(FHandle), 0);
        } else if (Value == wsNormal) {
            // A minimized window that was maximized is restored maximized
            // first: restore once more.
            for (int i = 0; i < 2 && (IsIconic(FHandle) || IsZoomed(FHandle)); ++i) ShowWindow(FHandle, SW_RESTORE);
        } else {
            ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : SW_MAXIMIZE);
        }
    }
}

// --- Painting ---------------------------------------------------------------------

void TCustomForm::PaintWindow(HDC DC) {
    FCanvas->WithHandle(DC, [this] { Paint(); });
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

// --- Showing ------------------------------------------------------------------------

void TCustomForm::Show() {
    SetVisible(true);
    // Visible already, but the window went (destroyed with its owner): make it again.
    if (!FShowing) UpdateShowing();
    if (FHandle && FFormState.Contains(fsCreatedMDIChild))
        SendMessageA(FMDIFrameClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    else BringToFront();
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::PlaceOnScreen() {
    TRect area = Screen->WorkAreaRect();
    TCustomForm* center = nullptr;
    switch (FPosition) {
        case poScreenCenter:
        case poDesktopCenter: break;
        case poMainFormCenter: center = Application.Assigned() ? Application->MainForm() : nullptr; break;
        case poOwnerFormCenter:
            center = dynamic_cast<TCustomForm*>(Owner());
            if (!center && Application.Assigned()) center = Application->MainForm();
            break;
        default: return;
    }
    if (center && center != this && center->HandleAllocated() && !center->FParent) {
        RECT r;
        GetWindowRect(center->FHandle, &r);
        area = r;
    }
    SetBounds(area.left + (RectWidth(area) - FWidth) / 2, area.top + (RectHeight(area) - FHeight) / 2, FWidth, FHeight);
}

void TCustomForm::ShowingChanged() {
    if (FParent || FParentWindow) {
        TMessage m{CM_SHOWINGCHANGED, 0, 0, 0};
        TWinControl::Dispatch(m);
        return;
    }
    if (!FHandle) return;
    if (FShowing) {
        FFormState.Include(fsShowing);
        try {
            DoShow();
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        if (!FFormState.Contains(fsCreatedMDIChild)) PlaceOnScreen();
        static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(FHandle, commands[FWindowState]);
        FFormState.Exclude(fsShowing);
        FFormState.Include(fsVisible);
    } else {
        if (Screen.Assigned() && Screen->FActiveForm == this && FActive) SetActive(false);
        ShowWindow(FHandle, SW_HIDE);
        FFormState.Exclude(fsVisible);
        DoHide();
    }
}

namespace {
struct TaskWindows {
    HWND Except;
    std::vector<HWND> Windows;
};

BOOL CALLBACK DisableTaskWindow(HWND Wnd, LPARAM Data) {
    auto* d = reinterpret_cast<TaskWindows*>(Data);
    if (Wnd != d->Except && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
        EnableWindow(Wnd, FALSE);
        d->Windows.push_back(Wnd);
    }
    return TRUE;
}
}  // namespace

int TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EClassLibError("Cannot make a visible window modal");
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    FFormState.Include(fsModal);
    HWND activeWindow = GetActiveWindow();
    HandleNeeded();
    // Every other visible window of the program waits while the form runs.
    TaskWindows disabler{FHandle, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableTaskWindow, reinterpret_cast<LPARAM>(&disabler));
    auto restore = [&] {
        for (HWND wnd : disabler.Windows)
            if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
        disabler.Windows.clear();
    };
    try {
        Show();
        FModalResult = mrNone;
        do {
            Application->HandleMessage();
            if (Application->Terminated()) FModalResult = mrCancel;
            else if (FModalResult != mrNone) CloseModal();
        } while (FModalResult == mrNone);
    } catch (...) {
        restore();
        FFormState.Exclude(fsModal);
        throw;
    }
    restore();
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    Hide();
    FFormState.Exclude(fsModal);
    return FModalResult;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
        case caNone: FModalResult = mrNone; break;
        case caFree: Release(); break;
        default: break;
    }
}

bool TCustomForm::CloseQuery() {
    if (FFormStyle == fsMDIForm)
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (FFormStyle == fsMDIChild) action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
    DoClose(action);
    if (action == caNone) return;
    if (Application.Assigned() && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case caHide: Hide(); break;
        case caMinimize: SetWindowState(wsMinimized); break;
        case caFree: Release(); break;
        default: break;
    }
}

void TCustomForm::Release() {
    if (FHandle) PostMessageA(FHandle, CM_RELEASE, 0, 0);
    else Free();
}

// --- Focus ----------------------------------------------------------------------------

bool TCustomForm::CanFocus() const {
    if (FParent) return TWinControl::CanFocus();
    return FVisible && Enabled();
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && (Control == this || ::GetParentForm(Control) != this ||
                    (!FComponentState.Contains(csLoading) && !Control->CanFocus())))
        throw EClassLibError(CannotFocusText);
    FActiveControl = Control;
    if (!FComponentState.Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    SetActiveControl(Control);
    if (Control && FHandle && IsWindowVisible(FHandle)) {
        HWND wnd = Control->Handle();
        if (GetFocus() != wnd) ::SetFocus(wnd);
    }
}

void TCustomForm::SetWindowFocus() {
    if (FFormStyle == fsMDIForm && !FActiveControl && ActiveMDIChild()) return;
    HWND wnd = FHandle;
    if (FActiveControl && FActiveControl->CanFocus()) wnd = FActiveControl->Handle();
    if (wnd && GetFocus() != wnd) ::SetFocus(wnd);
}

void TCustomForm::SetFocus() {
    if (FParent) {
        TWinControl::SetFocus();
        return;
    }
    if (!FActive) {
        if (!(FVisible && Enabled())) throw EClassLibError(CannotFocusText);
        SetWindowFocus();
    }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (FComponentState.Contains(csDestroying)) return true;
    if (Control != this) FActiveControl = Control;
    if (Screen.Assigned()) {
        Screen->SetActiveControl(Control);
        Screen->SetActiveForm(this);
    }
    if (FFocusedControl != Control) {
        FFocusedControl = Control;
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    // Leave the controls that do not contain the new one...
    while (FEnteredControl && FEnteredControl != this && !FEnteredControl->ContainsControl(Control)) {
        TWinControl* left = FEnteredControl;
        FEnteredControl = left->Parent() == this ? nullptr : left->Parent();
        left->Perform(CM_EXIT, 0, 0);
        if (FFocusedControl != Control) return true;  // a handler moved the focus meanwhile
    }
    if (FEnteredControl == this) FEnteredControl = nullptr;
    // ...and enter those down to it.
    while (Control != this && FEnteredControl != Control) {
        TWinControl* next = Control;
        while (next->Parent() && next->Parent() != FEnteredControl && next->Parent() != this) next = next->Parent();
        if (next->Parent() != FEnteredControl && next->Parent() != this) break;
        FEnteredControl = next;
        next->Perform(CM_ENTER, 0, 0);
        if (FFocusedControl != Control) return true;
    }
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (!Control) return;
    if (Removing && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent() == this ? nullptr : Control->Parent();
    if (Removing && Control->ContainsControl(FEnteredControl))
        FEnteredControl = Control->Parent() == this ? nullptr : Control->Parent();
    if (Screen.Assigned() && Control->ContainsControl(Screen->FActiveControl)) Screen->SetActiveControl(nullptr);
    if (Control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
        if (FActive && !FComponentState.Contains(csDestroying) && FHandle) SetWindowFocus();
    }
}

void TCustomForm::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        if (!FActiveControl && !FComponentState.Contains(csDesigning) && FFormStyle != fsMDIForm)
            FActiveControl = FindNextControl(nullptr, true, true, false);
        SetWindowFocus();
        if (Screen.Assigned()) Screen->SetActiveForm(this);
        Perform(CM_ACTIVATE, 0, 0);
    } else {
        Perform(CM_DEACTIVATE, 0, 0);
    }
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

// --- MDI --------------------------------------------------------------------------------

int TCustomForm::MDIChildCount() const {
    int n = 0;
    if (FClientHandle)
        for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (dynamic_cast<TCustomForm*>(FindControl(w))) ++n;
    return n;
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
    int n = 0;
    if (FClientHandle)
        for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (auto* f = dynamic_cast<TCustomForm*>(FindControl(w))) {
                if (n == Index) return f;
                ++n;
            }
    throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    if (FFormStyle != fsMDIForm || !FClientHandle) return nullptr;
    auto wnd = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(FindControl(wnd));
}

void TCustomForm::Cascade() {
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDICASCADE, 0, 0);
}
void TCustomForm::Tile() {
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}
void TCustomForm::ArrangeIcons() {
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}
void TCustomForm::Next() {
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDINEXT, 0, 0);
}
void TCustomForm::Previous() {
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDINEXT, 0, 1);
}

// --- Messages ------------------------------------------------------------------------------

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PAINT:
            if (FClientHandle) break;
            DispatchCustomPaint(Message);
            return;
        case WM_ACTIVATE: WMActivate(Message); return;
        case WM_MDIACTIVATE: WMMDIActivate(Message); return;
        case WM_CLOSE: Close(); return;
        case WM_DESTROY:
            // The window would take the menu bar with it; the menu is not ours.
            if (FMenu && FHandle && GetMenu(FHandle) == FMenu->Handle()) ::SetMenu(FHandle, nullptr);
            break;
        case WM_SIZE: WMSize(Message); return;
        case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); return;
        case WM_COMMAND:
            if (WMMenuCommand(Message)) return;
            break;
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            if (MenuItemMessage(Message)) return;
            break;
        case WM_INITMENUPOPUP: DispatchMenuPopup(reinterpret_cast<HMENU>(Message.WParam)); break;
        case WM_MENUCHAR:
            if (DispatchMenuChar(Message.WParam, Message.LParam, Message.Result)) return;
            break;
        case CM_MENUCHANGED: MenuToWindow(); return;
        case WM_SYSCOLORCHANGE: NotifyControls(CM_SYSCOLORCHANGE); break;
        case WM_SETTINGCHANGE: NotifyControls(CM_WININICHANGE); break;
        case CM_SHOWINGCHANGED: ShowingChanged(); return;
        case CM_ACTIVATE: Activate(); return;
        case CM_DEACTIVATE: Deactivate(); return;
        case CM_RELEASE: Free(); return;
        case CM_DIALOGKEY:
            if (CMDialogKey(Message)) return;
            break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomForm::WMActivate(TMessage& Message) {
    bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    if (FFormStyle == fsMDIForm) {
        // The frame's default gives the focus on to the active child.
        DefaultHandler(Message);
    } else if (active && FActive) {
        // The default would focus the form itself; the active control gets it back.
        SetWindowFocus();
        return;
    }
    if (!FParent) SetActive(active);
}

void TCustomForm::WMMDIActivate(TMessage& Message) {
    DefaultHandler(Message);
    if (reinterpret_cast<HWND>(Message.LParam) == FHandle) {
        MergeMenuIntoFrame(true);
        SetActive(true);
    } else if (reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        // The child activated next merges its own menu in place of ours.
        if (!Message.LParam) MergeMenuIntoFrame(false);
        SetActive(false);
    }
}

void TCustomForm::MergeMenuIntoFrame(bool Merge) {
    if (FFormStyle != fsMDIChild) return;
    TCustomForm* frame = MDIFrame();
    if (!frame || !frame->FMenu) return;
    if (Merge) frame->FMenu->Merge(FMenu);
    else if (FMenu) frame->FMenu->Unmerge(FMenu);
}

void TCustomForm::WMSize(TMessage& Message) {
    if (FClientHandle) {
        // The frame's default would stretch the MDI client over the aligned
        // controls; aligning places it instead.
        UpdateBounds();
        Realign();
        Message.Result = 0;
    } else {
        TWinControl::Dispatch(Message);
    }
    if (!FParent && FHandle && IsWindowVisible(FHandle)) {
        if (Message.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
        else if (Message.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
        else if (Message.WParam == SIZE_RESTORED) FWindowState = wsNormal;
    }
}

void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
    DefaultHandler(Message);
    auto* mmi = reinterpret_cast<MINMAXINFO*>(Message.LParam);
    if (FConstraints->MinWidth() > 0) mmi->ptMinTrackSize.x = FConstraints->MinWidth();
    if (FConstraints->MinHeight() > 0) mmi->ptMinTrackSize.y = FConstraints->MinHeight();
    if (FConstraints->MaxWidth() > 0) mmi->ptMaxTrackSize.x = FConstraints->MaxWidth();
    if (FConstraints->MaxHeight() > 0) mmi->ptMaxTrackSize.y = FConstraints->MaxHeight();
}

bool TCustomForm::WMMenuCommand(TMessage& Message) {
    if (Message.LParam != 0 || HIWORD(Message.WParam) > 1 || !DispatchMenuCommand(LOWORD(Message.WParam))) return false;
    Message.Result = 0;
    return true;
}

bool TCustomForm::MenuItemMessage(TMessage& Message) {
    // Only owner-drawn menu items are taken (the dispatchers check the
    // control type); those of child controls go on to TWinControl.
    const bool taken = Message.Msg == WM_MEASUREITEM
                           ? DispatchMenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))
                           : DispatchMenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
    if (taken) Message.Result = TRUE;
    return taken;
}

bool TCustomForm::CMDialogKey(TMessage& Message) {
    if (GetKeyState(VK_MENU) < 0) return false;
    switch (Message.WParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) < 0) return false;
            SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
            Message.Result = 1;
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                Message.Result = 1;
            }
            return true;
        default: return false;
    }
}

// ---------------------------------------------------------------------------
// THintWindow

CLASSLIB_DEFINE_CLASS(THintWindow, TCustomControl)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FControlStyle = TControlStyle{csOpaque};
    SetColor(clInfoBk);
    FFont->Assign(Screen->HintFont());
    FParentFont = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*) {
    TRect r{0, 0, MaxWidth, 0};
    {
        const TScreenDC dc;
        const TSelectedObject font(dc, FFont->Handle());
        DrawTextA(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
    r.right += 8;
    r.bottom += 4;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
    SetCaption(AHint);
    TRect area = Screen->WorkAreaRect();
    int w = RectWidth(Rect), h = RectHeight(Rect);
    if (Rect.left + w > area.right) Rect.left = area.right - w;
    if (Rect.left < area.left) Rect.left = area.left;
    if (Rect.top + h > area.bottom) Rect.top = area.bottom - h;
    if (Rect.top < area.top) Rect.top = area.top;
    SetBounds(Rect.left, Rect.top, w, h);
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
    Update();
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
    TRect r = ClientRect();
    FCanvas->Brush()->SetColor(FColor);
    FCanvas->FillRect(r);
    FCanvas->Font()->Assign(FFont);
    FCanvas->Brush()->SetStyle(bsClear);
    InflateRect(&r, -2, -1);
    r.left += 1;
    FCanvas->TextRect(r, Caption(), DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    FCanvas->Brush()->SetStyle(bsSolid);
}

void THintWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TScreen

CLASSLIB_DEFINE_CLASS(TScreen, TComponent)

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    FHintFont = new TFont();
    FMenuFont = new TFont();
    FIconFont = new TFont();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        FMenuFont->SetLogFont(ncm.lfMenuFont);
        FHintFont->SetLogFont(ncm.lfStatusFont);
    }
    FHintFont->SetColor(clInfoText);
    FMenuFont->SetColor(clMenuText);
    LOGFONTA lf{};
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) FIconFont->SetLogFont(lf);
}

TScreen::~TScreen() {
    delete FHintFont;
    delete FMenuFont;
    delete FIconFont;
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount())
        throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) {
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveControl && Form->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
    if (FActiveForm == Form) SetActiveForm(nullptr);
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (FActiveForm == Form) return;
    FActiveForm = Form;
    // The active form goes first, as the z order would have it.
    if (Form) {
        auto it = std::find(FForms.begin(), FForms.end(), Form);
        if (it != FForms.end()) std::rotate(FForms.begin(), it, it + 1);
    }
    if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    FActiveControl = Control;
    if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor Value) {
    FCursor = Value;
    if (Value != crDefault) {
        ::SetCursor(Cursors(Value));
        return;
    }
    POINT p;
    GetCursorPos(&p);
    HWND wnd = WindowFromPoint(p);
    if (wnd && IsClassLibWindow(wnd)) {
        LRESULT hit = SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(hit, WM_MOUSEMOVE));
    }
}

HCURSOR TScreen::Cursors(TCursor Index) const {
    auto it = FCursors.find(Index);
    if (it != FCursors.end()) return it->second;
    LPCSTR id = IDC_ARROW;
    switch (Index) {
        case crNone: return nullptr;
        case crCross: id = IDC_CROSS; break;
        case crIBeam: id = IDC_IBEAM; break;
        case crSizeNESW: id = IDC_SIZENESW; break;
        case crSizeNS:
        case crVSplit: id = IDC_SIZENS; break;
        case crSizeNWSE: id = IDC_SIZENWSE; break;
        case crSizeWE:
        case crHSplit: id = IDC_SIZEWE; break;
        case crUpArrow: id = IDC_UPARROW; break;
        case crHourGlass:
        case crSQLWait: id = IDC_WAIT; break;
        case crNoDrop:
        case crNo: id = IDC_NO; break;
        case crAppStart: id = IDC_APPSTARTING; break;
        case crHelp: id = IDC_HELP; break;
        case crHandPoint: id = IDC_HAND; break;
        case crSizeAll: id = IDC_SIZEALL; break;
        default: break;
    }
    return LoadCursorA(nullptr, id);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
    if (Handle) FCursors[Index] = Handle;
    else FCursors.erase(Index);
}

TRect TScreen::DesktopRect() const {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return TRect{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

TRect TScreen::WorkAreaRect() const {
    RECT r{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

int TScreen::PixelsPerInch() const {
    const TScreenDC dc;
    return GetDeviceCaps(dc, LOGPIXELSY);
}

// ---------------------------------------------------------------------------
// TApplication

namespace {
constexpr UINT_PTR HintTimerID = 1;
}

struct AppImpl {
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
        if (!app) {
            if (Msg != WM_NCCREATE) return DefWindowProcA(Wnd, Msg, WParam, LParam);
            app = static_cast<TApplication*>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams);
            SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
            app->FHandle = Wnd;
        }
        TMessage message{Msg, WParam, LParam, 0};
        try {
            app->WndProc(message);
        } catch (const std::exception& e) {
            app->HandleException(app, e);
        }
        if (Msg == WM_NCDESTROY) {
            SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
            if (app->FHandle == Wnd) app->FHandle = nullptr;
        }
        return message.Result;
    }
};

// clang-format off
CLASSLIB_DEFINE_CLASS(TApplication, TComponent,
    OrdProp<TApplication>("ShowHint", TTypeKind::tkBool, &TApplication::ShowHint, &TApplication::SetShowHint, 1),
    StrProp<TApplication>("Title", &TApplication::Title, &TApplication::SetTitle))
// clang-format on

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    FIcon = new TIcon();
    String exe = ExeName();
    size_t slash = exe.find_last_of("\\/");
    String base = slash == String::npos ? exe : exe.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    FTitle = dot == String::npos ? base : base.substr(0, dot);
}

TApplication::~TApplication() {
    CancelHint();
    DestroyComponents();
    FHintWindow = nullptr;
    FMainForm = nullptr;
    if (FHandle) DestroyWindow(FHandle);
    delete FIcon;
}

void TApplication::Initialize() { Handle(); }

HWND TApplication::Handle() {
    if (FHandle) return FHandle;
    static const char* const className = "TApplication";
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, className, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = &AppImpl::WndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassA(&wc)) throw EClassLibError("Cannot register the application window class");
    }
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    CreateWindowExA(0, className, FTitle.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                    x, y, 0, 0, nullptr, nullptr, inst, this);
    if (!FHandle) throw EClassLibError("Cannot create the application window");
    return FHandle;
}

HWND TApplication::PopupListHandle() { return PopupList.Window(); }

void TApplication::FormCreated(TCustomForm* Form) {
    if (!FMainForm && Form) {
        Form->HandleNeeded();
        FMainForm = Form;
    }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (AComponent == FHintWindow) FHintWindow = nullptr;
    if (AComponent == FHintControl) FHintControl = nullptr;
}

void TApplication::ControlDestroying(TControl* Control) {
    if (Control == FHintControl) {
        CancelHint();
        FHintControl = nullptr;
    }
    if (Control == FHintWindow) FHintWindow = nullptr;
    if (Control == FMainForm) FMainForm = nullptr;
}

HWND TApplication::MainFormHandle() const {
    return FMainForm && FMainForm->HandleAllocated() ? FMainForm->FHandle : nullptr;
}

HWND TApplication::ActiveFormHandle() const {
    if (Screen.Assigned()) {
        TCustomForm* f = Screen->ActiveForm();
        if (f && f->HandleAllocated()) return f->FHandle;
    }
    HWND active = GetActiveWindow();
    return active ? active : MainFormHandle();
}

void TApplication::HookMainWindow(const TWindowHook& Hook) {
    if (Hook) FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
    FWindowHooks.erase(std::remove(FWindowHooks.begin(), FWindowHooks.end(), Hook), FWindowHooks.end());
}

void TApplication::WndProc(TMessage& Message) {
    std::vector<TWindowHook> hooks = FWindowHooks;
    for (const TWindowHook& hook : hooks)
        if (hook(Message)) return;
    switch (Message.Msg) {
        case WM_CLOSE:
            if (FMainForm) FMainForm->Close();
            return;
        case WM_TIMER:
            if (Message.WParam == HintTimerID) {
                HintTimerExpired();
                return;
            }
            break;
        case WM_ACTIVATEAPP:
            FActive = Message.WParam != 0;
            if (FActive) {
                if (OnActivate) OnActivate(this);
            } else {
                CancelHint();
                if (OnDeactivate) OnDeactivate(this);
            }
            break;
        case WM_QUERYENDSESSION: Message.Result = 1; return;
        case WM_ENDSESSION:
            if (Message.WParam) Terminate();
            return;
    }
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// --- The message loop ------------------------------------------------------------------

bool TApplication::IsKeyMsg(MSG& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
    HWND wnd = Msg.hwnd;
    if (FMainForm && FMainForm->FFormStyle == fsMDIForm && wnd == FMainForm->FClientHandle) wnd = FMainForm->FHandle;
    // The nearest library control up the chain of child windows; a top-level
    // window of another kind (a system dialog) is not ours to preview.
    TWinControl* control = nullptr;
    for (HWND w = wnd; w && !control; w = (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
        control = FindControl(w);
    if (!control) return false;
    // A window of another kind inside says, as in a dialog, whether it wants
    // the key itself (a combo box's open list takes Escape and Enter).
    if (control->Handle() != Msg.hwnd &&
        (SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg)) & DLGC_WANTMESSAGE))
        return false;
    return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(MSG& Msg) {
    if (!FMainForm || FMainForm->FFormStyle != fsMDIForm || !FMainForm->FClientHandle) return false;
    TCustomForm* active = Screen->ActiveForm();
    if (!active || active->FormStyle() != fsMDIChild) return false;
    return TranslateMDISysAccel(FMainForm->FClientHandle, &Msg) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg) {
    if (FHintActive || FHintTimer) {
        switch (Msg.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_NCLBUTTONDOWN:
            case WM_NCRBUTTONDOWN:
            case WM_MOUSEWHEEL:
                // Hidden until the mouse goes to another control.
                HideHint();
                break;
        }
    }
    return false;
}

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) OnMessage(Msg, handled);
    if (!handled && !IsHintMsg(Msg) && !IsMDIMsg(Msg) && !IsKeyMsg(Msg)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) {
        Idle();
        MSG peek;
        if (!FTerminated && !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
    }
}

void TApplication::Idle() {
    POINT p;
    if (GetCursorPos(&p)) TrackMouseControl(p);
    HintControlChanged();
    bool done = true;
    try {
        if (OnIdle) OnIdle(this, done);
        if (done) DoActionIdle();
    } catch (const std::exception& e) {
        HandleException(this, e);
    }
    FreeDeviceContexts();
}

void TApplication::DoActionIdle() {
    if (!Screen.Assigned()) return;
    std::vector<TCustomForm*> forms = Screen->FForms;
    std::vector<TControl*> pending;
    for (TCustomForm* f : forms) {
        if (!f->Visible()) continue;
        pending.assign(1, f);
        while (!pending.empty()) {
            TControl* c = pending.back();
            pending.pop_back();
            c->InitiateAction();
            if (auto* w = dynamic_cast<TWinControl*>(c))
                for (int i = 0; i < w->ControlCount(); ++i) pending.push_back(w->Controls(i));
        }
    }
}

void TApplication::Run() {
    FTerminated = false;
    if (!FMainForm) return;
    if (ShowMainForm) FMainForm->SetVisible(true);
    do {
        try {
            HandleMessage();
        } catch (const std::exception& e) {
            HandleException(this, e);
        }
    } while (!FTerminated);
}

void TApplication::Terminate() { PostQuitMessage(0); }

// --- Hints -------------------------------------------------------------------------

void TApplication::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    if (OnHint) OnHint(this);
}

void TApplication::StartHintTimer(int Pause) {
    StopHintTimer();
    FHintTimer = SetTimer(Handle(), HintTimerID, static_cast<UINT>(std::max(1, Pause)), nullptr);
}

void TApplication::StopHintTimer() {
    if (FHintTimer && FHandle) KillTimer(FHandle, HintTimerID);
    FHintTimer = 0;
}

void TApplication::HideHint() {
    StopHintTimer();
    if (FHintWindow) FHintWindow->ReleaseHandle();
    FHintActive = false;
}

void TApplication::CancelHint() {
    HideHint();
    FHintControl = nullptr;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    TPoint pos;
    try {
        pos = Control->ClientToScreen(TPoint{Message.XPos(), Message.YPos()});
    } catch (const EClassLibError&) {
        return;
    }
    TrackMouseControl(pos);
    HintControlChanged();
}

void TApplication::HintControlChanged() {
    TControl* target = MouseControl();
    if (target == FHintControl) {
        POINT p;
        if (!FHintActive || !GetCursorPos(&p) || PtInRect(&FHintCursorRect, p)) return;
    }
    bool wasActive = FHintActive;
    CancelHint();
    FHintControl = target;
    // Moving from one hint to the next shows the next one sooner.
    if (FShowHint && target) StartHintTimer(wasActive ? HintShortPause : HintPause);
}

void TApplication::HintTimerExpired() {
    StopHintTimer();
    if (FHintActive) {
        CancelHint();
        return;
    }
    POINT p;
    GetCursorPos(&p);
    if (FHintControl && FindDragTarget(p, true) == FHintControl) ActivateHint(p);
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
    TControl* control = FindDragTarget(CursorPos, true);
    if (!control || !FShowHint || !control->ShowHint()) return;
    TControl* owner = control;
    while (owner && owner->Hint().empty()) owner = owner->Parent();
    // A control without a hint of its own may still give one for a part of
    // it (a tab): it is asked all the same.
    THintInfo info;
    info.HintControl = control;
    info.HintPos = TPoint{CursorPos.x, CursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = HintColor;
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.CursorRect = control->ClientRect();
    info.HintStr = owner ? ShortHint(owner->Hint()) : String();
    info.HideTimeout = HintHidePause;
    if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
    if (!FHintWindow) FHintWindow = HintWindowClass ? HintWindowClass(this) : TObject::Create<THintWindow>(this);
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    FHintWindow->ActivateHint(r, info.HintStr);
    const TPoint topLeft = control->ClientToScreen(TPoint{info.CursorRect.left, info.CursorRect.top});
    FHintCursorRect = TRect{topLeft.x, topLeft.y, topLeft.x + info.CursorRect.right - info.CursorRect.left,
                            topLeft.y + info.CursorRect.bottom - info.CursorRect.top};
    FHintControl = control;
    FHintActive = true;
    if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout);
}

// --- The rest ----------------------------------------------------------------------

String TApplication::Title() const { return FTitle; }

void TApplication::SetTitle(const String& Value) {
    FTitle = Value;
    if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

String TApplication::ExeName() const {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void TApplication::Minimize() {
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->FHandle, SW_MINIMIZE);
}

void TApplication::Restore() {
    if (FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->FHandle))
        ShowWindow(FMainForm->FHandle, SW_RESTORE);
}

void TApplication::BringToFront() {
    HWND wnd = ActiveFormHandle();
    if (wnd) SetForegroundWindow(wnd);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
    return ::MessageBoxA(ActiveFormHandle(), Text.c_str(), Caption.c_str(), Flags);
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (OnException) OnException(Sender, E);
    else ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    // No message box: a program without a handler must not stop in a modal loop.
    String text = "Exception: " + String(E.what()) + "\n";
    OutputDebugStringA(text.c_str());
    std::fputs(text.c_str(), stderr);
}
