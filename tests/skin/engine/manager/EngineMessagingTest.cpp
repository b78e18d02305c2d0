// Skin commands through real windows: the command-7 answer, the broadcast to
// children, parent pictures and colours, hot windows and the skin-change
// announcement with its order, removal and redraw.
#include "EngineTestSupport.h"
#include "TestAccess.h"

#include <stdexcept>

using namespace enginetest;
using testsupport::TestSkinPalette;

namespace {

class EngineMessaging : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.Ok);
        Form = MakeForm(40, 40, 240, 160);
    }
    TestSkinFolder Folder;
    ManagerPtr M;
    FormPtr Form;
};

// A form that writes down the skin commands it gets.
struct TLogForm : TForm {
    using TForm::TForm;
    std::vector<SkinCmd> Log;
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) Log.push_back({M.WParamHi(), M.LParam});
        TForm::WndProc(M);
    }
};

// A window of its own class that writes down the skin commands it is sent.
struct RawWindow {
    HWND Handle = nullptr;
    static std::vector<SkinCmd>& Log() {
        static std::vector<SkinCmd> log;
        return log;
    }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == SM_ALPHACMD) {
            Log().push_back({HIWORD(w), l});
            return HIWORD(w) == AC_SKINNEDQUERY ? 1 : 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    explicit RawWindow(HWND parent) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "EngineRawWindow";
        RegisterClassA(&wc);
        Handle = CreateWindowExA(0, "EngineRawWindow", "", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, 0, 20, 20,
                                 parent, nullptr, wc.hInstance, nullptr);
    }
    ~RawWindow() { DestroyWindow(Handle); }
};

}  // namespace

TEST_F(EngineMessaging, SkinnedQueryAnswersThroughLParamAndResult) {
    ASSERT_TRUE(M->LoadSkin(Folder.Skin));
    auto* skinned = new TRecWin(Form.get(), true);
    skinned->SetParent(Form.get());
    auto* plain = new TRecWin(Form.get(), false);
    plain->SetParent(Form.get());
    // Through SendMessage (as the window-creation hook asks) ...
    EXPECT_EQ(SendSkinCommandToWindow(skinned->Handle(), AC_SKINNEDQUERY, 0), 1);
    EXPECT_TRUE(QueryWindowSkinCommand(skinned->Handle(), AC_SKINNEDQUERY));
    EXPECT_FALSE(QueryWindowSkinCommand(plain->Handle(), AC_SKINNEDQUERY));
    EXPECT_FALSE(QueryWindowSkinCommand(nullptr, AC_SKINNEDQUERY));
    // ... and through the control's WindowProc, with the answer in lParam.
    TMessage m{SM_ALPHACMD, acCommandWParam(AC_SKINNEDQUERY), 0, 0};
    skinned->Perform(m);
    EXPECT_EQ(m.LParam, 1);
    EXPECT_EQ(m.Result, 1);
    EXPECT_TRUE(QuerySkinCommand(skinned, AC_SKINNEDQUERY));
    EXPECT_FALSE(QuerySkinCommand(plain, AC_SKINNEDQUERY));
    // Also without an active skin: the control is of the skinned kind all the same.
    M->SetActive(false);
    EXPECT_TRUE(QuerySkinCommand(skinned, AC_SKINNEDQUERY));
    // The command word: code in the high word, argument in the low word.
    skinned->Log.clear();
    SendSkinCommandToWindow(skinned->Handle(), AC_SETUPDATING, 77, 1);
    ASSERT_EQ(skinned->Log.size(), 1u);
    EXPECT_EQ(skinned->Log[0].Code, AC_SETUPDATING);
    EXPECT_EQ(skinned->Log[0].Data, 77);
    EXPECT_TRUE(skinned->SkinData->Updating);
    SendSkinCommand(skinned, AC_SETUPDATING, 0, 0);
    EXPECT_FALSE(skinned->SkinData->Updating);
    // Command 60 gives the application object.
    EXPECT_EQ(SendSkinCommand(skinned, AC_GETAPPLICATION, 0), reinterpret_cast<LRESULT>(Application.Get()));
}

