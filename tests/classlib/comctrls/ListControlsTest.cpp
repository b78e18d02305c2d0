// The combo box, list view and tree view of the class library on their
// system windows: items, columns and nodes reach the window and survive a new
// one, the combo answers its inner windows' colour questions and counts its
// edit's focus as its own, custom drawing reaches OnAdvancedCustomDraw, and
// the list view follows its image lists without owning them; the combo's
// inner windows reach ComboWndProc beneath subclasses made outside.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestSupport.h"
#include "StdCtrls.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using formtest::FormPtr;
using formtest::Make;

namespace {

std::string ListViewText(HWND W, int Item, int Sub) {
    char buf[64] = {};
    LVITEMA it{};
    it.iSubItem = Sub;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(W, LVM_GETITEMTEXTA, Item, reinterpret_cast<LPARAM>(&it));
    return buf;
}

TEST(ComboBox, ItemsAndChoiceOutliveTheWindow) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    auto* combo = TObject::Create<TComboBox>(form.get());
    combo->SetStyle(csDropDownList);
    for (const char* s : {"gamma", "alpha", "beta"}) combo->Items()->Add(s);
    combo->SetItemIndex(2);  // before the window: kept and given to it
    combo->SetParent(form.get());
    HWND first = combo->Handle();
    EXPECT_EQ(SendMessageA(first, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "beta");

    combo->SetSorted(true);  // a new window, sorted
    EXPECT_NE(combo->Handle(), first);
    EXPECT_EQ(combo->Items()->Get(0), "alpha");
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_THROW(combo->Items()->Get(7), EClassLibError);
}

TEST(ComboBox, AnswersItsInnerWindowsColoursAndCountsTheirFocus) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    form->Show();
    auto* combo = Make<TComboBox>(form.get(), 10, 10, 150, 24);
    combo->SetColor(TColor(0x00336699));
    combo->Font()->SetColor(TColor(0x00AA5500));
    ASSERT_TRUE(combo->EditHandle());
    ASSERT_TRUE(combo->ListHandle());
    HDC dc = GetDC(combo->EditHandle());
    for (UINT msg : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX}) {
        HWND from = msg == WM_CTLCOLOREDIT ? combo->EditHandle() : combo->ListHandle();
        const LRESULT brush = SendMessageA(from == combo->EditHandle() ? combo->Handle() : combo->Handle(), msg,
                                           reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(from));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(combo->Brush()->Handle()));
        EXPECT_EQ(GetTextColor(dc), 0x00AA5500u);
        EXPECT_EQ(GetBkColor(dc), 0x00336699u);
    }
    ReleaseDC(combo->EditHandle(), dc);
    SetFocus(combo->EditHandle());
    EXPECT_TRUE(combo->Focused());
    // The edit's keys reach the combo's key events.
    int keys = 0;
    combo->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
    SendMessageA(combo->EditHandle(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(keys, 1);
}

// A combo box that writes down which of its inner windows' messages reach ComboWndProc.
class TRecordingCombo : public TComboBox {
public:
    using TComboBox::TComboBox;
    int Count(HWND Inner, UINT Msg) const {
        return int(std::count(Seen.begin(), Seen.end(), std::make_pair(Inner, Msg)));
    }
    std::vector<std::pair<HWND, UINT>> Seen;

protected:
    void ComboWndProc(TMessage& Message, HWND ComboWnd) override {
        Seen.emplace_back(ComboWnd, Message.Msg);
        TComboBox::ComboWndProc(Message, ComboWnd);
    }
};

// A subclass made outside the library, joined after the combo's own hook.
WNDPROC gForeignNext = nullptr;
int gForeignSeen = 0;
LRESULT CALLBACK ForeignProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    ++gForeignSeen;
    return CallWindowProcA(gForeignNext, Wnd, Msg, WParam, LParam);
}

TEST(ComboBox, InnerWindowsReachComboWndProcUnderAForeignSubclassLeavingInEitherOrder) {
    for (const bool foreignLeavesFirst : {true, false}) {
        SCOPED_TRACE(foreignLeavesFirst ? "the foreign subclass leaves first" : "the window goes first");
        FormPtr form = formtest::MakeForm(40, 40, 400, 300);
        form->Show();
        auto* combo = Make<TRecordingCombo>(form.get(), 10, 10, 150, 24);
        const HWND edit = combo->EditHandle(), list = combo->ListHandle();
        ASSERT_TRUE(edit && list);
        for (HWND inner : {edit, list}) {
            SendMessageA(inner, WM_NULL, 0, 0);
            EXPECT_EQ(combo->Count(inner, WM_NULL), 1);
        }
        gForeignSeen = 0;
        gForeignNext = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, LONG_PTR(&ForeignProc)));
        SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_EQ(combo->Count(edit, WM_CHAR), 1);
        EXPECT_GT(gForeignSeen, 0);
        EXPECT_EQ(combo->Text(), "x");  // on through ComboWndProc to the edit's own procedure
        if (foreignLeavesFirst) {
            SetWindowLongPtrA(edit, GWLP_WNDPROC, LONG_PTR(gForeignNext));
            SendMessageA(edit, WM_CHAR, 'y', 0);
            EXPECT_EQ(combo->Count(edit, WM_CHAR), 2);
            EXPECT_EQ(combo->Text(), "xy");
        }
        form.reset();  // the inner windows go while the foreign subclass may still be on top
        EXPECT_FALSE(IsWindow(edit));
    }
}

