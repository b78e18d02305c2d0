// Window adapters: any existing window skinned through its handle (the
// property "ACSBSC" holds the adapter), and the skinned non-client scroll bars
// that scrolling adapters draw and drive with the mouse in place of the
// system's own.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "Messages.h"
#include "WindowHooks.h"
#include "sCommonData.h"
#include "sControlTypes.h"
#include "sGlobals.h"
#include "sSkinManager.h"

class TacScrollWnd;
class TacMainWnd;

// An adapter's skin data: the control's own, borrowed, or one the adapter made
// for a plain window, owned and freed with the adapter. Reads as a pointer.
class TacAdapterSkinData {
public:
    TsCommonData* Get() const { return FData; }
    operator TsCommonData*() const { return FData; }
    TsCommonData* operator->() const { return FData; }
    // True when the adapter made the data (and frees it).
    bool Owned() const { return FOwned != nullptr; }

private:
    friend class TacMainWnd;
    void Borrow(TsCommonData* Data) { FData = Data; }
    void Own(std::unique_ptr<TsCommonData> Data) {
        FOwned = std::move(Data);
        FData = FOwned.get();
    }
    void Reset() {
        FData = nullptr;
        FOwned.reset();
    }
    std::unique_ptr<TsCommonData> FOwned;
    TsCommonData* FData = nullptr;
};

// The property under which an attached window keeps its adapter.
extern const char* const acAdapterProp;
// The creating-children flag (set while a dialog's children get adapters).
extern bool acCreatingChildAdapters;

class TacMainWnd : public TObject {
    CLASSLIB_DECLARE_CLASS(TacMainWnd)
public:
    // Attaches at once. Section "DIALOG" keeps the window's visual style; any
    // other switches it off. Without SkinData the adapter makes its own.
    TacMainWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
               bool Repaint = true);
    ~TacMainWnd() override;

    virtual void SaveOriginalLook() {}
    // Called on release and on skin removal.
    virtual void RestoreOriginalLook() {}
    virtual void ApplySkinLook() { ParamsApplied = true; }
    virtual void WndProc(TMessage& Message);

    // Hands a message to what the adapter replaced; 0 when nothing was.
    LRESULT CallPrevWndProc(TMessage& Message);
    LRESULT CallPrevWndProc(UINT Msg, WPARAM WParam, LPARAM& LParam);
    // The same, false when the control's handlers freed the control and
    // this adapter with it: nothing of the adapter may be touched then.
    bool CallPrevStays(TMessage& Message);
    // A skin is there to draw with (skin data, manager, active skin).
    bool SkinnedNow() const;
    // The window keeps its own look for this message: no skin now, none for
    // the adapter's section, or the window is going.
    bool OwnLook(const TMessage& Message) const;
    // False once the adapter is freed: a handler reached through a message
    // passed on may free the control, and its adapter with it (TacLiveness).
    std::shared_ptr<const bool> Alive() const { return FAlive; }

    bool DlgMode = false;
    String Caption;
    TRect WndRect{};
    TPoint WndSize{};
    TPoint WndPos{};
    TRect ParentRect{};
    HWND ParentWnd = nullptr;
    HWND CtrlHandle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TacAdapterSkinData SkinData;
    bool Painting = false;
    bool ParamsApplied = false;
    // The owner control was made opaque here; released, it is given back as it was.
    bool MadeOwnerOpaque = false;
    TColor OrigColor = clNone;
    TColor OrigFontColor = clNone;
    bool Destroyed = false;
    // What was replaced: a control's WindowProc, or a plain window's procedure.
    TWndMethod OldWindowProc;
    WNDPROC OldWndProc = nullptr;
    // The hooks that hold our place in either chain.
    TWindowProcSubclass WindowHook;
    TWindowProcHook ControlHook;

protected:
    // KeepTheme leaves the window's visual style as it is.
    struct TDeferAttach {
        bool KeepTheme = false;
    };
    // For descendants that attach themselves once their own fields exist.
    TacMainWnd(TDeferAttach, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
               const String& SectionName);
    // Release on WM_DESTROY / WM_NCDESTROY, then the message passed on.
    void DestroyMessage(TMessage& Message);
    // The command answers of the base; False for a command to pass on.
    bool AlphaCommand(TMessage& Message);
    // The mouse over the window makes it the default manager's hot window.
    void MouseOver();
    // The release a destructor runs, from the class whose own look must come
    // back (a base destructor would restore only the base's); none while a
    // form's adapter list is cleared outside a skin removal.
    void ReleaseFromDestructor(bool Redraw);

