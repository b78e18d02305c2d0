#include "GalleryLists.h"

#include "GalleryPut.h"
#include "sAlphaListBox.h"
#include "sComboBox.h"
#include "sListView.h"
#include "sTreeView.h"

#include <string>

namespace {

const char* const kFruit[] = {"Apple",    "Banana",    "Cherry",     "Damson",    "Elderberry", "Fig",       "Grape",
                              "Hawthorn", "Kiwi",      "Lemon",      "Mango",     "Nectarine",  "Olive",     "Peach",
                              "Quince",   "Raspberry", "Strawberry", "Tangerine", "Ugli",       "Watermelon"};

}  // namespace

void AddListRow(TWinControl* Parent, int Left, int Top) {
    // More fruit than the drop-down shows: its list scrolls with skinned bars.
    auto* combo = Put<TsComboBox>(Parent, Left, Top, 140, 24);
    combo->SetStyle(csDropDownList);
    combo->SetDropDownCount(8);
    for (const char* f : kFruit) combo->Items()->Add(f);
    combo->SetItemIndex(0);

    auto* list = Put<TsListBox>(Parent, Left, Top + 30, 140, 140);
    for (int i = 1; i <= 30; ++i) list->Items()->Add("List line " + std::to_string(i));
    list->SetItemIndex(1);

    auto* view = Put<TsListView>(Parent, Left + 150, Top, 160, 170);
    view->SetViewStyle(vsReport);
    view->SetRowSelect(true);
    const char* const columns[] = {"Fruit", "Colour", "Taste"};
    for (const char* name : columns) {
        TListColumn* col = view->Columns()->Add();
        col->SetCaption(name);
        col->SetWidth(50);
    }
    view->Columns()->Items(0)->SetSortArrow(saUp);
    const char* const rows[][3] = {
        {"Apple", "Red", "Sweet"}, {"Lemon", "Yellow", "Sour"}, {"Olive", "Green", "Bitter"}};
    for (const auto& row : rows) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(row[0]);
        item->SubItems()->Add(row[1]);
        item->SubItems()->Add(row[2]);
    }

    auto* tree = Put<TsTreeView>(Parent, Left + 320, Top, 116, 170);
    TTreeNode* fruit = tree->Items()->AddChild(nullptr, "Fruit");
    for (const char* f : {"Apple", "Pear", "Plum"}) tree->Items()->AddChild(fruit, f);
    TTreeNode* nuts = tree->Items()->AddChild(nullptr, "Nuts");
    tree->Items()->AddChild(nuts, "Hazel");
    fruit->Expand();
}
