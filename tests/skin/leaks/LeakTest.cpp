// GDI and USER objects counted around many cycles of real use: a form of every
// skinned control made, shown, painted, hovered and freed; a dialog holding a
// window of every adapter kind; message boxes and the standard dialogs
// skinned through the hook; skins switched with a form open. After a warm-up
// cycle (first-use caches) the counts must not grow. The count itself is
// shown to see a deliberate leak.
//
// The number of cycles is SKIN_LEAK_CYCLES (default 50, a few seconds);
// scripts/leak-stress.sh runs a thousand.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "GuiObjectCount.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "acProgressBar.h"
#include "sAlphaListBox.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sGroupBox.h"
#include "sLabel.h"
#include "sListView.h"
#include "sMessages.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sRichEdit.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "sTreeView.h"
#include "sUpDown.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using formtest::Make;
using formtest::Pump;
using testsupport::CountGuiObjects;
using testsupport::GuiObjects;

int Cycles() {
    const char* v = std::getenv("SKIN_LEAK_CYCLES");
    const int n = v ? std::atoi(v) : 0;
    return n > 0 ? n : 50;
}

testsupport::TestSkinOptions Options() {
    testsupport::TestSkinOptions o;
    o.Forms = true;
    o.PageControl = true;
    o.ScrollBars = true;
    o.Headers = true;
    o.GroupBox = true;
    return o;
}
TsSkinManager* Manager() {
    static TsSkinManager* m = [] {
        TsSkinManager* s = testsupport::TestSkinManager(Options());
        s->AnimEffects()->PageChange.Active = false;
        return s;
    }();
    return m;
}

// Runs Cycle once to fill the first-use caches, then Count times, and
// reports the growth of both counts over the Count cycles.
GuiObjects Growth(int Count, const std::function<void(int)>& Cycle) {
    Cycle(-1);
    Pump(30);
    const GuiObjects before = CountGuiObjects();
    for (int i = 0; i < Count; ++i) Cycle(i);
    Pump(30);
    const GuiObjects after = CountGuiObjects();
    return GuiObjects{after.Gdi - before.Gdi, after.User - before.User};
}

// What a cycle may leave behind without being a leak: nothing per cycle.
constexpr int kSlack = 2;

#define EXPECT_NO_GROWTH(g, what)                                                  \
    do {                                                                           \
        const GuiObjects grown = (g);                                              \
        EXPECT_LE(grown.Gdi, kSlack) << what << ": GDI objects over the cycles";   \
        EXPECT_LE(grown.User, kSlack) << what << ": USER objects over the cycles"; \
    } while (0)

void Repaint(HWND H) {
    RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// --- The count itself ------------------------------------------------------

// Objects leaked on purpose: fonts, a window with children, a message-only
// window, menus and icons.
struct Deliberate {
    static constexpr int kFonts = 40, kWindows = 1 + 4 + 1, kMenus = 3, kIcons = 2;
    std::vector<HFONT> Fonts;
    HWND Top = nullptr, Message = nullptr;
    std::vector<HMENU> Menus;
    std::vector<HICON> Icons;
    void LeakFonts() {
        LOGFONTA lf{};
        lf.lfHeight = -13;
        lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
        for (int i = 0; i < kFonts; ++i) Fonts.push_back(CreateFontIndirectA(&lf));
    }
    void LeakUserObjects() {
        Top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < 4; ++i)
            CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 5, 5, Top, nullptr, nullptr, nullptr);
        Message = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        for (int i = 0; i < kMenus; ++i) Menus.push_back(i ? CreatePopupMenu() : CreateMenu());
        for (int i = 0; i < kIcons; ++i) Icons.push_back(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
    }
    ~Deliberate() {
        for (HFONT f : Fonts) DeleteObject(f);
        for (HMENU m : Menus) DestroyMenu(m);
        for (HICON i : Icons) DestroyIcon(i);
        if (Top) DestroyWindow(Top);
        if (Message) DestroyWindow(Message);
    }
};

TEST(GuiObjectCount, SeesDeliberateLeaksOfFontsWindowsMenusAndIcons) {
    // The thread's first window brings the input method's window, and its
    // last takes it away: one window stays for the whole count.
    HWND keeper = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        Deliberate warmUp;  // the message-only windows' parent, made once
        warmUp.LeakUserObjects();
    }
    const GuiObjects before = CountGuiObjects();
    {
        Deliberate leaked;
        leaked.LeakFonts();
        const GuiObjects withFonts = CountGuiObjects();
        EXPECT_EQ(withFonts.Gdi - before.Gdi, Deliberate::kFonts);
        EXPECT_EQ(withFonts.User, before.User);
        leaked.LeakUserObjects();
        const GuiObjects withUser = CountGuiObjects();
        EXPECT_EQ(withUser.User - withFonts.User, Deliberate::kWindows + Deliberate::kMenus + Deliberate::kIcons);
    }
    const GuiObjects after = CountGuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
    DestroyWindow(keeper);
}

// --- Skinned controls ------------------------------------------------------

class Leaks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Manager()->Active()) << Manager()->LastError();
        ASSERT_TRUE(Manager()->HookInstalled());
    }
};

