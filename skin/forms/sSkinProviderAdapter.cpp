// The control adapter: which standard control gets which window adapter, and
// the walks over a form.
#include "sSkinProviderAdapter.h"

#include "Forms.h"
#include "Scopes.h"
#include "StdCtrls.h"
#include "sMessages.h"
#include "sSkinProvider.h"

#include <algorithm>

CLASSLIB_DEFINE_CLASS(TacAdapterItem, TPersistent)
CLASSLIB_DEFINE_CLASS(TacCtrlAdapter, TPersistent)

namespace {

// Program-wide: a walk in progress, a removal in progress. Window messages
// sent while adapters are made or freed must not start another.
bool acAdapterWalking = false;
bool acAdapterRemoving = false;

using TAdapterFactory = TacMainWnd* (*)(HWND, TsCommonData*, TsSkinManager*, const String&);

template <class T>
TacMainWnd* Make(HWND H, TsCommonData* D, TsSkinManager* M, const String& S) {
    return new T(H, D, M, S, true);
}

// One row per class list, in the lists' order. An empty data section keeps
// the one the item was added with.
struct TAdapterKind {
    const char* Name;
    TAdapterFactory Factory;
    const char* DataSection;
    const char* AdapterSection;
};
const TAdapterKind kKinds[acThirdPartyCount] = {
    {"Edit", &Make<TacEditWnd>, "", "EDIT"},
    {"Button", &Make<TacBtnWnd>, "BUTTON", "BUTTON"},
    {"BitBtn", &Make<TacBitBtnWnd>, "BUTTON", "BUTTON"},
    {"CheckBox", &Make<TacCheckBoxWnd>, "CHECKBOX", ""},
    {"ComboBox", &Make<TacComboBoxWnd>, "", "EDIT"},
    {"Grid", &Make<TacGridWnd>, "", "EDIT"},
    {"GroupBox", &Make<TacGroupBoxWnd>, "GROUPBOX", ""},
    {"ListView", &Make<TacListViewWnd>, "", "EDIT"},
    {"Panel", &Make<TacPanelWnd>, "PANEL", "PANEL"},
    {"TreeView", &Make<TacTreeViewWnd>, "", "EDIT"},
    {"wwEdit", &Make<TacWWComboBoxWnd>, "", "EDIT"},
    {"GridEh", &Make<TacGridEhWnd>, "", "EDIT"},
    {"VirtualTree", &Make<TacVirtualTreeViewWnd>, "", "EDIT"},
};

bool AnswersSkinned(TControl* C) { return QuerySkinCommand(C, AC_SKINNEDQUERY); }

}  // namespace

// ---------------------------------------------------------------------------
// TacAdapterItem

TacAdapterItem::TacAdapterItem() : SkinData(new TsCommonData(nullptr, true)) {
    SkinData->ControlTypeCode = acAdapterItemCode;
}

TacAdapterItem::~TacAdapterItem() {
    delete WndObject;
    WndObject = nullptr;
    delete SkinData;
    SkinData = nullptr;
}

