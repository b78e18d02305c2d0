// The skinned tree view: the system tree paints its nodes in the skin
// section's colours ("EDIT"); a scroll adapter gives it skinned frame and
// scroll bars.
#pragma once

#include "ComCtrls.h"
#include "sBoundLabel.h"
#include "sListControls.h"

class TsTreeView : public TsWithBoundLabel<TsSystemPainted<TTreeView>> {
    CLASSLIB_DECLARE_CLASS(TsTreeView)
public:
    explicit TsTreeView(TComponent* AOwner);
    ~TsTreeView() override;
};