TEST_F(EngineMessaging, BroadcastReachesGrandchildrenOnlyThroughUnskinnedChildren) {
    auto* skinnedBox = new TRecWin(Form.get(), true, "PANEL");
    skinnedBox->SetParent(Form.get());
    auto* plainBox = new TRecWin(Form.get(), false);
    plainBox->SetParent(Form.get());
    auto* underSkinned = new TRecWin(Form.get(), false);
    underSkinned->SetParent(skinnedBox);
    auto* underPlain = new TRecWin(Form.get(), false);
    underPlain->SetParent(plainBox);
    auto* deep = new TRecGraphic(Form.get());
    deep->SetParent(underPlain);
    auto* graphic = new TRecGraphic(Form.get());
    graphic->SetParent(Form.get());
    Form->HandleNeeded();

    TMessage msg{SM_ALPHACMD, acCommandWParam(AC_SETBGCHANGED), 1234, 0};
    BroadcastToChildren(Form.get(), msg);
    EXPECT_EQ(CountCode(skinnedBox->Log, AC_SETBGCHANGED), 1);
    EXPECT_EQ(CountCode(plainBox->Log, AC_SETBGCHANGED), 1);
    EXPECT_EQ(CountCode(graphic->Log, AC_SETBGCHANGED), 1);
    EXPECT_EQ(CountCode(underPlain->Log, AC_SETBGCHANGED), 1);
    EXPECT_EQ(CountCode(deep->Log, AC_SETBGCHANGED), 1);
    // A skinned container passes commands on by itself: the broadcast does not.
    EXPECT_EQ(CountCode(underSkinned->Log, AC_SETBGCHANGED), 0);
    EXPECT_EQ(graphic->Log.back().Data, 1234);

    // Command 6 to the windowed children that show, not to graphic ones.
    underPlain->Log.clear();
    graphic->Log.clear();
    plainBox->Log.clear();
    RefreshChildControls(Form.get());
    EXPECT_EQ(CountCode(skinnedBox->Log, AC_PARENTCHANGED), 0);  // not shown yet
    Form->Show();
    Pump();
    RefreshChildControls(Form.get());
    EXPECT_EQ(CountCode(skinnedBox->Log, AC_PARENTCHANGED), 1);
    EXPECT_EQ(CountCode(plainBox->Log, AC_PARENTCHANGED), 1);
    EXPECT_EQ(CountCode(graphic->Log, AC_PARENTCHANGED), 0);
    EXPECT_EQ(CountCode(underPlain->Log, AC_PARENTCHANGED), 0);
    // Every child window below, at any depth.
    RefreshChildWindows(Form->Handle());
    EXPECT_EQ(CountCode(underPlain->Log, AC_PARENTCHANGED), 1);
    EXPECT_EQ(CountCode(underSkinned->Log, AC_PARENTCHANGED), 1);
}

// A windowless child that counts the skin commands it gets and, on the
// first, frees the control named (perhaps itself) or moves.
struct TActingGraphic : TRecGraphic {
    using TRecGraphic::TRecGraphic;
    TControl* FreeOnCommand = nullptr;
    TWinControl* MoveTo = nullptr;
    int Count = 0;
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && ++Count == 1) {
            if (MoveTo) SetParent(MoveTo);
            if (FreeOnCommand) return FreeOnCommand->Free();
        }
        TRecGraphic::WndProc(M);
    }
};

TEST_F(EngineMessaging, BroadcastSurvivesChildrenThatFreeOrMoveThemselvesOrTheirContainer) {
    auto* outside = new TRecWin(Form.get(), false);
    auto* box = new TRecWin(Form.get(), false);
    box->SetParent(Form.get());
    std::vector<TActingGraphic*> c;
    for (TWinControl* parent : std::vector<TWinControl*>{Form.get(), Form.get(), Form.get(), box}) {
        c.push_back(new TActingGraphic(Form.get()));
        c.back()->SetParent(parent);
    }
    c[0]->FreeOnCommand = c[0];
    c[1]->MoveTo = outside;
    c[3]->FreeOnCommand = box;
    TMessage msg{SM_ALPHACMD, acCommandWParam(AC_SETBGCHANGED), 0, 0};
    BroadcastToChildren(Form.get(), msg);
    // None skipped for a list that shrank under it (nor read once freed).
    EXPECT_EQ(c[1]->Count, 1);
    EXPECT_EQ(c[2]->Count, 1);
    EXPECT_EQ(outside->ControlCount(), 1);
    EXPECT_EQ(Form->ControlCount(), 1);
}

