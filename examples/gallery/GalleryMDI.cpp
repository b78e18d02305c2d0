#include "GalleryMDI.h"

#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "GalleryPut.h"
#include "sSkinProvider.h"

namespace {

TMenuItem* Item(TMenuItem* Parent, const char* Caption, int Group = 0) {
    auto* item = TObject::Create<TMenuItem>(Parent->GetParentMenu());
    item->SetCaption(Caption);
    item->SetGroupIndex(Group);
    Parent->Add(item);
    return item;
}

// A child with its own menu: Edit (group 1) takes its place between the
// frame's File (0) and Window (9); a View (2) follows when asked for.
TForm* Document(TForm* Frame, const char* Caption, int Left, int Top, bool View) {
    auto* child = TObject::Create<TForm>(Frame);
    child->SetCaption(Caption);
    child->SetBounds(Left, Top, 300, 200);
    auto* menu = TObject::Create<TMainMenu>(child);
    TMenuItem* edit = Item(menu->Items(), "&Edit", 1);
    Item(edit, "Cu&t");
    Item(edit, "&Copy");
    Item(edit, "&Paste");
    if (View) Item(Item(menu->Items(), "&View", 2), "&Zoom");
    child->SetMenu(menu);
    TObject::Create<TsSkinProvider>(child);
    auto* note = Put<TLabel>(child, 12, 12, 260, 20);
    note->SetCaption(String(Caption) + ": its menu joins the frame's");
    child->SetFormStyle(fsMDIChild);
    return child;
}

}  // namespace

void BuildMDIExample(TForm* Frame) {
    Frame->SetCaption("Skin gallery MDI");
    Frame->SetBounds(40, 40, 720, 520);
    Frame->SetFormStyle(fsMDIForm);
    auto* menu = TObject::Create<TMainMenu>(Frame);
    TMenuItem* file = Item(menu->Items(), "&File");
    Item(file, "&New");
    Item(file, "E&xit")->OnClick = [Frame](TObject*) { Frame->Close(); };
    TMenuItem* window = Item(menu->Items(), "&Window", 9);
    Item(window, "&Cascade")->OnClick = [Frame](TObject*) { Frame->Cascade(); };
    Item(window, "&Tile")->OnClick = [Frame](TObject*) { Frame->Tile(); };
    Frame->SetMenu(menu);
    TObject::Create<TsSkinProvider>(Frame);
    Frame->Show();
    Document(Frame, "Document 1", 10, 10, false);
    Document(Frame, "Document 2", 60, 60, true)->SetWindowState(wsMaximized);
}
