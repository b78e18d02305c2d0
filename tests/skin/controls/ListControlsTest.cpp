// The skinned combo box, list box, list view and tree view on real windows
// with the test skin, driven with real mouse and keys: the combo's frame and
// button in each look (an open list presses the button only), its long list
// with skinned scroll bars, one change per chosen item, a read-only combo
// against every route, a simple combo's parent below its list; list-box,
// list-view and tree colours and frames from the skin (the built-in skins'
// too), the list box's border styles and scroll event, the skinned column
// header (hot, pressed, sort arrow, column images, visual order, presses only
// on sections), one notification per header click, the header in printed
// pictures, thumb dragging, a node unfolded by key, the tree's adapter and label made when it
// shows; and the system look of each once the skin goes.
#include "SkinnedControlTest.h"

#include "ScrollBarPlaces.h"
#include "Scopes.h"
#include "TestInput.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sAlphaListBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sListView.h"
#include "sPanel.h"
#include "sTreeView.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

using namespace skinnedtest;
using testsupport::CaptureClient;
using testsupport::RGBOf;

namespace {

const testsupport::TestSkinColors& C = testsupport::TestSkinPalette();

void Key(WORD Vk, bool Alt = false) {
    using testinput::KeyInput;
    if (Alt)
        testinput::Send({KeyInput(VK_MENU, false), KeyInput(Vk, false), KeyInput(Vk, true), KeyInput(VK_MENU, true)});
    else testinput::SendKey(Vk);
    Pump(120);
}

void Wheel(int Notches) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA * Notches);
    SendInput(1, &in, sizeof in);
    Pump(120);
}

POINT ScreenOf(TControl* Ctl, int X, int Y) {
    const TPoint p = Ctl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
}

std::uint32_t Pixel(HWND Wnd, int X, int Y) {
    UpdateWindow(Wnd);
    return CaptureClient(Wnd).Pixel(X, Y);
}

// Down and up in one go: a tree view waits for the release inside its press.
void ClickAtOnce(POINT At) {
    testinput::MouseTo(At);
    testinput::Send({testinput::Button(true), testinput::Button(false)});
    Pump(120);
}

bool HasAdapter(HWND Wnd) { return Wnd && GetPropA(Wnd, acAdapterProp) != nullptr; }

// A control of the skin of Manager (the default one when nil), placed on Parent.
template <class T>
T* MakeWith(TWinControl* Parent, TsSkinManager* Manager, int Left, int Top = 40, int Width = 150, int Height = 120) {
    T* c = TObject::Create<T>(Parent);
    c->SkinData()->SetSkinManager(Manager);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

// The two outer columns at mid-height and the two outer rows at mid-width:
// the frame, which the skin draws where the system draws its sunken bevel.
std::vector<std::uint32_t> FramePixels(HWND Wnd) {
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump(30);
    const testsupport::Picture p = testsupport::CaptureWindow(Wnd);
    return {p.Pixel(0, p.Height / 2), p.Pixel(1, p.Height / 2), p.Pixel(p.Width / 2, 0), p.Pixel(p.Width / 2, 1)};
}

LPARAM Manager() { return reinterpret_cast<LPARAM>(Skin::Get().Manager()); }

class SkinnedLists : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager());
        form = MakeForm(40, 40, 520, 420);
        form->Show();
        testinput::MouseTo(POINT{5, 5});
        Pump(50);
    }
    TsComboBox* MakeCombo(int Items, TComboBoxStyle Style = csDropDownList) {
        auto* c = Make<TsComboBox>(form.get(), 20, 20, 160, 24);
        c->SetStyle(Style);
        for (int i = 0; i < Items; ++i) c->Items()->Add("item " + std::to_string(i));
        c->SetItemIndex(0);
        Pump(50);
        return c;
    }
    // A simple combo whose list is on show; Changes counts its OnChange.
    TsComboBox* MakeSimple(int Items, bool ReadOnly, int& Changes) {
        TsComboBox* c = MakeCombo(Items, csSimple);
        c->SetHeight(160);
        c->SetReadOnly(ReadOnly);
        c->OnChange = [&Changes](TObject*) { ++Changes; };
        Pump(50);
        return c;
    }
    // The button's left border column and the glyph's opaque middle.
    std::uint32_t ButtonBorder(TsComboBox* c) {
        const TRect b = c->ButtonRect();
        return Pixel(c->Handle(), b.left + 1, (b.top + b.bottom) / 2);
    }
    std::uint32_t GlyphPixel(TsComboBox* c) {
        const TRect b = c->ButtonRect();
        const int x = b.left + (RectWidth(b) - testsupport::kTestGlyphWidth) / 2 + 5;
        const int y = (c->Height() - testsupport::kTestGlyphHeight) / 2 + 1;
        return Pixel(c->Handle(), x, y);
    }
    FormPtr form;
};

// --- Combo box ------------------------------------------------------------------

TEST_F(SkinnedLists, ComboButtonShowsEachLookFromTheSkin) {
    TsComboBox* c = MakeCombo(5);
    const TRect b = c->ButtonRect();
    // Normal: the section's colour behind the text, the button's border and glyph in state 0.
    EXPECT_EQ(Pixel(c->Handle(), 4, 4), C.Edit);
    EXPECT_EQ(ButtonBorder(c), C.Border[0]);
    EXPECT_EQ(GlyphPixel(c), C.Glyph[0]);
    // The text in the section's font colour from the first paint on.
    const testsupport::Picture first = CaptureClient(c->Handle());
    int text = 0;
    for (int y = 2; y < c->Height() - 2; ++y)
        for (int x = 2; x < b.left; ++x) text += first.Pixel(x, y) == C.EditFont;
    EXPECT_GT(text, 5);
    // Hot under the real mouse.
    testinput::MouseTo(ScreenOf(c, 10, 10));
    Pump(80);
    EXPECT_EQ(ButtonBorder(c), C.Border[1]);
    EXPECT_EQ(GlyphPixel(c), C.Glyph[1]);
    // Pressed while the list a real click opened is down.
    testinput::Click(ScreenOf(c, (b.left + b.right) / 2, (b.top + b.bottom) / 2));
    ASSERT_TRUE(c->DroppedDown());
    EXPECT_TRUE(c->Dropped());
    EXPECT_EQ(ButtonBorder(c), C.Border[2]);
    EXPECT_EQ(GlyphPixel(c), C.Glyph[2]);
    Key(VK_ESCAPE);
    EXPECT_FALSE(c->Dropped());
    // Disabled: blended with the form, so no longer the glyph's own colour.
    testinput::MouseTo(POINT{5, 5});
    c->SetEnabled(false);
    Pump(50);
    EXPECT_NE(GlyphPixel(c), C.Glyph[0]);
    EXPECT_NE(Pixel(c->Handle(), 4, 4), C.Edit);
}

