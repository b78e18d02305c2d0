// Forms: life cycle and events, the frame styles that the border properties
// make, window state and position, closing, modal loops ended from timers and
// posted messages, MDI frames with children, menus and painting.
#include "TestControls.h"

#include "ActnList.h"
#include "Menus.h"
#include "Timers.h"

using namespace ctltest;

namespace {

LONG Style(HWND w) { return GetWindowLongA(w, GWL_STYLE); }
LONG ExStyle(HWND w) { return GetWindowLongA(w, GWL_EXSTYLE); }

class TEventForm : public TForm {
public:
    explicit TEventForm(TComponent* AOwner) : TForm(AOwner) {
        OnCreate = [this](TObject*) { Events.push_back("create"); };
    }
    std::vector<std::string> Events;
};

TEST(Forms, CreationAndDestructionRaiseTheirEventsAndKeepTheScreenList) {
    int before = Screen->FormCount();
    auto* form = TObject::Create<TEventForm>(nullptr);
    EXPECT_EQ(form->Events, std::vector<std::string>{"create"});
    EXPECT_EQ(Screen->FormCount(), before + 1);
    bool found = false;
    for (int i = 0; i < Screen->FormCount(); ++i) found |= Screen->Forms(i) == form;
    EXPECT_TRUE(found);
    int destroyed = 0;
    form->OnDestroy = [&](TObject*) { ++destroyed; };
    form->Free();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Screen->FormCount(), before);
}

TEST(Forms, ShowAndHideRaiseTheirEventsAroundTheWindow) {
    FormPtr form = MakeForm();
    std::vector<std::string> events;
    bool visibleInOnShow = true;
    form->OnShow = [&](TObject*) {
        events.push_back("show");
        visibleInOnShow = IsWindowVisible(form->Handle()) != 0;
    };
    form->OnHide = [&](TObject*) {
        events.push_back("hide");
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
    };
    form->OnActivate = [&](TObject*) { events.push_back("activate"); };
    form->Show();
    Pump();
    EXPECT_FALSE(visibleInOnShow);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(form->Showing());
    EXPECT_TRUE(form->Active());
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "show");
    EXPECT_NE(std::find(events.begin(), events.end(), "activate"), events.end());
    events.clear();
    form->Hide();
    Pump();
    EXPECT_EQ(events, std::vector<std::string>{"hide"});
    EXPECT_FALSE(form->Showing());
}

TEST(Forms, BorderPropertiesMakeTheFrameStyles) {
    FormPtr form = MakeForm();
    HWND wnd = form->Handle();
    EXPECT_TRUE(Style(wnd) & WS_THICKFRAME);
    EXPECT_TRUE(Style(wnd) & WS_MAXIMIZEBOX);
    EXPECT_TRUE(Style(wnd) & WS_SYSMENU);
    EXPECT_FALSE(Style(wnd) & WS_CHILD);

    auto* child = TObject::Create<TLogWin>(form.get());
    child->SetParent(form.get());
    child->SetCaption("stays");
    form->Show();
    form->SetBorderStyle(bsDialog);
    HWND dialog = form->Handle();
    EXPECT_NE(dialog, wnd);  // made again with the new frame
    EXPECT_TRUE(ExStyle(dialog) & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(Style(dialog) & WS_THICKFRAME);
    EXPECT_FALSE(Style(dialog) & WS_MINIMIZEBOX);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetParent(child->Handle()), dialog);
    EXPECT_EQ(child->Caption(), "stays");

    form->SetBorderStyle(bsToolWindow);
    EXPECT_TRUE(ExStyle(form->Handle()) & WS_EX_TOOLWINDOW);
    form->SetBorderStyle(bsNone);
    EXPECT_TRUE(Style(form->Handle()) & WS_POPUP);
    EXPECT_NE(Style(form->Handle()) & WS_CAPTION, WS_CAPTION);
    form->SetBorderStyle(bsSingle);
    form->SetBorderIcons(TBorderIcons{biSystemMenu});
    EXPECT_FALSE(Style(form->Handle()) & WS_MAXIMIZEBOX);
    EXPECT_FALSE(Style(form->Handle()) & WS_MINIMIZEBOX);
    EXPECT_FALSE(Style(form->Handle()) & WS_THICKFRAME);
    form->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(ExStyle(form->Handle()) & WS_EX_TOPMOST);
}