TsPageControl* AddPages(TWinControl* Parent, int Left, int Top, TTabPosition Position) {
    auto* pc = Make<TsPageControl>(Parent, Left, Top, 200, 130);
    pc->SetTabPosition(Position);
    for (const char* name : {"One", "Two", "Three"}) {
        auto* s = TObject::Create<TsTabSheet>(Parent);
        s->SetCaption(name);
        s->SetPageControl(pc);
    }
    return pc;
}

TEST_F(Leaks, SideTabsPaintedAgainAndAgain) {
    for (TTabPosition position : {tpLeft, tpRight, tpTop}) {
        formtest::FormPtr form = formtest::MakeForm(40, 40, 260, 180);
        TsPageControl* pc = AddPages(form.get(), 10, 10, position);
        form->Show();
        Pump(60);
        const GuiObjects g = Growth(Cycles(), [&](int) { Repaint(pc->Handle()); });
        EXPECT_NO_GROWTH(g, "tab position " << int(position));
    }
}

// A form holding every skinned control, its tabs on the left.
std::vector<TControl*> FillWithEverySkinnedControl(TForm* F) {
    std::vector<TControl*> c;
    auto add = [&](TControl* x) { c.push_back(x); };
    add(Make<TsButton>(F, 10, 10, 90, 26));
    add(Make<TsCheckBox>(F, 10, 40, 90, 20));
    add(Make<TsRadioButton>(F, 10, 64, 90, 20));
    auto* edit = Make<TsEdit>(F, 10, 90, 90, 22);
    edit->BoundLabel()->SetCaption("Edit");
    edit->BoundLabel()->SetActive(true);
    add(edit);
    auto* combo = Make<TsComboBox>(F, 10, 120, 90, 22);
    for (int i = 0; i < 30; ++i) combo->Items()->Add("item " + std::to_string(i));
    add(combo);
    auto* list = Make<TsListBox>(F, 10, 150, 90, 80);
    for (int i = 0; i < 30; ++i) list->Items()->Add("line " + std::to_string(i));
    add(list);
    auto* view = Make<TsListView>(F, 110, 10, 150, 90);
    view->SetViewStyle(vsReport);
    view->Columns()->Add()->SetCaption("Name");
    for (int i = 0; i < 20; ++i) view->Items()->Add()->SetCaption("row " + std::to_string(i));
    add(view);
    auto* tree = Make<TsTreeView>(F, 110, 110, 150, 90);
    tree->Items()->AddChild(tree->Items()->AddChild(nullptr, "root"), "leaf");
    add(tree);
    add(Make<TsRichEdit>(F, 110, 210, 150, 50));
    add(Make<TsTrackBar>(F, 270, 10, 150, 30));
    add(Make<TsProgressBar>(F, 270, 45, 150, 16));
    add(Make<TsUpDown>(F, 270, 70, 20, 30));
    add(Make<TsSpeedButton>(F, 300, 70, 60, 26));
    auto* label = Make<TsLabel>(F, 370, 70, 60, 18);
    label->SetCaption("Label");
    add(label);
    auto* fx = Make<TsLabelFX>(F, 370, 92, 60, 18);
    fx->SetCaption("Effects");
    add(fx);
    auto* panel = Make<TsPanel>(F, 270, 110, 150, 60);
    add(Make<TsButton>(panel, 10, 10, 60, 24));
    add(panel);
    add(Make<TsDragBar>(F, 270, 175, 150, 16));
    auto* group = Make<TsGroupBox>(F, 270, 195, 150, 60);
    group->SetCaption("Group");
    add(group);
    add(Make<TsSplitter>(F, 430, 10, 6, 250));
    add(AddPages(F, 10, 270, tpLeft));
    return c;
}

void HoverEach(const std::vector<TControl*>& Controls) {
    for (TControl* c : Controls) {
        const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
        testinput::Send({testinput::Move(POINT{p.x, p.y})});
        Application->ProcessMessages();
    }
    testinput::Send({testinput::Move(POINT{2, 2})});
    Pump(10);
}

TEST_F(Leaks, FormsOfEverySkinnedControlMadeShownHoveredAndFreed) {
    const GuiObjects g = Growth(Cycles(), [](int) {
        auto* form = TObject::Create<TForm>(nullptr);  // the hook gives it a provider
        form->SetBounds(20, 20, 460, 420);
        const std::vector<TControl*> controls = FillWithEverySkinnedControl(form);
        form->Show();
        Repaint(form->Handle());
        HoverEach(controls);
        form->Free();
        Application->ProcessMessages();
    });
    EXPECT_NO_GROWTH(g, "form of every skinned control");
}

TEST_F(Leaks, SkinsSwitchedWithTheFormOpen) {
    auto* form = TObject::Create<TForm>(nullptr);
    form->SetBounds(20, 20, 460, 420);
    FillWithEverySkinnedControl(form);
    form->Show();
    Pump(60);
    const String test = testsupport::TestSkinPath(Options());
    const GuiObjects g = Growth(std::max(Cycles() / 5, 4), [&](int) {
        for (const String& skin : {String("Light"), String("Dark"), test}) {
            ASSERT_TRUE(Manager()->LoadSkin(skin)) << skin;
            Repaint(form->Handle());
            Application->ProcessMessages();
        }
    });
    EXPECT_NO_GROWTH(g, "skin switches");
    form->Free();
}

