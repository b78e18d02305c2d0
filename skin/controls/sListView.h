// The skinned list view: the system list view paints its items in the skin
// section's colours; in report view the column header is painted from the
// skin ("COLHEADER", else "BUTTON"), with a hot and a pressed section.
#pragma once

#include "ComCtrls.h"
#include "sBoundLabel.h"
#include "sListControls.h"

class TsCustomListView : public TsWithBoundLabel<TsSystemPainted<TCustomListView>> {
    CLASSLIB_DECLARE_CLASS(TsCustomListView)
public:
    explicit TsCustomListView(TComponent* AOwner);
    ~TsCustomListView() override;
    void AfterConstruction() override;

    // Hot tracking of the header sections (with ColumnClick).
    bool HighlightHeaders() const { return FHighlightHeaders; }
    void SetHighlightHeaders(bool Value) { FHighlightHeaders = Value; }
    // Sections are columns: the hot and the pressed one, -2 / -1 when none.
    int HotSection() const { return FHotSection; }
    int PressedSection() const { return FPressedSection; }
    // Where column Index's section is shown now (columns may be reordered).
    TRect HeaderSectionRect(int Index) const;
    // The column whose section holds a point of the header's client area, -2 when none.
    int HeaderSectionAt(TPoint P) const;

protected:
    void Loaded() override;
    void InnerWndProc(HWND Inner, TMessage& Message) override;
    bool SkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    void AfterSkinCommand(WORD Code) override;
    // Every section in the order they are shown, then the empty rest.
    virtual void PaintHeader(HDC DC);
    virtual void PaintHeaderSection(HDC DC, const TRect& R, int Index, TsPaintState State);

private:
    bool HeaderMessage(HWND Header, TMessage& Message);
    void SetHot(int Section);
    // Now (Now) or at the header's next paint.
    void RepaintHeader(bool Now);
    bool ThumbTrack(TMessage& Message);
    bool ColumnWithoutImage(TMessage& Message);
    // The header drawn into a DC that holds the list view's client area.
    void PrintHeader(HDC DC);

    bool FHighlightHeaders = true;
    int FHotSection = -2;
    int FPressedSection = -1;
    bool FTrackingHeader = false;
    // Set while the control is being made or loaded: a skin refresh then
    // leaves colours and adapter to the end of loading.
    bool FLoading = true;
};

class TsListView : public TsCustomListView {
    CLASSLIB_DECLARE_CLASS(TsListView)
public:
    explicit TsListView(TComponent* AOwner) : TsCustomListView(AOwner) {}
};
