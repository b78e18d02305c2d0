// Freeing skinned controls in the middle of their use on a heap whose freed
// memory cannot be read: forms of busy list controls (focused, a combo's list
// open with its skinned bars, bound labels shown, an image list that outlives
// them), every skinned control while its fade runs (freed directly, from its
// own mouse and click handlers, and with its form), and labels freed by their
// own enter and leave handlers, as are the controls a scroll adapter skins.
// The windows' last messages while they are
// destroyed, the fades' ticks, and later changes of an image list must not
// reach freed controls, labels, timers, skin data or adapters.
#include "SkinnedControlTest.h"

#include "ActnList.h"
#include "ComCtrls.h"
#include "ComCtrlsLists.h"
#include "ImgList.h"
#include "ScrollBarPlaces.h"
#include "TestHost.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SelfFreeing.h"
#include "TestInput.h"
#include "sAlphaListBox.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sLabel.h"
#include "sGroupBox.h"
#include "sListView.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sRichEdit.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "WindowHooks.h"
#include "acDials.h"
#include "acSBUtils.h"
#include "acSBUtilsSimple.h"
#include "sTreeView.h"

#include <commctrl.h>

#include <functional>

#include <string>
#include <utility>
#include <vector>

namespace guardedheap {
void Enable(bool On);
bool IsFreedMemory(const void* p);
}  // namespace guardedheap

using namespace skinnedtest;

namespace {

template <class T>
T* Labelled(T* Control, const char* Caption) {
    Control->BoundLabel()->SetCaption(Caption);
    Control->BoundLabel()->SetActive(true);
    return Control;
}

TEST(SkinnedLifetime, FreeingFormsOfBusyListControlsReadsNoFreedMemory) {
    ASSERT_TRUE(Skin::Get().Manager());
    for (bool release : {false, true}) {
        guardedheap::Enable(true);
        // Outlives the form: a later change must not reach the freed list view.
        auto* images = TObject::Create<TImageList>(nullptr);
        auto* form = TObject::Create<TForm>(nullptr);
        form->SetBounds(40, 40, 600, 400);
        auto* combo = Labelled(Make<TsComboBox>(form, 90, 20, 160, 24), "Combo");
        for (int i = 0; i < 40; ++i) combo->Items()->Add("item " + std::to_string(i));
        auto* list = Labelled(Make<TsListBox>(form, 90, 60, 160, 120), "List");
        for (int i = 0; i < 40; ++i) list->Items()->Add("line " + std::to_string(i));
        auto* view = Labelled(Make<TsListView>(form, 270, 20, 200, 120), "View");
        view->SetViewStyle(vsReport);
        view->SetSmallImages(images);
        view->Columns()->Add()->SetCaption("Name");
        for (int i = 0; i < 30; ++i) view->Items()->Add()->SetCaption("row " + std::to_string(i));
        auto* tree = Labelled(Make<TsTreeView>(form, 270, 160, 200, 120), "Tree");
        tree->Items()->AddChild(tree->Items()->AddChild(nullptr, "root"), "leaf");
        auto* edit = Labelled(Make<TsEdit>(form, 90, 200, 160, 24), "Edit");
        const std::vector<void*> objects{form, combo, combo->BoundLabel(), list, list->BoundLabel(), view, tree, edit};
        form->Show();
        Pump(60);
        combo->SetFocus();
        combo->SetDroppedDown(true);  // the list outgrows the drop-down: skinned bars
        Pump(60);
        EXPECT_NE(combo->ListAdapter(), nullptr);
        if (release) form->Release();  // from the message loop, list still open
        else form->Free();
        Pump(60);
        for (void* o : objects) EXPECT_TRUE(guardedheap::IsFreedMemory(o));
        images->SetSize(24, 24);
        images->Free();
        guardedheap::Enable(false);
    }
}

// --- Every skinned control freed while its fade runs ----------------------------

// Loads the fading test skin into the shared manager for one test.
class FadingSkin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager()->LoadSkin(testsupport::TestSkinPath(testsupport::TestSkinOptions{true})));
        acNoAnimation = false;
        guardedheap::Enable(true);
    }
    void TearDown() override {
        guardedheap::Enable(false);
        Skin::Get().Manager()->LoadSkin(testsupport::TestSkinPath());
        testinput::MouseTo(POINT{0, 0});
    }
};

