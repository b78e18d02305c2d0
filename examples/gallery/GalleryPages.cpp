#include "GalleryPages.h"

#include "acProgressBar.h"
#include "sButton.h"
#include "sLabel.h"
#include "sPageControl.h"
#include "sTrackBar.h"

namespace {

template <typename T>
T* AddTo(TWinControl* Parent, TComponent* Owner, int Left, int Top, int Width, int Height) {
    T* c = TObject::Create<T>(Owner);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

TsTabSheet* AddPage(TsPageControl* Pages, TComponent* Owner, const char* Caption, bool Closable) {
    auto* page = TObject::Create<TsTabSheet>(Owner);
    page->SetName(std::string("Page") + Caption);
    page->SetCaption(Caption);
    page->SetUseCloseBtn(Closable);
    page->SetPageControl(Pages);
    return page;
}

}  // namespace

void AddPagesRow(TWinControl* Parent, int Left, int Top) {
    auto* pages = AddTo<TsPageControl>(Parent, Parent, Left, Top, 436, 150);
    pages->SetName("Pages");
    pages->SetShowCloseBtns(true);

    TsTabSheet* buttons = AddPage(pages, Parent, "Buttons", false);
    AddTo<TsButton>(buttons, Parent, 12, 14, 100, 30)->SetCaption("On a page");
    auto* note = AddTo<TsLabel>(buttons, Parent, 126, 22, 0, 0);
    note->SetCaption("Each page shows the page control's frame under its controls.");

    TsTabSheet* gauges = AddPage(pages, Parent, "Gauges", false);
    auto* bar = AddTo<TsTrackBar>(gauges, Parent, 12, 10, 200, 45);
    bar->SetPosition(6);
    auto* gauge = AddTo<TsProgressBar>(gauges, Parent, 230, 20, 200, 16);
    gauge->SetPosition(60);
    bar->OnChange = [=](TObject*) { gauge->SetPosition(bar->Position() * 10); };

    TsTabSheet* closable = AddPage(pages, Parent, "Closable", true);
    // Room for the cross beside the caption.
    closable->SetCaption("Closable     ");
    AddTo<TsLabel>(closable, Parent, 12, 22, 0, 0)->SetCaption("The cross on this page's tab closes it.");
    pages->SetActivePage(buttons);
}
