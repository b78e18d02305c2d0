#include "GalleryRange.h"

#include "acProgressBar.h"
#include "sPanel.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "sUpDown.h"

namespace {

// Puts a control made by its owner on Parent.
TControl* Place(TControl* Control, TWinControl* Parent, int Left, int Top, int Width, int Height) {
    Control->SetParent(Parent);
    Control->SetBounds(Left, Top, Width, Height);
    return Control;
}

}  // namespace

void AddRangeRow(TWinControl* Parent, int Top) {
    auto* bar = TObject::Create<TsTrackBar>(Parent);
    bar->SetRange(0, 10);
    bar->SetPosition(2);
    Place(bar, Parent, 16, Top, 200, 45);

    auto* arrows = TObject::Create<TsUpDown>(Parent);
    arrows->SetMax(10);
    arrows->SetPosition(2);
    Place(arrows, Parent, 222, Top + 4, 17, 36);

    auto* smooth = TObject::Create<TsProgressBar>(Parent);
    smooth->SetSmooth(true);
    smooth->SetPosition(20);
    Place(smooth, Parent, 250, Top + 6, 160, 16);
    auto* blocks = TObject::Create<TsProgressBar>(Parent);
    blocks->SetPosition(20);
    Place(blocks, Parent, 250, Top + 28, 160, 16);

    // The bar drives the gauges and the arrows; the arrows drive the bar.
    bar->OnChange = [=](TObject*) {
        smooth->SetPosition(bar->Position() * 10);
        blocks->SetPosition(bar->Position() * 10);
        arrows->SetPosition(bar->Position());
    };
    arrows->OnClick = [=](TObject*, TUDBtnType) { bar->SetPosition(arrows->Position()); };

    auto* host = TObject::Create<TsPanel>(Parent);
    Place(host, Parent, 420, Top, 350, 50);
    auto* left = TObject::Create<TsPanel>(host);
    Place(left, host, 0, 0, 120, 50)->SetAlign(alLeft);
    left->SetCaption("Left");
    auto* split = TObject::Create<TsSplitter>(host);
    Place(split, host, 130, 0, 6, 50)->SetAlign(alLeft);
    split->SetResizeStyle(rsUpdate);
    auto* right = TObject::Create<TsPanel>(host);
    Place(right, host, 200, 0, 100, 50)->SetAlign(alClient);
    right->SetCaption("Right");
}
