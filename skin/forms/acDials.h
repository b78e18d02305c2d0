// Windows the program never skinned itself: the thread's window-creation hook
// gives message boxes, standard dialogs, popup menus and forms without a
// provider their skin; the dialog frame adapter and its window menu.
#pragma once

#include <windows.h>

#include "Classes.h"
#include "Menus.h"
#include "acSBUtils.h"
#include "acSystemMenu.h"
#include "acTitleBar.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <memory>
#include <vector>

class TacDialogWnd;
class TacProvider;
class TacMnuWnd;
class TsSkinProvider;

// Sent by whoever adds children to a dialog after it is shown.
constexpr UINT acNewChildrenMessage = 0x52E;
// Answered acOwnRegionAnswer by a window that keeps its own region.
constexpr UINT acRegionQuery = 0xBC4D;
constexpr WPARAM acOwnRegionAnswer = 0x41A2;

// --- The window menu of a skinned dialog ------------------------------------

class TacSystemMenu : public TacWindowMenu {
    CLASSLIB_DECLARE_CLASS(TacSystemMenu)
public:
    explicit TacSystemMenu(TComponent* AOwner) : TacWindowMenu(AOwner) {}
    TacDialogWnd* DialogWnd = nullptr;
    // Visibility and enabling from the dialog's style and state.
    void UpdateItems() override;

private:
    void ItemCommand(WPARAM Command) override;
};

// --- The dialog frame adapter ------------------------------------------------

// Frame kinds: what a dialog's style makes of its border and title.
enum TacFrameKind : BYTE {
    fkModal = 0,  // DS_MODALFRAME without WS_THICKFRAME (message boxes)
    fkFixed = 1,
    fkNoCaption = 2,  // a pop-up without the whole WS_CAPTION
    fkSizeable = 3,
    fkSmallFixed = 4,
    fkSmallSizeable = 5,
};

// A dialog's title elements: the four system buttons as its style shows them.
class TacDialogTitle : public TacTitleElements {
public:
    explicit TacDialogTitle(TacDialogWnd* Dialog) : FDialog(Dialog) {}
    int Mask(int Code) const override;
    bool Enabled(int Code) const override;
    bool Hittable(int Code) const override;
    void Repaint(int Code) override;
    HWND Window() const override;

private:
    TacDialogWnd* FDialog;
};

class TacDialogWnd : public TacScrollWnd {
    CLASSLIB_DECLARE_CLASS(TacDialogWnd)
public:
    TacDialogWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                 bool Repaint = false);
    ~TacDialogWnd() override;
    void WndProc(TMessage& Message) override;
    // Puts back what PrepareDialog took: the system menu style, the region.
    void RestoreOriginalLook() override;

    std::vector<TRect> RegionRects;
    bool Active = true;
    bool ChildrenCreated = false;
    // The title buttons, the one under the mouse and the one held down.
    TacDialogTitle Title{this};
    // The top band of the frame (title and frame height) before the title is
    // painted, for sections whose flag asks to keep it.
    std::unique_ptr<TBitmap> TitleBgBmp;
    HICON IconHandle = nullptr;  // the window's own
    HICON TitleIcon = nullptr;   // its small-size copy, ours
    TSize IconSize{0, 0};
    TFont* CaptionFont = nullptr;
    LONG_PTR StyleValue = 0;
    LONG_PTR ExStyleValue = 0;
    bool FrameChanged = true;
    // What the cache holds under the client area, known once asked after
    // each new picture.
    TacPlainArea ClientFill;
    bool ClientFillKnown = false;
    int Width = 0, Height = 0;
    BYTE FrameKind = fkFixed;
    TacSystemMenu* SystemMenu = nullptr;
    TacProvider* Provider = nullptr;

    void PrepareDialog();
    void LoadTitleButtonMasks();
    // TitleOnly: the title band alone, over the frame's picture kept from
    // the last whole paint (TitleBgBmp), when the section keeps one.
    void PaintFrame(bool TitleOnly = false);
    bool KeepsTitleBackground() const;
    // The cache's frame around the client area (Thin: a 3-pixel border) to the window.
    void CopyFrameToWindow(bool Thin);
    void UpdateDialogRegion(bool Redraw);
    // Frame and title sizes of the kind (title 0 without the whole WS_CAPTION).
    int FrameWidth() const;
    int FrameHeight() const;
    int TitleHeight() const;
    bool CanMaximize() const;
    bool CanRestore() const;
    bool CanMinimize() const;
    bool CanClose() const;
    bool HasGrip() const;
    // The brush answered to WM_CTLCOLORDLG (one per colour, freed with the adapter).
    HBRUSH DialogBrush();