TEST_F(SkinnedLists, LongComboListGetsSkinnedBarsAndAClickedItemChangesOnce) {
    TsComboBox* c = MakeCombo(40);
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    const TRect b = c->ButtonRect();
    testinput::Click(ScreenOf(c, (b.left + b.right) / 2, 10));
    ASSERT_TRUE(c->DroppedDown());
    ASSERT_TRUE(c->ListHandle());
    EXPECT_TRUE(HasAdapter(c->ListHandle()));
    EXPECT_TRUE(c->ListAdapter());
    // The fourth line of the open list, clicked.
    RECT lr{};
    GetWindowRect(c->ListHandle(), &lr);
    const int h = static_cast<int>(SendMessageA(c->ListHandle(), LB_GETITEMHEIGHT, 0, 0));
    // DropDownCount whole lines inside the skin's frame: the frame, painted
    // again after the lines (as a refresh of the bar does), leaves the last
    // line's bottom row the list's own colour.
    RECT client{};
    GetClientRect(c->ListHandle(), &client);
    EXPECT_EQ(client.bottom, c->DropDownCount() * h);
    SendMessageA(c->ListHandle(), WM_NCPAINT, 1, 0);
    const testsupport::Picture inside = CaptureClient(c->ListHandle());
    EXPECT_EQ(inside.Pixel(client.right - 3, client.bottom - 1), inside.Pixel(client.right - 3, client.bottom - h / 2));
    testinput::Click(POINT{lr.left + 20, lr.top + 3 + 3 * h + h / 2});
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_EQ(c->ItemIndex(), 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c->Text(), "item 3");

    // A list of DropDownCount items never gets a skinned bar.
    TsComboBox* shortOne = MakeCombo(16);
    shortOne->SetTop(60);
    shortOne->SetDroppedDown(true);
    Pump(50);
    EXPECT_FALSE(shortOne->ListAdapter());
    shortOne->SetDroppedDown(false);
}

TEST_F(SkinnedLists, ReadOnlyComboResistsEveryRoute) {
    for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
        SCOPED_TRACE(style);
        TsComboBox* c = MakeCombo(10, style);
        c->SetReadOnly(true);
        int changes = 0, dbl = 0;
        c->OnChange = [&](TObject*) { ++changes; };
        c->OnDblClick = [&](TObject*) { ++dbl; };
        const TRect b = c->ButtonRect();
        testinput::Click(ScreenOf(c, (b.left + b.right) / 2, 10));
        EXPECT_TRUE(c->Focused());  // a click still focuses
        const struct {
            WORD Vk;
            bool Alt;
        } keys[] = {{VK_F4, false}, {VK_DOWN, true}, {VK_UP, true}, {VK_DOWN, false}, {VK_END, false}, {'I', false}};
        for (auto k : keys) {
            Key(k.Vk, k.Alt);
            EXPECT_FALSE(c->DroppedDown()) << k.Vk;
        }
        Wheel(2);
        // Opened by a message all the same: it closes again at once.
        SendMessageA(c->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        Pump(100);
        EXPECT_FALSE(c->DroppedDown());
        EXPECT_EQ(c->ItemIndex(), 0);
        EXPECT_EQ(changes, 0);
        POINT p = ScreenOf(c, (b.left + b.right) / 2, 10);
        testinput::Click(p);
        testinput::Click(p);
        EXPECT_GE(dbl, 1);
        EXPECT_FALSE(c->DroppedDown());
        c->Free();
        Pump(30);
    }
}

// A simple combo's list is always on show: a click on one of its items
// chooses it, unless the combo is read-only.
TEST_F(SkinnedLists, ClickInASimpleCombosListChoosesOnlyWhenNotReadOnly) {
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly);
        int changes = 0;
        TsComboBox* c = MakeSimple(10, readOnly, changes);
        const HWND list = c->ListHandle();
        ASSERT_TRUE(list && IsWindowVisible(list));
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
        POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &p);
        testinput::Click(p);
        Pump(60);
        EXPECT_EQ(c->ItemIndex(), readOnly ? 0 : 3);
        EXPECT_EQ(changes, readOnly ? 0 : 1);
        EXPECT_EQ(c->Text(), readOnly ? "item 0" : "item 3");
        c->Free();
        Pump(30);
    }
}

// An open list presses the button alone: the frame keeps the focused look.
TEST_F(SkinnedLists, OpenComboPressesOnlyItsButton) {
    testsupport::TestSkinOptions framed;
    framed.BorderMasks = {"COMBOBOX"};
    auto* c = MakeWith<TsComboBox>(form.get(), testsupport::TestSkinManager(framed), 20, 20, 160, 24);
    c->SetStyle(csDropDownList);
    for (int i = 0; i < 5; ++i) c->Items()->Add("item " + std::to_string(i));
    c->SetItemIndex(0);
    Pump(50);
    const TRect b = c->ButtonRect();
    auto frame = [&] { return Pixel(c->Handle(), 1, c->Height() / 2); };
    EXPECT_EQ(frame(), C.Border[0]);
    testinput::Click(ScreenOf(c, (b.left + b.right) / 2, (b.top + b.bottom) / 2));
    ASSERT_TRUE(c->DroppedDown());
    EXPECT_EQ(ButtonBorder(c), C.Border[2]);
    EXPECT_EQ(frame(), C.Border[1]);
    Key(VK_ESCAPE);
    EXPECT_EQ(ButtonBorder(c), C.Border[1]);
    EXPECT_EQ(frame(), C.Border[1]);
}