using selffreeing::CentreOf;

// Real input, handled at once: the fade it starts (10 ms steps) is still running.
void SendAndHandle(std::initializer_list<INPUT> Input, const std::function<bool()>& Done) {
    testinput::Send(Input);
    const DWORD end = GetTickCount() + 500;
    do {
        Application->ProcessMessages();
        if (Done()) return;
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

struct FadingRow {
    const char* Name;
    std::function<TControl*(TForm*)> Make;
    // A hover starts a fade (the speed button glows instead).
    bool Fades;
};

template <class T>
FadingRow Row(const char* Name, bool Fades, const char* Section = nullptr) {
    return {Name,
            [Name, Section](TForm* F) {
                T* c = Make<T>(F, 20, 20, 120, 60);
                c->SetCaption(Name);
                // A section that fades, for the controls whose own does not.
                if (Section) c->SkinData()->SetSkinSection(Section);
                return static_cast<TControl*>(c);
            },
            Fades};
}

const std::vector<FadingRow>& FadingRows() {
    static const std::vector<FadingRow> rows{
        Row<TsButton>("button", true),
        Row<TsCheckBox>("check box", true),
        Row<TsTrackBar>("track bar", true),
        Row<TsSpeedButton>("speed button", false),
        Row<TsComboBox>("combo box", true, "BUTTON"),
        Row<TsSplitter>("splitter", true, "BUTTON"),
    };
    return rows;
}

// How the control goes while its fade (or glow) runs.
enum class FreedBy { Free, Delete, OwnLeaveDeletes, OwnEnterReleasesForm, FormFreed, FormReleased };

TEST_F(FadingSkin, EverySkinnedControlFreedMidFadeReadsNoFreedMemory) {
    for (const FadingRow& row : FadingRows()) {
        for (FreedBy how : {FreedBy::Free, FreedBy::Delete, FreedBy::OwnLeaveDeletes, FreedBy::OwnEnterReleasesForm,
                            FreedBy::FormFreed, FreedBy::FormReleased}) {
            SCOPED_TRACE(std::string(row.Name) + ", way " + std::to_string(static_cast<int>(how)));
            auto* form = TObject::Create<TForm>(nullptr);
            form->SetBounds(40, 40, 300, 200);
            TControl* c = row.Make(form);
            auto* frame = dynamic_cast<TsSkinnedFrame*>(c);
            ASSERT_NE(frame, nullptr);
            form->Show();
            Pump(60);
            testinput::MouseTo(POINT{20, 20});
            bool left = false, entered = false;
            const bool glows = dynamic_cast<TsSpeedButton*>(c) != nullptr;
            if (how == FreedBy::OwnEnterReleasesForm) {
                // The fade starts after the handler; the form goes with the next messages.
                c->OnMouseEnter = [&entered, form](TObject*) {
                    form->Release();
                    entered = true;
                };
            }
            // Entered as the mouse tracking tells a control (a real move may
            // run the whole fade within one pass of a busy message loop): the
            // fade (the speed button's glow) starts and runs.
            c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
            TsFadeTimer* fade = frame->FadeTimer();
            if (!glows) {
                EXPECT_EQ(fade != nullptr, row.Fades) << "a hover's fade";
                EXPECT_TRUE(!fade || fade->Enabled());
            }
            if (how == FreedBy::OwnLeaveDeletes) {
                c->OnMouseLeave = [&left](TObject* Sender) {
                    delete Sender;
                    left = true;
                };
            }
            switch (how) {
                case FreedBy::Free: c->Free(); break;
                case FreedBy::Delete: delete c; break;
                case FreedBy::OwnLeaveDeletes: c->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c)); break;
                case FreedBy::FormFreed: form->Free(); break;
                case FreedBy::FormReleased: form->Release(); break;
                case FreedBy::OwnEnterReleasesForm: break;
            }
            Pump(100);
            EXPECT_TRUE(guardedheap::IsFreedMemory(c));
            EXPECT_EQ(left, how == FreedBy::OwnLeaveDeletes);
            EXPECT_EQ(entered, how == FreedBy::OwnEnterReleasesForm);
            if (fade) {
                EXPECT_TRUE(guardedheap::IsFreedMemory(fade)) << "the fade outlived its control";
            }
            if (how == FreedBy::OwnEnterReleasesForm || how == FreedBy::FormFreed || how == FreedBy::FormReleased) {
                EXPECT_TRUE(guardedheap::IsFreedMemory(form));
            } else {
                form->Free();
            }
            Pump(30);
        }
    }
}

