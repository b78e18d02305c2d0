// The messages a control receives through its window procedure chain: on
// creation, show, enable, property changes and destruction; Perform with a
// record the handler changes; reflected notifications; the published
// properties by name; and the fixed texts of misuse.
#include "TestControls.h"
#include "WindowHooks.h"

using namespace ctltest;

namespace {

constexpr UINT WM_TEST_ANSWER = WM_APP + 0x123;

// Answers WM_TEST_ANSWER by writing into LParam, as the skin commands do.
class TAnswering : public TLogWin {
public:
    using TLogWin::TLogWin;
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_TEST_ANSWER) {
            M.LParam = 42;
            M.Result = 7;
            return;
        }
        TLogWin::WndProc(M);
    }
};

class TDestroyFlag : public TComponent {
public:
    TDestroyFlag(TComponent* AOwner, int* Counter) : TComponent(AOwner), FCounter(Counter) {}
    ~TDestroyFlag() override { ++*FCounter; }

private:
    int* FCounter;
};

TEST(ControlMessages, CreationGoesThroughWndProcFromTheFirstMessage) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetCaption("first");
    EXPECT_FALSE(c->HandleAllocated());
    HWND wnd = c->Handle();
    ASSERT_TRUE(IsWindow(wnd));
    int ncCreate = c->Log.IndexOf(WM_NCCREATE);
    int create = c->Log.IndexOf(WM_CREATE);
    ASSERT_GE(ncCreate, 0);
    ASSERT_GT(create, ncCreate);
    EXPECT_EQ(c->Log.IndexOf(WM_NCCALCSIZE), ncCreate + 1);
    // The handle is known to the control while the window is still being made.
    EXPECT_EQ(c->HandleAtNCCreate, wnd);
    // The font is given to the window once it exists.
    int setFont = c->Log.IndexOf(WM_SETFONT, create);
    ASSERT_GT(setFont, create);
    EXPECT_EQ(reinterpret_cast<HFONT>(c->Log.Items[static_cast<size_t>(setFont)].WParam), c->Font()->Handle());
    char text[32] = {};
    GetWindowTextA(wnd, text, sizeof(text));
    EXPECT_STREQ(text, "first");
    // The window is made in the parent's, with our class and our bounds.
    EXPECT_EQ(GetParent(wnd), form->Handle());
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TLogWin");
    EXPECT_EQ(FindControl(wnd), c);
}

// A parent hears of a control put on it once the control is on it, with its
// window made in the parent's; of one taken off once it is off.
TEST(ControlMessages, ControlListChangeComesWithTheControlInPlace) {
    FormPtr form = MakeForm();
    ASSERT_TRUE(IsWindow(form->Handle()));
    struct Seen {
        LPARAM Inserting;
        TWinControl* Parent;
        bool Window;
    };
    std::vector<Seen> seen;
    TWindowProcHook spy;
    spy.Attach(form.get(), [&](TMessage& m) {
        if (m.Msg == CM_CONTROLLISTCHANGE) {
            auto* w = reinterpret_cast<TWinControl*>(m.WParam);
            seen.push_back(Seen{m.LParam, w->Parent(), w->HandleAllocated()});
        }
        spy.CallPrevious(m);
    });
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetParent(nullptr);
    spy.Release();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Inserting, 1);
    EXPECT_EQ(seen[0].Parent, form.get());
    EXPECT_TRUE(seen[0].Window);
    EXPECT_EQ(seen[1].Inserting, 0);
    EXPECT_EQ(seen[1].Parent, nullptr);
}