TEST_F(EngineMessaging, ParentPictureOnlyFromParentsThatAnswer) {
    ASSERT_TRUE(M->LoadSkin(Folder.Skin));
    auto* panel = new TRecWin(Form.get(), true, "PANEL");
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 100, 80);
    auto* child = new TRecWin(Form.get(), true);
    child->SetParent(panel);
    auto* loose = new TRecWin(Form.get(), true);
    loose->SetParent(Form.get());
    Form->HandleNeeded();

    // An empty cache is no picture.
    TCacheInfo ci = ParentCacheOf(child->SkinData);
    EXPECT_FALSE(ci.Ready);
    panel->FillCache(clRed);
    ci = ParentCacheOf(child->SkinData);
    ASSERT_TRUE(ci.Ready);
    EXPECT_EQ(ci.Bmp, panel->SkinData->CacheBmp);
    EXPECT_EQ(ci.X, 0);
    EXPECT_EQ(ci.Y, 0);
    EXPECT_EQ(TRecWin::PixelOf(ci.Bmp), 0xFF0000u);
    // The form answers nothing: no picture, whatever was there before.
    ParentCacheInfo.Ready = true;
    EXPECT_FALSE(ParentCacheOf(loose->SkinData).Ready);
    EXPECT_FALSE(ParentCacheOfHandle(loose->Handle()).Ready);
    EXPECT_TRUE(ParentCacheOfHandle(child->Handle()).Ready);
    EXPECT_FALSE(ParentCacheOf(nullptr).Ready);
    const TCacheInfo made = MakeCacheInfo(panel->SkinData->CacheBmp, 3, 4);
    EXPECT_TRUE(made.Ready);
    EXPECT_EQ(made.X, 3);
    EXPECT_EQ(made.Y, 4);
}