private:
    void Construct(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                   bool KeepTheme);
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Taken before an adapter passes a message on (or sends one to its window):
// Gone() afterwards tells that the adapter was freed, or let go of its
// window, meanwhile. Then the adapter touches neither itself nor the window.
class TacLiveness {
public:
    explicit TacLiveness(const TacMainWnd* Adapter) : FAlive(Adapter->Alive()), FAdapter(Adapter) {}
    bool Gone() const { return !*FAlive || FAdapter->Destroyed; }

private:
    std::shared_ptr<const bool> FAlive;
    const TacMainWnd* FAdapter;
};

// --- Scroll bars ----------------------------------------------------------
// Parts of a bar, numbered as the scroll request each sends.
enum TacScrollPart {
    spNone = -1,
    spLineUp = SB_LINEUP,
    spLineDown = SB_LINEDOWN,
    spPageUp = SB_PAGEUP,
    spPageDown = SB_PAGEDOWN,
    spThumb = SB_THUMBTRACK,
};

constexpr WORD acScrollFlagWanted = 8;  // the window's style asks for the bar
constexpr UINT_PTR acHoverTimer = 65522;
constexpr UINT_PTR acFirstRepeatTimer = 65533;
constexpr UINT_PTR acRepeatTimer = 65534;

class TacScrollBar {
public:
    WORD ScrollFlags = 0;
    bool Visible = false;
    SCROLLINFO ScrollInfo{};
    int ArrowLength = -1;  // negative: that many times the default length
    int ArrowWidth = -1;   // negative: that many times the system metric
    int BarKind = SB_HORZ;
    int MinThumbSize = 10;
    TacScrollWnd* Owner = nullptr;
    // Re-reads ScrollInfo from the owner's window.
    void ReadInfo();
};

// Metric Which (0 arrow length, 1 thickness); UseSkin lets the skin's arrow
// length count where arrows are painted.
int ScrollBarMetric(const TacScrollBar* Bar, int Which, bool UseSkin);
TRect HorzScrollBarRect(const TacScrollWnd* Adapter, HWND Handle);
TRect VertScrollBarRect(const TacScrollWnd* Adapter, HWND Handle);
bool ScrollBarRect(const TacScrollWnd* Adapter, int BarKind, HWND Handle, TRect& R);
// A * B / C rounded half away from zero as MulDiv rounds (-1 for C 0), in
// 64 bits: a scroll range, and so a position's distance from nMin, may span
// more than an int holds.
long long ScrollMulDiv(long long A, long long B, long long C);
// Thumb length and start along the bar (screen coordinates as R's).
void CalcThumb(const TacScrollBar* Bar, const TRect& R, int& ThumbSize, int& ThumbPos);
int ScrollBarHitPart(const TacScrollBar* Bar, const TRect& R, TPoint P);
bool IsScrollBarEnabled(const TacScrollBar* Bar);
// An arrow (spLineUp, spLineDown) may be disabled on its own; other parts go with the bar.
bool IsScrollPartEnabled(const TacScrollBar* Bar, int Part);
// R in window coordinates; ThumbPos -1 for the computed place.
bool PaintScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& R);
// The same; Dragging lets a thumb drag paint the bar it holds back otherwise.
bool PaintScrollBarImpl(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& R,
                        bool Dragging);
LRESULT PaintScrollBars(TacScrollWnd* Adapter, HWND Handle, HDC DC, int ThumbPos);
void RefreshScrollBars(TacScrollWnd* Adapter, bool Repaint);
// The corner square between the bars may size the top-level window.
bool IsSizeGripPlace(const TacScrollWnd* Adapter, HWND Handle);

// The tracking state that all skinned bars share: one bar hot and one
// pressed at a time.
struct TacScrollTracking {
    HWND HotWindow = nullptr;
    int HotBarKind = -1;
    TRect HotBarRect{};
    int HotPart = -1;
    int PrevHotPart = -1;
    UINT_PTR HoverTimerId = 0;
    int TrackBarKind = -1;
    UINT TrackScrollMsg = 0;
    int PressedPart = -1;
    int ShownPressedPart = -1;
    UINT_PTR RepeatTimerId = 0;
    HWND TrackWindow = nullptr;  // the window that holds the press
    TRect DragRect{};
    int DragThumbPos = 0;
    int DragThumbSize = 0;
    int DragGrabOffset = 0;
    int LastTrackPos = -1;
    // The thumb request being sent (its message holds 16 bits of the place).
    HWND ThumbRequestWindow = nullptr;
    int ThumbRequestPos = 0;
};
extern TacScrollTracking acScrollTracking;
// Forgets every hover and press of Window, killing its timers.
void ResetScrollTracking(HWND Window);