// Below a simple combo's list (made a whole number of lines high) lies a
// strip of the control that shows what is behind it: the form's colour
// under our combo, skinned or not, and the skinned panel's picture under a
// system combo box with its adapter.
TEST_F(SkinnedLists, SimpleComboShowsItsParentBelowItsList) {
    form->SetColor(TColor(0x00336699));
    auto* panel = Make<TsPanel>(form.get(), 200, 20, 300, 300);
    enum Kind { Skinned, SkinRemoved, SystemAdapted };
    for (Kind kind : {Skinned, SkinRemoved, SystemAdapted}) {
        SCOPED_TRACE(kind);
        TsComboBox* own = nullptr;
        HWND combo = nullptr;
        std::unique_ptr<TacComboBoxWnd> adapter;
        if (kind == SystemAdapted) {
            combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_SIMPLE, 20, 20, 160, 100,
                                    panel->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
            for (int i = 0; i < 20; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
            adapter = std::make_unique<TacComboBoxWnd>(combo, nullptr, Skin::Get().Manager(), "COMBOBOX");
        } else {
            own = MakeCombo(20, csSimple);
            if (kind == SkinRemoved) Command(own, AC_REMOVESKIN, Manager());
            combo = own->Handle();
        }
        const HWND list = FindWindowExA(combo, nullptr, "ComboLBox", nullptr);
        ASSERT_TRUE(list);
        TRect strip{};
        for (int h = 100; h < 140 && RectHeight(strip) < 3; ++h) {
            SetWindowPos(combo, nullptr, 0, 0, 160, h, SWP_NOMOVE | SWP_NOZORDER);
            Pump(20);
            RECT l{}, c{};
            GetWindowRect(list, &l);
            MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&l), 2);
            GetClientRect(combo, &c);
            strip = TRect{0, l.bottom, c.right, c.bottom};
        }
        ASSERT_GE(RectHeight(strip), 3);
        // What was on the screen there before.
        FillDC(TClientDC(combo), strip, TColor(0x00FF00FF));
        InvalidateRect(combo, nullptr, TRUE);
        const TPoint at{strip.right / 2, (strip.top + strip.bottom) / 2};
        const std::uint32_t behind =
            kind == SystemAdapted ? Px(*panel->SkinData()->CacheBmp, 20 + at.x, 20 + at.y) : 0x996633u;
        EXPECT_EQ(Pixel(combo, at.x, at.y), behind);
        adapter.reset();
        if (own) own->Free();
        else DestroyWindow(combo);
        Pump(30);
    }
}

// A read-only simple combo's list, always on show, moves its choice by no
// key or wheel, whether the edit or the list itself has the focus.
TEST_F(SkinnedLists, ReadOnlySimpleCombosListIgnoresKeysAndWheel) {
    int changes = 0;
    TsComboBox* c = MakeSimple(30, true, changes);
    const HWND list = c->ListHandle();
    ASSERT_TRUE(list && IsWindowVisible(list));
    RECT lr{};
    GetWindowRect(list, &lr);
    for (bool listFocused : {false, true}) {
        SCOPED_TRACE(listFocused);
        c->SetFocus();
        if (listFocused) SetFocus(list);
        Pump(30);
        for (WORD vk : {WORD(VK_DOWN), WORD(VK_NEXT), WORD(VK_END), WORD(0x49)}) Key(vk);
        testinput::MouseTo(POINT{(lr.left + lr.right) / 2, (lr.top + lr.bottom) / 2});
        Wheel(3);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
        EXPECT_EQ(c->ItemIndex(), 0);
        EXPECT_EQ(changes, 0);
    }
}

TEST_F(SkinnedLists, OwnerDrawnComboDrawsItsItemOverTheSkinInEveryMood) {
    TsComboBox* c = MakeCombo(4, csOwnerDrawFixed);
    const TColor plain = TColor(0x00336699), lit = TColor(0x00996633);
    c->OnDrawItem = [&](TWinControl*, int, const TRect& R, TOwnerDrawState State) {
        c->Canvas()->Brush()->SetColor(State.Contains(odFocused) ? lit : plain);
        c->Canvas()->FillRect(R);
    };
    const int y = c->Height() / 2;
    const struct {
        std::function<void()> Step;
        TColor Expected;
    } moods[] = {{[] {}, plain}, {[&] { c->SetFocus(); }, lit}, {[&] { c->SetReadOnly(true); }, plain}};
    for (const auto& m : moods) {
        m.Step();
        c->Invalidate();
        EXPECT_EQ(Pixel(c->Handle(), 8, y), RGBOf(m.Expected));
        EXPECT_EQ(ButtonBorder(c), C.Border[c->Focused() ? 1 : 0]);
    }
}

TEST_F(SkinnedLists, SimpleComboFramesItsEditLineOnlyAndLabelsFollowTheirControl) {
    TsComboBox* c = MakeCombo(5, csSimple);
    c->SetHeight(120);
    UpdateWindow(c->Handle());
    EXPECT_EQ(c->SkinData()->CacheBmp->Height(), c->ItemHeight() + 8);
    auto* lb = Make<TsListBox>(form.get(), 260, 60, 150, 100);
    for (auto [ctl, bound] : {std::pair<TWinControl*, TsBoundLabel*>{c, c->BoundLabel()}, {lb, lb->BoundLabel()}}) {
        bound->SetLayout(sclTopLeft);
        bound->SetActive(true);
        ctl->SetTop(ctl->Top() + 30);
        TsEditLabel* l = bound->TheLabel();
        ASSERT_TRUE(l);
        EXPECT_EQ(l->Top() + l->Height() + bound->Indent(), ctl->Top());
        ctl->SetVisible(false);
        EXPECT_FALSE(l->Visible());
    }
}

// --- List box -------------------------------------------------------------------

TEST_F(SkinnedLists, ListBoxPaintsInSkinColoursAndScrollsTenThousandItemsByKey) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    lb->Items()->BeginUpdate();
    for (int i = 0; i < 10000; ++i) lb->Items()->Add("line " + std::to_string(i));
    lb->Items()->EndUpdate();
    Pump(50);
    EXPECT_TRUE(HasAdapter(lb->Handle()));
    const TRect r1 = lb->ItemRect(1);
    EXPECT_EQ(Pixel(lb->Handle(), r1.right - 3, (r1.top + r1.bottom) / 2), C.Edit);
    EXPECT_EQ(lb->ItemAtPos(TPoint{5, (r1.top + r1.bottom) / 2}, true), 1);
    EXPECT_EQ(lb->ItemAtPos(TPoint{-1, 5}, false), -1);
    // A real click selects and focuses: the highlight colour.
    testinput::Click(ScreenOf(lb, 20, (r1.top + r1.bottom) / 2));
    EXPECT_EQ(lb->ItemIndex(), 1);
    EXPECT_TRUE(lb->Focused());
    EXPECT_EQ(Pixel(lb->Handle(), r1.right - 3, (r1.top + r1.bottom) / 2), RGBOf(GetSysColor(COLOR_HIGHLIGHT)));
    Key(VK_END);
    EXPECT_EQ(lb->ItemIndex(), 9999);
    EXPECT_GT(lb->TopIndex(), 9950);
    Key(VK_HOME);
    EXPECT_EQ(lb->TopIndex(), 0);
    // Typed letters find the first line that starts with them.
    Key('L');
    Key('I');
    EXPECT_EQ(lb->ItemIndex(), 0);
}