TEST(ControlMessages, ShowHideAndEnableSendTheirMessagesInOrder) {
    FormPtr form = MakeForm();
    form->Show();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    HWND wnd = c->Handle();
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_TRUE(c->Showing());

    c->Log.Clear();
    c->SetVisible(false);
    int changed = c->Log.IndexOf(CM_VISIBLECHANGED);
    ASSERT_GE(changed, 0);
    EXPECT_EQ(c->Log.Items[static_cast<size_t>(changed)].WParam, 0u);
    int show = c->Log.IndexOf(WM_SHOWWINDOW);
    ASSERT_GT(show, changed);
    EXPECT_EQ(c->Log.Items[static_cast<size_t>(show)].WParam, 0u);
    EXPECT_GT(c->Log.IndexOf(CM_SHOWINGCHANGED), changed);
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_FALSE(c->Showing());

    c->Log.Clear();
    c->SetVisible(false);
    EXPECT_EQ(c->Log.Count(CM_VISIBLECHANGED), 0);
    c->SetVisible(true);
    EXPECT_EQ(c->Log.Count(CM_VISIBLECHANGED), 1);
    EXPECT_TRUE(IsWindowVisible(wnd));

    c->Log.Clear();
    c->SetEnabled(false);
    int enabledChanged = c->Log.IndexOf(CM_ENABLEDCHANGED);
    int enable = c->Log.IndexOf(WM_ENABLE);
    ASSERT_GE(enabledChanged, 0);
    ASSERT_GT(enable, enabledChanged);
    EXPECT_EQ(c->Log.Items[static_cast<size_t>(enable)].WParam, 0u);
    EXPECT_FALSE(IsWindowEnabled(wnd));
    EXPECT_FALSE(c->Enabled());
    c->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(wnd));
}

TEST(ControlMessages, PropertySettersSendTheirChangeMessages) {
    FormPtr form = MakeForm();
    auto* parent = TObject::Create<TLogWin>(form.get());
    parent->SetParent(form.get());
    auto* child = TObject::Create<TLogWin>(form.get());
    child->SetParent(parent);
    auto* graphic = TObject::Create<TLogGraphic>(form.get());
    graphic->SetParent(parent);
    parent->HandleNeeded();

    // Colour: once per change, passed to the children that follow the parent.
    child->Log.Clear();
    graphic->Log.Clear();
    parent->Log.Clear();
    parent->SetColor(clAqua);
    EXPECT_EQ(parent->Log.Count(CM_COLORCHANGED), 1);
    EXPECT_FALSE(parent->ParentColor());
    EXPECT_EQ(child->Log.Count(CM_PARENTCOLORCHANGED), 1);
    EXPECT_EQ(child->Log.Count(CM_COLORCHANGED), 1);
    EXPECT_EQ(child->Color(), clAqua);
    EXPECT_TRUE(child->ParentColor());
    EXPECT_EQ(graphic->Color(), clAqua);
    parent->Log.Clear();
    parent->SetColor(clAqua);
    EXPECT_EQ(parent->Log.Count(CM_COLORCHANGED), 0);
    child->SetColor(clYellow);
    EXPECT_FALSE(child->ParentColor());
    parent->SetColor(clLime);
    EXPECT_EQ(child->Color(), clYellow);

    // Font: CM_FONTCHANGED, the window gets the new font, children follow.
    parent->Log.Clear();
    child->Log.Clear();
    parent->Font()->SetHeight(-20);
    EXPECT_EQ(parent->Log.Count(CM_FONTCHANGED), 1);
    const TMessage* setFont = parent->Log.Find(WM_SETFONT);
    ASSERT_NE(setFont, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(setFont->WParam), parent->Font()->Handle());
    EXPECT_EQ(child->Log.Count(CM_FONTCHANGED), 1);
    EXPECT_EQ(child->Font()->Height(), -20);
    EXPECT_TRUE(child->ParentFont());
    EXPECT_EQ(graphic->Font()->Height(), -20);

    // Text: WM_SETTEXT reaches the window, then CM_TEXTCHANGED, once.
    parent->Log.Clear();
    parent->SetCaption("Hello");
    int setText = parent->Log.IndexOf(WM_SETTEXT);
    ASSERT_GE(setText, 0);
    EXPECT_EQ(parent->Log.IndexOf(CM_TEXTCHANGED), setText + 1);
    EXPECT_EQ(parent->Log.Count(CM_TEXTCHANGED), 1);
    char text[32] = {};
    GetWindowTextA(parent->Handle(), text, sizeof(text));
    EXPECT_STREQ(text, "Hello");
    parent->Log.Clear();
    parent->SetCaption("Hello");
    EXPECT_EQ(parent->Log.Count(CM_TEXTCHANGED), 0);
    // Text set on the window from outside is announced as well.
    SetWindowTextA(parent->Handle(), "Outside");
    EXPECT_EQ(parent->Log.Count(CM_TEXTCHANGED), 1);
    EXPECT_EQ(parent->Caption(), "Outside");
    // A windowless control keeps its text itself.
    graphic->Log.Clear();
    graphic->SetCaption("label");
    EXPECT_EQ(graphic->Log.Count(CM_TEXTCHANGED), 1);
    EXPECT_EQ(graphic->Text(), "label");

    // ShowHint follows the parent while ParentShowHint holds.
    child->Log.Clear();
    parent->SetShowHint(true);
    EXPECT_TRUE(child->ShowHint());
    EXPECT_EQ(child->Log.Count(CM_SHOWHINTCHANGED), 1);
    EXPECT_TRUE(graphic->ShowHint());
}

