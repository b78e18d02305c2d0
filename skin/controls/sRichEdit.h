// The skinned rich edit: the system rich-edit window paints its text; a
// scrolling adapter paints its border and skinned scroll bars, and the
// control keeps its colours with the section's and a caption label bound to it.
#pragma once

#include "StdCtrls.h"
#include "sBoundLabel.h"
#include "sSkinnedControl.h"

#include <memory>
#include <vector>

#include "acSBUtils.h"

class TsRichEdit : public TsSkinned<TRichEdit> {
    CLASSLIB_DECLARE_CLASS(TsRichEdit)
public:
    explicit TsRichEdit(TComponent* AOwner);
    ~TsRichEdit() override;
    void AfterConstruction() override;

    TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
    // The adapter that paints border and scroll bars while skinned, else nil.
    TacMainWnd* ScrollAdapter() const { return FScrollAdapter; }
    // The border that shows it is in the window's frame.
    void SetDisabledKind(TsDisabledKind Value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    // The adapter keeps the picture: nothing of the frame's.
    void RebuildCache(TsPaintState) override {}
    bool NewSkin(TMessage& Message, bool Own) override;
    bool RemoveSkin(TMessage& Message, bool Own) override;
    bool RefreshSkin(TMessage& Message, bool Own) override;
    bool SkinnedMessage(TMessage& Message) override;

private:
    void UpdateAdapter();
    // Starts showing: the section's colours and the scroll adapter.
    void ShowSkinned();
    // The section's border strips in the window's frame.
    void PaintBorder();
    void FreeAdapter();
    // Released from the window at once, freed at a later update or with us.
    void RetireAdapter();
    // Background, font and default text colours of the section; a disabled
    // edit's text half way to the background.
    void SetEnabledColors();

    TacMainWnd* FScrollAdapter = nullptr;
    std::vector<std::unique_ptr<TacMainWnd>> FRetiredAdapters;
    std::unique_ptr<TsBoundLabel> FBoundLabel;
};
