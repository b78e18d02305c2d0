#include "sTreeView.h"

#include "sSkinnedProps.h"

// clang-format off
CLASSLIB_DEFINE_CLASS(TsTreeView, TTreeView, acSkinDataProp<TsTreeView>(),
    ObjProp<TsTreeView, TsBoundLabel>("BoundLabel", &TsTreeView::BoundLabel))
// clang-format on

TsTreeView::TsTreeView(TComponent* AOwner) : TsWithBoundLabel(AOwner, acCtTreeView, "EDIT", /*Tree=*/true) {}

TsTreeView::~TsTreeView() {
    acFreeScrollAdapter(FScrollAdapter, OwnWnd());
    // The window goes while the nodes and the frame still exist.
    if (HandleAllocated()) DestroyHandle();
}