TEST(Forms, WindowStateAndPositionAreApplied) {
    FormPtr form = MakeForm(0, 0, 300, 200);
    form->SetPosition(poScreenCenter);
    form->Show();
    Pump();
    TRect area = Screen->WorkAreaRect();
    EXPECT_EQ(form->Left(), area.left + (RectWidth(area) - 300) / 2);
    EXPECT_EQ(form->Top(), area.top + (RectHeight(area) - 200) / 2);
    form->SetWindowState(wsMaximized);
    Pump();
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsMinimized);
    Pump();
    EXPECT_TRUE(IsIconic(form->Handle()));
    form->SetWindowState(wsNormal);
    Pump();
    EXPECT_FALSE(IsIconic(form->Handle()));
    EXPECT_FALSE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsNormal);
}

TEST(Forms, ClientSizeSetBeforeTheWindowIsKept) {
    FormPtr form = MakeForm();
    form->SetClientWidth(250);
    form->SetClientHeight(150);
    RECT r;
    GetClientRect(form->Handle(), &r);
    EXPECT_EQ(r.right, 250);
    EXPECT_EQ(r.bottom, 150);
    EXPECT_EQ(form->ClientWidth(), 250);
}

TEST(Forms, CloseAsksThenHidesOrFrees) {
    FormPtr form = MakeForm();
    form->Show();
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    std::vector<TCloseAction> actions;
    form->OnClose = [&](TObject*, TCloseAction& Action) { actions.push_back(Action); };
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);  // the close box does the same
    Pump();
    EXPECT_FALSE(form->Visible());
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0], caHide);

    // caFree: the form goes once its messages are handled.
    auto* freed = TObject::Create<TForm>(nullptr);
    int destroyed = 0;
    freed->OnDestroy = [&](TObject*) { ++destroyed; };
    freed->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    freed->Show();
    freed->Close();
    EXPECT_EQ(destroyed, 0);
    Pump();
    EXPECT_EQ(destroyed, 1);
}

TEST(Forms, ShowModalRunsUntilATimerSetsTheResult) {
    FormPtr owner = MakeForm();
    owner->Show();
    Pump();
    FormPtr modal = MakeForm(80, 80, 200, 120);
    bool ownerDisabled = false;
    bool modalShowing = false;
    TTimer timer(nullptr);
    timer.SetInterval(30);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        ownerDisabled = !IsWindowEnabled(owner->Handle());
        modalShowing = IsWindowVisible(modal->Handle()) != 0;
        modal->SetModalResult(mrOk);
    };
    EXPECT_EQ(modal->ShowModal(), mrOk);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(modalShowing);
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(modal->Visible());
    EXPECT_FALSE(modal->FormState().Contains(fsModal));
}

TEST(Forms, ShowModalEndsOnAPostedClose) {
    FormPtr modal = MakeForm(80, 80, 200, 120);
    int queries = 0;
    modal->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++queries > 1; };
    PostMessageA(modal->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(modal->Handle(), WM_CLOSE, 0, 0);
    // The first close is refused by OnCloseQuery: the loop goes on to the second.
    EXPECT_EQ(modal->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);

    modal->Show();
    try {
        modal->ShowModal();
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "Cannot make a visible window modal");
    }
}

TEST(Forms, AnMDIFrameHoldsItsChildrenInItsClientWindow) {
    FormPtr frame = MakeForm(20, 20, 500, 400);
    frame->SetFormStyle(fsMDIForm);
    auto* toolbar = TObject::Create<TLogWin>(frame.get());
    toolbar->SetHeight(30);
    toolbar->SetAlign(alTop);
    toolbar->SetParent(frame.get());
    frame->Show();
    Pump();
    HWND client = frame->ClientHandle();
    ASSERT_TRUE(IsWindow(client));
    char cls[32] = {};
    GetClassNameA(client, cls, sizeof(cls));
    EXPECT_STRCASEEQ(cls, "MDICLIENT");
    RECT r;
    GetWindowRect(client, &r);
    MapWindowPoints(nullptr, frame->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 30);  // below the aligned tool bar

    auto* child = TObject::Create<TForm>(nullptr);
    child->SetCaption("Child 1");
    child->SetBounds(10, 10, 200, 150);
    child->SetFormStyle(fsMDIChild);
    Pump();
    ASSERT_TRUE(child->HandleAllocated());
    EXPECT_EQ(GetParent(child->Handle()), client);
    EXPECT_TRUE(ExStyle(child->Handle()) & WS_EX_MDICHILD);
    EXPECT_TRUE(IsWindowVisible(child->Handle()));
    EXPECT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->MDIChildren(0), child);
    EXPECT_EQ(frame->ActiveMDIChild(), child);

    auto* second = TObject::Create<TForm>(nullptr);
    second->SetFormStyle(fsMDIChild);
    Pump();
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_EQ(frame->ActiveMDIChild(), second);
    EXPECT_TRUE(second->Active());
    frame->Next();
    Pump();
    EXPECT_EQ(frame->ActiveMDIChild(), child);
    second->Free();
    Pump();
    EXPECT_EQ(frame->MDIChildCount(), 1);
    // Closing an MDI child minimizes it unless told otherwise.
    child->Close();
    Pump();
    EXPECT_TRUE(IsIconic(child->Handle()));
    child->Free();
    EXPECT_EQ(frame->MDIChildCount(), 0);
    frame.reset();

    auto* orphan = TObject::Create<TForm>(nullptr);
    try {
        orphan->SetFormStyle(fsMDIChild);
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "Cannot create form. No MDI forms are currently active");
    }
    orphan->Free();
}