TEST(ControlMessages, NamingAControlSetsItsCaptionOnce) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetName("Button1");
    EXPECT_EQ(c->Caption(), "Button1");
    c->SetName("OkButton");
    EXPECT_EQ(c->Caption(), "OkButton");
    c->SetCaption("&OK");
    c->SetName("Other");
    EXPECT_EQ(c->Caption(), "&OK");
}

TEST(ControlMessages, PerformHandsTheChangedRecordBack) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TAnswering>(form.get());
    c->SetParent(form.get());
    TMessage m{WM_TEST_ANSWER, 5, 0, 0};
    EXPECT_EQ(c->Perform(m), 7);
    EXPECT_EQ(m.LParam, 42);
    EXPECT_EQ(m.Result, 7);
    // The three-argument form returns the Result only.
    EXPECT_EQ(c->Perform(WM_TEST_ANSWER, 0, 0), 7);
    // Through the window it arrives as well.
    EXPECT_EQ(SendMessageA(c->Handle(), WM_TEST_ANSWER, 0, 0), 7);
}

TEST(ControlMessages, AReplacedWindowProcSeesEveryMessageAndCanBeRestored) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    TWndMethod original = c->WindowProc;
    EXPECT_TRUE(original == TWndMethod(static_cast<TControl*>(c), &TControl::WndProc));
    std::vector<UINT> seen;
    TWndMethod hook = [&](TMessage& M) {
        seen.push_back(M.Msg);
        if (M.Msg == WM_TEST_ANSWER) {
            M.Result = 99;
            return;
        }
        original(M);
    };
    c->WindowProc = hook;
    EXPECT_TRUE(c->WindowProc == hook);
    EXPECT_FALSE(c->WindowProc == original);
    HWND wnd = c->Handle();
    c->Log.Clear();
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_NCCREATE)), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_CREATE)), seen.end());
    // The replaced procedure sees messages first; the class's WndProc only what it passes on.
    EXPECT_EQ(SendMessageA(wnd, WM_TEST_ANSWER, 0, 0), 99);
    EXPECT_EQ(c->Log.Count(WM_TEST_ANSWER), 0);
    c->SetColor(clRed);
    EXPECT_EQ(c->Log.Count(CM_COLORCHANGED), 1);
    if (c->WindowProc == hook) c->WindowProc = original;
    seen.clear();
    c->SetColor(clBlue);
    EXPECT_TRUE(seen.empty());
}

