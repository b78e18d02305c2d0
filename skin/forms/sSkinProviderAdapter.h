// The control adapter of a skinned form: standard controls of the class
// lists of the skin manager get window adapters, plain labels the skin's
// colours.
#pragma once

#include "WindowHooks.h"
#include "acSBUtilsSimple.h"

#include <functional>
#include <vector>

class TsSkinProvider;
class TacCtrlAdapter;

// Item: the component; CanBeAdded False keeps it unskinned; SkinSection may be changed.
using TAddItemEvent = std::function<void(TComponent* Item, bool& CanBeAdded, String& SkinSection)>;

// The tag that keeps a control out of every adapter.
constexpr int acNoSkinTag = -98;
// The control-type code of an adapted control's skin data.
constexpr int acAdapterItemCode = 227;

class TacAdapterItem : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacAdapterItem)
public:
    TacAdapterItem();
    ~TacAdapterItem() override;
    // Chooses the window adapter by the control's class list and makes it.
    virtual void DoHook(TWinControl* Control);

    TWinControl* Ctrl = nullptr;
    TsCommonData* SkinData = nullptr;  // owned
    TacCtrlAdapter* Adapter = nullptr;
    TacMainWnd* WndObject = nullptr;  // owned
};
using TacAdapterItems = std::vector<TacAdapterItem*>;

class TacCtrlAdapter : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacCtrlAdapter)
public:
    // Form is walked when AddAllItems gets no container; Manager nil follows
    // the default manager.
    TacCtrlAdapter(TsSkinProvider* AProvider, TWinControl* AForm, TsSkinManager* AManager = nullptr);
    ~TacCtrlAdapter() override;

    virtual bool IsControlSupported(TComponent* Component);
    // nil outside 0 .. Count - 1.
    virtual TacAdapterItem* GetItem(int Index);
    virtual void AddNewItem(TWinControl* Ctrl) { AddNewItem(Ctrl, DefaultSection); }
    virtual void AddNewItem(TWinControl* Ctrl, const String& SkinSection);
    virtual void Delete(int Index);

    void AddAllItems(TWinControl* Parent = nullptr);
    int Count() const { return int(Items.size()); }
    int IndexOf(const TWinControl* Ctrl) const;
    void CleanItems();
    void RemoveAllItems();
    LRESULT BroadcastMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    TsSkinManager* SkinManager() const;

    String DefaultSection;
    TacAdapterItems Items;
    TsSkinProvider* Provider = nullptr;
    TWinControl* Form = nullptr;
    // The item event of an adapter without provider (one with a provider asks the provider's).
    TAddItemEvent OnSkinItem;

private:
    void Walk(TWinControl* Container);
    void Consider(TComponent* Component, bool AnyLabel);
    bool AskSkinItem(TComponent* Item, String& Section);
    TsSkinManager* FManager = nullptr;
};
