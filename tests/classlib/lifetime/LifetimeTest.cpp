// Freeing containers, owned components and children that free or move
// themselves while a broadcast reaches them, on a heap whose freed memory
// cannot be read: a read of a freed object stops the program.
#include <gtest/gtest.h>

#include "GuardedHeap.h"

#include "Buttons.h"
#include "ExtCtrls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Timers.h"

#include <string>
#include <vector>

using guardedheap::GuardedHeapScope;
using guardedheap::IsFreedMemory;

namespace {

using Log = std::vector<std::string>;

// A form that says when its own destructor has run.
class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {}
    ~TProbeForm() override { *Whole = false; }
    bool* Whole = nullptr;
};

// A non-visual component that, like a form provider, writes its owner's
// WindowProc back when it goes, and notes what it finds of the owner then.
class TProbeComponent : public TComponent {
public:
    TProbeComponent(TProbeForm* AOwner, Log* ALog, bool* AWhole)
        : TComponent(AOwner), FForm(AOwner), FLog(ALog), FWhole(AWhole) {
        FSaved = FForm->WindowProc;
        FForm->WindowProc = [this](TMessage& M) { FSaved(M); };
    }
    ~TProbeComponent() override {
        FLog->push_back(std::string(*FWhole ? "form whole" : "form gone") + ", children " +
                        std::to_string(*FWhole ? FForm->ControlCount() : -1));
        if (*FWhole) FForm->WindowProc = FSaved;
    }

private:
    TProbeForm* FForm;
    Log* FLog;
    bool* FWhole;
    TWndMethod FSaved;
};

template <typename T>
T* Place(TComponent* Owner, TWinControl* Parent, int Left, int Top) {
    auto* c = TObject::Create<T>(Owner);
    c->SetParent(Parent);
    c->SetLeft(Left);
    c->SetTop(Top);
    return c;
}

// A form with every kind of child: windowed and windowless, nested panels,
// controls owned by the form on a panel and owned by a panel, and owned
// non-visual components at both levels.
std::vector<void*> FillForm(TForm* Form) {
    std::vector<void*> objects{Form};
    Form->SetBounds(20, 20, 300, 220);
    objects.push_back(Place<TButton>(Form, Form, 8, 8));
    objects.push_back(Place<TLabel>(Form, Form, 8, 40));
    objects.push_back(Place<TEdit>(Form, Form, 8, 64));
    auto* panel = Place<TPanel>(Form, Form, 120, 8);
    objects.push_back(panel);
    objects.push_back(Place<TButton>(Form, panel, 4, 4));
    objects.push_back(Place<TLabel>(panel, panel, 4, 34));
    auto* inner = Place<TPanel>(panel, panel, 4, 56);
    objects.push_back(inner);
    objects.push_back(Place<TSpeedButton>(Form, inner, 2, 2));
    objects.push_back(Place<TEdit>(inner, inner, 2, 20));
    objects.push_back(TObject::Create<TTimer>(Form));
    objects.push_back(TObject::Create<TPopupMenu>(Form));
    objects.push_back(TObject::Create<TImageList>(Form));
    objects.push_back(TObject::Create<TTimer>(panel));
    return objects;
}

TEST(Lifetime, FreeingContainersOfEveryKindOfChildReadsNoFreedMemory) {
    GuardedHeapScope guard;
    // Freed directly, shown.
    auto* shown = TObject::Create<TForm>(nullptr);
    std::vector<void*> objects = FillForm(shown);
    shown->Show();
    formtest::Pump();
    shown->Free();
    for (void* o : objects) EXPECT_TRUE(IsFreedMemory(o));

    // Freed through Release, from the message loop.
    auto* released = TObject::Create<TForm>(nullptr);
    objects = FillForm(released);
    released->Show();
    formtest::Pump();
    released->Release();
    formtest::Pump(60);
    for (void* o : objects) EXPECT_TRUE(IsFreedMemory(o));

    // A panel of children freed on its own, its window never made.
    auto* host = TObject::Create<TForm>(nullptr);
    auto* panel = Place<TPanel>(host, host, 0, 0);
    Place<TButton>(panel, panel, 0, 0);
    Place<TPanel>(host, panel, 0, 30);
    panel->Free();
    EXPECT_EQ(host->ControlCount(), 0);
    host->Free();
}

TEST(Lifetime, OwnedComponentsAreFreedLastWhileTheOwnerIsWhole) {
    GuardedHeapScope guard;
    Log log;
    bool whole = true;
    auto* form = TObject::Create<TProbeForm>(nullptr);
    form->Whole = &whole;
    Place<TButton>(form, form, 0, 0);
    Place<TLabel>(form, form, 0, 30);
    TObject::Create<TProbeComponent>(form, &log, &whole);
    form->HandleNeeded();
    form->Free();
    // Freed after the children, before the form's own destructor: the
    // WindowProc it writes back is still the form's.
    EXPECT_EQ(log, Log{"form whole, children 0"});
    EXPECT_FALSE(whole);
}

// A windowless or windowed child that, told of its parent's new colour,
// frees itself, moves to another parent, or just counts.
enum class TOnNotice { Count, Free, Move };

template <typename Base>
class TNoticeChild : public Base {
public:
    explicit TNoticeChild(TComponent* AOwner) : Base(AOwner) {}
    void WndProc(TMessage& M) override {
        if (M.Msg == CM_PARENTCOLORCHANGED && Armed) {
            Armed = false;
            ++*Notices;
            if (Action == TOnNotice::Free) {
                this->Free();
                return;
            }
            if (Action == TOnNotice::Move) this->SetParent(MoveTo);
        }
        Base::WndProc(M);
    }
    bool Armed = false;
    TOnNotice Action = TOnNotice::Count;
    TWinControl* MoveTo = nullptr;
    int* Notices = nullptr;
};

TEST(Lifetime, BroadcastSurvivesChildrenThatFreeOrMoveThemselves) {
    GuardedHeapScope guard;
    auto* form = TObject::Create<TForm>(nullptr);
    form->SetBounds(20, 20, 300, 200);
    auto* other = Place<TPanel>(form, form, 200, 0);
    other->SetParentColor(false);
    struct Row {
        bool Windowed;
        TOnNotice Action;
    };
    const Row rows[] = {
        {false, TOnNotice::Free},  {false, TOnNotice::Move}, {false, TOnNotice::Count},
        {true, TOnNotice::Free},   {true, TOnNotice::Move},  {true, TOnNotice::Count},
    };
    std::vector<int> notices(std::size(rows), 0);
    std::vector<TControl*> children;
    for (size_t i = 0; i < std::size(rows); ++i) {
        auto arm = [&](auto* c) {
            c->Action = rows[i].Action;
            c->MoveTo = other;
            c->Notices = &notices[i];
            c->SetParentColor(true);
            c->Armed = true;
            children.push_back(c);
        };
        if (rows[i].Windowed) arm(Place<TNoticeChild<TPanel>>(form, form, 0, int(i) * 30));
        else arm(Place<TNoticeChild<TLabel>>(form, form, 100, int(i) * 30));
    }
    form->Show();
    formtest::Pump();
    form->SetColor(clRed);  // CM_PARENTCOLORCHANGED to every child
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(notices[i], 1);
        switch (rows[i].Action) {
            case TOnNotice::Free:
                EXPECT_TRUE(IsFreedMemory(children[i]));
                break;
            case TOnNotice::Move:
                EXPECT_EQ(children[i]->Parent(), other);
                break;
            case TOnNotice::Count:
                EXPECT_EQ(children[i]->Color(), clRed);
                break;
        }
    }
    form->Free();
}

}  // namespace