// One scroll request with commands 51 and 52 around it.
void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Position);
// The whole place a thumb request to Handle (SB_THUMBTRACK, SB_THUMBPOSITION
// in WParam) names: a drag of ours sends places beyond 16 bits too.
int ThumbRequestPosition(HWND Handle, WPARAM WParam);

// --- The scrolling adapter ------------------------------------------------
class TacScrollWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacScrollWnd)
public:
    TacScrollWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                 bool Repaint = true);
    ~TacScrollWnd() override;
    void WndProc(TMessage& Message) override;

    TacScrollBar* HorzBar = nullptr;
    TacScrollBar* VertBar = nullptr;
    bool ThumbDragging = false;
    bool LeftScrollBar = false;
    int InsetLeft = 0, InsetRight = 0, InsetTop = 0, InsetBottom = 0;
    // The least frame on each side: a skin's frame drawn wider than the
    // system's would otherwise cover the client area's edge.
    int LeastInset = 0;
    bool InNCCalcSize = false;
    // The window's redrawing is off (WM_SETREDRAW): the bars wait for it too.
    bool RedrawOff = false;

    TacScrollBar* Bar(int Kind) const { return Kind == SB_HORZ ? HorzBar : Kind == SB_VERT ? VertBar : nullptr; }

protected:
    // For descendants that attach (InitScrollAdapter) once their own fields exist.
    TacScrollWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                 const String& SectionName)
        : TacMainWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}
    // The handlers of the window procedure (tracking ones in acSBUtilsTracking.cpp).
    void NCCalcSize(TMessage& Message);
    void SetRedraw(TMessage& Message);
    void NCHitTest(TMessage& Message);
    void NCPaint(TMessage& Message);
    void NCMouseMove(TMessage& Message);
    void NCButtonDown(TMessage& Message);
    void Timer(TMessage& Message);
    void MouseMove(TMessage& Message);
    void ButtonUp(TMessage& Message);
    void StyleChange(TMessage& Message);
    void NCOtherButton(TMessage& Message);
    void SysCommand(TMessage& Message);
    void CaptureChanged(TMessage& Message);
    void UIActivate(TMessage& Message);
    void FocusOrWheel(TMessage& Message);
    void HoverTick();
    void RepeatTick();
    void PressedPartMove(TPoint ScreenPoint);
    // False when a request's handler freed the adapter or released it (EndPress too).
    bool CaptureLost();
    void PaintOneBar(int Kind, int ThumbPos = -1);
    bool EndPress(bool Cancelled);
    void TrackThumb(TacScrollBar* Bar, TPoint ScreenPoint);
    void ScrollAlphaCommand(TMessage& Message);
    // Passes the message on, then repaints the bars if the window moved them.
    void PassOn(TMessage& Message);

public:
    // Compares the bars' scroll information, enabled state and style bits
    // with those last seen (and remembers them).
    bool BarsChangedSince();

private:
    int FDragThumb = -1;  // screen place of the dragged thumb
    SCROLLINFO FSeenInfo[2]{};
    bool FSeenEnabled[2]{};
    LONG_PTR FSeenStyle = 0;
};

