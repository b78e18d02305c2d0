// The form skin provider: one per form, it takes over the form's window
// procedure and draws frame, title bar, icon, buttons and menu line from the
// skin; with it the title buttons, title icon, the skinned system menu and the
// MDI client hook.
#pragma once

#include <windows.h>

#include "Forms.h"
#include "Lists.h"
#include "Menus.h"
#include "WindowHooks.h"
#include "acSystemMenu.h"
#include "acTitleBar.h"
#include "sCommonData.h"
#include "sControlTypes.h"
#include "sGraphUtils.h"
#include "sSkinManager.h"

#include <functional>
#include <memory>
#include <vector>

class TsSkinProvider;
class TacScrollWnd;
class TacCtrlAdapter;

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };
CLASSLIB_ENUM_NAMES(TsGripMode, "gmNone", "gmRightBottom")
CLASSLIB_ENUM_NAMES(TsResizeMode, "rmStandard", "rmBorder")

using TAddItemEvent = std::function<void(TComponent* Item, bool& CanBeAdded, String& SkinSection)>;

// Title-element codes: the hit-test answers the provider gives for them.
enum TacTitleElement : int {
    teNone = 0,
    teCaption = HTCAPTION,   // 2
    teIcon = HTSYSMENU,      // 3
    teMin = HTMINBUTTON,     // 8
    teMax = HTMAXBUTTON,     // 9
    teGrip = HTBOTTOMRIGHT,  // 17
    teClose = HTCLOSE,       // 20
    teHelp = HTHELP,         // 21
    teMDIClose = 101,
    teMDIMax = 102,
    teMDIMin = 103,
    teUserFirst = 1000,  // + index of the user title button
};

// --- Title buttons and icon --------------------------------------------------

class TsTitleButton : public TCollectionItem {
    CLASSLIB_DECLARE_CLASS(TsTitleButton)
public:
    explicit TsTitleButton(TCollection* Collection);
    ~TsTitleButton() override;
    bool UseSkinData = true;
    String Name() const { return FName; }
    void SetName(const String& Value) {
        if (Value != FName) FName = Value;
    }
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    bool Enabled = true;
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseDown;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Assign(TPersistent* Source) override;
    // Painting state owned by the provider.
    TsCaptionButton BtnData;

protected:
    String GetDisplayName() const override { return FName; }

private:
    String FName;
    TBitmap* FGlyph;
};

class TsTitleButtons : public TOwnedCollection {
    CLASSLIB_DECLARE_CLASS(TsTitleButtons)
public:
    explicit TsTitleButtons(TsSkinProvider* AProvider);
    ~TsTitleButtons() override;
    TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
    TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }
    TsSkinProvider* Provider() const { return FProvider; }

private:
    TsSkinProvider* FProvider;
};

class TsTitleIcon : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsTitleIcon)
public:
    TsTitleIcon();
    ~TsTitleIcon() override;
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int Height = 0;  // 0: the size follows the caption
    int Width = 0;

private:
    TBitmap* FGlyph;
};

// --- The skinned system menu -------------------------------------------------

class TsSystemMenu : public TacWindowMenu {
    CLASSLIB_DECLARE_CLASS(TsSystemMenu)
public:
    explicit TsSystemMenu(TsSkinProvider* AProvider);
    TsSkinProvider* Provider;
    TCustomForm* Form = nullptr;

    // Visible and Enabled of the six items from the form's border style,
    // border icons and window state.
    void UpdateItems() override;
    // The list of available skins as the first item, with a separator below.
    void MakeSkinItems();
    // Takes the skin list out again (the separator goes with it).
    void RemoveSkinItems();
    void SelectSkin(TObject* Sender);

    bool VisibleRestore() const;
    bool VisibleSize() const;
    bool VisibleMin() const;
    bool VisibleMax() const;
    bool VisibleClose() const;
    bool EnabledRestore() const;
    bool EnabledMove() const;
    bool EnabledSize() const;
    bool EnabledMin() const;
    bool EnabledMax() const;

private:
    TMenuItem* CreateItem(const String& Caption, const String& Name, TNotifyEvent OnClick);
    // A chosen window command: restore, minimize and maximize do more than send it.
    void ItemCommand(WPARAM Code) override;
    void Command(WPARAM Code);
    void MinimizeClick();
    void MaximizeClick();
    bool Iconic() const;
    bool IsMDIChild() const;
};

// --- The MDI client hook -----------------------------------------------------

// Hooks an MDI frame's client window: its background is painted from
// "MDIAREA" (else the frame's section) and the frame hears of child changes.
class TacMDIWnd;

