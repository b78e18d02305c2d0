// Visual controls: TControl (bounds, appearance, the message chain), the
// windowed TWinControl (a real HWND of a class of its own or superclassed from
// a system class), the windowless TGraphicControl painted by its parent, the
// painted TCustomControl, and the canvas bound to a control's DC.
#pragma once

#include <windows.h>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"

#include <functional>
#include <memory>
#include <vector>

class TControl;
class TWinControl;
class TCustomForm;
class TBasicAction;
class TBasicActionLink;
class TPopupMenu;
class TControlCanvas;

// ---------------------------------------------------------------------------
// Enumerations and small types.

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
CLASSLIB_ENUM_NAMES(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")
using TAlignSet = TSet<TAlign>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
CLASSLIB_ENUM_NAMES(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom")
using TAnchors = TSet<TAnchorKind>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
CLASSLIB_ENUM_NAMES(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
CLASSLIB_ENUM_NAMES(TBiDiMode, "bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly")
CLASSLIB_ENUM_NAMES(TDragMode, "dmManual", "dmAutomatic")
CLASSLIB_ENUM_NAMES(TDragKind, "dkDrag", "dkDock")

// Border styles of forms; panels and edits use the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
CLASSLIB_ENUM_NAMES(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin")
using TBorderStyle = TFormBorderStyle;

using TCaption = String;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// The shift state of mouse-message key flags (MK_*), of key-message data
// (Alt from bit 29, the rest from the keyboard) and of the keyboard now.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeyboardStateToShiftState();

// What a window is created from; filled by TWinControl::CreateParams.
struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    String WinClassName;
};

// The record of CM_HINTSHOW (LParam points to it); a Result other than 0
// keeps the hint hidden.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos{0, 0};  // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{0, 0, 0, 0};  // client of HintControl
    TPoint CursorPos{0, 0};        // client of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    String HintStr;
    void* HintData = nullptr;
};

// Minimum and maximum sizes of a control (0 = no limit).
class TSizeConstraints : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TSizeConstraints)
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
    void Assign(TPersistent* Source) override;
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TControl* Control() const { return FControl; }
    TNotifyEvent OnChange;

private:
    void Change();
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---------------------------------------------------------------------------

// The base of every visual control.
//
// Messages: Perform and the window procedure hand a TMessage to WindowProc, a
// replaceable slot that starts as the virtual WndProc. WndProc does what every
// message needs first (mouse state, hint and mouse-enter tracking) and calls
// Dispatch, where each class handles its messages in a switch and passes the
// rest to its base class's Dispatch; what nobody handles reaches the virtual
// DefaultHandler (for windows: the window's original procedure). A class that
// swaps WindowProc keeps the old value and calls it for what it passes on.
class TControl : public TComponent {
    CLASSLIB_DECLARE_CLASS(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;
    // A control whose caption was its name keeps showing its name (csSetCaption).
    void SetName(const String& NewName) override;

    // --- Parent and geometry -------------------------------------------
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().right; }
    void SetClientWidth(int Value);
    int ClientHeight() const { return ClientRect().bottom; }
    void SetClientHeight(int Value);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints; }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    // Re-applies AutoSize (through CanAutoSize).
    virtual void AdjustSize();
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    // --- Appearance ----------------------------------------------------
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide() { SetVisible(false); }
    virtual bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // Caption and Text are the same string (WM_GETTEXT / WM_SETTEXT).
    String Text() const;
    void SetText(const String& Value);
    String Caption() const { return Text(); }
    void SetCaption(const String& Value) { SetText(Value); }
    String Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    // ShowHint follows the parent's while ParentShowHint is set.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    // Text is laid out left to right in this library.
    bool UseRightToLeftAlignment() const { return false; }
    bool UseRightToLeftReading() const { return false; }
    bool IsRightToLeft() const { return false; }
    int DrawTextBiDiModeFlags(int Flags) const { return Flags; }
    int DrawTextBiDiModeFlagsReadingOnly() const { return 0; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    // Drag and drop is not carried by this library: nothing is ever dragged.
    bool Dragging() const { return false; }
    void BeginDrag(bool /*Immediate*/, int /*Threshold*/ = -1) {}
    void EndDrag(bool /*Drop*/) {}

    // --- Actions -------------------------------------------------------
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TBasicActionLink* ActionLink() const { return FActionLink; }
    // Takes over the action's caption, enabled state, hint and visibility;
    // with CheckDefaults only where the control still has its default.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // Lets the action update itself (CM_ACTIONUPDATE).
    void InitiateAction();

    // --- Style and state -----------------------------------------------
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // --- Messages ------------------------------------------------------
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // The message handlers of the class; see the class comment.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    // Sends a message through WindowProc and returns its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    // The same with the caller's record, which sees every change to it.
    LRESULT Perform(TMessage& Message);
    // False once the control is freed: code that calls a handler (which may
    // free the control) keeps a copy and looks at it before going on.
    std::shared_ptr<const bool> Alive() const { return FLive; }

    // --- Painting ------------------------------------------------------
    virtual void Invalidate();
    // Invalidate and paint at once.
    virtual void Repaint();
    // Paints what is invalid now.
    virtual void Update();
    void Refresh() { Repaint(); }

    // --- Mouse ---------------------------------------------------------
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    virtual void Click();
    virtual void DblClick();

    // The form the control is on (the nearest form up the parent chain).
    TCustomForm* GetParentForm() const;
    // Calls Perform(CM_CHANGED, 0, this).
    void Changed();
    // True when the control would be painted: visible, and its parents too.
    bool IsVisibleOnScreen() const;

    // The control's DC: the window's, or the parent's moved and clipped to
    // this control. Used by TControlCanvas; ReleaseDC(WindowHandle, dc) it.
    virtual HDC GetDeviceContext(HWND& WindowHandle);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

protected:
    friend class TWinControl;
    friend class TCustomForm;
    friend class TApplication;
    friend class TSizeConstraints;
    friend struct ControlsImpl;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The size changed: raises OnResize.
    virtual void Resize();
    // May change the proposed size when AutoSize is set; false refuses any change.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    void ConstrainedResize(int& NewWidth, int& NewHeight);
    // Lets CanResize and the constraints shape a proposed size; false when
    // the bounds would not change.
    bool ProposeBounds(int ALeft, int ATop, int& AWidth, int& AHeight);
    virtual void SetZOrder(bool TopMost);
    // Lets the parent re-align its children after this one moved or changed Align.
    void RequestAlign();
    // Invalidates the control's area on its parent.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    virtual void VisibleChanging() {}

    // Message handlers called from Dispatch.
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    // The mouse buttons and moves: the default handling first, then our events.
    void MouseMessage(TMessage& Message);
    void LeftButtonDown(TMessage& Message, bool Twice);
    void LeftButtonUp(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void WMSetText(TMessage& Message);
    void VisibleChanged();
    // A CM_PARENT...CHANGED: the property follows the parent's while it is
    // taken from there.
    void ParentPropertyChanged(UINT Msg);
    // CM_MOUSEENTER / CM_MOUSELEAVE, passed on up the parents.
    void MouseCrossing(TMessage& Message);
    // CM_ACTIONUPDATE / CM_ACTIONEXECUTE through the action link.
    void ActionMessage(TMessage& Message);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    TFont* FFont = nullptr;
    bool FParentFont = true;
    String FText;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    bool FAutoSize = false;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TPopupMenu* FPopupMenu = nullptr;
    TBasicActionLink* FActionLink = nullptr;
    TSizeConstraints* FConstraints = nullptr;
    // Anchor distances to the parent's right and bottom client edges.
    int FAnchorRight = 0, FAnchorBottom = 0;
    bool FAnchorsValid = false;

private:
    void FontChanged(TObject* Sender);
    void DoActionChange(TObject* Sender);
    void UpdateAnchorRules();
    // The hints and the mouse tracking of a move; false when an enter or
    // leave handler they fired freed this control.
    bool TrackMove(TMessage& Message);
    // False once the control is freed.
    std::shared_ptr<bool> FLive = std::make_shared<bool>(true);
};

// ---------------------------------------------------------------------------

// A control with a window of its own.
//
// The window is made on demand: Handle() creates it (and its parents' windows
// first). CreateParams says how; a descendant that wraps a system control
// calls CreateSubClass(Params, "BUTTON") there, which gives the window a class
// of our own, named after the C++ class, whose procedure is the library's and
// whose default procedure (DefaultHandler) is the system class's. The library's
// procedure sees every message from the window's first one (WM_NCCREATE and
// before) on.
class TWinControl : public TControl {
    CLASSLIB_DECLARE_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // --- The window ----------------------------------------------------
    // Creates the window when it does not exist yet; raises EClassLibError
    // "Control '<Name>' has no parent window" when there is nowhere to put it.
    HWND Handle() const;
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() const { (void)Handle(); }
    // A window outside the library to host a control that has no Parent.
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    // The system class's procedure that DefaultHandler calls.
    WNDPROC DefWndProc() const { return FDefWndProc; }
    virtual void CreateHandle();
    // Destroys the window (children first); properties and text are kept.
    virtual void DestroyHandle();
    // Destroys and creates the window again, keeping text, bounds, children and focus.
    void RecreateWnd();

    // --- Children ------------------------------------------------------
    // Windowless children first, then windowed ones, each in z order (bottom first).
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // Whether Control is a direct child; compares the pointer only, so it may
    // be asked about a control that a handler has freed meanwhile.
    bool HasChild(const TControl* Control) const;
    // The topmost visible child at Pos (client coordinates); windowed
    // children only when AllowWinControls.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    TControl* FindChildControl(const String& ControlName) const;
    // Sends Message to each child until one answers (Result != 0).
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    // --- Alignment -----------------------------------------------------
    void DisableAlign();
    void EnableAlign();
    bool AlignDisabled() const { return FAlignLevel != 0; }
    void Realign();

    // --- Focus and keyboard --------------------------------------------
    virtual bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The windowed descendants in tab order.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // True while the control and all its parents are visible (and windows exist).
    bool Showing() const { return FShowing; }

    // --- Appearance ----------------------------------------------------
    // A frame of this many pixels inside the window, outside the client area.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    // Paints through an off-screen bitmap.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    TBrush* Brush() const { return FBrush; }

    // --- Painting ------------------------------------------------------
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    // WM_PAINT: BeginPaint/EndPaint when WParam is 0, else paints on that DC:
    // PaintWindow, then the windowless children.
    void PaintHandler(TMessage& Message);
    // Paints the visible windowless children (those after First when given)
    // on DC with the origin moved to each and clipped to it.
    void PaintControls(HDC DC, TControl* First);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    HDC GetDeviceContext(HWND& WindowHandle) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    friend class TControl;
    friend class TCustomForm;
    friend class TApplication;
    friend struct ControlsImpl;

    void Loaded() override;
    virtual void CreateParams(TCreateParams& Params);
    // Makes Params describe a window of our own class derived from the
    // system class ControlClassName (see the class comment).
    void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Paints the window's own content: by default the original procedure's WM_PAINT.
    virtual void PaintWindow(HDC DC);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The part of the client area that aligned children share.
    virtual void AdjustClientRect(TRect& Rect);
    void AlignControl(TControl* AControl);
    // Showing follows Visible and the parent's Showing; CM_SHOWINGCHANGED tells of a change.
    void UpdateShowing();
    // Whether the control may show without a parent (forms may).
    virtual bool IsTopLevel() const { return false; }
    void UpdateBounds();
    // Dispatches WM_PAINT with csCustomPaint set, so that the painting goes
    // through PaintWindow.
    void DispatchCustomPaint(TMessage& Message);
    void SetZOrder(bool TopMost) override;
    // Routes a mouse message to the windowless child under the mouse (or
    // holding the capture); true when one took it.
    bool IsControlMouseMsg(TMessage& Message);

    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // True when the key was eaten (Key made 0); false lets it reach the window.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    // The form's key preview (KeyPreview) takes the key first; true when it ate it.
    bool FormPreviewEats(TMessage& Message, bool (TWinControl::*Do)(TMessage&));
    virtual void DoEnter();
    virtual void DoExit();

    // Focus is leaving Control (hidden, disabled or removed): the form forgets it.
    void RemoveFocus(bool Removing);
    // Drops Control from the child and tab lists without reading it.
    void ForgetChild(const TControl* Control);

    // A control over a system class that makes windows inside its own (the
    // edit and list of a combo box, the header of a list view) hooks them
    // here with HookInnerWindow, so that they route through us beneath any
    // adapter that subclasses them later: called once the window exists
    // (NewChild null), and for each child window made later (NewChild, from
    // WM_PARENTNOTIFY, before its CreateWindowEx returns).
    virtual void HookInnerWindows(HWND NewChild);
    // Subclasses Inner (TWindowProcSubclass, which later subclasses may leave
    // in any order), which then hands each message to InnerWndProc; a window
    // hooked already is left as it is. The hook goes with the inner window,
    // or is released when our own window goes first.
    void HookInnerWindow(HWND Inner);
    // Each message of a hooked inner window; the default passes it on.
    virtual void InnerWndProc(HWND Inner, TMessage& Message);
    // The inner window's own handling: the procedure it had before the hook.
    void InnerDefaultHandler(HWND Inner, TMessage& Message);

    mutable HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    HWND FParentWindow = nullptr;
    std::vector<TControl*> FControls;        // windowless children, z order
    std::vector<TWinControl*> FWinControls;  // windowed children, z order
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    bool FShowing = false;
    int FBorderWidth = 0;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDoubleBuffered = false;
    TBrush* FBrush = nullptr;
    int FAlignLevel = 0;
    bool FTrackingMouse = false;

private:
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    void ShowChildWindow();
    void WMNCPaint(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMParentNotify(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMDestroy(TMessage& Message);
    // WM_KEYDOWN/UP (and SYS) and WM_CHAR: our key events, then the window's
    // own handling unless an event ate the key.
    void KeyMessage(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    bool ReflectNotification(TMessage& Message);
    bool ReflectColorsToForeignChild(HWND Child, TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMRecreateWnd(TMessage& Message);
    void CMDialogKeyChar(TMessage& Message);
    // CM_COLORCHANGED / CM_FONTCHANGED: the brush or the window's font
    // follows, then the children that take theirs from us.
    void CMColorOrFontChanged(TMessage& Message);
    void CMParentCtl3DChanged();
    void ApplyAnchors();
    // Takes new bounds as they stand; a new size re-aligns the children and
    // raises OnResize.
    void StoreBounds(int ALeft, int ATop, int AWidth, int AHeight);
};

// ---------------------------------------------------------------------------

// A windowless control: drawn by its parent on the parent's DC (WM_PAINT with
// the DC in WParam, the origin at the control's corner, clipped to it) and
// given the mouse messages that fall on it by its parent.
class TGraphicControl : public TControl {
    CLASSLIB_DECLARE_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const;
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Paint() {}
    TControlCanvas* FCanvas = nullptr;
};

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const;
    void Dispatch(TMessage& Message) override;

protected:
    void PaintWindow(HDC DC) override;
    virtual void Paint() {}
    TControlCanvas* FCanvas = nullptr;
};

// A canvas on a control's DC. Outside painting it gets the DC on first use
// (the window's for windowed controls, the parent's clipped to the control for
// windowless ones) and gives it back on FreeHandle; a few such DCs are kept
// and the application frees them when idle. While painting, the paint DC is
// set with SetHandle instead.
class TControlCanvas : public TCanvas {
    CLASSLIB_DECLARE_CLASS(TControlCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    void FreeHandle() override;
    // ETO_RTLREADING is never needed: text is left to right.
    void UpdateTextFlags() { TextFlags &= ~ETO_RTLREADING; }
    // Lends DC to the canvas, locked, for the length of Action (which may
    // throw): whatever DC the canvas held is given back first.
    void WithHandle(HDC DC, const std::function<void()>& Action);

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// Releases the DCs of every control canvas that is not locked.
void FreeDeviceContexts();

// A control's DC for the scope's life (GetDeviceContext: a windowed control's
// own, a windowless one's parent's, moved and clipped to the control),
// released at the scope's end.
class TControlDC {
public:
    explicit TControlDC(TControl* Control) : FDC(Control ? Control->GetDeviceContext(FWnd) : nullptr) {}
    ~TControlDC() {
        if (FDC) ReleaseDC(FWnd, FDC);
    }
    TControlDC(const TControlDC&) = delete;
    TControlDC& operator=(const TControlDC&) = delete;
    HDC DC() const { return FDC; }
    operator HDC() const { return FDC; }

private:
    HWND FWnd = nullptr;
    HDC FDC;
};

// ---------------------------------------------------------------------------

// The control of a window of this process made by the library, or nullptr.
TWinControl* FindControl(HWND Handle);
// The window procedure every window made by the library starts with; a
// window whose GWLP_WNDPROC differs has been subclassed since.
WNDPROC ClassLibWindowProc();
// The control whose inner window Handle is (TWinControl::HookInnerWindow), or nullptr.
TWinControl* FindInnerWindowOwner(HWND Handle);
// The library window at a screen point, or nullptr.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control under a screen point, windowless children included.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The control holding the mouse capture (a windowless one when it asked).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// True when Handle is a window of the library.
bool IsClassLibWindow(HWND Handle);

// The mouse.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& Value);
    HWND Capture() const { return ::GetCapture(); }
    bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
    int WheelScrollLines() const;
};
extern TMouse* const Mouse;

// The control currently under the mouse as the library tracks it (the last
// one sent CM_MOUSEENTER), and the one step of that tracking: finds the
// control at Pos and sends CM_MOUSELEAVE / CM_MOUSEENTER when it changed.
TControl* MouseControl();
void TrackMouseControl(const TPoint& ScreenPos);