TEST_F(EngineMessaging, ParentColourFromAnswerOrOwnColour) {
    auto* answering = new TRecWin(Form.get(), true, "PANEL");
    answering->SetParent(Form.get());
    answering->AnswerColor = TColor(0x123456);
    auto* silent = new TRecWin(Form.get(), false);
    silent->SetParent(Form.get());
    silent->SetColor(clBtnFace);
    auto* graphic = new TRecGraphic(Form.get());
    graphic->SetParent(Form.get());
    graphic->SetColor(TColor(0x0000FF));
    Form->HandleNeeded();
    EXPECT_EQ(QueryParentColor(answering), TColor(0x123456));
    EXPECT_EQ(acParentColor, TColor(0x123456));
    // No answer: the control's own colour, system colours made RGB.
    EXPECT_EQ(QueryParentColor(silent), TColor(ColorToRGB(clBtnFace)));
    EXPECT_EQ(acParentColor, TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(QueryParentColor(graphic), TColor(0x0000FF));
    acParentColor = acNoColor;
}

TEST_F(EngineMessaging, HotWindowAndLoadedControlsAreAnnounced) {
    auto* a = new TRecWin(Form.get(), true);
    a->SetParent(Form.get());
    auto* b = new TRecWin(Form.get(), true);
    b->SetParent(Form.get());
    Form->HandleNeeded();
    const LPARAM m = reinterpret_cast<LPARAM>(M.M);
    SetActiveControl(M, a->Handle());
    EXPECT_EQ(M->HotWindow, a->Handle());
    ASSERT_EQ(CountCode(a->Log, AC_MOUSEENTER), 1);
    EXPECT_EQ(a->Log.back().Data, m);
    SetActiveControl(M, a->Handle());
    EXPECT_EQ(CountCode(a->Log, AC_MOUSEENTER), 1);
    SetActiveControl(M, b->Handle());
    EXPECT_EQ(CountCode(a->Log, AC_MOUSELEAVE), 1);
    EXPECT_EQ(CountCode(b->Log, AC_MOUSEENTER), 1);
    SetActiveControl(M, nullptr);
    EXPECT_EQ(CountCode(b->Log, AC_MOUSELEAVE), 1);
    EXPECT_EQ(M->HotWindow, nullptr);

    // The form hears of a loaded control, with the control in lParam.
    auto* form = TObject::Create<TLogForm>(nullptr);
    auto* c = new TRecWin(form, true);
    c->SetParent(form);
    form->HandleNeeded();
    NotifyFormControlLoaded(c);
    ASSERT_EQ(CountCode(form->Log, AC_CONTROLLOADED), 1);
    EXPECT_EQ(form->Log.back().Data, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(FindOwnerForm(c), form);
    EXPECT_EQ(FindOwnerForm(form), nullptr);
    form->Free();
}

TEST_F(EngineMessaging, NewSkinIsAnnouncedInOrderToFormsAndControls) {
    auto* f1 = TObject::Create<TLogForm>(nullptr);
    auto* f2 = TObject::Create<TLogForm>(nullptr);
    // Providers would pass the commands on once more: the hook must leave these forms alone.
    f1->SetTag(-98);
    f2->SetTag(-98);
    f1->SetBounds(30, 30, 200, 150);
    f2->SetBounds(260, 30, 200, 150);
    auto* c1 = new TRecWin(f1, true);
    c1->SetParent(f1);
    auto* g1 = new TRecGraphic(f1);
    g1->SetParent(f1);
    auto* c2 = new TRecWin(f2, true, "PANEL");
    c2->SetParent(f2);
    auto* c2child = new TRecWin(f2, true);
    c2child->SetParent(c2);
    // A form whose window does not exist yet: its controls are told all the same.
    auto* f3 = TObject::Create<TLogForm>(nullptr);
    auto* c3 = new TRecGraphic(f3);
    c3->SetParent(f3);
    f1->Show();
    f2->Show();
    AddSkinnedForm(f1);
    EXPECT_EQ(SkinnedFormCount(), 1);
    Pump();

    ASSERT_TRUE(M->LoadSkin(Folder.Skin));
    const LPARAM m = reinterpret_cast<LPARAM>(M.M);
    const std::vector<WORD> order{AC_NEWSKIN, AC_STOPFADE, AC_REFRESH};
    const std::initializer_list<WORD> watched{AC_NEWSKIN, AC_REMOVESKIN, AC_REFRESH, AC_STOPFADE};
    for (auto* log : {&f1->Log, &f2->Log, &c1->Log, &g1->Log, &c2->Log, &c3->Log}) {
        EXPECT_EQ(Codes(*log, watched), order);
        for (const SkinCmd& c : *log) {
            if (c.Code == AC_NEWSKIN || c.Code == AC_REFRESH || c.Code == AC_STOPFADE) {
                EXPECT_EQ(c.Data, m);
            }
        }
    }
    EXPECT_EQ(f3->Log.size(), 0u);
    // The skinned panel's own children are its business.
    EXPECT_TRUE(Codes(c2child->Log, watched).empty());
    // The controls took the new skin: indexes, not updating, cache out of date.
    EXPECT_EQ(c1->SkinData->SkinIndex, SectionIndexOf(M, "BUTTON"));
    EXPECT_FALSE(c1->SkinData->Updating);
    EXPECT_TRUE(c1->SkinData->BGChanged);
    EXPECT_FALSE(acSkinChanging);

    // Redraw is unlocked again: the skinned form still paints.
    HWND h1 = f1->Handle();
    EXPECT_TRUE(IsWindowVisible(h1));
    f1->SetColor(TColor(0x00C000));
    RedrawWindow(h1, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const testsupport::Picture pic = testsupport::CaptureClient(h1);
    EXPECT_EQ(pic.Pixel(pic.Width - 5, pic.Height - 5), 0x00C000u);
    // A hidden skinned form stays hidden.
    f2->Hide();
    AddSkinnedForm(f2);
    for (auto* log : {&f1->Log, &f2->Log, &c1->Log, &c2->Log}) log->clear();
    ASSERT_TRUE(M->LoadSkin(Folder.Skin));
    EXPECT_FALSE(IsWindowVisible(f2->Handle()));
    EXPECT_EQ(Codes(f2->Log, watched), order);

    // Removal: command 2 with the manager, and the controls fall back.
    for (auto* log : {&f1->Log, &f2->Log, &c1->Log, &g1->Log, &c2->Log}) log->clear();
    M->SetActive(false);
    for (auto* log : {&f1->Log, &f2->Log, &c1->Log, &g1->Log, &c2->Log}) {
        EXPECT_EQ(Codes(*log, watched), std::vector<WORD>{AC_REMOVESKIN});
        for (const SkinCmd& c : *log) {
            if (c.Code == AC_REMOVESKIN) {
                EXPECT_EQ(c.Data, m);
            }
        }
    }
    EXPECT_EQ(c1->SkinData->SkinIndex, -1);
    EXPECT_FALSE(HasSkin(c1->SkinData));
    EXPECT_FALSE(acSkinRemoving);
    EXPECT_TRUE(IsWindowVisible(h1));

    // Skinned forms: the last entry takes a removed one's place.
    RemoveSkinnedForm(f1);
    EXPECT_EQ(SkinnedFormCount(), 1);
    EXPECT_EQ(SkinnedForms(0), f2);
    RemoveSkinnedForm(f2);
    RemoveSkinnedForm(f2);
    EXPECT_EQ(SkinnedFormCount(), 0);
    f1->Free();
    f2->Free();
    f3->Free();
}

namespace {
// A windowless control whose handling of one skin command throws.
class TThrowingGraphic : public TGraphicControl {
public:
    explicit TThrowingGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 20, 10); }
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && ThrowOn && M.WParamHi() == ThrowOn) {
            ++Thrown;
            throw std::runtime_error("skin command failed");
        }
        TGraphicControl::WndProc(M);
    }
    WORD ThrowOn = 0;
    int Thrown = 0;
};
}  // namespace

