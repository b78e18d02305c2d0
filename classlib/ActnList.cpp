#include "ActnList.h"

#include "ImgList.h"

#include <algorithm>

CLASSLIB_DEFINE_CLASS(TBasicActionLink, TObject)

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (FAction == Value) return;
    if (FAction) FAction->UnRegisterChanges(this);
    FAction = Value;
    if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    TBasicAction* action = FAction;
    if (!action) return false;
    // The component is the action's for the run only: afterwards it may go.
    // The handler may free the action, or the client and this link with it.
    const TFreeWatch watch(action);
    action->SetActionComponent(AComponent);
    const bool done = action->Execute();
    if (!watch.Freed()) action->SetActionComponent(nullptr);
    return done;
}

bool TBasicActionLink::Update() { return FAction ? FAction->Update() : false; }

void TBasicActionLink::Change() {
    if (OnChange) {
        TNotifyEvent handler = OnChange;
        handler(FAction);
    }
}

void TBasicActionLink::ActionFreed(TBasicAction* AAction) {
    if (OnActionFreed) {
        TNotifyEvent handler = OnActionFreed;
        handler(AAction);
    }
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TBasicAction, TComponent)

TBasicAction::~TBasicAction() {
    // Links must never point at a freed action.
    while (!FClients.empty()) {
        TBasicActionLink* link = FClients.back();
        FClients.pop_back();
        link->FAction = nullptr;
        link->ActionFreed(this);
    }
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    TNotifyEvent handler = OnExecute;
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    TNotifyEvent handler = OnUpdate;
    handler(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (!Value) return;
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
    Value->FAction = this;
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    auto it = std::find(FClients.begin(), FClients.end(), Value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    Value->FAction = nullptr;
}

void TBasicAction::Change() {
    // A client may drop its link while hearing of the change: walk a copy and
    // skip links that are gone.
    std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TContainedAction, TBasicAction,
    StrProp<TContainedAction>("Category", &TContainedAction::Category, &TContainedAction::SetCategory))
// clang-format on

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (FActionList == Value) return;
    if (FActionList) {
        auto& list = FActionList->FActions;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        FActionList->Change();
    }
    FActionList = Value;
    if (FActionList) {
        FActionList->FActions.push_back(this);
        FActionList->Change();
    }
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    auto& list = FActionList->FActions;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TContainedAction::SetCategory(const String& Value) {
    if (FCategory == Value) return;
    FCategory = Value;
    if (FActionList) FActionList->Change();
}

bool TContainedAction::Execute() {
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (FActionList && FActionList->UpdateAction(this)) return true;
    return TBasicAction::Update();
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomAction, TContainedAction,
    StrProp<TCustomAction>("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption),
    OrdProp<TCustomAction>("Checked", TTypeKind::tkBool, &TCustomAction::Checked, &TCustomAction::SetChecked, 0),
    OrdProp<TCustomAction>("Enabled", TTypeKind::tkBool, &TCustomAction::Enabled, &TCustomAction::SetEnabled, 1),
    StrProp<TCustomAction>("Hint", &TCustomAction::Hint, &TCustomAction::SetHint),
    OrdProp<TCustomAction>("ImageIndex", TTypeKind::tkInteger, &TCustomAction::ImageIndex,
                           &TCustomAction::SetImageIndex, -1),
    OrdProp<TCustomAction>("ShortCut", TTypeKind::tkInteger, &TCustomAction::ShortCut, &TCustomAction::SetShortCut,
                           0),
    OrdProp<TCustomAction>("Visible", TTypeKind::tkBool, &TCustomAction::Visible, &TCustomAction::SetVisible, 1),
    OrdProp<TCustomAction>("GroupIndex", TTypeKind::tkInteger, &TCustomAction::GroupIndex,
                           &TCustomAction::SetGroupIndex, 0),
    OrdProp<TCustomAction>("AutoCheck", TTypeKind::tkBool, &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck,
                           0),
    OrdProp<TCustomAction>("HelpContext", TTypeKind::tkInteger, &TCustomAction::HelpContext,
                           &TCustomAction::SetHelpContext, 0))
// clang-format on
CLASSLIB_DEFINE_CLASS(TAction, TCustomAction)

bool TCustomAction::Execute() {
    Update();
    if (!FEnabled) return false;
    if (FAutoCheck) SetChecked(!FChecked);
    return TContainedAction::Execute();
}

void TCustomAction::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FGroupIndex > 0 && ActionList()) {
        TCustomActionList* list = ActionList();
        for (int i = 0; i < list->ActionCount(); ++i) {
            auto* other = dynamic_cast<TCustomAction*>(list->Actions(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
        }
    }
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetHint(const String& Value) {
    if (FHint == Value) return;
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
    if (FAutoCheck == Value) return;
    FAutoCheck = Value;
    Change();
}

void TCustomAction::SetHelpContext(int Value) {
    if (FHelpContext == Value) return;
    FHelpContext = Value;
    Change();
}

TCustomImageList* TCustomAction::Images() const { return ActionList() ? ActionList()->Images() : nullptr; }

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomActionList, TComponent,
    ObjProp<TCustomActionList, TCustomImageList>("Images", &TCustomActionList::Images,
                                                 &TCustomActionList::SetImages))
// clang-format on
CLASSLIB_DEFINE_CLASS(TActionList, TCustomActionList)

TCustomActionList::~TCustomActionList() {
    OnChange = nullptr;
    if (FImages) FImages->RemoveFreeNotification(this);
    for (TContainedAction* a : FActions) a->FActionList = nullptr;
    FActions.clear();
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount())
        throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
    return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    // Clients show the list's images: tell them through their actions.
    for (TContainedAction* a : FActions)
        if (auto* ca = dynamic_cast<TCustomAction*>(a)) ca->Change();
    Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
    bool handled = false;
    if (OnExecute) {
        TActionEvent handler = OnExecute;
        handler(Action, handled);
    }
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
    bool handled = false;
    if (OnUpdate) {
        TActionEvent handler = OnUpdate;
        handler(Action, handled);
    }
    return handled;
}

void TCustomActionList::UpdateActions() {
    std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* a : actions)
        if (std::find(FActions.begin(), FActions.end(), a) != FActions.end()) a->Update();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FImages) {
        FImages = nullptr;
        Change();
    }
    if (auto* a = dynamic_cast<TContainedAction*>(AComponent))
        if (a->FActionList == this) a->SetActionList(nullptr);
}

void TCustomActionList::Change() {
    if (OnChange) {
        TNotifyEvent handler = OnChange;
        handler(this);
    }
}