TEST(Forms, TheMainMenuIsShownAndItsCommandsClickItems) {
    FormPtr form = MakeForm();
    auto* menu = TObject::Create<TMainMenu>(form.get());
    int clicks = 0;
    TMenuItem* item = NewItem("&Run", 0, false, true, [&](TObject*) { ++clicks; });
    menu->Items()->Add(NewSubMenu("&File", {item}));
    form->SetMenu(menu);
    form->Show();
    Pump();
    EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_EQ(clicks, 1);
    // A new window keeps the menu.
    form->SetBorderStyle(bsSingle);
    EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
    form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_TRUE(IsMenu(menu->Handle()));  // the form does not take the menu with it

    // Popup menus send their commands to the popup-list window.
    TPopupMenu popup(nullptr);
    int popupClicks = 0;
    TMenuItem* pitem = NewItem("Go", 0, false, true, [&](TObject*) { ++popupClicks; });
    popup.Items()->Add(pitem);
    HWND list = Application->PopupListHandle();
    ASSERT_TRUE(IsWindow(list));
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(pitem->Command(), 0), 0);
    EXPECT_EQ(popupClicks, 1);
}

TEST(Forms, OnPaintDrawsOnTheFormCanvas) {
    FormPtr form = MakeForm(60, 60, 300, 200);
    form->SetColor(clWhite);
    form->OnPaint = [&](TObject*) {
        form->Canvas()->Brush()->SetColor(clRed);
        form->Canvas()->FillRect(TRect{10, 10, 50, 40});
    };
    form->Show();
    Pump();
    form->Repaint();
    testsupport::Picture pic = testsupport::CaptureClient(form->Handle());
    EXPECT_EQ(pic.Pixel(20, 20), RGBOfColor(clRed));
    EXPECT_EQ(pic.Pixel(70, 70), RGBOfColor(clWhite));
}

TEST(Forms, ReleaseFreesTheFormLater) {
    auto* form = TObject::Create<TForm>(nullptr);
    int destroyed = 0;
    form->OnDestroy = [&](TObject*) { ++destroyed; };
    form->HandleNeeded();
    form->Release();
    EXPECT_EQ(destroyed, 0);
    Pump();
    EXPECT_EQ(destroyed, 1);
}

TEST(Forms, ActionsUpdateTheirControls) {
    FormPtr form = MakeForm();
    auto* action = TObject::Create<TAction>(form.get());
    action->SetCaption("Act");
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetAction(action);
    EXPECT_EQ(c->Caption(), "Act");
    action->SetEnabled(false);
    EXPECT_FALSE(c->Enabled());
    action->SetEnabled(true);
    EXPECT_TRUE(c->Enabled());
    int updates = 0;
    action->OnUpdate = [&](TObject*) { ++updates; };
    form->Show();
    c->Log.Clear();
    Application->Idle();
    EXPECT_GE(c->Log.Count(CM_ACTIONUPDATE), 1);
    EXPECT_GE(updates, 1);
    int clicks = 0;
    action->OnExecute = [&](TObject*) { ++clicks; };
    c->Click();
    EXPECT_EQ(clicks, 1);
    action->Free();
    EXPECT_EQ(c->Action(), nullptr);
}

