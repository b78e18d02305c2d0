#include "GalleryMenus.h"

#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"

namespace {

// A 16 x 16 picture: a disc of Color on a key-coloured ground.
void PaintDisc(TBitmap& b, TColor color) {
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    b.Canvas()->Brush()->SetColor(color);
    b.Canvas()->Pen()->SetColor(clBlack);
    b.Canvas()->Ellipse(2, 2, 14, 14);
}

TMenuItem* Item(TMenuItem* parent, const char* caption, TShortCut shortcut = 0) {
    auto* item = TObject::Create<TMenuItem>(nullptr);
    item->SetCaption(caption);
    item->SetShortCut(shortcut);
    parent->Add(item);
    return item;
}

// Every kind of popup item, under Parent.
void AddEveryKind(TMenuItem* parent, TForm* form) {
    Item(parent, "-Edit-");
    Item(parent, "&Undo", ShortCut('Z', TShiftState{ssCtrl}))->SetImageIndex(0);
    Item(parent, "&Redo", ShortCut('Y', TShiftState{ssCtrl}))->SetEnabled(false);
    Item(parent, "-");
    Item(parent, "&Properties")->SetDefault(true);
    Item(parent, "&Word wrap")->SetChecked(true);
    for (const char* size : {"&Small", "&Medium", "&Large"}) {
        TMenuItem* radio = Item(parent, size);
        radio->SetRadioItem(true);
        radio->SetGroupIndex(1);
        radio->SetAutoCheck(true);
        if (size[1] == 'M') radio->SetChecked(true);
    }
    Item(parent, "-");
    TMenuItem* zoom = Item(parent, "&Zoom");
    Item(zoom, "&100%")->SetImageIndex(1);
    Item(zoom, "&200%");
    TBitmap own;
    PaintDisc(own, clYellow);
    own.SetTransparentColor(clFuchsia);
    Item(parent, "&Colour")->SetBitmap(&own);
    Item(parent, "&Close", ShortCut(VK_F4, TShiftState{ssAlt}))->OnClick = [form](TObject*) { form->Close(); };
}

}  // namespace

void AddGalleryMenus(TForm* Form) {
    auto* images = TObject::Create<TImageList>(Form);
    for (TColor c : {clRed, clLime}) {
        TBitmap b;
        PaintDisc(b, c);
        images->AddMasked(&b, clFuchsia);
    }

    auto* bar = TObject::Create<TMainMenu>(Form);
    bar->SetImages(images);
    TMenuItem* file = Item(bar->Items(), "&File");
    Item(file, "&New", ShortCut('N', TShiftState{ssCtrl}))->SetImageIndex(1);
    Item(file, "&Open...", ShortCut('O', TShiftState{ssCtrl}));
    Item(file, "-");
    Item(file, "E&xit")->OnClick = [Form](TObject*) { Form->Close(); };
    AddEveryKind(Item(bar->Items(), "&Edit"), Form);
    Item(bar->Items(), "&Help");
    Form->SetMenu(bar);

    auto* popup = TObject::Create<TPopupMenu>(Form);
    popup->SetImages(images);
    AddEveryKind(popup->Items(), Form);
    Form->SetPopupMenu(popup);
}
