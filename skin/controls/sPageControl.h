// The skinned page control and its pages. While a skin is active the control
// builds its page frame and inactive tabs into its cache bitmap, draws the
// active tab over them on the window, tracks the tab under the mouse, draws
// close buttons on the tabs and scrolls a single row of tabs with skinned
// arrows; the sheets show the control's picture at their place. Without a
// skin it is the system tab control, with real small close buttons.
#pragma once

#include "ComCtrls.h"
#include "sSkinnedContainer.h"
#include "sSpeedButton.h"

#include <functional>

class TsPageControl;
class TsTabSheet;
class TsUpDown;

// What happens to a page whose close button was clicked: 1 frees it, any
// other value hides its tab.
using TacCloseAction = int;
constexpr TacCloseAction acaHideTab = 0;
constexpr TacCloseAction acaFree = 1;
// TabIndex is the page index of the tab (pages with hidden tabs counted), so
// it names the same page whichever way the button was drawn.
using TacCloseBtnClick = std::function<void(TComponent* Sender, int TabIndex, bool& CanClose, TacCloseAction& Action)>;

// Per-page settings kept with the form; nothing paints from them.
class TsTabSkinData : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsTabSkinData)
public:
    TsTabSkinData() = default;
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value) { FCustomColor = Value; }
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value) { FCustomFont = Value; }
    String SkinSection() const { return FSkinSection; }
    void SetSkinSection(const String& Value) { FSkinSection = Value; }

private:
    bool FCustomColor = false;
    bool FCustomFont = false;
    String FSkinSection;
};

// The close button put on a tab while the page control has no skin.
class TsTabBtn : public TsSpeedButton {
    CLASSLIB_DECLARE_CLASS(TsTabBtn)
public:
    explicit TsTabBtn(TComponent* AOwner);
    TsTabSheet* Page() const { return FPage; }

private:
    friend class TsPageControl;
    friend class TsTabSheet;
    TsTabSheet* FPage = nullptr;
};

class TsTabSheet : public TTabSheet {
    CLASSLIB_DECLARE_CLASS(TsTabSheet)
public:
    explicit TsTabSheet(TComponent* AOwner);
    ~TsTabSheet() override;

    TsPageControl* SkinnedPageControl() const;
    // Section of this page's tab instead of the standard tab section.
    String TabSkin() const { return FTabSkin; }
    void SetTabSkin(const String& Value);
    String ButtonSkin() const { return FButtonSkin; }
    void SetButtonSkin(const String& Value);
    // The tab gets a close button while the page control shows them.
    bool UseCloseBtn() const { return FUseCloseBtn; }
    void SetUseCloseBtn(bool Value);
    TsTabSkinData* SkinData() const { return FSkinData; }

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TsPageControl;
    void SettingChanged();
    bool PageControlSkinned() const;
    bool SkinCommand(TMessage& Message);
    bool PaintSheet(HDC DC);

    String FTabSkin;
    String FButtonSkin;
    bool FUseCloseBtn = true;
    TsTabSkinData* FSkinData;
    // The unskinned close button on this page's tab; owned by the page control.
    TsTabBtn* FCloseBtn = nullptr;
};

class TsPageControl : public TsSkinnedContainer<TPageControl> {
    CLASSLIB_DECLARE_CLASS(TsPageControl)
public:
    explicit TsPageControl(TComponent* AOwner);
    ~TsPageControl() override;

    TsTabSheet* ActivePage() const { return dynamic_cast<TsTabSheet*>(FActivePage); }
    TsTabSheet* SkinnedPage(int Index) const { return dynamic_cast<TsTabSheet*>(Pages(Index)); }
    bool ShowCloseBtns() const { return FShowCloseBtns; }
    void SetShowCloseBtns(bool Value);
    // Section of the close buttons; empty: the skin's close image.
    String CloseBtnSkin() const { return FCloseBtnSkin; }
    void SetCloseBtnSkin(const String& Value);
    TacCloseBtnClick OnCloseBtnClick;

    // --- Geometry (client coordinates) ---------------------------------
    TRect TabStripRect() const { return SplitAtPage(true); }
    TRect PageAreaRect() const { return SplitAtPage(false); }
    TRect VisibleTabPart(TRect R) const;
    // A tab's rectangle as the skin draws it: inactive tabs reach into the
    // page frame, the active one stands out on every side.
    TRect SkinTabRect(int TabIndex, bool Active) const;
    // Row of a tab, 1 = the row farthest from the page.
    int TabRow(int TabIndex) const;
    // Page index of the tab under P, -1 when none.
    int TabPageAt(TPoint P) const;
    int VisibleTabCount() const { return TabCount(); }
    // The close button of a tab drawn in TabRect.
    TRect CloseBtnRectOf(const TRect& TabRect) const;
    TRect CloseBtnRect(TsTabSheet* Page) const;
    // Page index of the tab under the mouse, -1 when none.
    int HotPage() const { return FHotPage; }
    void SetActivePage(TTabSheet* Page) override;