// A dialog's buttons whose OnClick releases the dialog, clicked with the
// mouse: the press starts a fade that the free cuts short.
TEST_F(FadingSkin, ClickHandlersReleasingTheirFormMidFadeReadNoFreedMemory) {
    const std::vector<FadingRow> rows{Row<TsButton>("button", true), Row<TsCheckBox>("check box", true),
                                      Row<TsRadioButton>("radio button", true),
                                      Row<TsSpeedButton>("speed button", false)};
    for (const FadingRow& row : rows) {
        {
            SCOPED_TRACE(row.Name);
            auto* form = TObject::Create<TForm>(nullptr);
            form->SetBounds(40, 40, 300, 200);
            TControl* c = row.Make(form);
            bool clicked = false;
            c->OnClick = [&clicked, form](TObject*) {
                form->Release();
                clicked = true;
            };
            form->Show();
            Pump(60);
            testinput::MouseTo(CentreOf(c));
            Pump(100);  // the hover's fade is over
            SendAndHandle({testinput::Button(true), testinput::Button(false)}, [&] { return clicked; });
            EXPECT_TRUE(clicked);
            Pump(100);
            EXPECT_TRUE(guardedheap::IsFreedMemory(c));
            EXPECT_TRUE(guardedheap::IsFreedMemory(form));
            Pump(30);
        }
    }
}

// --- Labels freed by their own enter and leave handlers --------------------------

TEST_F(FadingSkin, LabelsFreedByTheirOwnEnterOrLeaveHandlerReadNoFreedMemory) {
    const std::vector<std::function<TsCustomLabel*(TForm*)>> kinds{
        [](TForm* F) { return static_cast<TsCustomLabel*>(Make<TsLabel>(F, 20, 20, 120, 40)); },
        [](TForm* F) { return static_cast<TsCustomLabel*>(Make<TsLabelFX>(F, 20, 20, 120, 40)); },
    };
    for (const auto& kind : kinds) {
        for (bool realMouse : {false, true}) {
            for (bool onEnter : {true, false}) {
                SCOPED_TRACE(std::string(onEnter ? "enter" : "leave") + (realMouse ? ", the mouse" : ", told"));
                auto* form = TObject::Create<TForm>(nullptr);
                form->SetBounds(40, 40, 300, 200);
                TsCustomLabel* label = kind(form);
                label->SetAutoSize(false);
                label->SetCaption("Label");
                bool fired = false;
                const TNotifyEvent freeIt = [&fired](TObject* Sender) {
                    delete Sender;
                    fired = true;
                };
                (onEnter ? label->OnMouseEnter : label->OnMouseLeave) = freeIt;
                form->Show();
                Pump(60);
                if (realMouse) {
                    // The move over the label itself fires the events.
                    testinput::MouseTo(POINT{20, 20});
                    const POINT in = CentreOf(label);
                    SendAndHandle({testinput::Move(in)}, [&] { return fired; });
                    if (!onEnter) SendAndHandle({testinput::Move(POINT{in.x, in.y + 120})}, [&] { return fired; });
                } else {
                    // As the mouse tracking tells a label it was entered and left.
                    label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
                    if (!onEnter) label->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(label));
                }
                Pump(30);
                EXPECT_TRUE(fired);
                EXPECT_TRUE(guardedheap::IsFreedMemory(label));
                form->Free();
                Pump(30);
            }
        }
    }
}

// --- Controls of scroll adapters freed by their own enter and leave handlers -----