TEST_F(EngineMessaging, SkinChangeThatThrowsLeavesFormsDrawingAndFlagsDown) {
    Form->SetBounds(30, 30, 200, 150);
    auto* bad = new TThrowingGraphic(Form.get());
    bad->SetParent(Form.get());
    Form->Show();
    AddSkinnedForm(Form.get());
    Pump();
    HWND h = Form->Handle();
    // The form draws: its colour reaches the screen after a redraw.
    auto paintsIn = [&](std::uint32_t rgb) {
        Form->SetColor(Swap(rgb));
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        const testsupport::Picture pic = testsupport::CaptureClient(h);
        return pic.Pixel(pic.Width - 5, pic.Height - 5) == rgb;
    };
    ASSERT_TRUE(paintsIn(0x00C000));

    bad->ThrowOn = AC_NEWSKIN;
    EXPECT_THROW(M->SetSkinName(Folder.Skin), std::runtime_error);
    EXPECT_EQ(bad->Thrown, 1);
    EXPECT_FALSE(acSkinChanging);
    EXPECT_FALSE(acSkinRemoving);
    EXPECT_TRUE(IsWindowVisible(h));  // redraw left off would keep WS_VISIBLE cleared
    EXPECT_TRUE(paintsIn(0x0000C0));

    bad->ThrowOn = AC_REMOVESKIN;
    EXPECT_THROW(M->SetActive(false), std::runtime_error);
    EXPECT_EQ(bad->Thrown, 2);
    EXPECT_FALSE(acSkinChanging);
    EXPECT_FALSE(acSkinRemoving);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_TRUE(paintsIn(0xC00000));

    // And the next change goes through whole.
    bad->ThrowOn = 0;
    EXPECT_TRUE(M->LoadSkin(Folder.Skin));
    EXPECT_FALSE(acSkinChanging);
    EXPECT_TRUE(IsWindowVisible(h));
    RemoveSkinnedForm(Form.get());
}

