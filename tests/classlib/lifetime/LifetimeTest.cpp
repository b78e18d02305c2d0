// Freeing containers, their owned components, and children that free or move
// themselves during a broadcast, on a heap whose freed memory cannot be read.
#include <gtest/gtest.h>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormTestSupport.h"
#include "ImgList.h"
#include "Menus.h"
#include "SelfFreeing.h"
#include "StdCtrls.h"
#include "StdCtrlsCombo.h"
#include "StdCtrlsLists.h"
#include "Timers.h"

namespace guardedheap {
void Enable(bool On);
bool IsFreedMemory(const void* p);
}  // namespace guardedheap
using formtest::Make;
using guardedheap::IsFreedMemory;

namespace {

class Lifetime : public ::testing::Test {
protected:
    void SetUp() override { guardedheap::Enable(true); }
    void TearDown() override { guardedheap::Enable(false); }
};

// Every kind of child: windowed and windowless, nested panels, controls owned
// by the form on a panel and owned by a panel, owned components at both levels.
std::vector<void*> FillForm(TForm* Form) {
    auto* panel = Make<TPanel>(Form, 120, 8, 100, 150);
    auto* inner = Make<TPanel>(panel, 4, 56, 80, 80);
    auto* speed = TObject::Create<TSpeedButton>(Form);
    speed->SetParent(inner);
    return {Form,
            Make<TButton>(Form, 8, 8, 70, 24),
            Make<TLabel>(Form, 8, 40, 50, 16),
            panel,
            inner,
            speed,
            Make<TEdit>(inner, 2, 20, 60, 20),
            TObject::Create<TTimer>(Form),
            TObject::Create<TPopupMenu>(Form),
            TObject::Create<TImageList>(Form),
            TObject::Create<TTimer>(panel)};
}

TEST_F(Lifetime, FreeingFormsOfEveryKindOfChildReadsNoFreedMemory) {
    for (bool release : {false, true}) {
        auto* form = TObject::Create<TForm>(nullptr);
        std::vector<void*> objects = FillForm(form);
        form->Show();
        formtest::Pump();
        if (release) form->Release();  // from the message loop
        else form->Free();
        formtest::Pump(60);
        for (void* o : objects) EXPECT_TRUE(IsFreedMemory(o));
    }
}

// A form that says when its own destructor ran, and a non-visual component
// that, like a form provider, writes the form's WindowProc back as it goes.
struct TProbeForm : TForm {
    using TForm::TForm;
    ~TProbeForm() override { *Whole = false; }
    bool* Whole = nullptr;
};
struct TProbeComponent : TComponent {
    TProbeComponent(TProbeForm* AOwner, std::string* ALog) : TComponent(AOwner), Form(AOwner), Log(ALog) {
        Saved = Form->WindowProc;
        Form->WindowProc = [this](TMessage& M) { Saved(M); };
    }
    ~TProbeComponent() override {
        *Log = *Form->Whole ? "whole, children " + std::to_string(Form->ControlCount()) : "gone";
        if (*Form->Whole) Form->WindowProc = Saved;
    }
    TProbeForm* Form;
    std::string* Log;
    TWndMethod Saved;
};

TEST_F(Lifetime, OwnedComponentsAreFreedAfterTheChildrenWhileTheOwnerIsWhole) {
    std::string log;
    bool whole = true;
    auto* form = TObject::Create<TProbeForm>(nullptr);
    form->Whole = &whole;
    Make<TButton>(form, 0, 0, 70, 24);
    Make<TLabel>(form, 0, 30, 50, 16);
    TObject::Create<TProbeComponent>(form, &log);
    form->HandleNeeded();
    form->Free();
    EXPECT_EQ(log, "whole, children 0");
}

// A child that, told of its parent's colour, frees itself, moves, or just counts.
enum class TOnNotice { Count, Free, Move };
template <typename Base>
struct TNoticeChild : Base {
    using Base::Base;
    void WndProc(TMessage& M) override {
        if (M.Msg == CM_PARENTCOLORCHANGED && Notices) {
            ++*Notices;
            Notices = nullptr;
            if (Action == TOnNotice::Free) return this->Free();
            if (Action == TOnNotice::Move) this->SetParent(MoveTo);
        }
        Base::WndProc(M);
    }
    TOnNotice Action = TOnNotice::Count;
    TWinControl* MoveTo = nullptr;
    int* Notices = nullptr;
};

TEST_F(Lifetime, BroadcastSurvivesChildrenThatFreeOrMoveThemselves) {
    auto* form = TObject::Create<TForm>(nullptr);
    auto* other = Make<TPanel>(form, 200, 0, 50, 50);
    const TOnNotice actions[] = {TOnNotice::Free, TOnNotice::Move, TOnNotice::Count};
    int notices[2][3] = {};
    std::vector<TControl*> children;
    for (int i = 0; i < 6; ++i) {
        auto arm = [&](auto* c) {
            c->Action = actions[i % 3];
            c->MoveTo = other;
            c->SetParentColor(true);
            c->Notices = &notices[i / 3][i % 3];
            children.push_back(c);
        };
        if (i < 3) arm(Make<TNoticeChild<TLabel>>(form, 100, i * 30, 50, 20));
        else arm(Make<TNoticeChild<TPanel>>(form, 0, i * 30, 50, 20));
    }
    form->Show();
    form->SetColor(clRed);  // CM_PARENTCOLORCHANGED to every child
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(notices[i / 3][i % 3], 1) << i;
        if (i % 3 == 0) EXPECT_TRUE(IsFreedMemory(children[i])) << i;
        else EXPECT_EQ(children[i]->Parent(), i % 3 == 1 ? static_cast<TWinControl*>(other) : form) << i;
    }
    form->Free();
}