// The handler runs inside the adapter's passing on of the window's message:
// the adapter goes with its control and must not look at itself afterwards.
TEST_F(FadingSkin, ScrollAdaptedControlsFreedByTheirOwnEnterOrLeaveHandlerReadNoFreedMemory) {
    const std::vector<std::pair<const char*, std::function<TWinControl*(TForm*)>>> kinds{
        {"list box", [](TForm* F) { return static_cast<TWinControl*>(Make<TsListBox>(F, 20, 20, 120, 80)); }},
        {"list view", [](TForm* F) { return static_cast<TWinControl*>(Make<TsListView>(F, 20, 20, 120, 80)); }},
        {"tree view", [](TForm* F) { return static_cast<TWinControl*>(Make<TsTreeView>(F, 20, 20, 120, 80)); }},
        {"rich edit", [](TForm* F) { return static_cast<TWinControl*>(Make<TsRichEdit>(F, 20, 20, 120, 80)); }},
    };
    for (const auto& [name, make] : kinds) {
        for (bool onEnter : {true, false}) {
            SCOPED_TRACE(std::string(name) + (onEnter ? ", enter" : ", leave"));
            auto* form = TObject::Create<TForm>(nullptr);
            form->SetBounds(40, 40, 300, 200);
            TWinControl* c = make(form);
            bool fired = false;
            (onEnter ? c->OnMouseEnter : c->OnMouseLeave) = [&fired](TObject* Sender) {
                delete Sender;
                fired = true;
            };
            form->Show();
            Pump(60);
            testinput::MouseTo(POINT{20, 20});
            const POINT in = CentreOf(c);
            SendAndHandle({testinput::Move(in)}, [&] { return fired; });
            if (!onEnter) SendAndHandle({testinput::Move(POINT{in.x + 150, in.y})}, [&] { return fired; });
            Pump(30);
            EXPECT_TRUE(fired);
            EXPECT_TRUE(guardedheap::IsFreedMemory(c));
            form->Free();
            Pump(30);
        }
    }
}

// A window whose program frees an adapter on its first scroll request (as a
// skin removed from a scroll handler would): the adapter of the window, or of
// its spin button, sent the request from a press or drag and must not go on
// after it.
TacMainWnd* gFreedOnScroll = nullptr;

LRESULT CALLBACK FreesAnAdapterOnScroll(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_VSCROLL && gFreedOnScroll) delete std::exchange(gFreedOnScroll, nullptr);
    return DefWindowProcA(h, m, w, l);
}