private:
    friend struct TacTestAccess;  // the leak tests count what is alive
    // Dialog brushes alive in the program (each adapter holds at most one).
    static inline int FBrushCount = 0;
    void NCDestroy(TMessage& Message);
    // The skinned route: one handler per message.
    void SkinnedStage(TMessage& Message);
    void ButtonUp(TMessage& Message);
    void NCRightButton(TMessage& Message);
    void Resized(TMessage& Message);
    void TitleChanged(TMessage& Message);
    void DrawItem(TMessage& Message);
    void ChildColors(TMessage& Message);
    void Paint(TMessage& Message);
    void RecolourPanels();
    void ItemInSectionColours(const DRAWITEMSTRUCT& Item);
    void MouseMove(TMessage& Message);
    void MouseLeft(TMessage& Message);
    void NewChildren(TMessage& Message);
    void SysCommand(TMessage& Message);
    void Geometry();
    void NCPaint(TMessage& Message);
    void EraseBackground(TMessage& Message);
    void HitTest(TMessage& Message);
    void NCButtonDown(TMessage& Message);
    void NCButtonUp(TMessage& Message);
    void NCDoubleClick(TMessage& Message);
    void DialogAlphaCommand(TMessage& Message);
    void ShowSystemMenu(int X, int Y);
    void Command(WPARAM Code);
    // Places the title buttons; the left edge of their row.
    int PlaceButtons();
    TacTitleLook TitleLook(int ButtonsLeft) const;
    void CopyToWindow(HDC DC, const TRect& R);
    void AdaptNewChildren();
    friend class TacDialogTitle;
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = clNone;
    bool FSysMenuRemoved = false;
    bool FRegionSet = false;
};

// Makes (or frees, without an active skin) the adapter of a dialog window.
void InitDialogAdapter(HWND Window, TacDialogWnd*& Adapter);

// --- Providers made by the hook ----------------------------------------------

class TacProvider : public TComponent {
    CLASSLIB_DECLARE_CLASS(TacProvider)
public:
    explicit TacProvider(TComponent* AOwner);
    ~TacProvider() override;
    bool LeftScrollBar = false;
    HWND CtrlHandle = nullptr;
    TsSkinProvider* SkinProvider = nullptr;
    TacDialogWnd* DialogWnd = nullptr;
    std::vector<TacMainWnd*> ChildAdapters;

private:
    friend struct TacTestAccess;
    // Providers alive in the program.
    static inline int FInstanceCount = 0;
};

// The hook's state: every entry of the provider list is a live provider.
extern HHOOK acHookHandle;
extern std::vector<TacProvider*> acProviderList;
extern std::vector<TacMnuWnd*> acMenuAdapters;
extern LONG_PTR acLastDialogStyle;

LRESULT CALLBACK CBTHookProc(int Code, WPARAM WParam, LPARAM LParam);
bool InstallDialogHook(TsSkinManager* Manager);
void RemoveDialogHook(TsSkinManager* Manager);
bool SkinActivatedWindow(HWND Window);
bool InitDialogProvider(TacProvider* Provider, HWND Window);
bool CreateChildAdapters(TacProvider* Provider, HWND Parent);
bool AdapterForChildWindow(TacProvider* Provider, HWND Child);
void CreateFormProvider(TacProvider* Provider, TCustomForm* Form);
void FreeClosedDialogProviders();
void ClearMenuAdapters();
TacProvider* ProviderOfWindow(HWND Window);
TCustomForm* FormOfWindow(HWND Window);
int VisibleDialogCount();
bool HasDescendantOfClass(HWND Window, const String& LowerClassName);
String WindowClassName(HWND Window);