// --- Free routines --------------------------------------------------------
// False when the window takes no more hooks: the adapter is left released
// (Destroyed) for its maker to free.
bool SubclassAdapterWindow(TacMainWnd* Adapter, HWND Handle);
// Releases the window; with FreeIt the adapter is freed and Adapter cleared.
void UnsubclassAdapterWindow(HWND Handle, bool FreeIt, bool Repaint, TacMainWnd*& Adapter);
void InitScrollAdapter(TacScrollWnd* Adapter, HWND Handle, bool Repaint);
void UninitScrollAdapter(HWND Handle, bool FreeIt, bool Repaint, TacMainWnd*& Adapter);
void RedrawAdapterFrame(HWND Handle, bool FrameChanged);
TacMainWnd* AdapterOfWindow(HWND Handle);
// The adapters of windows they subclassed (no controls of the class library)
// that are direct children of Parent, found without asking the window manager
// for Parent's children; valid until a message reaches any of them.
std::vector<TacMainWnd*> ForeignChildAdapters(HWND Parent);
// Command 6 to every adapted window below Window: what RefreshChildWindows
// does for a window that holds no controls of the class library, without
// asking the window manager for the children of every window below it.
void RefreshAdaptedDescendants(HWND Window);
TacScrollBar* ScrollBarOfWindow(HWND Handle, int Bar);
// Bar 0, 1, or 3 (both); 1 when set, 0 without an adapter.
int SetScrollBarMinThumb(HWND Handle, int Bar, int Size);
inline int DefaultMinThumbSize() { return 10; }
String ReadWindowText(HWND Handle);
void AdapterGeometry(TacMainWnd* Adapter);
TWinControl* FindControlByHandle(HWND Handle, TComponent* Component);
void UpdateAdapterCache(TsCommonData* SkinData, HWND Handle, bool UseSkinFrame);
void PaintAdapterBorder(TacMainWnd* Adapter, int State = 0);
// The release every route shares (procedure, property, tracking, look);
// Redraw asks for the frame to be drawn again, with Repaint recomputed.
void ReleaseAdapter(TacMainWnd* Adapter, bool Redraw, bool Repaint);

// --- Adapters of edits, lists, combo boxes and the MDI client -------------
// (acSBUtilsEdits.cpp) Each concrete adapter attaches at the end of its own
// constructor, so that the look it saves and applies is its own; the
// protected constructors leave that to a descendant.

class TacBaseWnd : public TacScrollWnd {
    CLASSLIB_DECLARE_CLASS(TacBaseWnd)
public:
    TacBaseWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
               bool Repaint = true)
        : TacScrollWnd(Handle, SkinData, SkinManager, SectionName, Repaint) {}
    void WndProc(TMessage& Message) override;

protected:
    TacBaseWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
               const String& SectionName)
        : TacScrollWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}
};

class TacEditWnd : public TacBaseWnd {
    CLASSLIB_DECLARE_CLASS(TacEditWnd)
public:
    TacEditWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
               bool Repaint = true);
    ~TacEditWnd() override;
    void SaveOriginalLook() override;
    void RestoreOriginalLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    TColor BgColor = clWindow;  // of a plain window
    TColor FrameColor = 0;
    // One brush of Colour for the WM_CTLCOLOR* answers, kept until the colour
    // changes or the adapter goes.
    HBRUSH ColorBrush(TColor Colour);
    // A foreign window's WM_CTLCOLOR* answer: the section's colours set into
    // DC and the brush to return (the adapter's own); nil for a window of a
    // control of ours, or without a section, which keeps its own colours.
    HBRUSH SectionColors(HDC DC);
    // The same colours: False where SectionColors gives no brush.
    bool SectionLook(TColor& Back, TColor& Text);

protected:
    TacEditWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
               const String& SectionName)
        : TacBaseWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}
    // The attaching steps every descendant's constructor ends with.
    void Attach(bool Repaint);
    // The release of a destructor, run by each class that restores a look of
    // its own (a base destructor would restore only the base's).
    void ReleaseInDestructor();
    // The routines of the edit's window procedure.
    void EditCommand(TMessage& Message);
    void EditPaint(TMessage& Message);
    void EditErase(TMessage& Message);
    void EditNCPaint(TMessage& Message);
    void EditPrint(TMessage& Message);
    // The base's handling, then the bars redrawn after the messages that move them.
    void EditPassOn(TMessage& Message);
    // The colours a foreign window asks its parent for (WM_CTLCOLOR*).
    void ForeignColors(TMessage& Message);
    // DC's origin moved to the client area's corner and clipped to it (printing).
    void ToClientArea(HDC DC) const;
    // The cache rebuilt when out of date and the frame strips and bars drawn into DC.
    void PaintFrame(HDC DC, int StripWidth);
    // The section: the skin data's, -1 when it has none.
    const TsGeneralData* SectionData() const;

    // The owner's colours as the skin's look left them: only a colour still
    // the skin's goes back to the original (the control or the program may
    // have chosen another since).
    TColor FAppliedColor = clNone;
    TColor FAppliedFontColor = clNone;

private:
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = clNone;
};

class TacComboListWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacComboListWnd)
public:
    TacComboListWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                    bool Repaint = true);
    void WndProc(TMessage& Message) override;

    bool ListTracking = false;
    bool SimpleList = false;