class TsMDIForm : public TObject {
    CLASSLIB_DECLARE_CLASS(TsMDIForm)
public:
    explicit TsMDIForm(TsSkinProvider* AProvider);
    ~TsMDIForm() override;
    // (Re)subclasses the frame's client window once it exists.
    void ConnectClient();
    // The frame repaints its title and menu line for the active child's state.
    void UpdateProvider();
    // The MDI area ("MDIAREA", else the skin's global colour) painted into
    // the frame's picture at the client window's place.
    void PaintArea(TBitmap* Cache);
    TsSkinProvider* Provider;

private:
    void ClientProc(TMessage& Message);
    void PaintBackground(HDC DC);
    // The area's section (else the global colour) on R of DC.
    void PaintSection(HDC DC, const TRect& R);
    // The client window moved or took another size: the frame's picture
    // holds the area at its old place.
    void ClientMoved(TMessage& Message);
    TWindowProcSubclass FClientHook;
    // The client window's own frame and scroll bars, in the skin.
    std::unique_ptr<TacMDIWnd> FAdapter;
};

// --- The title elements of a form ------------------------------------------

// The form's title elements: the system buttons its border icons show, the
// user's title buttons (teUserFirst + index) and a maximized MDI child's
// buttons, which an MDI frame shows on its menu line.
class TsFormTitle : public TacTitleElements {
public:
    explicit TsFormTitle(TsSkinProvider* Provider) : FProvider(Provider) {}
    TsCaptionButton MDIMin, MDIMax, MDIClose;

    TsCaptionButton* Element(int Code) override;
    // The glyph an element shows now: the restore glyph for the maximize
    // button of a maximized form and the minimize button of an iconic one.
    int Mask(int Code) const override;
    bool Enabled(int Code) const override;
    void Repaint(int Code) override;
    HWND Window() const override;

    // The glyph masks of every element, from the skin.
    void LoadMasks();
    // The title buttons shown, right to left, as element codes. Painting and
    // hit testing both use this list, so every painted button is hit where it is drawn.
    std::vector<int> Shown() const;
    int UserButtonWidth(TsTitleButton* Button) const;
    // The room the shown buttons take, their gaps included.
    int ButtonsWidth() const;
    // The buttons placed and painted on the frame's cache over the saved strip.
    void PaintButtons();
    // The system would draw a maximized MDI child's buttons at the right of the
    // frame's menu bar; the provider paints the menu line, so it draws them too.
    void PaintMDIButtons();

private:
    void PaintUserGlyph(TsTitleButton* Button, bool Pressed, bool Dimmed);
    TsSkinProvider* FProvider;
    int FUserMask = -1;  // the skin's TITLEBUTTON glyph of the user's buttons
};

// --- The provider ------------------------------------------------------------

class TsSkinProvider : public TComponent {
    CLASSLIB_DECLARE_CLASS(TsSkinProvider)
public:
    explicit TsSkinProvider(TComponent* AOwner);
    ~TsSkinProvider() override;
    void AfterConstruction() override;