TEST_F(SkinnedLists, ListBoxKeepsItemsAndChoiceThroughANewWindow) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    for (const char* s : {"pear", "apple", "fig"}) lb->Items()->Add(s);
    lb->SetItemIndex(2);
    // One past the end: under the last item; below it, nothing there.
    const TRect last = lb->ItemRect(2), next = lb->ItemRect(3);
    EXPECT_EQ(next.top, last.bottom);
    EXPECT_EQ(lb->ItemAtPos(TPoint{5, next.top + 2}, true), -1);
    EXPECT_EQ(lb->ItemAtPos(TPoint{5, next.top + 2}, false), 3);
    const TRect beyond = lb->ItemRect(4);
    EXPECT_EQ(beyond.bottom - beyond.top, 0);
    HWND first = lb->Handle();
    lb->SetSorted(true);
    EXPECT_NE(lb->Handle(), first);
    EXPECT_EQ(lb->Items()->Get(0), "apple");
    EXPECT_EQ(lb->ItemIndex(), 2);
    EXPECT_TRUE(HasAdapter(lb->Handle()));
    lb->Clear();
    EXPECT_EQ(lb->ItemIndex(), -1);
}

TEST_F(SkinnedLists, ListBoxStringOperationsKeepChoiceAndData) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    TObject tag;
    const struct {
        std::function<void()> Op;
        const char* Order;
        int Index;
    } cases[] = {{[&] { lb->Items()->Put(1, "B"); }, "aBcd", 1},
                 {[&] { lb->Items()->Exchange(1, 3); }, "adcb", 3},
                 {[&] { lb->Items()->Move(1, 2); }, "acbd", 2},
                 {[&] { lb->Items()->Move(3, 0); }, "dabc", 2}};
    for (const auto& k : cases) {
        lb->Items()->SetText("a\nb\nc\nd");
        lb->Items()->PutObject(1, &tag);
        lb->SetItemIndex(1);
        k.Op();
        std::string order;
        for (int i = 0; i < 4; ++i) order += lb->Items()->Get(i);
        EXPECT_EQ(order, k.Order);
        EXPECT_EQ(lb->ItemIndex(), k.Index) << k.Order;
        EXPECT_EQ(lb->Items()->GetObject(k.Index), &tag) << k.Order;
    }
    EXPECT_EQ(lb->Items()->IndexOf("B"), 2);
    lb->SetTabWidth(-5);
    EXPECT_EQ(lb->TabWidth(), 0);
}

TEST_F(SkinnedLists, VirtualListBoxAsksItsEventsAndKeepsItsPlaceInANewWindow) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    EXPECT_THROW(lb->SetCount(5), EClassLibError);
    lb->SetStyle(lbVirtual);
    lb->OnData = [](TWinControl*, int I, String& S) { S = "v" + std::to_string(I); };
    lb->OnDataFind = [](TWinControl*, const String& S) { return S == "v7" ? 7 : -1; };
    lb->SetCount(1000);
    EXPECT_EQ(SendMessageA(lb->Handle(), LB_GETCOUNT, 0, 0), 1000);
    EXPECT_EQ(lb->Items()->Get(42), "v42");
    EXPECT_EQ(lb->Items()->IndexOf("v7"), 7);
    char buf[16] = {};
    EXPECT_EQ(SendMessageA(lb->Handle(), LB_GETTEXT, 12, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_STREQ(buf, "v12");
    lb->SetTopIndex(500);
    lb->SetItemIndex(505);
    lb->SetTabWidth(40);  // a new window
    EXPECT_TRUE(GetWindowLongA(lb->Handle(), GWL_STYLE) & LBS_USETABSTOPS);
    EXPECT_EQ(SendMessageA(lb->Handle(), LB_GETCOUNT, 0, 0), 1000);
    EXPECT_EQ(lb->TopIndex(), 500);
    EXPECT_EQ(lb->ItemIndex(), 505);
}

// Items given to a virtual list box have nowhere to go: every route says so
// instead of dropping them, and the list still paints afterwards; a filled
// list keeps its items rather than turning virtual over them.
TEST_F(SkinnedLists, VirtualListBoxRefusesItemsInsteadOfDroppingThem) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    lb->SetStyle(lbVirtual);
    TStringList source;
    source.Add("one");
    source.Add("two");
    const struct {
        const char* Route;
        std::function<void()> Give;
    } routes[] = {
        {"Add", [&] { lb->Items()->Add("one"); }},
        {"Insert", [&] { lb->Items()->Insert(0, "one"); }},
        {"AddObject", [&] { lb->Items()->AddObject("one", nullptr); }},
        {"SetItems", [&] { lb->SetItems(&source); }},
        {"SetText", [&] { lb->Items()->SetText("one\ntwo"); }},
        {"AddStrings", [&] { lb->Items()->AddStrings(&source); }},
    };
    for (const auto& r : routes) {
        EXPECT_THROW(r.Give(), EClassLibError) << r.Route;
        EXPECT_EQ(lb->Count(), 0) << r.Route;
        EXPECT_TRUE(IsWindowVisible(lb->Handle())) << r.Route << ": the list's drawing was left off";
    }
    lb->SetCount(3);
    EXPECT_EQ(SendMessageA(lb->Handle(), LB_GETCOUNT, 0, 0), 3);

    auto* filled = Make<TsListBox>(form.get(), 240, 20, 200, 200);
    filled->Items()->SetText("a\nb");
    EXPECT_THROW(filled->SetStyle(lbVirtual), EClassLibError);
    EXPECT_EQ(filled->Style(), lbStandard);
    EXPECT_EQ(filled->Items()->Count(), 2);
    filled->Clear();
    filled->SetStyle(lbVirtual);
    EXPECT_EQ(filled->Style(), lbVirtual);
}

