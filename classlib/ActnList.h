// Actions: commands with a caption, a check state, an image and a shortcut
// shared by the controls and menu items linked to them, which are told of
// every change through their action links.
#pragma once

#include "Classes.h"

#include <vector>

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
using TShortCut = unsigned short;

// The tie between an action and one client (a control, a menu item). The
// client sets OnChange to hear of the action's changes; a link unregisters
// itself when it goes, and the action clears Action() of its links when it
// goes first.
class TBasicActionLink : public TObject {
    CLASSLIB_DECLARE_CLASS(TBasicActionLink)
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    TObject* Client() const { return FClient; }

    // Runs the action for the client; false when it did nothing.
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();

    // The action changed (Sender = the action).
    TNotifyEvent OnChange;
    // The action is being freed (Sender = the action); Action() is already
    // nullptr when this runs.
    TNotifyEvent OnActionFreed;

protected:
    friend class TBasicAction;
    virtual void Change();
    virtual void ActionFreed(TBasicAction* AAction);

private:
    TBasicAction* FAction = nullptr;
    TObject* FClient;
};

class TBasicAction : public TComponent {
    CLASSLIB_DECLARE_CLASS(TBasicAction)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;

    // Raises OnExecute; false when there is none.
    virtual bool Execute();
    // Raises OnUpdate; false when there is none.
    virtual bool Update();
    virtual bool HandlesTarget(TObject*) { return false; }
    virtual void ExecuteTarget(TObject*) {}
    virtual void UpdateTarget(TObject*) {}

    // The component whose link runs the action, while its Execute runs (nil after).
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value) { FActionComponent = Value; }

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);
    int ClientCount() const { return static_cast<int>(FClients.size()); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every linked client (link OnChange) that the action changed.
    virtual void Change();

private:
    friend class TCustomActionList;
    std::vector<TBasicActionLink*> FClients;
    TComponent* FActionComponent = nullptr;
};

// An action that may belong to an action list.
class TContainedAction : public TBasicAction {
    CLASSLIB_DECLARE_CLASS(TContainedAction)
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    int Index() const;
    String Category() const { return FCategory; }
    void SetCategory(const String& Value);

    // Lets the list's OnExecute/OnUpdate handle the action first.
    bool Execute() override;
    bool Update() override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    String FCategory;
};

class TCustomAction : public TContainedAction {
    CLASSLIB_DECLARE_CLASS(TCustomAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

    // Nothing for a disabled action; otherwise AutoCheck flips Checked, then
    // the handlers run.
    bool Execute() override;

    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a group (GroupIndex > 0) unchecks the others of
    // the same list and group.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    String Hint() const { return FHint; }
    void SetHint(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value);

    // The image list of the action's list, or nullptr.
    TCustomImageList* Images() const;

private:
    String FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    String FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
    int FHelpContext = 0;
};

class TAction : public TCustomAction {
    CLASSLIB_DECLARE_CLASS(TAction)
public:
    using TCustomAction::TCustomAction;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// A list of actions sharing an image list. It does not own its actions
// (their owner does); a freed action leaves the list.
class TCustomActionList : public TComponent {
    CLASSLIB_DECLARE_CLASS(TCustomActionList)
public:
    explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Runs OnExecute / OnUpdate of the list for an action of it; true when
    // the handler said it handled the action.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // Updates every action (as an application does at idle).
    void UpdateActions();

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Change();

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
    CLASSLIB_DECLARE_CLASS(TActionList)
public:
    using TCustomActionList::TCustomActionList;
};