void TacAdapterItem::DoHook(TWinControl* Control) {
    if (!Control || !Control->HandleAllocated()) return;
    if (Control->Parent() && AnswersSkinned(Control)) return;
    Ctrl = Control;
    SkinData->OwnerControl = Control;
    SkinData->OwnerObject = Control;
    if (!Control->Parent()) return;
    TsSkinManager* m = Adapter ? Adapter->SkinManager() : DefaultManager;
    if (!m) return;
    const int kind = m->ThirdParty()->KindOf(Control->ClassName());
    if (kind < 0 || !kKinds[kind].Factory) return;
    const TAdapterKind& k = kKinds[kind];
    if (*k.DataSection) SkinData->SetSkinSection(k.DataSection);
    WndObject = k.Factory(Control->Handle(), SkinData, m, k.AdapterSection);
    RedrawWindow(Control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------
// TacCtrlAdapter

TacCtrlAdapter::TacCtrlAdapter(TsSkinProvider* AProvider, TWinControl* AForm, TsSkinManager* AManager)
    : Provider(AProvider), Form(AForm), FManager(AManager) {}

TacCtrlAdapter::~TacCtrlAdapter() {
    CleanItems();
    RemoveAllItems();
}

TsSkinManager* TacCtrlAdapter::SkinManager() const { return FManager ? FManager : DefaultManager; }

bool TacCtrlAdapter::AskSkinItem(TComponent* Item, String& Section) {
    bool canBeAdded = true;
    // The provider's event as it is now: one set after the adapter was made counts too.
    const TAddItemEvent& event = Provider ? Provider->OnSkinItem : OnSkinItem;
    if (event) event(Item, canBeAdded, Section);
    return canBeAdded;
}

bool TacCtrlAdapter::IsControlSupported(TComponent* Component) {
    if (!Component || Component->Tag() == acNoSkinTag) return false;
    if (auto* w = dynamic_cast<TWinControl*>(Component)) {
        if (!w->HandleAllocated() || AnswersSkinned(w)) return false;
    } else if (auto* label = dynamic_cast<TCustomLabel*>(Component)) {
        String section;
        return AskSkinItem(label, section);
    } else if (dynamic_cast<TGraphicControl*>(Component)) {
        return false;
    }
    TsSkinManager* m = SkinManager();
    return m && m->ThirdParty()->KindOf(Component->ClassName()) >= 0;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int Index) {
    return Index >= 0 && Index < Count() ? Items[std::size_t(Index)] : nullptr;
}

int TacCtrlAdapter::IndexOf(const TWinControl* Ctrl) const {
    for (int i = 0; i < Count(); ++i)
        if (Items[std::size_t(i)] && Items[std::size_t(i)]->Ctrl == Ctrl) return i;
    return -1;
}

void TacCtrlAdapter::AddNewItem(TWinControl* Ctrl, const String& SkinSection) {
    if (!Ctrl || Ctrl->Tag() == acNoSkinTag || !Ctrl->Parent() || AnswersSkinned(Ctrl)) return;
    String section = SkinSection;
    if (!AskSkinItem(Ctrl, section)) return;
    const int index = IndexOf(Ctrl);
    if (index < 0) {
        auto* item = new TacAdapterItem();
        item->Adapter = this;
        item->Ctrl = Ctrl;
        item->SkinData->SetSkinManager(FManager);
        item->SkinData->SetSkinSection(section);
        Items.push_back(item);
        item->DoHook(Ctrl);
        if (!item->WndObject) {
            // A class in no list (or a control that cannot be hooked): no item.
            Items.erase(std::find(Items.begin(), Items.end(), item));
            delete item;
        }
        return;
    }
    // A live item keeps the section its kind gave it: a walk passes every
    // control the default section, which would turn a button into an edit.
    TacAdapterItem* item = Items[std::size_t(index)];
    if (item->WndObject && item->WndObject->Destroyed) {
        delete item->WndObject;
        item->WndObject = nullptr;
        item->SkinData->SetSkinSection(section);
        item->DoHook(Ctrl);
    }
}

void TacCtrlAdapter::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    TacAdapterItem* item = Items[std::size_t(Index)];
    Items.erase(Items.begin() + Index);
    delete item;
}

void TacCtrlAdapter::CleanItems() {
    TacAdapterItems keep;
    TacAdapterItems gone;
    for (TacAdapterItem* item : Items)
        (item && item->WndObject && !item->WndObject->Destroyed ? keep : gone).push_back(item);
    Items = keep;
    for (TacAdapterItem* item : gone) delete item;
}

void TacCtrlAdapter::RemoveAllItems() {
    if (acAdapterRemoving) return;
    const TBoolScope guard(acAdapterRemoving, true);
    std::vector<HWND> released;
    while (!Items.empty()) {
        TacAdapterItem* item = Items.back();
        Items.pop_back();
        if (item && item->WndObject && !item->WndObject->Destroyed) released.push_back(item->WndObject->CtrlHandle);
        delete item;
    }
    // The windows draw themselves again in their own look.
    for (HWND h : released)
        if (IsWindow(h)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT TacCtrlAdapter::BroadcastMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const TacAdapterItems items = Items;
    for (TacAdapterItem* item : items) {
        if (std::find(Items.begin(), Items.end(), item) == Items.end()) continue;  // freed by an earlier answer
        if (!item->WndObject || item->WndObject->Destroyed || !item->Ctrl || !item->Ctrl->Parent()) continue;
        SendMessageA(item->WndObject->CtrlHandle, Msg, WParam, LParam);
    }
    return 0;
}

void TacCtrlAdapter::AddAllItems(TWinControl* Parent) {
    TsSkinManager* m = SkinManager();
    if (acAdapterWalking || !m || !m->SkinningRules.Contains(srThirdParty)) return;
    TWinControl* container = Parent ? Parent : Form;
    if (!container) return;
    // Held through the whole recursion: a message sent while an adapter is
    // made must not start a second walk half-way.
    const TBoolScope guard(acAdapterWalking, true);
    CleanItems();
    Walk(container);
}

void TacCtrlAdapter::Consider(TComponent* Component, bool AnyLabel) {
    if (IsControlSupported(Component)) {
        if (auto* w = dynamic_cast<TWinControl*>(Component)) {
            AddNewItem(w, "EDIT");
        } else if (auto* label = dynamic_cast<TCustomLabel*>(Component);
                   label && (AnyLabel || dynamic_cast<TLabel*>(label)) && !AnswersSkinned(label)) {
            label->SetTransparent(true);
            // A skin without a global font colour leaves the label's own.
            const TColor font = GlobalFontColor(SkinManager());
            if (font != acNoColor) label->Font()->SetColor(font);
        }
    }
    if (auto* w = dynamic_cast<TWinControl*>(Component); w && w->HandleAllocated() && w->Parent()) Walk(w);
}

void TacCtrlAdapter::Walk(TWinControl* Container) {
    for (int i = 0; i < Container->ComponentCount(); ++i) Consider(Container->Components(i), true);
    for (int i = 0; i < Container->ControlCount(); ++i) Consider(Container->Controls(i), false);
}