TEST(ControlMessages, DestructionLeavesTheParentAndFreesWhatIsOwned) {
    int destroyed = 0;
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    auto* child = TObject::Create<TLogWin>(form.get());
    child->SetParent(panel);
    auto* graphic = TObject::Create<TLogGraphic>(form.get());
    graphic->SetParent(panel);
    new TDestroyFlag(form.get(), &destroyed);
    new TDestroyFlag(form.get(), &destroyed);
    HWND childWnd = child->Handle();
    ASSERT_EQ(panel->ControlCount(), 2);
    EXPECT_EQ(panel->Controls(0), graphic);  // windowless children come first
    EXPECT_EQ(panel->Controls(1), child);
    int before = form->ComponentCount();

    // A freed child sees its window go and leaves its parent's list and its owner's.
    MsgLog* log = &child->Log;
    log->Clear();
    bool sawDestroy = false, sawNcDestroy = false;
    child->WindowProc = [&, child](TMessage& M) {
        if (M.Msg == WM_DESTROY) sawDestroy = true;
        if (M.Msg == WM_NCDESTROY) sawNcDestroy = true;
        child->WndProc(M);
    };
    child->Free();
    EXPECT_TRUE(sawDestroy);
    EXPECT_TRUE(sawNcDestroy);
    EXPECT_FALSE(IsWindow(childWnd));
    EXPECT_EQ(panel->ControlCount(), 1);
    EXPECT_EQ(form->ComponentCount(), before - 1);

    graphic->Free();
    EXPECT_EQ(panel->ControlCount(), 0);

    // The form frees what it owns.
    HWND panelWnd = panel->Handle();
    form.reset();
    EXPECT_EQ(destroyed, 2);
    EXPECT_FALSE(IsWindow(panelWnd));
}

TEST(ControlMessages, AParentFreesItsChildrenEvenWhenItDoesNotOwnThem) {
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(nullptr);
    panel->SetParent(form.get());
    auto* child = TObject::Create<TLogWin>(nullptr);
    child->SetParent(panel);
    int parentChanges = 0;
    form->WindowProc = [&, f = form.get()](TMessage& M) {
        if (M.Msg == CM_CONTROLLISTCHANGE) ++parentChanges;
        f->WndProc(M);
    };
    panel->Free();
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(parentChanges, 1);
    form->WindowProc = TWndMethod(static_cast<TControl*>(form.get()), &TControl::WndProc);
}