TEST(Forms, ReactivationGivesTheFocusBackWithoutExitOrEnter) {
    FormPtr a = MakeForm(40, 40, 300, 200);
    auto* c = TObject::Create<TLogWin>(a.get());
    c->SetParent(a.get());
    c->SetTabStop(true);
    a->Show();
    Pump();
    ASSERT_TRUE(c->Focused());
    FormPtr b = MakeForm(400, 40, 300, 200);
    b->Show();
    Pump();
    EXPECT_FALSE(a->Active());
    EXPECT_TRUE(b->Active());
    EXPECT_EQ(Screen->ActiveForm(), b.get());
    c->Log.Clear();
    SetActiveWindow(a->Handle());
    Pump();
    EXPECT_TRUE(a->Active());
    EXPECT_TRUE(c->Focused());
    EXPECT_EQ(c->Log.Count(CM_EXIT) + c->Log.Count(CM_ENTER), 0);
    EXPECT_EQ(Screen->ActiveForm(), a.get());
}

TEST(Forms, AFormFreedWithItsOwnerRaisesOnDestroy) {
    auto* owner = new TComponent(nullptr);
    auto* form = TObject::Create<TForm>(owner);
    int destroyed = 0;
    form->OnDestroy = [&](TObject*) { ++destroyed; };
    form->Show();
    owner->Free();
    EXPECT_EQ(destroyed, 1);
}

// The texts of a window's menu bar; the system's own entries (a maximized
// child's window menu and buttons) have none.
std::vector<std::string> BarTexts(HWND Wnd) {
    std::vector<std::string> texts;
    HMENU m = GetMenu(Wnd);
    for (int i = 0, n = m ? GetMenuItemCount(m) : 0; i < n; ++i) {
        char text[64] = {};
        if (GetMenuStringA(m, UINT(i), text, sizeof text, MF_BYPOSITION) > 0) texts.push_back(text);
    }
    return texts;
}

TMenuItem* TopItem(TMainMenu* Menu, const char* Caption, int Group) {
    TMenuItem* item = NewItem(Caption, 0, false, true, nullptr);
    item->SetGroupIndex(Group);
    Menu->Items()->Add(item);
    return item;
}

// The active MDI child's main menu joins its frame's bar by GroupIndex: its
// groups replace the frame's items of the same group, the others fall in
// order. Another child activated brings its own; a change of a merged item
// shows on the bar; a maximized child's entries of the system stay; the
// menu leaves the bar with its child, or when it is freed itself.
TEST(Forms, AnMDIChildsMenuMergesIntoItsFramesBar) {
    FormPtr frame = MakeForm(20, 20, 520, 400);
    frame->SetFormStyle(fsMDIForm);
    auto* bar = TObject::Create<TMainMenu>(frame.get());
    TopItem(bar, "File", 0);
    TopItem(bar, "Edit", 1);
    TopItem(bar, "Window", 9);
    frame->SetMenu(bar);
    frame->Show();
    Pump();
    using Texts = std::vector<std::string>;
    auto child = [](const std::vector<std::pair<const char*, int>>& Items) {
        auto* c = TObject::Create<TForm>(nullptr);
        auto* menu = TObject::Create<TMainMenu>(c);
        for (const auto& [caption, group] : Items) TopItem(menu, caption, group);
        c->SetMenu(menu);
        c->SetFormStyle(fsMDIChild);
        Pump();
        return c;
    };
    TForm* a = child({{"Doc edit", 1}, {"Tools", 5}});
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Doc edit", "Tools", "Window"}));
    TForm* b = child({{"Format", 2}, {"Help", 10}});
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Edit", "Format", "Window", "Help"}));
    frame->Next();  // a again
    Pump();
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Doc edit", "Tools", "Window"}));
    a->Menu()->Items()->Items(1)->SetCaption("Extras");
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Doc edit", "Extras", "Window"}));
    SendMessageA(frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    Pump();
    const int withSystem = GetMenuItemCount(GetMenu(frame->Handle()));
    a->Menu()->Items()->Items(0)->SetCaption("Text");
    EXPECT_EQ(GetMenuItemCount(GetMenu(frame->Handle())), withSystem) << "the system's entries stay";
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Text", "Extras", "Window"}));
    SendMessageA(frame->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    Pump();
    a->Menu()->Free();
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Edit", "Window"}));
    b->Free();  // a, without a menu now, is active
    Pump();
    EXPECT_EQ(BarTexts(frame->Handle()), (Texts{"File", "Edit", "Window"}));
    EXPECT_EQ(bar->Merged(), nullptr);
    a->Free();
    Pump();
}

}  // namespace
