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

#include "ImgList.h"
#include "ScrollBarPlaces.h"
#include "TestHost.h"
#include "TestInput.h"
#include "sAlphaListBox.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sLabel.h"
#include "sListView.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sRichEdit.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "WindowHooks.h"
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

POINT CentreOf(TControl* C) {
    const TPoint p = C->Parent()->ClientToScreen(TPoint{C->Left() + C->Width() / 2, C->Top() + C->Height() / 2});
    return POINT{p.x, p.y};
}

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

}  // namespace