TEST(SkinnedLifetime, AdapterFreedByTheScrollRequestItSentReadsNoFreedMemory) {
    ASSERT_TRUE(Skin::Get().Manager());
    static const bool registered = testsupport::RegisterTestClass("FreesAnAdapter", FreesAnAdapterOnScroll);
    ASSERT_TRUE(registered);
    TsSkinManager* manager = Skin::Get().Manager();
    auto bar = [manager](HWND h) {
        const SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 10, 0, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
        return new TacScrollWnd(h, nullptr, manager, "EDIT");
    };
    const struct {
        const char* Name;
        std::function<TacMainWnd*(HWND)> Make;
        std::function<POINT(TacMainWnd*)> From;  // where the press starts
        int DragBy;
    } rows[] = {
        {"spin button pressed",
         [manager](HWND h) {
             HWND spin = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 20, 20, 20, 40, h, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
             return static_cast<TacMainWnd*>(new TacSpinWnd(spin, nullptr, manager, "SPEEDBUTTON_SMALL"));
         },
         [](TacMainWnd* A) {
             POINT p{10, 10};  // the upper button
             ClientToScreen(A->CtrlHandle, &p);
             return p;
         },
         0},
        {"arrow pressed", bar,
         [](TacMainWnd* A) {
             TRect r;
             ScrollBarRect(static_cast<TacScrollWnd*>(A), SB_VERT, A->CtrlHandle, r);
             return POINT{(r.left + r.right) / 2, r.bottom - 4};
         },
         0},
        {"thumb dragged", bar,
         [](TacMainWnd* A) { return testsupport::VertThumbCentre(static_cast<TacScrollWnd*>(A)); }, 40},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        guardedheap::Enable(true);
        HWND host = testsupport::MakeHost(300, 200);
        HWND h = CreateWindowExA(0, "FreesAnAdapter", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 150, host,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        TacMainWnd* adapter = row.Make(h);
        Pump(30);
        const POINT from = row.From(adapter);
        gFreedOnScroll = adapter;
        if (row.DragBy) testinput::Drag(from, POINT{from.x, from.y + row.DragBy});
        else testinput::Click(from);
        Pump(30);
        EXPECT_EQ(gFreedOnScroll, nullptr);
        EXPECT_TRUE(guardedheap::IsFreedMemory(adapter));
        DestroyWindow(host);
        Pump(20);
        guardedheap::Enable(false);
    }
}

// Two MDI frames: the later one's provider is the one the program knows of.
// The earlier one's provider, freed while its frame lives, must take its
// client window's hook with it: the client's next paint would reach it.
TEST(SkinnedLifetime, ProviderOfAnEarlierMDIFrameFreedBeforeItsFrame) {
    ASSERT_TRUE(Skin::Get().Manager());
    guardedheap::Enable(true);
    FormPtr frames[2] = {MakeForm(40, 40, 360, 260), MakeForm(420, 40, 360, 260)};
    TsSkinProvider* providers[2] = {};
    for (int i = 0; i < 2; ++i) {
        frames[i]->SetFormStyle(fsMDIForm);
        frames[i]->Show();
        Pump(30);
        // Made with the client window there: the provider hooks it at once.
        const WNDPROC plain = GetWindowProcA(frames[i]->ClientHandle());
        providers[i] = TObject::Create<TsSkinProvider>(frames[i].get());
        Pump(60);
        ASSERT_NE(GetWindowProcA(frames[i]->ClientHandle()), plain);
    }
    EXPECT_EQ(MDISkinProvider, providers[1]);
    const HWND client = frames[0]->ClientHandle();
    providers[0]->Free();
    EXPECT_TRUE(guardedheap::IsFreedMemory(providers[0]));
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    SendMessageA(client, WM_MDIACTIVATE, 0, 0);
    Pump(60);
    EXPECT_EQ(MDISkinProvider, providers[1]);
    for (FormPtr& f : frames) f.reset();
    Pump(30);
    guardedheap::Enable(false);
}

// A drag bar listens in on its form's messages: freed before its form, with
// its form, or taken off its form before that form goes, neither the bar
// nor the form is read after its end.
// A hooked dialog whose own procedure closes it on a message (a pop-up that
// goes when it loses activation, a command answered by closing): the
// dialog's adapter, freed with the window, must not go on after passing the
// message on.
UINT gCloseOn = 0;
INT_PTR CALLBACK ClosesItselfDlgProc(HWND h, UINT Msg, WPARAM W, LPARAM) {
    if (gCloseOn && Msg == gCloseOn && !(Msg == WM_NCACTIVATE && W)) {
        gCloseOn = 0;
        DestroyWindow(h);
        return TRUE;
    }
    return Msg == WM_INITDIALOG;
}

TEST(SkinnedLifetime, HookedDialogClosedByItsOwnProcedureReadsNoFreedMemory) {
    ASSERT_TRUE(Skin::Get().Manager());
    // The dialog hook of a skin with the dialog's sections, for this test only.
    testsupport::TestSkinOptions options;
    options.Forms = true;
    TsSkinManager* forms = testsupport::TestSkinManager(options);
    forms->SetIsDefault(true);
    struct TBack {
        ~TBack() { Skin::Get().Manager()->SetIsDefault(true); }
    } back;
    const struct {
        UINT Msg;
        std::function<void(HWND)> Send;
    } rows[] = {
        {WM_NCACTIVATE, [](HWND d) { SendMessageA(d, WM_NCACTIVATE, FALSE, 0); }},
        {WM_SIZE, [](HWND d) { SetWindowPos(d, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER); }},
        {acNewChildrenMessage, [](HWND d) { SendMessageA(d, acNewChildrenMessage, 0, 0); }},
        {WM_SYSCOMMAND, [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_RESTORE, 0); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Msg);
        guardedheap::Enable(true);
        struct alignas(4) {
            DLGTEMPLATE t;
            WORD menu, cls, title;
        } tpl{};
        tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME;
        tpl.t.cx = 160;
        tpl.t.cy = 80;
        HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, ClosesItselfDlgProc, 0);
        ShowWindow(d, SW_SHOW);
        SetForegroundWindow(d);
        Pump(60);
        TacProvider* p = ProviderOfWindow(d);
        ASSERT_TRUE(p && p->DialogWnd);
        const TacDialogWnd* adapter = p->DialogWnd;
        gCloseOn = row.Msg;
        row.Send(d);
        Pump(30);
        EXPECT_FALSE(IsWindow(d));
        EXPECT_TRUE(guardedheap::IsFreedMemory(adapter));
        guardedheap::Enable(false);
    }
}