TEST_F(SkinnedLists, UnfocusedOwnerDrawListHighlightsItsCurrentItem) {
    for (bool multi : {false, true}) {
        SCOPED_TRACE(multi);
        auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
        lb->SetStyle(lbOwnerDrawFixed);
        lb->SetMultiSelect(multi);
        lb->Items()->SetText("one\ntwo\nthree");
        SetFocus(form->Handle());
        const auto at = [&](int I) {
            const TRect r = lb->ItemRect(I);
            return Pixel(lb->Handle(), r.right - 3, (r.top + r.bottom) / 2);
        };
        const std::uint32_t high = RGBOf(GetSysColor(COLOR_HIGHLIGHT));
        lb->SetItemIndex(1);
        EXPECT_EQ(at(1), high);
        lb->SetItemIndex(2);
        EXPECT_EQ(at(2), high);
        EXPECT_EQ(at(1), C.Edit);
        // Focused, only a chosen item is lit: the multi-select caret is not chosen.
        lb->SetFocus();
        EXPECT_EQ(at(2), multi ? C.Edit : high);
        lb->Free();
    }
}

TEST_F(SkinnedLists, ListBoxFindsTheTypedPrefixUntilAPause) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 200);
    lb->Items()->SetText("apple\nbanana\nblueberry\ncherry\ncranberry");
    lb->SetAutoCompleteDelay(400);
    testinput::Click(ScreenOf(lb, 20, 5));
    const struct {
        WORD Vk;
        int PauseBefore, Index;
    } steps[] = {{'B', 500, 1}, {'L', 0, 2}, {'C', 500, 3}, {'R', 0, 4}, {VK_BACK, 0, 3}, {VK_BACK, 0, 0}};
    for (const auto& k : steps) {
        Pump(k.PauseBefore);
        Key(k.Vk);
        EXPECT_EQ(lb->ItemIndex(), k.Index) << k.Vk;
    }
}

// The frame follows BorderStyle (and Ctl3D: sunken edge or a flat line)
// through a new window, which keeps the items; the property is published.
TEST_F(SkinnedLists, ListBoxBorderStyleChoosesItsFrame) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 150);
    lb->Items()->SetText("one\ntwo\nthree");
    lb->SetItemIndex(2);
    SetFocus(form->Handle());
    const struct {
        TBorderStyle Style;
        bool Ctl3D;
        LONG Edge, Line;  // WS_EX_CLIENTEDGE, WS_BORDER
    } cases[] = {{bsNone, true, 0, 0}, {bsSingle, true, WS_EX_CLIENTEDGE, 0}, {bsSingle, false, 0, WS_BORDER}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.Style) + (k.Ctl3D ? " 3D" : " flat"));
        SetOrdProp(lb, "BorderStyle", k.Style);
        lb->SetCtl3D(k.Ctl3D);
        Pump(30);
        EXPECT_EQ(lb->BorderStyle(), k.Style);
        EXPECT_EQ(GetWindowLongA(lb->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, k.Edge);
        EXPECT_EQ(GetWindowLongA(lb->Handle(), GWL_STYLE) & WS_BORDER, k.Line);
        // Without a frame the client area, in the section's colour, reaches the edge.
        EXPECT_EQ(FramePixels(lb->Handle())[0], k.Style == bsSingle ? C.Border[0] : C.Edit);
        EXPECT_EQ(lb->Items()->Count(), 3);
        EXPECT_EQ(lb->ItemIndex(), 2);
    }
}

// OnVScroll tells each move of the top item by the skinned bar, the wheel or
// a key; a click that scrolls nothing tells nothing.
TEST_F(SkinnedLists, ListBoxTellsEachVerticalScroll) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 150);
    for (int i = 0; i < 40; ++i) lb->Items()->Add("line " + std::to_string(i));
    int told = 0;
    lb->OnVScroll = [&](TObject* Sender) {
        EXPECT_EQ(Sender, lb);
        ++told;
    };
    Pump(30);
    RECT w{};
    GetWindowRect(lb->Handle(), &w);
    const struct {
        const char* Name;
        std::function<void()> Do;
        int Told;
        bool Moved;
    } steps[] = {
        {"an item clicked", [&] { testinput::Click(ScreenOf(lb, 20, 5)); }, 0, false},
        {"the bar's lower arrow clicked",
         [&] {
             testinput::Click(POINT{w.right - 8, w.bottom - 8});
         },
         1, true},
        {"the wheel", [&] { Wheel(1); }, 2, true},
        {"End", [&] { Key(VK_END); }, 3, true},
        {"End again", [&] { Key(VK_END); }, 3, false},
    };
    for (const auto& k : steps) {
        SCOPED_TRACE(k.Name);
        const int top = lb->TopIndex();
        k.Do();
        Pump(30);
        EXPECT_EQ(lb->TopIndex() != top, k.Moved);
        EXPECT_EQ(told, k.Told);
    }
}

// While the skin is on, a colour given by the program gives way to the
// section's, unless the control keeps colours of its own.
TEST_F(SkinnedLists, ListBoxKeepsTheSkinsColourUnlessItsOwnIsKept) {
    auto* lb = Make<TsListBox>(form.get(), 20, 20, 200, 150);
    for (bool custom : {false, true}) {
        SCOPED_TRACE(custom);
        lb->SkinData()->SetCustomColor(custom);
        lb->SetColor(TColor(0x00305070));
        const std::uint32_t want = custom ? 0x705030u : C.Edit;
        EXPECT_EQ(RGBOf(ColorToRGB(lb->Color())), want);
        EXPECT_EQ(Pixel(lb->Handle(), 100, 100), want);
        EXPECT_EQ(lb->Font()->Color(), ToColor(C.EditFont));
    }
}

// --- List view ------------------------------------------------------------------

struct HeaderFixture {
    TsListView* lv;
    HWND header;
    int clicks = 0;
    TListColumn* clicked = nullptr;
};