TEST(ControlMessages, NotificationsOfChildWindowsAreReflectedToTheirControls) {
    FormPtr form = MakeForm();
    form->Show();
    auto* button = TObject::Create<TTestButton>(form.get());
    button->SetParent(form.get());
    button->SetCaption("Press");
    HWND wnd = button->Handle();
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TTestButton");

    // BN_CLICKED reaches the button control as CN_COMMAND.
    button->Log.Clear();
    SendMessageA(wnd, BM_CLICK, 0, 0);
    const TMessage* command = button->Log.Find(CN_COMMAND);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(HIWORD(command->WParam), BN_CLICKED);
    EXPECT_EQ(reinterpret_cast<HWND>(command->LParam), wnd);

    // The colour question comes back as CN_CTLCOLORBTN, answered with the control's brush.
    button->SetColor(clLime);
    HDC dc = GetDC(wnd);
    LRESULT brush =
        SendMessageA(form->Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(wnd));
    ReleaseDC(wnd, dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), button->Brush()->Handle());

    // An owner-drawn button asks its control to draw: CN_DRAWITEM.
    auto* owner = TObject::Create<TTestButton>(form.get());
    owner->OwnerDraw = true;
    owner->SetParent(form.get());
    owner->SetLeft(100);
    owner->Log.Clear();
    RedrawWindow(owner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const TMessage* draw = owner->Log.Find(CN_DRAWITEM);
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(reinterpret_cast<DRAWITEMSTRUCT*>(draw->LParam) != nullptr, true);

    // WM_NOTIFY from a child arrives as CN_NOTIFY with the same record.
    NMHDR hdr{wnd, static_cast<UINT_PTR>(GetDlgCtrlID(wnd)), 12345u};
    button->Log.Clear();
    SendMessageA(form->Handle(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    const TMessage* notify = button->Log.Find(CN_NOTIFY);
    ASSERT_NE(notify, nullptr);
    EXPECT_EQ(reinterpret_cast<NMHDR*>(notify->LParam)->code, 12345u);
}

TEST(ControlMessages, PublishedPropertiesAreReadAndSetByName) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    EXPECT_TRUE(HasPublishedProperty(c, "Left"));
    EXPECT_TRUE(HasPublishedProperty(c, "tabstop"));
    EXPECT_TRUE(HasPublishedProperty(c, "Font"));
    EXPECT_FALSE(HasPublishedProperty(c, "NoSuchThing"));
    SetOrdProp(c, "Left", 17);
    SetOrdProp(c, "Width", 55);
    EXPECT_EQ(c->Left(), 17);
    EXPECT_EQ(GetOrdProp(c, "Width"), 55);
    SetOrdProp(c, "Visible", 0);
    EXPECT_FALSE(c->Visible());
    c->Log.Clear();
    SetOrdProp(c, "Color", clRed);
    EXPECT_EQ(c->Color(), clRed);
    EXPECT_EQ(c->Log.Count(CM_COLORCHANGED), 1);
    SetOrdProp(c, "Align", alTop);
    EXPECT_EQ(c->Align(), alTop);
    SetStrProp(c, "Caption", "named");
    EXPECT_EQ(c->Caption(), "named");
    EXPECT_EQ(GetObjectProp(c, "Font"), c->Font());
    SetOrdProp(c, "Tag", -98);
    EXPECT_EQ(c->Tag(), -98);
    const TPropInfo* visible = GetPropInfo(c, "Visible");
    ASSERT_NE(visible, nullptr);
    EXPECT_TRUE(visible->HasDefault);
    EXPECT_EQ(visible->Default, 1);
    EXPECT_EQ(GetPropInfo(c, "ParentFont")->Default, 1);
    EXPECT_EQ(GetPropInfo(form.get(), "BorderStyle")->Default, bsSizeable);
    SetOrdProp(form.get(), "KeyPreview", 1);
    EXPECT_TRUE(form->KeyPreview);
}

TEST(ControlMessages, ControlStyleOrdinalsAreFixed) {
    TControlStyle s{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks};
    EXPECT_EQ(s.ToBits(), 1u + 2u + 8u + 32u + 64u + 128u);
    EXPECT_EQ(static_cast<int>(csParentBackground), 18);
    EXPECT_EQ(static_cast<int>(csNoStdEvents), 12);
}

TEST(ControlMessages, MisuseRaisesFixedTexts) {
    auto* orphan = TObject::Create<TLogWin>(nullptr);
    orphan->SetName("Orphan");
    try {
        orphan->Handle();
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "Control 'Orphan' has no parent window");
    }
    EXPECT_FALSE(orphan->HandleAllocated());
    try {
        orphan->Controls(3);
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    try {
        orphan->SetParent(orphan);
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "A control cannot have itself as its parent");
    }
    auto* inner = TObject::Create<TLogWin>(orphan);
    inner->SetParent(orphan);
    EXPECT_THROW(orphan->SetParent(inner), EClassLibError);

    FormPtr form = MakeForm();
    auto* hidden = TObject::Create<TLogWin>(form.get());
    hidden->SetParent(form.get());
    hidden->SetVisible(false);
    try {
        form->SetActiveControl(hidden);
        ADD_FAILURE() << "no exception";
    } catch (const EClassLibError& e) {
        EXPECT_STREQ(e.what(), "Cannot focus a disabled or invisible window");
    }
    orphan->Free();
}

}  // namespace