TEST_F(EngineMessaging, CommandsOfAnotherManagerAreNotActedOn) {
    ASSERT_TRUE(M->LoadSkin(Folder.Skin));
    auto* other = new TsSkinManager(nullptr);
    auto* c = new TRecWin(Form.get(), true);
    c->SetParent(Form.get());
    Form->HandleNeeded();
    const int index = c->SkinData->SkinIndex;
    ASSERT_GE(index, 0);
    SendSkinCommand(c, AC_REMOVESKIN, reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(c->SkinData->SkinIndex, index);
    c->SkinData->Updating = true;
    SendSkinCommand(c, AC_REFRESH, reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(c->SkinData->Updating);
    SendSkinCommand(c, AC_REFRESH, reinterpret_cast<LPARAM>(M.M));
    EXPECT_FALSE(c->SkinData->Updating);
    // A second manager's skin is announced to every window, and ignored by those of the first.
    ASSERT_TRUE(other->LoadSkin(Folder.Skin));
    EXPECT_EQ(c->SkinData->SkinIndex, index);
    EXPECT_EQ(c->SkinData->GetSkinManager(), M.M);
    other->Free();
    EXPECT_TRUE(HasSkin(c->SkinData));

    // Queries answered by the shared handler on both channels.
    c->SkinData->BGChanged = false;
    c->SkinData->HalfVisible = true;
    EXPECT_EQ(SendSkinCommand(c, AC_GETHALFVISIBLE, 0), 1);
    EXPECT_TRUE(QuerySkinCommand(c, AC_GETHALFVISIBLE));
    EXPECT_FALSE(QuerySkinCommand(c, AC_GETBGCHANGED));
    SendSkinCommand(c, AC_SETBGCHANGED, 0);
    EXPECT_TRUE(QuerySkinCommand(c, AC_GETBGCHANGED));
    SendSkinCommand(c, AC_SETFLAG9, 0, 1);
    EXPECT_TRUE(c->SkinData->Command9Flag);
    EXPECT_TRUE(NeedsParentBackground(c->SkinData));
    SendSkinCommand(c, AC_SETFLAG9, 0, 0);
    EXPECT_FALSE(NeedsParentBackground(c->SkinData));
    c->SkinData->SetSkinSection("TRANSPANEL");
    EXPECT_TRUE(NeedsParentBackground(c->SkinData));
    EXPECT_TRUE(QuerySkinCommand(c, AC_BGNOTPLAIN));
    SendSkinCommand(c, AC_SETPAINTINGCHILD, reinterpret_cast<LPARAM>(Form.get()));
    EXPECT_EQ(c->SkinData->PaintingChild, Form.get());
    SendSkinCommand(c, AC_SETPAINTINGCHILD, 0);
    EXPECT_EQ(c->SkinData->PaintingChild, nullptr);
    // Begin / end of an update reach the owner.
    c->Log.clear();
    BeginSkinUpdate(c->SkinData);
    EXPECT_TRUE(c->SkinData->Updating);
    EndSkinUpdate(c->SkinData);
    EXPECT_FALSE(c->SkinData->Updating);
    EXPECT_EQ(Codes(c->Log, {AC_BEGINUPDATE, AC_ENDUPDATE}), (std::vector<WORD>{AC_BEGINUPDATE, AC_ENDUPDATE}));
    // A hidden control lets its picture go.
    c->FillCache(clRed);
    c->Hide();
    EXPECT_TRUE(c->SkinData->CacheBmp->Empty());
    c->Show();
    EXPECT_TRUE(c->SkinData->BGChanged);
}

TEST_F(EngineMessaging, RawWindowsAnswerThroughTheirResult) {
    Form->HandleNeeded();
    RawWindow raw(Form->Handle());
    RawWindow::Log().clear();
    EXPECT_TRUE(QueryWindowSkinCommand(raw.Handle, AC_SKINNEDQUERY));
    EXPECT_FALSE(QueryWindowSkinCommand(raw.Handle, AC_GETHALFVISIBLE));
    RefreshChildWindows(Form->Handle());
    EXPECT_EQ(CountCode(RawWindow::Log(), AC_PARENTCHANGED), 1);
    ParentCacheInfo.Ready = true;
    EXPECT_FALSE(ParentCacheOfHandle(raw.Handle).Ready);
}