TEST(ListView, ColumnsAndItemsReachTheWindowAndSurviveANewOne) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    auto* lv = TObject::Create<TListView>(form.get());
    lv->SetViewStyle(vsReport);
    lv->Columns()->Add()->SetCaption("Name");
    lv->Columns()->Add()->SetCaption("Size");
    lv->Columns()->Add()->SetCaption("Kind");
    TListItem* item = lv->Items()->Add();
    item->SetCaption("one");
    item->SubItems()->Add("1 KB");
    lv->SetParent(form.get());
    lv->SetBounds(10, 10, 300, 200);
    HWND w = lv->Handle();
    EXPECT_TRUE(lv->HeaderHandle());
    EXPECT_EQ(SendMessageA(lv->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ListViewText(w, 0, 1), "1 KB");
    item->SubItems()->Add("file");  // after the window: reaches it at once
    lv->Items()->Add()->SetCaption("two");
    EXPECT_EQ(SendMessageA(w, LVM_GETITEMCOUNT, 0, 0), 2);

    lv->SetReadOnly(true);  // a new window
    EXPECT_NE(lv->Handle(), w);
    EXPECT_EQ(ListViewText(lv->Handle(), 1, 0), "two");
    EXPECT_EQ(ListViewText(lv->Handle(), 0, 2), "file");
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
    lv->SetColor(TColor(0x00224466));
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETBKCOLOR, 0, 0), 0x00224466);
}

TEST(ListView, CustomDrawStagesReachTheAdvancedEvent) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    form->Show();
    auto* lv = Make<TListView>(form.get(), 10, 10, 300, 200);
    lv->SetViewStyle(vsReport);
    lv->Columns()->Add()->SetCaption("Name");
    lv->Items()->Add()->SetCaption("row");
    std::vector<TCustomDrawStage> stages;
    lv->OnAdvancedCustomDraw = [&](TCustomListView* Sender, const TRect&, TCustomDrawStage Stage, bool&) {
        EXPECT_EQ(Sender, lv);
        stages.push_back(Stage);
    };
    RedrawWindow(lv->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_GE(stages.size(), 2u);
    EXPECT_EQ(stages.front(), cdPrePaint);
    EXPECT_EQ(stages.back(), cdPostPaint);
}

TEST(ListView, ImageListsAreSharedAndFollowedUntilTheyGo) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    auto* images = TObject::Create<TImageList>(form.get());
    auto* lv = Make<TListView>(form.get(), 10, 10, 300, 200);
    auto shown = [&](int Which) { return HIMAGELIST(SendMessageA(lv->Handle(), LVM_GETIMAGELIST, Which, 0)); };
    lv->SetSmallImages(images);
    lv->SetLargeImages(images);
    images->SetSize(24, 24);  // a new handle, told to both links
    EXPECT_EQ(shown(LVSIL_SMALL), images->Handle());
    EXPECT_EQ(shown(LVSIL_NORMAL), images->Handle());
    lv->SetReadOnly(true);  // the old window goes without taking the list along
    int w = 0, h = 0;
    EXPECT_TRUE(ImageList_GetIconSize(images->Handle(), &w, &h));
    EXPECT_EQ(shown(LVSIL_SMALL), images->Handle());
    images->Free();
    EXPECT_EQ(lv->SmallImages(), nullptr);
    EXPECT_EQ(shown(LVSIL_SMALL), nullptr);
}

TEST(TreeView, NodesAndTheirFoldingOutliveTheWindow) {
    FormPtr form = formtest::MakeForm(40, 40, 400, 300);
    auto* tv = TObject::Create<TTreeView>(form.get());
    TTreeNode* root = tv->Items()->AddChild(nullptr, "root");
    tv->Items()->AddChild(root, "leaf 1");
    TTreeNode* leaf = tv->Items()->AddChild(root, "leaf 2");
    tv->Items()->AddChild(leaf, "deep");
    tv->SetParent(form.get());
    tv->SetBounds(10, 10, 200, 200);
    HWND w = tv->Handle();
    EXPECT_EQ(SendMessageA(w, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(tv->Items()->Count(), 4);
    int expanded = 0;
    tv->OnExpanded = [&](TObject*, TTreeNode* Node) {
        EXPECT_EQ(Node, root);
        ++expanded;
    };
    root->Expand();
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(expanded, 1);
    leaf->SetSelected(true);
    EXPECT_EQ(tv->Selected(), leaf);

    tv->SetReadOnly(true);  // a new window: the nodes and the unfolded root come back
    EXPECT_NE(tv->Handle(), w);
    EXPECT_EQ(SendMessageA(tv->Handle(), TVM_GETCOUNT, 0, 0), 4);
    EXPECT_TRUE(root->Expanded());
    EXPECT_FALSE(leaf->Expanded());
}

}  // namespace
