// Freeing forms of skinned list controls in the middle of their use (focused,
// a combo's list open with its skinned bars, bound labels shown, an image
// list that outlives them) on a heap whose freed memory cannot be read: the
// windows' last messages while they are destroyed, and later changes of the
// image list, must not reach freed controls, labels, skin data or adapters.
#include "SkinnedControlTest.h"

#include "ImgList.h"
#include "sAlphaListBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sListView.h"
#include "WindowHooks.h"
#include "sSkinProvider.h"
#include "sTreeView.h"

#include <string>
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

}  // namespace