    // Tabs scrolled off the row's left end or cut off by the control's right edge
    // (single-row top or bottom tabs).
    int HiddenTabCount() const;
    // The first tab the single row shows (the row's scroll position), -1 before its layout.
    int FirstShownTab() const;
    TsUpDown* ScrollArrows() const { return FUpDown; }

    // --- Drawing -------------------------------------------------------
    // One tab into Bitmap, moved by Offset; State 0 normal, 1 hot, 2 selected.
    void PaintTab(int PageIndex, int State, TPoint Offset, TBitmap* Bitmap);
    void DrawSkinTab(int PageIndex, int State, HDC DC);
    void RepaintTab(int PageIndex, int State, HDC DC);
    void RepaintCloseBtn(int PageIndex, int ButtonState, int TabState);

protected:
    void Loaded() override;
    void CreateWnd() override;
    void UpdateActivePage() override;
    void Dispatch(TMessage& Message) override;
    virtual void DrawCloseBtn(HDC DC, const TRect& TabRect, int State, HDC SourceDC);

    void RebuildCache(TsPaintState State) override;
    bool SkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    bool NewSkin(TMessage& Message, bool Own) override;
    bool RemoveSkin(TMessage& Message, bool Own) override;
    void OwnSkinCommand(TMessage& Message, WORD Code) override;
    void ChildrenToldSkin(WORD Code, bool Own) override;
    // The cache as it is, ready or not: the page control rebuilds it only when it paints.
    bool AnswerCache(TMessage& Message) override;
    // The tab strip's size changed, or the control waits for its update.
    bool BackgroundChanged() const override;
    void UnskinnedMessage(TMessage& Message) override;

private:
    friend class TsTabSheet;
    bool Skinned() const { return HasSkin(SkinData(), false); }
    // The tab strip (Strip) or the page frame: the control cut in two.
    TRect SplitAtPage(bool Strip) const;
    bool Loading() const { return FComponentState.Contains(csLoading); }
    // Section and border mask of a page's tab; the border -1 when none.
    void TabSection(const TsTabSheet* Page, int& Section, String& Name, int& Border) const;
    void PaintTabCaption(TsTabSheet* Page, int State, const TRect& R, int Section, TBitmap* Bitmap);
    void PaintVerticalCaption(TsTabSheet* Page, int State, TRect R, int Section, TBitmap* Bitmap);
    void PaintTabStrip(const TCacheInfo& ParentCache);
    // False when the page-change animation paints instead.
    bool RepaintTabStrip(HDC DC);
    void PaintPage(HDC DC, bool Printing);
    void PaintPageInto(HDC DC, bool Printing);
    // The close buttons of the inactive tabs, which paint themselves, out of DC's clip.
    void ExcludeInactiveCloseBtns(HDC DC);
    void PaintFrame();
    void TabSizeRepaint();
    void SkinRemoved();
    void SkinRefreshed();
    bool ParentChangedPage(const TMessage& Message);
    void PageChangeNotify(TMessage& Message);
    void HintShow(TMessage& Message);

    // Hot tracking and close buttons.
    bool MouseMoved(TMessage& Message);
    bool MouseLeftControl(TMessage& Message);
    bool CloseBtnPress(TMessage& Message);
    int CloseBtnPageAt(TPoint P) const;
    void ClosePage(TsTabSheet* Page, int Index);
    void UpdateCloseBtnSkin();
    void DrawCloseBtns(HDC DC);
    void UpdateCloseButtons();
    void FreeCloseButtons();
    void CloseBtnClick(TObject* Sender);

    // Scroll arrows.
    void UpdateScrollArrows();
    void CreateUpDown();
    void PlaceUpDown();
    void UpDownClick();
    void FreeUpDown();

    int FPaintedTabCount = 0;
    TColor FPaintedParentColor = clNone;
    String FSectionName;
    TsUpDown* FUpDown = nullptr;
    // The tab control's own arrows were destroyed for ours (it makes them
    // only once per window).
    bool FSystemArrowsGone = false;
    bool FShowCloseBtns = false;
    String FCloseBtnSkin;
    int FHotPage = -1;
    // Unresolved until the first skin is looked at: nothing is drawn from a
    // mask index that was never resolved.
    int FCloseIndex = -1;
    int FCloseWidth = 0, FCloseHeight = 0;
    bool FTabSizeChanged = false;
    // Unskinned close buttons, owned here and freed with their page.
    std::vector<TsTabBtn*> FCloseBtns;
};

// A left press went down on a skinned close button and was not yet released
// (one for the whole program; the page pressed is kept beside it, so that
// only a release on that page's button closes it).
extern bool acCloseBtnPressed;