private:
    void PrepareFrame();
    // The width of the skin's frame round an open drop-down list, 0 without one.
    int ListFrameWidth() const;
    // What the skin's frame adds on each side to the system's border.
    int ListFrameExtra() const;
    // The handlers of the list's procedure; a false answer passes the message on.
    void ListNCPaint(TMessage& Message);
    void ListNCCalcSize(TMessage& Message);
    void ListPlacing(TMessage& Message);
    void FillBelowSimpleList();
    void ListNCButtonDown(TMessage& Message);
    bool ListPrint(TMessage& Message);
    bool ListButtonUp(TMessage& Message);
};

class TacComboBoxWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacComboBoxWnd)
public:
    TacComboBoxWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                   bool Repaint = true);
    ~TacComboBoxWnd() override;
    void WndProc(TMessage& Message) override;
    // The drop-down button in window coordinates.
    virtual void GetButtonRect(TRect& R);

    HWND ListHandle = nullptr;
    TacComboListWnd* ListAdapter = nullptr;

    void PaintComboButton(HDC DC);

protected:
    TacComboBoxWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                   const String& SectionName);

private:
    void PrepareComboCache();
    void ComboPaint(TMessage& Message);
    void ComboPrint(TMessage& Message);
    void CtlColorListBox(TMessage& Message);
    void CtlColorEdit(TMessage& Message);
    void DrawSelectionText(TBitmap* Cache);
    bool Simple() const;
};

// The combo box of another library whose button may be hidden.
class TacWWComboBoxWnd : public TacComboBoxWnd {
    CLASSLIB_DECLARE_CLASS(TacWWComboBoxWnd)
public:
    TacWWComboBoxWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                     bool Repaint = true);
    void GetButtonRect(TRect& R) override;
    bool ShowButton = true;
};

// The client area of an MDI client window in its frame's picture, which
// covers the frame's whole window.
TRect MDIAreaRect(HWND Client, HWND Frame);
// The frame's picture under an MDI client window painted into DC (the
// client's coordinates), with the frame's windowless controls that the client
// window covers drawn over it; false while the picture does not reach that far.
bool PaintMDIArea(HWND Client, TWinControl* Frame, TBitmap* FrameCache, HDC DC);

// The client window of an MDI frame, painted with the frame form's picture.
class TacMDIWnd : public TacBaseWnd {
    CLASSLIB_DECLARE_CLASS(TacMDIWnd)
public:
    TacMDIWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
              bool Repaint = true)
        : TacBaseWnd(Handle, SkinData, SkinManager, SectionName, Repaint) {}
    ~TacMDIWnd() override;
    void WndProc(TMessage& Message) override;

    // Not owned; set by whoever makes the adapter.
    TCustomForm* Form = nullptr;
    TsCommonData* FormSkinData = nullptr;
    TObject* Provider = nullptr;

private:
    bool ChildMaximized() const;
    // The frame's picture under the client window into DC (client coordinates).
    void PaintArea(HDC DC);
    // The handlers of the window procedure; a false answer passes the message on.
    void AnswerCache(TMessage& Message);
    bool PaintClient();
    bool EraseBackground(TMessage& Message);
    void PaintBorder(TMessage& Message);
    void PrintArea(TMessage& Message);
    // What follows the base's handling: scrolling, new children, the menu.
    void AfterPassedOn(TMessage& Message);
};

// --- Adapters of list views, trees, grids and virtual trees ---------------
// (acSBUtilsLists.cpp)

class TacListViewWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacListViewWnd)
public:
    TacListViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                   bool Repaint = true);
    ~TacListViewWnd() override;
    void SaveOriginalLook() override;
    void RestoreOriginalLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    HWND HeaderWnd = nullptr;
    int PressedSection = -1;
    int HotSection = -1;
    int HeaderHeight = 0;
    bool HeaderPressed = false;
    // The header's own procedure under ours.
    TWindowProcSubclass HeaderHook;

    // The header into DC (the header's own when nil).
    void PaintHeader(HDC DC);
    bool ReportView() const;