// --- Adapters and the hook's dialogs --------------------------------------

INT_PTR CALLBACK PlainDlgProc(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_INITDIALOG; }

// A dialog skinned through the hook with a window of every adapter kind.
HWND DialogOfEveryAdapterKind() {
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl{};
    tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    tpl.t.cx = 300;
    tpl.t.cy = 200;
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, PlainDlgProc, 0);
    struct Child {
        const char* Class;
        DWORD Style;
    };
    const Child kids[] = {
        {"STATIC", SS_LEFT},
        {"STATIC", SS_ICON},
        {"BUTTON", BS_GROUPBOX},
        {"BUTTON", BS_AUTORADIOBUTTON},
        {"BUTTON", BS_DEFPUSHBUTTON},
        {"BUTTON", BS_AUTOCHECKBOX},
        {"ToolbarWindow32", TBSTYLE_WRAPABLE},
        {"EDIT", WS_VSCROLL | ES_MULTILINE},
        {"LISTBOX", WS_VSCROLL},
        {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL},
        {"COMBOBOX", CBS_SIMPLE},
        {"msctls_updown32", 0},
        {"SysListView32", LVS_REPORT},
        {"SysTreeView32", 0},
        {"SysTabControl32", 0},
        {"msctls_trackbar32", 0},
        {"msctls_progress32", 0},
        {"SCROLLBAR", SBS_VERT},
    };
    int i = 0;
    for (const Child& k : kids) {
        HWND c = CreateWindowExA(0, k.Class, "x", WS_CHILD | WS_VISIBLE | k.Style, 10 + (i % 4) * 110,
                                 10 + (i / 4) * 60, 100, 50, d, nullptr, nullptr, nullptr);
        if (k.Style & WS_VSCROLL)
            for (int n = 0; n < 30; ++n)
                SendMessageA(c, k.Class[0] == 'L' ? LB_ADDSTRING : CB_ADDSTRING, 0, LPARAM("line"));
        ++i;
    }
    SendMessageA(d, SM_ALPHACMD, acCommandWParam(AC_ADAPTNEWCHILDREN), 0);
    ShowWindow(d, SW_SHOW);
    return d;
}

BOOL CALLBACK HoverChild(HWND H, LPARAM) {
    RECT r{};
    GetWindowRect(H, &r);
    testinput::Send({testinput::Move(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2})});
    Application->ProcessMessages();
    return TRUE;
}

TEST_F(Leaks, DialogsOfEveryAdapterKindMadeShownHoveredAndDestroyed) {
    const GuiObjects g = Growth(Cycles(), [](int) {
        HWND d = DialogOfEveryAdapterKind();
        Repaint(d);
        EnumChildWindows(d, HoverChild, 0);
        DestroyWindow(d);
        Application->ProcessMessages();
    });
    EXPECT_NO_GROWTH(g, "dialog of every adapter kind");
}

// Closes the hook's dialog once it shows: the first visible "#32770" of the thread.
BOOL CALLBACK FindShownDialog(HWND H, LPARAM Found) {
    char cls[16] = {};
    GetClassNameA(H, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(H)) return TRUE;
    *reinterpret_cast<HWND*>(Found) = H;
    return FALSE;
}
void CALLBACK CloseShownDialog(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND d = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&d));
    if (!d) return;
    KillTimer(nullptr, Id);
    Repaint(d);
    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
}
template <class F>
void WhileShown(F Open) {
    const UINT_PTR t = SetTimer(nullptr, 0, 10, CloseShownDialog);
    Open();
    KillTimer(nullptr, t);
}

TEST_F(Leaks, HookedMessageBoxesAndStandardDialogs) {
    const GuiObjects boxes = Growth(Cycles(), [](int) {
        WhileShown([] { MessageBoxA(nullptr, "Again", "Many", MB_OKCANCEL | MB_ICONINFORMATION); });
    });
    EXPECT_NO_GROWTH(boxes, "message boxes");
    const GuiObjects colours = Growth(std::max(Cycles() / 5, 4), [](int) {
        WhileShown([] {
            static COLORREF custom[16] = {};
            CHOOSECOLORA cc{};
            cc.lStructSize = sizeof cc;
            cc.lpCustColors = custom;
            cc.Flags = CC_FULLOPEN;
            ChooseColorA(&cc);
        });
    });
    EXPECT_NO_GROWTH(colours, "colour dialogs");
    const GuiObjects files = Growth(std::max(Cycles() / 10, 3), [](int) {
        WhileShown([] {
            char name[MAX_PATH] = {};
            OPENFILENAMEA of{};
            of.lStructSize = sizeof of;
            of.lpstrFile = name;
            of.nMaxFile = MAX_PATH;
            of.Flags = OFN_EXPLORER;
            GetOpenFileNameA(&of);
        });
    });
    EXPECT_NO_GROWTH(files, "open-file dialogs");
}

}  // namespace