TEST(SkinnedLifetime, DragBarsFollowingTheirFormEndInAnyOrder) {
    guardedheap::Enable(true);
    enum End { BarFirst, WithTheForm, TakenOff };
    for (End end : {BarFirst, WithTheForm, TakenOff}) {
        FormPtr form = MakeForm(40, 40, 300, 200), other = MakeForm(360, 40, 200, 120);
        auto* bar = TObject::Create<TsDragBar>(nullptr);
        bar->SetParent(form.get());
        for (TForm* f : {form.get(), other.get()}) f->Show();
        SetForegroundWindow(form->Handle());
        Pump(30);
        if (end == BarFirst) bar->Free();
        if (end == TakenOff) bar->SetParent(nullptr);
        if (end != BarFirst) {
            // The bar is not the form's component: only its parent.
            form.reset();
            EXPECT_EQ(guardedheap::IsFreedMemory(bar), end == WithTheForm) << end;
            if (end == TakenOff) bar->Free();
        }
        SetForegroundWindow(other->Handle());
        if (form) SetForegroundWindow(form->Handle());
        Pump(30);
    }
    guardedheap::Enable(false);
}

// --- Skinned controls freed by their own handlers ----------------------------------

// Each skinned control freed by each of its own handlers, fired by real
// input: the skinned paths after the handler (the release's repaint and
// fade, the focus frame, the hints restored) must see that it went.
TEST_F(FadingSkin, SkinnedControlsFreedByTheirOwnHandlersReadNoFreedMemory) {
    using namespace selffreeing;
    auto withItems = [](auto* C) {
        for (const char* i : {"one", "two", "three"}) C->Items()->Add(i);
        return static_cast<TControl*>(C);
    };
    const std::vector<TKind> kinds{
        {"button", MakeAt<TsButton>, {}, {}, {}},
        {"check box", MakeAt<TsCheckBox>, {}, {}, {}},
        {"radio button", MakeAt<TsRadioButton>, {}, {}, {}},
        {"edit",
         MakeAt<TsEdit>,
         [](TControl* C, TNotifyEvent E) { static_cast<TsEdit*>(C)->OnChange = E; },
         [](TControl*) { Key('A'); },
         {}},
        {"combo box",
         [withItems](TWinControl* P) { return withItems(Make<TsComboBox>(P, 20, 20, 120, 24)); },
         [](TControl* C, TNotifyEvent E) { static_cast<TsComboBox*>(C)->OnChange = E; },
         [](TControl*) { Key(VK_DOWN); },
         // The mouse reaches its edit and list, not the combo itself.
         {THandler::Click, THandler::MouseDown, THandler::MouseUp, THandler::MouseEnter, THandler::MouseLeave,
          THandler::Enter}},
        {"list box",
         [withItems](TWinControl* P) { return withItems(Make<TsListBox>(P, 20, 20, 120, 40)); },
         [](TControl* C, TNotifyEvent E) { static_cast<TsListBox*>(C)->OnChange = E; },
         [](TControl* C) { Click(CentreOf(C)); },
         {}},
        {"track bar",
         MakeAt<TsTrackBar>,
         [](TControl* C, TNotifyEvent E) { static_cast<TsTrackBar*>(C)->OnChange = E; },
         [](TControl*) { Key(VK_RIGHT); },
         {}},
        {"page control",
         [](TWinControl* P) {
             auto* pc = Make<TsPageControl>(P, 20, 20, 120, 60);
             for (const char* name : {"One", "Two"}) {
                 auto* s = TObject::Create<TsTabSheet>(pc);
                 s->SetCaption(name);
                 s->SetPageControl(pc);
             }
             return static_cast<TControl*>(pc);
         },
         [](TControl* C, TNotifyEvent E) { static_cast<TsPageControl*>(C)->OnChange = E; },
         [](TControl*) { Key(VK_RIGHT); },
         {},
         // On the first tab: the page covers the rest.
         POINT{12, 8}},
        // Containers take no focus from a click.
        {"panel", MakeAt<TsPanel>, {}, {}, {THandler::Enter}},
        {"group box", MakeAt<TsGroupBox>, {}, {}, {THandler::Enter}},
        {"speed button", MakeAt<TsSpeedButton>, {}, {}, {}},
        {"label", MakeAt<TsLabel>, {}, {}, {}},
        {"splitter", MakeAt<TsSplitter>, {}, {}, {}},
        {"list view",
         [](TWinControl* P) {
             auto* v = Make<TsListView>(P, 20, 20, 120, 40);
             v->SetViewStyle(vsList);
             for (const char* i : {"one", "two"}) v->Items()->Add()->SetCaption(i);
             return static_cast<TControl*>(v);
         },
         [](TControl* C, TNotifyEvent E) { static_cast<TsListView*>(C)->OnChange = E; },
         [](TControl* C) { Click(ScreenAt(C, 12, 8)); },
         {},
         // On the first item.
         POINT{12, 8}},
        {"tree view",
         [](TWinControl* P) {
             auto* t = Make<TsTreeView>(P, 20, 20, 120, 40);
             t->Items()->AddChild(nullptr, "root");
             return static_cast<TControl*>(t);
         },
         {},
         {},
         {}},
    };
    RunAll(kinds, [](TWinControl* P) { return Make<TsEdit>(P, 20, 120, 100, 24); });
}