HeaderFixture MakeReport(TWinControl* Parent) {
    HeaderFixture f{Make<TsListView>(Parent, 20, 20, 360, 200), nullptr};
    f.lv->SetViewStyle(vsReport);
    for (const char* name : {"Name", "Size", "Kind"}) {
        TListColumn* col = f.lv->Columns()->Add();
        col->SetCaption(name);
        col->SetWidth(90);
    }
    for (int i = 0; i < 5; ++i) f.lv->Items()->Add()->SetCaption("row " + std::to_string(i));
    f.header = f.lv->HeaderHandle();
    Pump(50);
    return f;
}

TEST_F(SkinnedLists, ListViewHeaderIsSkinnedHotPressedAndSortedAndNotifiesOnce) {
    HeaderFixture f = MakeReport(form.get());
    ASSERT_TRUE(f.header);
    f.lv->OnColumnClick = [&](TObject*, TListColumn* Col) {
        ++f.clicks;
        f.clicked = Col;
    };
    auto border = [&](int Section) {
        const TRect r = f.lv->HeaderSectionRect(Section);
        return Pixel(f.header, r.left + 1, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(border(0), C.Border[0]);
    EXPECT_EQ(border(1), C.Border[0]);
    // Right of the last column: an empty section.
    RECT hc{};
    GetClientRect(f.header, &hc);
    EXPECT_EQ(Pixel(f.header, hc.right - 10, 1), C.Border[0]);
    // The rows in the section's colour.
    EXPECT_EQ(Pixel(f.lv->Handle(), 300, 150), C.Edit);
    EXPECT_TRUE(HasAdapter(f.lv->Handle()));

    const TRect s1 = f.lv->HeaderSectionRect(1);
    RECT hw{};
    GetWindowRect(f.header, &hw);
    const POINT over1{hw.left + (s1.left + s1.right) / 2, hw.top + (s1.top + s1.bottom) / 2};
    testinput::MouseTo(over1);
    Pump(50);
    EXPECT_EQ(f.lv->HotSection(), 1);
    EXPECT_EQ(border(1), C.Border[1]);
    testinput::LeftButton(true);
    EXPECT_EQ(f.lv->PressedSection(), 1);
    EXPECT_EQ(border(1), C.Border[2]);
    testinput::LeftButton(false);
    Pump(50);
    EXPECT_EQ(f.lv->PressedSection(), -1);
    EXPECT_EQ(f.clicks, 1);
    EXPECT_EQ(f.clicked, f.lv->Columns()->Items(1));
    // Onto the rows: nothing is hot any more.
    testinput::MouseTo(ScreenOf(f.lv, 200, 150));
    Pump(50);
    EXPECT_EQ(f.lv->HotSection(), -2);

    // A sort mark: the skin's arrow glyph, inside the section.
    const TRect s0 = f.lv->HeaderSectionRect(0);
    auto showsMark = [&] {
        UpdateWindow(f.header);
        const testsupport::Picture p = CaptureClient(f.header);
        for (int y = s0.top; y < s0.bottom; ++y)
            for (int x = s0.left; x < s0.right; ++x)
                if (p.Pixel(x, y) == C.Glyph[0]) return true;
        return false;
    };
    EXPECT_FALSE(showsMark());
    f.lv->Columns()->Items(0)->SetSortArrow(saUp);
    EXPECT_TRUE(showsMark());
}

// Where the real mouse goes and presses, per setting; what the header shows.
// The column the program passes is its own, and may lie in read-only
// memory: the list view takes it (with or without an image) unchanged.
TEST_F(SkinnedLists, ListViewTakesColumnsFromReadOnlyMemoryUnchanged) {
    auto* lv = Make<TsListView>(form.get(), 20, 20, 360, 200);
    lv->SetViewStyle(vsReport);
    Pump(30);
    const SIZE_T page = 4096;
    auto* columns = static_cast<LVCOLUMNA*>(VirtualAlloc(nullptr, page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(columns, nullptr);
    static char caption[] = "Name";
    const UINT mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
    columns[0] = LVCOLUMNA{};
    columns[0].mask = mask;
    columns[0].cx = 80;
    columns[0].pszText = caption;
    columns[0].iImage = -1;
    columns[1] = columns[0];
    columns[1].cx = 120;
    DWORD was = 0;
    ASSERT_TRUE(VirtualProtect(columns, page, PAGE_READONLY, &was));
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&columns[0])), 0);
    EXPECT_EQ(SendMessageA(lv->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 80);
    EXPECT_TRUE(SendMessageA(lv->Handle(), LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&columns[1])));
    EXPECT_EQ(SendMessageA(lv->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 120);
    EXPECT_EQ(columns[0].mask, mask);
    EXPECT_EQ(columns[1].mask, mask);
    VirtualFree(columns, 0, MEM_RELEASE);
}

TEST_F(SkinnedLists, ListViewHeaderPressesOnlySectionsAndHotTracksOnlyWhenAsked) {
    int order[3] = {2, 0, 1};  // column 2 dragged to the front
    const struct {
        const char* Name;
        std::function<void(TsListView*)> Setup;
        int Column;  // whose section is pressed, at its middle or on its divider
        bool OnDivider;
        int Hot, Pressed, Clicked;
    } cases[] = {
        {"highlight off", [](TsListView* lv) { lv->SetHighlightHeaders(false); }, 1, false, -2, 1, 1},
        {"no column click", [](TsListView* lv) { lv->SetColumnClick(false); }, 1, false, -2, -1, -1},
        {"divider", [](TsListView*) {}, 0, true, 0, -1, -1},
        {"reordered", [&](TsListView* lv) { lv->Perform(LVM_SETCOLUMNORDERARRAY, 3, LPARAM(order)); }, 2, false, 2, 2,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HeaderFixture f = MakeReport(form.get());
        c.Setup(f.lv);
        int clicked = -1;
        f.lv->OnColumnClick = [&](TObject*, TListColumn* Col) { clicked = Col->Index(); };
        Pump(50);
        const TRect s = f.lv->HeaderSectionRect(c.Column);
        const int y = (s.top + s.bottom) / 2;
        testinput::MouseTo(ScreenOf(f.lv, c.OnDivider ? s.right - 1 : (s.left + s.right) / 2, y));
        Pump(50);
        EXPECT_EQ(f.lv->HotSection(), c.Hot);
        testinput::LeftButton(true);
        EXPECT_EQ(f.lv->PressedSection(), c.Pressed);
        for (int col = 0; col < 3; ++col) {
            const int state = col == c.Pressed ? 2 : c.Pressed < 0 && col == c.Hot ? 1 : 0;
            EXPECT_EQ(Pixel(f.lv->HeaderHandle(), f.lv->HeaderSectionRect(col).left + 1, y), C.Border[state]) << col;
        }
        testinput::LeftButton(false);
        Pump(50);
        EXPECT_EQ(f.lv->PressedSection(), -1);
        EXPECT_EQ(clicked, c.Clicked);
        testinput::MouseTo(POINT{5, 5});
        f.lv->Free();
    }
}

TEST_F(SkinnedLists, ListViewHeaderShowsColumnImagesAndIsInItsPrintedPicture) {
    HeaderFixture f = MakeReport(form.get());
    auto* images = TObject::Create<TImageList>(form.get());
    auto image = [&](TColor Colour) {
        TBitmap b(16, 16);
        b.Canvas()->Brush()->SetColor(Colour);
        b.Canvas()->FillRect(TRect{0, 0, 16, 16});
        images->Clear();
        images->Add(&b, nullptr);
        Pump(50);
    };
    image(TColor(0x00C04020));
    f.lv->SetSmallImages(images);
    f.lv->Columns()->Items(0)->SetImageIndex(0);
    const TRect s0 = f.lv->HeaderSectionRect(0), s1 = f.lv->HeaderSectionRect(1);
    const int y = (s0.top + s0.bottom) / 2;
    EXPECT_EQ(Pixel(f.header, s0.left + 12, y), 0x2040C0u);
    image(TColor(0x0020C040));  // the list changes: the header follows
    EXPECT_EQ(Pixel(f.header, s0.left + 12, y), 0x40C020u);
    // A picture of the list view holds the skinned header (the frame may
    // shift it by a pixel or two: middles are probed).
    const auto printed = testsupport::PrintWindowClient(f.lv->Handle(), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(printed.Pixel((s1.left + s1.right) / 2, y), C.Button);
    EXPECT_EQ(printed.Pixel(s0.left + 12, y), 0x40C020u);
}

// The list view scrolls by the thumb's move once: it shows the row the bar
// says, and the thumb stays under the pointer.
TEST_F(SkinnedLists, ListViewThumbDragScrollsOnceByTheDifference) {
    HeaderFixture f = MakeReport(form.get());
    for (int i = 5; i < 100; ++i) f.lv->Items()->Add()->SetCaption("row " + std::to_string(i));
    Pump(50);
    auto* a = dynamic_cast<TacScrollWnd*>(f.lv->ScrollAdapter());
    ASSERT_TRUE(a);
    const POINT from = testsupport::VertThumbCentre(a);
    testinput::Drag(from, {POINT{from.x, from.y + 25}, POINT{from.x, from.y + 50}});
    Pump(60);
    const int top = static_cast<int>(SendMessageA(f.lv->Handle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_GT(top, 10);
    EXPECT_EQ(top, GetScrollPos(f.lv->Handle(), SB_VERT));
    EXPECT_NEAR(testsupport::VertThumbCentre(a).y, from.y + 50, 3);
}

// --- Tree view ------------------------------------------------------------------

TEST_F(SkinnedLists, TreeViewPaintsInSkinColoursAndUnfoldsByKey) {
    auto* tv = Make<TsTreeView>(form.get(), 20, 20, 200, 200);
    TTreeNode* root = tv->Items()->AddChild(nullptr, "root");
    for (int i = 0; i < 3; ++i) tv->Items()->AddChild(root, "leaf " + std::to_string(i));
    Pump(50);
    EXPECT_EQ(Pixel(tv->Handle(), 150, 150), C.Edit);
    EXPECT_TRUE(HasAdapter(tv->Handle()));
    int unfolded = 0;
    tv->OnExpanded = [&](TObject*, TTreeNode*) { ++unfolded; };
    const TRect text = root->DisplayRect(true);
    ClickAtOnce(ScreenOf(tv, text.left + 4, (text.top + text.bottom) / 2));
    EXPECT_TRUE(root->Selected());
    Key(VK_RIGHT);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(unfolded, 1);
}

TEST_F(SkinnedLists, TreeViewGetsItsAdapterAndLabelWhenItStartsShowing) {
    auto* tv = TObject::Create<TsTreeView>(form.get());
    tv->SetVisible(false);
    tv->SetParent(form.get());
    tv->BoundLabel()->SetActive(true);
    ASSERT_TRUE(tv->Handle());
    EXPECT_FALSE(tv->ScrollAdapter());
    tv->SetVisible(true);
    Pump(50);
    EXPECT_TRUE(HasAdapter(tv->Handle()));
    EXPECT_TRUE(tv->BoundLabel()->TheLabel()->Visible());
    // A colour of its own stays when the skin goes.
    tv->SkinData()->SetCustomColor(true);
    tv->SetColor(TColor(0x00305070));
    Command(tv, AC_REMOVESKIN, Manager());
    EXPECT_EQ(Pixel(tv->Handle(), 50, 50), 0x705030u);
}

// --- Frames ---------------------------------------------------------------------

// The list box, list view and tree view, filled a little, made with Manager
// and placed on Parent.
struct ListMaker {
    const char* Name;
    TWinControl* (*Make)(TWinControl* Parent, TsSkinManager* Manager);
};

const ListMaker kListMakers[] = {
    {"list box",
     [](TWinControl* P, TsSkinManager* M) -> TWinControl* {
         auto* c = MakeWith<TsListBox>(P, M, 20);
         c->Items()->SetText("one\ntwo");
         return c;
     }},
    {"list view",
     [](TWinControl* P, TsSkinManager* M) -> TWinControl* {
         auto* c = MakeWith<TsListView>(P, M, 180);
         c->SetViewStyle(vsReport);
         c->Columns()->Add()->SetCaption("Name");
         c->Items()->Add()->SetCaption("row");
         return c;
     }},
    {"tree view",
     [](TWinControl* P, TsSkinManager* M) -> TWinControl* {
         auto* c = MakeWith<TsTreeView>(P, M, 340);
         c->Items()->AddChild(nullptr, "root");
         return c;
     }},
};

TEST_F(SkinnedLists, ListControlsShowTheSkinsFrame) {
    SetFocus(form->Handle());
    for (const ListMaker& k : kListMakers) {
        SCOPED_TRACE(k.Name);
        TWinControl* c = k.Make(form.get(), nullptr);
        Pump(30);
        for (std::uint32_t px : FramePixels(c->Handle())) EXPECT_EQ(px, C.Border[0]);
    }
}

// On the built-in skins each list control has the frame a skinned edit of
// the same section has, in both of them.
TEST_F(SkinnedLists, ListControlsShareTheEditsFrameOnTheBuiltInSkins) {
    TsSkinManager* m = testsupport::NewTestSkinManager();
    for (const char* skin : {"Light", "Dark"}) {
        SCOPED_TRACE(skin);
        ASSERT_TRUE(m->LoadSkin(skin));
        auto* edit = MakeWith<TsEdit>(form.get(), m, 20);
        edit->SetTop(300);
        SetFocus(form->Handle());
        Pump(50);
        const std::vector<std::uint32_t> want = FramePixels(edit->Handle());
        for (const ListMaker& k : kListMakers) {
            SCOPED_TRACE(k.Name);
            TWinControl* c = k.Make(form.get(), m);
            Pump(30);
            EXPECT_EQ(FramePixels(c->Handle()), want);
            c->Free();
        }
        edit->Free();
    }
    m->Free();
}

// On the built-in skins a header section pressed under the real mouse looks
// plainly other than the same section hot.
TEST_F(SkinnedLists, HeaderPressedStandsApartFromHotOnTheBuiltInSkins) {
    TsSkinManager* m = testsupport::NewTestSkinManager();
    for (const char* skin : {"Light", "Dark"}) {
        SCOPED_TRACE(skin);
        ASSERT_TRUE(m->LoadSkin(skin));
        auto* lv = MakeWith<TsListView>(form.get(), m, 20, 20, 300, 100);
        lv->SetViewStyle(vsReport);
        lv->Columns()->Add()->SetWidth(120);
        Pump(50);
        const TRect s = lv->HeaderSectionRect(0);
        const int x = s.left + 60, y = s.top + 3;
        testinput::MouseTo(ScreenOf(lv, x, y));
        Pump(50);
        const std::uint32_t hot = Pixel(lv->HeaderHandle(), x, y);
        testinput::LeftButton(true);
        const std::uint32_t pressed = Pixel(lv->HeaderHandle(), x, y);
        testinput::LeftButton(false);
        int apart = 0;
        for (int ch = 0; ch < 24; ch += 8)
            apart = std::max(apart, std::abs(int((hot >> ch) & 0xFF) - int((pressed >> ch) & 0xFF)));
        EXPECT_GE(apart, 16) << std::hex << hot << " " << pressed;
        testinput::MouseTo(POINT{5, 5});
        lv->Free();
    }
    m->Free();
}

// A skin switched off leaves each list control in the system's colours and
// frame at once (its adapter's release puts no colour of the skin back), and
// the skin switched on again gives back its own.
TEST_F(SkinnedLists, ListControlsTakeSystemColoursRightAfterTheSkinGoes) {
    TsSkinManager* m = testsupport::NewTestSkinManager();
    std::vector<TWinControl*> controls;
    for (const ListMaker& k : kListMakers) controls.push_back(k.Make(form.get(), m));
    Pump(50);
    const std::uint32_t window = RGBOf(GetSysColor(COLOR_WINDOW));
    for (bool on : {false, true}) {
        m->SetActive(on);
        Pump(50);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            SCOPED_TRACE(std::string(kListMakers[i].Name) + (on ? ", skin on" : ", skin off"));
            TWinControl* c = controls[i];
            EXPECT_EQ(c->Color(), on ? ToColor(C.Edit) : clWindow);
            EXPECT_EQ(c->Font()->Color(), on ? ToColor(C.EditFont) : clWindowText);
            EXPECT_EQ(HasAdapter(c->Handle()), on);
            EXPECT_EQ(Pixel(c->Handle(), 140, 100), on ? C.Edit : window);
            EXPECT_EQ(FramePixels(c->Handle())[0] == C.Border[0], on);
        }
    }
    for (TWinControl* c : controls) c->Free();
    m->Free();
}

// --- Skin removal -----------------------------------------------------------------

TEST_F(SkinnedLists, RemovedSkinLeavesEachControlInItsSystemLook) {
    TsComboBox* c = MakeCombo(3);
    auto* lb = Make<TsListBox>(form.get(), 20, 60, 150, 100);
    lb->Items()->Add("one");
    auto* tv = Make<TsTreeView>(form.get(), 200, 60, 150, 100);
    tv->Items()->AddChild(nullptr, "root");
    HeaderFixture f = MakeReport(form.get());
    f.lv->SetBounds(20, 180, 360, 150);
    Pump(50);
    const std::uint32_t window = RGBOf(GetSysColor(COLOR_WINDOW));
    for (TControl* ctl : std::initializer_list<TControl*>{c, lb, tv, f.lv}) Command(ctl, AC_REMOVESKIN, Manager());
    Pump(80);
    EXPECT_NE(ButtonBorder(c), C.Border[0]);
    EXPECT_FALSE(HasAdapter(lb->Handle()));
    EXPECT_EQ(Pixel(lb->Handle(), 140, 90), window);
    EXPECT_FALSE(HasAdapter(tv->Handle()));
    EXPECT_EQ(Pixel(tv->Handle(), 140, 90), window);
    EXPECT_FALSE(HasAdapter(f.lv->Handle()));
    EXPECT_EQ(SendMessageA(f.lv->Handle(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
    const TRect s0 = f.lv->HeaderSectionRect(0);
    EXPECT_NE(Pixel(f.header, s0.left + 1, (s0.top + s0.bottom) / 2), C.Border[0]);
    // And back: the skin returns to every one of them.
    for (TControl* ctl : std::initializer_list<TControl*>{c, lb, tv, f.lv}) {
        Command(ctl, AC_NEWSKIN, Manager());
        Command(ctl, AC_REFRESH, Manager());
    }
    Pump(80);
    EXPECT_TRUE(HasAdapter(lb->Handle()));
    EXPECT_EQ(Pixel(tv->Handle(), 140, 90), C.Edit);
    // Made at run time, the list view takes the skin's colours on refresh too.
    EXPECT_EQ(RGBOf(static_cast<COLORREF>(SendMessageA(f.lv->Handle(), LVM_GETBKCOLOR, 0, 0))), C.Edit);
    EXPECT_EQ(ButtonBorder(c), C.Border[0]);
}

}  // namespace