// Every control of the library freed by each of its own handlers, fired by
// real input: the paths back through the control (the click after the
// release, the press after the focus, the default handling after a key)
// must see that it went.
TEST_F(Lifetime, ControlsFreedByTheirOwnHandlersReadNoFreedMemory) {
    using namespace selffreeing;
    auto items = [](TStrings* S) {
        for (const char* i : {"one", "two", "three"}) S->Add(i);
    };
    const std::vector<TKind> kinds{
        {"button", MakeAt<TButton>, {}, {}, {}},
        {"check box", MakeAt<TCheckBox>, {}, {}, {}},
        {"radio button", MakeAt<TRadioButton>, {}, {}, {}},
        {"edit",
         MakeAt<TEdit>,
         [](TControl* C, TNotifyEvent E) { static_cast<TEdit*>(C)->OnChange = E; },
         [](TControl*) { Key('A'); },
         {}},
        {"combo box",
         [items](TWinControl* P) {
             auto* c = static_cast<TComboBox*>(MakeAt<TComboBox>(P));
             items(c->Items());
             return static_cast<TControl*>(c);
         },
         [](TControl* C, TNotifyEvent E) { static_cast<TComboBox*>(C)->OnChange = E; },
         [](TControl*) { Key(VK_DOWN); },
         // The mouse reaches its edit and list, not the combo itself.
         {THandler::Click, THandler::MouseDown, THandler::MouseUp, THandler::MouseEnter, THandler::MouseLeave,
          THandler::Enter}},
        {"list box",
         [items](TWinControl* P) {
             auto* c = static_cast<TListBox*>(MakeAt<TListBox>(P));
             items(c->Items());
             return static_cast<TControl*>(c);
         },
         {},
         {},
         {}},
        {"track bar",
         MakeAt<TTrackBar>,
         [](TControl* C, TNotifyEvent E) { static_cast<TTrackBar*>(C)->OnChange = E; },
         [](TControl*) { Key(VK_RIGHT); },
         {}},
        // A panel takes no focus from a click.
        {"panel", MakeAt<TPanel>, {}, {}, {THandler::Enter}},
        {"speed button", MakeAt<TSpeedButton>, {}, {}, {}},
        {"label", MakeAt<TLabel>, {}, {}, {}},
    };
    RunAll(kinds, [](TWinControl* P) { return Make<TEdit>(P, 20, 120, 100, 24); });
}

}  // namespace