private:
    void HookHeader(HWND Header);
    void UnhookHeader();
    void HeaderProc(TMessage& Message);
    // The handlers of the header's procedure.
    void HeaderReleased(TMessage& Message);
    void HeaderPaint(TMessage& Message);
    void HeaderMoving(TMessage& Message);
    void HeaderButtonDown(TMessage& Message);
    void HeaderButtonUp(TMessage& Message);
    void HeaderMouseMove(TMessage& Message);
    void HeaderMouseLeave(TMessage& Message);
    bool HeaderButtons() const;
    void RedrawHeader();
    void PaintSection(HDC DC, int Index, const TRect& R, bool Empty);
    // The handlers of the list view's procedure.
    void ListCommand(TMessage& Message);
    void Scroll(TMessage& Message);
    void ThumbTrack(TMessage& Message);
    void PrintHeader(TMessage& Message);
    void ChildCreatedOrDestroyed(TMessage& Message);
    // What follows the base's handling: the bars, the capture, the header.
    void AfterPassedOn(TMessage& Message);
    // Where the list view stood when the scroll request began (see ThumbTrack).
    int FRealPos[2] = {0, 0};
};

class TacTreeViewWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacTreeViewWnd)
public:
    TacTreeViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                   bool Repaint = true);
    ~TacTreeViewWnd() override { ReleaseInDestructor(); }
    void RestoreOriginalLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;
    // The background the tree is given.
    TColor TreeColor() const;
};

// Grids of other libraries, coloured through their published properties.
class TacGridWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacGridWnd)
public:
    TacGridWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
               bool Repaint = true);
    ~TacGridWnd() override { ReleaseInDestructor(); }
    void SaveOriginalLook() override;
    void RestoreOriginalLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    TColor OrigFixedColor = clNone, OrigFooterColor = clNone, OrigFooterCellColor = clNone;
    TColor OrigTitleFontColor = clNone, OrigTitleColor = clNone, OrigIndicatorIconColor = clNone;

protected:
    TacGridWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
               const String& SectionName)
        : TacEditWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}
};

class TacGridEhWnd : public TacGridWnd {
    CLASSLIB_DECLARE_CLASS(TacGridEhWnd)
public:
    TacGridEhWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                 bool Repaint = true);
};

// What a virtual tree hands its header-drawing events.
struct TacHeaderPaintInfo {
    HDC DC = nullptr;
    TRect PaintRectangle{};
    int Column = -1;  // -1: the header area outside the columns
    bool IsHot = false;
    bool IsDown = false;
    String Text;
};
// Elements of the header to draw: background, text, sort glyph and so on.
enum : int { hpeBackground = 1, hpeDropMark = 2, hpeHeaderGlyph = 4, hpeSortGlyph = 8, hpeText = 16 };
using TacAdvancedHeaderPaintEvent = TMethod<void(TObject* Sender, TacHeaderPaintInfo& PaintInfo, int Elements)>;
using TacHeaderPaintQueryElementsEvent = TMethod<void(TObject* Sender, TacHeaderPaintInfo& PaintInfo, int& Elements)>;

class TacVirtualTreeViewWnd : public TacEditWnd {
    CLASSLIB_DECLARE_CLASS(TacVirtualTreeViewWnd)
public:
    TacVirtualTreeViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                          bool Repaint = true);
    ~TacVirtualTreeViewWnd() override { ReleaseInDestructor(); }
    void SaveOriginalLook() override;
    void RestoreOriginalLook() override;
    void ApplySkinLook() override;
    void WndProc(TMessage& Message) override;

    TColor OrigCompressedTextColor = clNone, OrigFileTextColor = clNone, OrigFolderTextColor = clNone;
    bool OrigOwnerDraw = false;

    // The handlers the adapter puts on the tree's header events.
    void HeaderDrawQueryElements(TObject* Sender, TacHeaderPaintInfo& PaintInfo, int& Elements);
    void AdvancedHeaderDraw(TObject* Sender, TacHeaderPaintInfo& PaintInfo, int Elements);

private:
    TacAdvancedHeaderPaintEvent DrawHandler() {
        return TacAdvancedHeaderPaintEvent(this, &TacVirtualTreeViewWnd::AdvancedHeaderDraw);
    }
    TacHeaderPaintQueryElementsEvent QueryHandler() {
        return TacHeaderPaintQueryElementsEvent(this, &TacVirtualTreeViewWnd::HeaderDrawQueryElements);
    }
    void TreePrint(TMessage& Message);
    void TreeNCPaint(TMessage& Message);
};

// The scrolling adapter of a skinned edit-like (or tree) control, the owner
// of SkinData: while the data has a skin one is made for the control's window
// when none is attached (one whose window let go is freed first); without a
// skin it is freed. Adapter is the control's field that holds it.
void UpdateEditScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter);
void UpdateTreeScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter);
