// Common controls on the comctl32 windows: the track bar, the progress bar,
// the up-down arrows and the page control. Settings made before the window exists are kept and
// given to the window when it is made; afterwards the window holds them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Controls.h"
#include "ImgList.h"

#include <vector>

// ---------------------------------------------------------------------------

enum TTrackBarOrientation { trHorizontal, trVertical };
CLASSLIB_ENUM_NAMES(TTrackBarOrientation, "trHorizontal", "trVertical")
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
CLASSLIB_ENUM_NAMES(TTickMark, "tmBottomRight", "tmTopLeft", "tmBoth")
enum TTickStyle { tsNone, tsAuto, tsManual };
CLASSLIB_ENUM_NAMES(TTickStyle, "tsNone", "tsAuto", "tsManual")

// A slider on a "msctls_trackbar32" window. The window is made with
// TBS_FIXEDLENGTH, so ThumbLength is the thumb's thickness. OnChange follows
// every move of the thumb, by the user or by Position.
class TTrackBar : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TTrackBar)
public:
    explicit TTrackBar(TComponent* AOwner);

    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    int ThumbLength() const;
    void SetThumbLength(int Value);
    // While a description is read, Min, Max and Position keep what is
    // written, in any order; Loaded puts them in order (Position within the
    // range). Orientation then turns the bar without turning the size written.
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    void SetRange(int AMin, int AMax);
    int Position() const;
    void SetPosition(int Value);
    // Every Frequency-th position gets a tick (tsAuto).
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // A tick at Value (tsManual); kept for a window made later.
    void SetTick(int Value);
    void ClearTicks();

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    virtual void Changed();

    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    int FThumbLength = 20;
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    std::vector<int> FTicks;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    void ApplyTicks();
};

// ---------------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };
CLASSLIB_ENUM_NAMES(TProgressBarOrientation, "pbHorizontal", "pbVertical")

// A gauge on a "msctls_progress32" window.
class TProgressBar : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    void SetRange(int AMin, int AMax);
    int Position() const;
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);
    // One bar instead of blocks.
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    void StepIt();
    void StepBy(int Delta);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The range and position a description wrote, in any order, put in order.
    void Loaded() override;

    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    TProgressBarOrientation FOrientation = pbHorizontal;
    bool FSmooth = false;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
};

// ---------------------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
CLASSLIB_ENUM_NAMES(TUDOrientation, "udHorizontal", "udVertical")
// The arrow clicked: btNext raises Position, btPrev lowers it.
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
// AllowChange false keeps Position as it is.
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons on a "msctls_updown32" window (no buddy window). The
// vertical control's top arrow and the horizontal one's right arrow raise
// Position.
class TCustomUpDown : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomUpDown)
public:
    explicit TCustomUpDown(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // Past a limit Position goes round to the other one.
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);

    void Dispatch(TMessage& Message) override;

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // As the track bar's: Position kept as written until the range is read.
    void Loaded() override;

    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    TUDOrientation FOrientation = udVertical;
    bool FWrap = false;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    void ApplyRange();
};

class TUpDown : public TCustomUpDown {
    CLASSLIB_DECLARE_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};

// ---------------------------------------------------------------------------

class TPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
CLASSLIB_ENUM_NAMES(TTabPosition, "tpTop", "tpBottom", "tpLeft", "tpRight")
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
CLASSLIB_ENUM_NAMES(TTabStyle, "tsTabs", "tsButtons", "tsFlatButtons")
// AllowChange false keeps the page that is shown.
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TPageControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

// One page of a TPageControl: a plain window that the page control shows in
// its display area while the page is active. Its Caption is the tab's text.
class TTabSheet : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // Moves the sheet to another page control (nil: to none).
    void SetPageControl(TPageControl* Value);
    // An invisible tab keeps its page in Pages, but nothing shows it.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // Position of the tab among the visible tabs; -1 when its tab is invisible.
    int TabIndex() const;
    int PageIndex() const;
    void SetPageIndex(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

// Pages with tabs on a "SysTabControl32" window. The tab control holds one tab
// per page whose tab is visible, in page order; the active page fills the
// display area (the tab control's TCM_ADJUSTRECT) and the others are hidden.
class TPageControl : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    virtual void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
    void SetActivePageIndex(int Value);
    // The next (or previous) page with a visible tab after CurrentPage.
    TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    // Side tabs are always on several rows (the tab control lays them out so).
    bool MultiLine() const { return FMultiLine || FTabPosition == tpLeft || FTabPosition == tpRight; }
    void SetMultiLine(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // 0: the tab control's own sizes.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Number of visible tabs, rows of tabs, and a tab's rectangle (client).
    int TabCount() const;
    int RowCount() const;
    TRect TabRect(int TabIndex) const;
    // The visible tab at a client point, -1 when none.
    int IndexOfTabAt(int X, int Y) const;
    // The page of a visible tab, nil when there is none.
    TTabSheet* PageOfTab(int TabIndex) const;
    // The canvas owner-drawn tabs are painted on.
    TCanvas* Canvas() const;

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The active page follows the tab control's selection.
    virtual void UpdateActivePage();
    virtual bool CanChange();
    virtual void Change();
    // The tab control's tabs made again from the pages (after a page came,
    // went, moved or changed its tab).
    void UpdateTabs();
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    bool FMultiLine = false;
    bool FHotTrack = false;
    bool FOwnerDraw = false;
    int FTabHeight = 0, FTabWidth = 0;
    TCustomImageList* FImages = nullptr;
    TControlCanvas* FCanvas = nullptr;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowActivePage();
    void DrawTab(TMessage& Message);
    template <class T>
    void Restyle(T& Field, T Value);
};

#include "ComCtrlsLists.h"
