// The skinned list view: the system list view paints its items in the skin
// section's colours; in report view the column header is painted from the
// skin ("COLHEADER", else "BUTTON"), with a hot and a pressed section.
#pragma once

#include "ComCtrls.h"
#include "sListControls.h"

class TsCustomListView : public TsSystemPainted<TCustomListView> {
    CLASSLIB_DECLARE_CLASS(TsCustomListView)
public:
    explicit TsCustomListView(TComponent* AOwner);
    ~TsCustomListView() override;

    // Hot tracking of the header sections (with ColumnClick).
    bool HighlightHeaders() const { return FHighlightHeaders; }
    void SetHighlightHeaders(bool Value) { FHighlightHeaders = Value; }
    int HotSection() const { return FHotSection; }
    int PressedSection() const { return FPressedSection; }
    // The header's section Index as it is shown (columns may be reordered).
    TRect HeaderSectionRect(int Index) const;
    // The section under a point of the header's client area, -2 when none.
    int HeaderSectionAt(TPoint P) const;

protected:
    void InnerWndProc(HWND Inner, TMessage& Message) override;
    bool SkinnedMessage(TMessage& Message) override;
    virtual void PaintHeader(HDC DC);
    virtual void PaintHeaderSection(HDC DC, const TRect& R, int Index, TsPaintState State);

private:
    bool HeaderMessage(HWND Header, TMessage& Message);
    void SetHot(int Section);
    bool ThumbTrack(TMessage& Message);

    bool FHighlightHeaders = true;
    int FHotSection = -2;
    int FPressedSection = -1;
    bool FTrackingHeader = false;
};

class TsListView : public TsCustomListView {
    CLASSLIB_DECLARE_CLASS(TsListView)
public:
    explicit TsListView(TComponent* AOwner) : TsCustomListView(AOwner) {}
};