// --- Components freed before those that hold them ---------------------------------

// A component that others refer to (an image list, a menu, a manager, an
// action, a control) freed first, by Free or by a plain delete, then its
// holder used and freed: neither the holder's notice of the free nor its own
// later use and free may read the freed component.
TEST(SkinnedLifetime, ComponentsFreedBeforeTheirHoldersReadNoFreedMemory) {
    ASSERT_TRUE(Skin::Get().Manager());
    using TMake = std::function<std::pair<TComponent*, TComponent*>(TForm * Form)>;
    using TCheck = std::function<void(TComponent * Holder)>;
    struct TRow {
        TRow(const char* AName, TMake AMake, TCheck ACheck = {})
            : Name(AName), Make(std::move(AMake)), Check(std::move(ACheck)) {}
        const char* Name;
        // Makes the referenced component and its holder on Form.
        TMake Make;
        // What the holder says of the reference afterwards.
        TCheck Check;
    };
    auto images = [] {
        auto* l = TObject::Create<TImageList>(nullptr);
        l->SetSize(16, 16);
        return l;
    };
    auto popup = [] {
        auto* m = TObject::Create<TPopupMenu>(nullptr);
        auto* i = TObject::Create<TMenuItem>(m);
        i->SetCaption("Item");
        m->Items()->Add(i);
        return m;
    };
    using TPair = std::pair<TComponent*, TComponent*>;
    const std::vector<TRow> rows{
        {"image list of a list view",
         [images](TForm* F) {
             auto* l = images();
             auto* v = Make<TListView>(F, 10, 10, 120, 80);
             v->SetSmallImages(l);
             return TPair{l, v};
         }},
        {"image list of a skinned list view",
         [images](TForm* F) {
             auto* l = images();
             auto* v = Make<TsListView>(F, 10, 10, 120, 80);
             v->SetSmallImages(l);
             return TPair{l, v};
         }},
        {"image list of a skinned page control",
         [images](TForm* F) {
             auto* l = images();
             auto* pc = Make<TsPageControl>(F, 10, 10, 120, 80);
             auto* sheet = TObject::Create<TsTabSheet>(pc);
             sheet->SetCaption("One");
             sheet->SetPageControl(pc);
             pc->SetImages(l);
             return TPair{l, pc};
         }},
        {"image list of a form's menu",
         [images](TForm* F) {
             auto* l = images();
             auto* m = TObject::Create<TMainMenu>(F);
             auto* i = TObject::Create<TMenuItem>(m);
             i->SetCaption("File");
             m->Items()->Add(i);
             m->SetImages(l);
             F->SetMenu(m);
             return TPair{l, m};
         }},
        {"image list of a popup menu",
         [images, popup](TForm* F) {
             auto* l = images();
             TPopupMenu* m = popup();
             m->SetImages(l);
             F->InsertComponent(m);
             return TPair{l, m};
         }},
        {"image list of an action list",
         [images](TForm* F) {
             auto* l = images();
             auto* a = TObject::Create<TActionList>(F);
             a->SetImages(l);
             return TPair{l, a};
         }},
        {"image list of a skinned speed button",
         [images](TForm* F) {
             auto* l = images();
             auto* b = Make<TsSpeedButton>(F, 10, 10, 80, 30);
             b->SetImages(l);
             return TPair{l, b};
         }},
        {"image list of a skinned check box",
         [images](TForm* F) {
             auto* l = images();
             auto* b = Make<TsCheckBox>(F, 10, 10, 80, 30);
             b->SetImages(l);
             return TPair{l, b};
         }},
        {"popup menu of a skinned button",
         [popup](TForm* F) {
             TPopupMenu* m = popup();
             auto* b = Make<TsButton>(F, 10, 10, 80, 30);
             b->SetPopupMenu(m);
             return TPair{m, b};
         }},
        {"drop-down menu of a skinned speed button",
         [popup](TForm* F) {
             TPopupMenu* m = popup();
             auto* b = Make<TsSpeedButton>(F, 10, 10, 80, 30);
             b->SetDropdownMenu(m);
             return TPair{m, b};
         }},
        {"menu of a form",
         [](TForm* F) {
             auto* m = TObject::Create<TMainMenu>(nullptr);
             auto* i = TObject::Create<TMenuItem>(m);
             i->SetCaption("File");
             m->Items()->Add(i);
             F->SetMenu(m);
             return TPair{m, F};
         }},
        {"skin manager of a skinned button",
         [](TForm* F) {
             auto* m = TObject::Create<TsSkinManager>(nullptr);
             auto* b = Make<TsButton>(F, 10, 10, 80, 30);
             b->SkinData()->SetSkinManager(m);
             return TPair{m, b};
         }},
        {"skin manager of a form provider",
         [](TForm* F) {
             // Active: the provider adapts the form's children through it.
             auto* m = TObject::Create<TsSkinManager>(nullptr);
             m->LoadSkin(testsupport::TestSkinPath());
             auto* p = TObject::Create<TsSkinProvider>(F);
             p->SkinData()->SetSkinManager(m);
             Make<TEdit>(F, 10, 40, 80, 24);
             return TPair{m, p};
         }},
        {"action of a skinned button",
         [](TForm* F) {
             auto* a = TObject::Create<TAction>(nullptr);
             a->SetCaption("Act");
             auto* b = Make<TsButton>(F, 10, 10, 80, 30);
             b->SetAction(a);
             return TPair{a, b};
         }},
        {"client that ran an action",
         [](TForm* F) {
             auto* a = TObject::Create<TAction>(F);
             a->OnExecute = [](TObject*) {};
             auto* b = Make<TButton>(F, 10, 10, 80, 30);
             b->SetAction(a);
             b->Click();
             return TPair{b, a};
         },
         [](TComponent* Holder) { EXPECT_EQ(static_cast<TAction*>(Holder)->ActionComponent(), nullptr); }},
        {"action list of an action",
         [](TForm* F) {
             auto* l = TObject::Create<TActionList>(nullptr);
             auto* a = TObject::Create<TAction>(F);
             a->SetActionList(l);
             return TPair{l, a};
         }},
        {"focus control of a label",
         [](TForm* F) {
             auto* e = Make<TsEdit>(F, 10, 40, 80, 24);
             auto* l = Make<TsLabel>(F, 10, 10, 80, 20);
             l->SetCaption("&Name");
             l->SetFocusControl(e);
             return TPair{e, l};
         }},
        {"dragged control of a drag bar",
         [](TForm* F) {
             auto* p = Make<TsPanel>(F, 10, 40, 120, 80);
             auto* bar = Make<TsDragBar>(F, 10, 10, 120, 20);
             bar->SetDraggedControl(p);
             return TPair{p, bar};
         }},
    };
    for (const TRow& row : rows) {
        for (bool plainDelete : {false, true}) {
            SCOPED_TRACE(std::string(row.Name) + (plainDelete ? ", deleted" : ", freed"));
            guardedheap::Enable(true);
            auto* form = TObject::Create<TForm>(nullptr);
            form->SetBounds(40, 40, 300, 200);
            const TPair made = row.Make(form);
            // The pages the guarded heap never reuses are kept for the components.
            guardedheap::Enable(false);
            form->Show();
            Pump(40);
            if (plainDelete) delete made.first;
            else made.first->Free();
            EXPECT_TRUE(guardedheap::IsFreedMemory(made.first));
            // The holder goes on: painted, its accelerators and menus asked,
            // told of a new control.
            RedrawWindow(form->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            form->Perform(CM_DIALOGCHAR, 'N', 0);
            Make<TsEdit>(form, 150, 10, 80, 24);
            Pump(40);
            if (row.Check) row.Check(made.second);
            form->Free();
            Pump(30);
            guardedheap::Enable(false);
        }
    }
}

}  // namespace