    // --- Published -------------------------------------------------------
    bool MakeSkinMenu = false;
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    TsTitleIcon* TitleIcon() const { return FTitleIcon; }
    TsTitleButtons* TitleButtons() const { return FTitleButtons; }
    // Takes a copy of Value's buttons.
    void SetTitleButtons(TsTitleButtons* Value);
    TsGripMode GripMode = gmNone;
    TsCommonData* SkinData() const { return FSkinData; }
    TsResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    String TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const String& Value);
    String MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const String& Value);
    // Asked by the control adapter for every child it would adapt (followed when set later too).
    TAddItemEvent OnSkinItem;

    // --- Run time ----------------------------------------------------------
    // The form served; nil for a second provider on one form.
    TForm* Form = nullptr;
    TsSystemMenu* SystemMenu = nullptr;
    bool FormActive = true;
    // The title buttons: their places, glyphs and states, the hot and the pressed one.
    TsFormTitle Title{this};
    TsMDIForm* MDIForm = nullptr;
    TacScrollWnd* ScrollAdapter = nullptr;
    // The control adapter of the form's children: made while skinned, freed
    // (its items told first) when the skin goes.
    TacCtrlAdapter* Adapter = nullptr;
    // Makes the adapter when there is none, else walks the form for new controls.
    void UpdateAdapter();
    void RemoveAdapter();
    // A copy of a message to every adapted child.
    void AdapterBroadcast(UINT Msg, WPARAM WParam, LPARAM LParam);
    TBitmap* MenuLineBmp = nullptr;
    // The frame under the title (its top rows, before the title is painted), kept
    // when the skin's form section asks for it: a caption or icon change paints
    // only the title over it. Nil while there is none to trust.
    std::unique_ptr<TBitmap> FrameBmp;
    std::vector<TRect> RegionRects;
    bool RgnChanged = true;
    bool FramePainted = false;

    // The skinned scroll bars of the form itself: made while the form is
    // skinned and on the screen, dropped when the skin goes.
    void UpdateScrollAdapter();
    // A form-show animation is pending (systems before major version 6).
    bool ShowAnimating = false;

    void PrepareForm();
    void RefreshFormFrame();
    void PrepareMenus(bool Activate);
    // The main menu's entries written anew, so that the system measures the
    // owner-drawn ones for the skin; once per form until an MDI change.
    void RebuildMainMenu();
    // No painting of the form (and, WithFrame, of an MDI child's frame)
    // while an MDI child changes its state; End gives it back.
    void BeginMDIUpdate(bool WithFrame);
    void EndMDIUpdate(bool WithFrame);
    // The MDI frame's title and menu line made anew for its children's
    // state, and its client area redrawn.
    static void RefreshMDIFrame();
    void SetMDIHook(bool Active);
    static TsSkinProvider* QueryProvider(TControl* Control);

    // --- Frame geometry --------------------------------------------------
    bool HasBorder() const;
    int CaptionHeight() const;
    int SysBorderHeight() const;
    int SysBorderWidth() const;
    int BottomFrame() const;
    int FormWidth() const;
    int FormHeight() const;
    int HeaderHeight();
    int ClientOffsetX() const;
    int ClientOffsetY() const;
    int IconWidth() const;
    int IconHeight() const;
    TRect IconRect() const;
    int MenuRowHeight() const;
    bool MenuPresent() const;
    int MenuRows();
    int TitleSection() const;
    // The maximized MDI child whose buttons the frame shows on its menu line; nil when none.
    TCustomForm* MaximizedChild() const;

    // --- Painting ----------------------------------------------------------
    void PaintAll();
    void UpdateFrame(HDC DC);
    // TitleOnly: only the title changed, the rest of the frame image stands.
    void RepaintFormFrame(bool TitleOnly = false);
    void PaintClient(HDC DC, bool SendUpdated);

    // --- Mouse ---------------------------------------------------------------
    // The title element under the mouse (the system's answer elsewhere); it turns hot.
    void HitTest(TMessage& Message);
    // The painted element at the message's point: a title element, the grip,
    // HTTRANSPARENT on the edge of a zoomed form; HTNOWHERE elsewhere.
    int TitleElementAt(const TMessage& Message);
    void DropSystemMenu(int X, int Y);
    // The outline drag of rmBorder (started by a move or size command): an
    // inverted rectangle on the desktop follows the mouse, the form moves or
    // sizes once at the button's release. Apply: move or size the form to
    // the outline; otherwise only erase it.
    void EndOutlineDrag(bool Apply);
    static bool OutlineDragging();

    // --- Region --------------------------------------------------------------
    void BuildFormRegionRects();
    void UpdateFormRegion(bool Repaint);

    // A borderless, non-activating window over the title bar showing the frame's
    // picture, so that a system that paints its own caption on a text or
    // activation change paints under it (systems before major version 6).
    void ShowCaptionCover();
    TForm* CaptionCover = nullptr;
    // The same over the right end of an MDI frame's menu line during a menu
    // loop, where the system would draw a maximized child's own buttons.
    void ShowMenuCover();
    TForm* MenuCover = nullptr;

    // The window procedure that replaced the form's.
    void NewWndProc(TMessage& Message);
    // The major version of the system: a seam, so that the paths kept for old
    // systems can be tested on a new one.
    static std::function<int()> SystemMajorVersion;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void OldProc(TMessage& Message) { FHook.CallPrevious(Message); }
    bool SkinnedNow() const;
    // The routes of a message: commands answered skinned or not, the unskinned
    // route, the skinned one.
    bool AnyStageAlphaCommand(TMessage& Message);
    void UnskinnedMessage(TMessage& Message);
    void SkinnedStage(TMessage& Message);
    // One handler per message of the skinned route.
    void Created(TMessage& Message);
    void Sized(TMessage& Message);
    void Activated(TMessage& Message);
    void RepaintOtherMDIChildren();
    void ChildActivated(TMessage& Message);
    void MeasureItem(TMessage& Message);
    // A system command of an MDI child: a maximized child's state is shown on its frame.
    void KeyMenu(const TMessage& Message);
    void MDIChildCommand(TMessage& Message);
    void RestoreOtherMaximizedChildren();
    void HoldMDIUpdate(bool Hold, bool WithFrame);
    void PosChanging(TMessage& Message);
    void PosChanged(TMessage& Message);
    void Sizing(TMessage& Message);
    void NCRButton(TMessage& Message);
    void MouseLeft(TMessage& Message);
    void MenuLoop(TMessage& Message);
    void MDIChildChanged(TMessage& Message);
    void ShowWindowChanged(TMessage& Message);
    void MouseEntered(TMessage& Message);
    void Floated(TMessage& Message);
    void ChildrenChanged(TMessage& Message);
    void OutlineMouse(TMessage& Message);
    void LookChanged(TMessage& Message);
    void SkinnedAlphaCommand(TMessage& Message);
    void SkinRemoved(TMessage& Message);
    void NewSkin();
    void NCPaint(TMessage& Message);
    void PaintFrameTo(HDC DC);
    void NCActivate(TMessage& Message);
    void SysCommand(TMessage& Message);
    void NCLButtonDown(TMessage& Message);
    void NCLButtonUp(TMessage& Message);
    void NCLButtonDblClk(TMessage& Message);
    void Print(TMessage& Message);
    void ShowingChanged(TMessage& Message);
    // Prints the form's visible child windows into DC (its origin at the client's).
    void PrintChildWindows(HDC DC);
    bool OutlineDragCommand(TMessage& Message);
    void PaintForm(TMessage& Message);
    void WithoutSystemCaption(TMessage& Message);
    void FrameChanged() {
        if (FSkinData) FSkinData->BGChanged = true;
        FTitleOnly = false;
    }
    // The title must be painted again; the frame under it stands when nothing else changed.
    void TitleChanged();
    // The whole frame image into the cache (W x H), or only the title over the kept frame.
    void PaintFrameImage(int W, int H, bool Iconic);
    bool KeptFrameFits(int W, int H, bool Iconic) const;
    void RepaintTitle();
    void SaveFrameImage();
    // The title's buttons over their saved strip, then its caption.
    void PaintTitleTop(const TacTitleLook& Look);
    void RepaintFrame();
    void ShrinkCache();
    void PaintTitleIcon();
    // The title band's look for the shared painter (its background down to BandBottom).
    TacTitleLook TitleLook(int BandBottom) const;
    void PaintMenuLine();
    void PaintOwnDrawing(HDC DC);
    void SetRegion(HRGN Region, bool Repaint);
    void RemoveSysMenuStyle(bool Remove);
    // A borderless cover at Screen showing Source of the frame's picture.
    TForm* ShowCover(TForm* Cover, const TRect& Source, POINT Screen, HWND After, const char* Name);

    TsCommonData* FSkinData = nullptr;
    TsTitleIcon* FTitleIcon;
    TsTitleButtons* FTitleButtons;
    bool FShowAppIcon = true;
    TAlignment FCaptionAlignment = taLeftJustify;
    bool FUseGlobalColor = true;
    String FTitleSkin;
    String FMenuLineSkin;
    TWindowProcHook FHook;
    int FMenuRows = -1;
    bool FMenuChanged = false;
    bool FMenuRebuilt = false;
    bool FClientRepaint = false;
    bool FTitleOnly = false;
    // What the cache holds under the client area, known once asked after
    // each new picture.
    TacPlainArea FClientFill;
    bool FClientFillKnown = false;
    const TacPlainArea& ClientFill();
    // The form's flat scroll bars were turned off for the skinned ones.
    bool FFlatBarsOff = false;
    void SwitchFlatBars(bool Off);
    bool FRgnChanging = false;
    bool FInMenuLoop = false;
    bool FMDIHookPending = false;
    // Made as an MDI child while the active child was maximized: no frame of
    // its own is painted until its first client paint. Each form's own.
    bool FChildMaximizedAtCreate = false;
    bool FPreparingMenus = false;
};

// --- Unit state -----------------------------------------------------------------

// The provider of the MDI frame form, and of the MDI child last activated,
// maximized or restored; nil when none.
extern TsSkinProvider* MDISkinProvider;
extern TsSkinProvider* ActiveChildProvider;

// Frees a caption or menu cover; Cover is nil before the window goes.
void FreeCover(TForm*& Cover);

// The provider of a form (command 4), nil when it has none.
TsSkinProvider* ProviderOf(TCustomForm* Form);
