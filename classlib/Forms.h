// Forms and the program around them: top-level and MDI forms, the hint
// window, the application (hidden window, message loop, idle work, hints,
// popup-menu window) and the screen (forms, active form, cursors).
#pragma once

#include "Controls.h"

#include <map>
#include <vector>

class TMainMenu;
class TApplication;
class TScreen;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
CLASSLIB_ENUM_NAMES(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")
CLASSLIB_ENUM_NAMES(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")
CLASSLIB_ENUM_NAMES(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
CLASSLIB_ENUM_NAMES(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A hook on the application window's messages: true when it handled the
// message (its Result is then returned).
using TWindowHook = TMethod<bool(TMessage&)>;

// ---------------------------------------------------------------------------

// A form: a top-level window (or an MDI frame or child) holding controls.
// Create forms with TObject::Create<T>(Owner) or Application->CreateForm so
// that AfterConstruction runs OnCreate.
class TCustomForm : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TIcon* Icon() const { return FIcon; }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TCanvas* Canvas() const;
    TFormState FormState() const { return FFormState; }

    // --- Focus ---------------------------------------------------------
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Raises EClassLibError "Cannot focus a disabled or invisible window"
    // when Control cannot take the focus.
    void SetActiveControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    // Called when a windowed control of the form gets the focus: the form
    // sends CM_EXIT to the controls the focus leaves and CM_ENTER to those it
    // enters, up to their common parent.
    bool SetFocusedControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    void SetFocus() override;
    bool CanFocus() const override;

    // --- Showing and closing -------------------------------------------
    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form and runs a message loop until ModalResult is set, with
    // the program's other windows disabled. Raises EClassLibError "Cannot
    // make a visible window modal" for a visible, disabled or MDI child form.
    int ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Asks OnCloseQuery, then OnClose, then hides, minimizes or frees the
    // form; closing the main form ends the program.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once its pending messages are handled (CM_RELEASE).
    void Release();
    bool KeyPreview = false;

    // --- MDI -----------------------------------------------------------
    // The "MDICLIENT" window of an MDI frame.
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    TCustomForm* ActiveMDIChild() const;
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    TRect ClientRect() const override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    friend class TApplication;
    friend class TScreen;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWindowHandle() override;
    void PaintWindow(HDC DC) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    bool IsTopLevel() const override { return FParent == nullptr; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Paint();
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void DoCreate();
    virtual void DoDestroy();

private:
    void SetActive(bool Value);
    void SetWindowFocus();
    void CloseModal();
    void FrameStyles(DWORD& Style, DWORD& ExStyle) const;
    TCustomForm* MDIFrame() const;
    void IconChanged(TObject* Sender);
    void ShowingChanged();
    void PlaceOnScreen();
    void MenuToWindow();
    void WMActivate(TMessage& Message);
    void WMMDIActivate(TMessage& Message);
    // An MDI child's main menu joins its frame's (Merge) or leaves it.
    void MergeMenuIntoFrame(bool Merge);
    void WMSize(TMessage& Message);
    void WMGetMinMaxInfo(TMessage& Message);
    // True when the message was answered here; otherwise TWinControl takes it.
    bool WMMenuCommand(TMessage& Message);
    bool MenuItemMessage(TMessage& Message);
    bool CMDialogKey(TMessage& Message);

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TFormState FFormState;
    TIcon* FIcon = nullptr;
    TMainMenu* FMenu = nullptr;
    TControlCanvas* FCanvas = nullptr;
    bool FActive = false;
    bool FDestroyRaised = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    // The deepest control that has been sent CM_ENTER and not yet CM_EXIT.
    TWinControl* FEnteredControl = nullptr;
    TModalResult FModalResult = mrNone;
    HWND FClientHandle = nullptr;
    HWND FMDIFrameClient = nullptr;
};

class TForm : public TCustomForm {
    CLASSLIB_DECLARE_CLASS(TForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The form that contains Control: the outermost one (TopForm) or the nearest.
TCustomForm* GetParentForm(const TControl* Control, bool TopForm = true);
// True when the caption Str has '&' before the character of VK.
bool IsAccel(WORD VK, const String& Str);

// ---------------------------------------------------------------------------

// A small topmost popup showing a hint text; it never takes the mouse.
class THintWindow : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(THintWindow)
public:
    explicit THintWindow(TComponent* AOwner);
    // Shows the window at Rect (screen) with AHint as its text.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    // The rectangle (at 0, 0) the text needs, wrapped at MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Hides the window and lets its handle go.
    void ReleaseHandle();
    bool IsHintShowing() const { return FHandle && IsWindowVisible(FHandle); }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    bool IsTopLevel() const override { return true; }
    void Paint() override;
};

// ---------------------------------------------------------------------------

class TScreen : public TComponent {
    CLASSLIB_DECLARE_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TCustomForm* ActiveCustomForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // A cursor for the whole program; crDefault lets each control choose.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    HCURSOR Cursors(TCursor Index) const;
    void SetCursors(TCursor Index, HCURSOR Handle);
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    TRect DesktopRect() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const { return RectWidth(WorkAreaRect()); }
    int WorkAreaHeight() const { return RectHeight(WorkAreaRect()); }
    int PixelsPerInch() const;
    TFont* HintFont() const { return FHintFont; }
    TFont* MenuFont() const { return FMenuFont; }
    TFont* IconFont() const { return FIconFont; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    friend class TCustomForm;
    friend class TApplication;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCursor FCursor = crDefault;
    std::map<TCursor, HCURSOR> FCursors;
    TFont* FHintFont;
    TFont* FMenuFont;
    TFont* FIconFont;
};

// ---------------------------------------------------------------------------

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
    CLASSLIB_DECLARE_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Makes the application window; later uses make it on demand as well.
    void Initialize();
    // The hidden application window (class "TApplication").
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The hidden window that owns popup menus and receives their commands.
    HWND PopupListHandle();

    // Creates a form owned by the application; the first one becomes MainForm.
    template <typename T>
    T* CreateForm(T*& Reference) {
        Reference = TObject::Create<T>(this);
        FormCreated(Reference);
        return Reference;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    HWND MainFormHandle() const;
    HWND ActiveFormHandle() const;
    bool ShowMainForm = true;

    // Shows the main form and runs the message loop until Terminate.
    void Run();
    // Handles every pending message, then returns.
    void ProcessMessages();
    // Handles one message, or does the idle work and waits for one.
    void HandleMessage();
    // The idle work: mouse enter/leave, action updates, OnIdle, DC cache.
    void Idle();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    void HookMainWindow(const TWindowHook& Hook);
    void UnhookMainWindow(const TWindowHook& Hook);

    // --- Hints ---------------------------------------------------------
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    String Hint() const { return FHint; }
    void SetHint(const String& Value);
    void CancelHint();
    // Shows the hint of the control under CursorPos (screen) now.
    void ActivateHint(const TPoint& CursorPos);
    THintWindow* HintWindow() const { return FHintWindow; }
    // Called by controls for every mouse move (hint timing, mouse enter/leave).
    void HintMouseMessage(TControl* Control, TMessage& Message);

    // --- The rest ------------------------------------------------------
    String Title() const;
    void SetTitle(const String& Value);
    String ExeName() const;
    TIcon* Icon() const { return FIcon; }
    bool Active() const { return FActive; }
    void Minimize();
    void Restore();
    void BringToFront();
    int MessageBox(const String& Text, const String& Caption, UINT Flags = MB_OK);
    // What happens to an exception raised in a window procedure: OnException,
    // or a line on the debugger output and stderr.
    void HandleException(TObject* Sender, const std::exception& E);
    void ShowException(const std::exception& E);

    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    friend class TControl;
    friend struct AppImpl;
    void FormCreated(TCustomForm* Form);
    bool ProcessMessage(MSG& Msg);
    bool IsKeyMsg(MSG& Msg);
    bool IsMDIMsg(MSG& Msg);
    bool IsHintMsg(MSG& Msg);
    void WndProc(TMessage& Message);
    void DoActionIdle();
    void StartHintTimer(int Pause);
    void StopHintTimer();
    void HintTimerExpired();
    void HintControlChanged();
    void HideHint();
    void ControlDestroying(TControl* Control);

    HWND FHandle = nullptr;
    HWND FPopupList = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FActive = true;
    std::vector<TWindowHook> FWindowHooks;
    bool FShowHint = true;
    String FHint;
    THintWindow* FHintWindow = nullptr;
    TControl* FHintControl = nullptr;
    bool FHintActive = false;
    // Where the shown hint holds (screen): leaving it shows the next hint
    // of the same control (a tab's, a cell's).
    TRect FHintCursorRect{0, 0, 0, 0};
    UINT_PTR FHintTimer = 0;
    TIcon* FIcon = nullptr;
    String FTitle;
};

// A program-wide object made on first use (and never freed by the library:
// the process's end takes its windows). Reads like a pointer.
template <typename T>
class TGlobalInstance {
public:
    T* Get() {
        if (!FInstance) FInstance = TObject::Create<T>(nullptr);
        return FInstance;
    }
    T* operator->() { return Get(); }
    operator T*() { return Get(); }
    bool Assigned() const { return FInstance != nullptr; }
    // Frees the object; the next use makes a new one.
    void Free() { FreeAndNil(FInstance); }

private:
    T* FInstance;
};

// Makes the application's hint window; empty: a THintWindow. A library that
// draws hints its own way sets it before the first hint.
using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;
extern THintWindowClass HintWindowClass;

extern TGlobalInstance<TApplication> Application;
extern TGlobalInstance<TScreen> Screen;
