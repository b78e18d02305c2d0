// The combo box on a superclassed "COMBOBOX" window: its items live in the
// window (and in a list of ours while there is none), its edit and drop-down
// list are hooked the moment they exist.
#pragma once

#include "Controls.h"
#include "Lists.h"
#include "Menus.h"

#include <memory>
#include <utility>
#include <vector>

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
CLASSLIB_ENUM_NAMES(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                    "csOwnerDrawVariable")

class TCustomComboBox;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// A window-backed list control's common start: a white window of a system
// class, its settings kept while there is no window, and the window made to
// go before the control's parts (its last messages still find them).
class TListControlBase : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TListControlBase)
public:
    explicit TListControlBase(TComponent* AOwner, int AWidth = 121, int AHeight = 97);
    ~TListControlBase() override;

protected:
    // Sends to the window when it exists (0 otherwise).
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    // A setting the window is made with: a change makes the window anew.
    template <class T>
    void SetWindowSetting(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        if (HandleAllocated() && !ComponentState().Contains(csLoading)) RecreateWnd();
    }
};

// The messages of a list-like system window ("LISTBOX" or "COMBOBOX").
struct TItemMessages {
    UINT AddString, InsertString, DeleteString, ResetContent, GetText, GetTextLen, GetCount, GetItemData, SetItemData,
        FindStringExact;
    LRESULT Error;
};
extern const TItemMessages acListBoxMessages;
extern const TItemMessages acComboBoxMessages;

// Items read and written through the window's messages while it exists, kept
// in a string list before (and given to the window when it is made).
class TItemWindowStrings : public TStrings {
    CLASSLIB_DECLARE_CLASS(TItemWindowStrings)
public:
    TItemWindowStrings(TWinControl* Control, const TItemMessages& Messages) : FControl(Control), FMsg(Messages) {}
    String Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const String& S) override;
    int Add(const String& S) override;
    int IndexOf(const String& S) const override;
    // Forgets what the list holds while there is no window.
    void ClearKept() { FKept.clear(); }
    // The kept strings into the new window, and the window's into Kept.
    void MoveKeptToWindow();
    void KeepWindowItems();

protected:
    HWND Wnd() const;
    const std::pair<String, TObject*>& KeptAt(int Index) const;
    TWinControl* FControl;
    const TItemMessages& FMsg;
    // The items while there is no window: text and object.
    std::vector<std::pair<String, TObject*>> FKept;
};

class TCustomComboBox;
class TComboBoxStrings : public TItemWindowStrings {
    CLASSLIB_DECLARE_CLASS(TComboBoxStrings)
public:
    explicit TComboBoxStrings(TCustomComboBox* Combo);
    void Clear() override;
};

class TCustomComboBox : public TListControlBase {
    CLASSLIB_DECLARE_CLASS(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // Lines the open list shows before it scrolls.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    int ItemHeight() const;
    void SetItemHeight(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // The edit and list windows inside the combo (0 while they do not exist).
    HWND EditHandle() const { return FEditHandle; }
    HWND ListHandle() const { return FListHandle; }
    TCanvas* Canvas() const;
    // True too while the focus is in the combo's edit or list window.
    bool Focused() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void HookInnerWindows(HWND NewChild) override;
    void InnerWndProc(HWND Inner, TMessage& Message) override;
    // Every message of the edit and list windows (ComboWnd); the default
    // hands keys to the combo's key events and the rest to the window.
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd);
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    // Tells the window how far its list drops (DropDownCount lines).
    void AdjustDropDown();
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }

    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TComboBoxStrings> FItems;
    int FDropDownCount = 8;
    int FItemHeight = 16;
    bool FSorted = false;
    int FMaxLength = 0;
    int FSavedIndex = -1;
    HWND FEditHandle = nullptr;
    HWND FListHandle = nullptr;
    TControlCanvas* FCanvas = nullptr;
    bool FCreating = false;

private:
    void AnswerChildColor(TMessage& Message);
    void CNDrawItem(TMessage& Message);
};

class TComboBox : public TCustomComboBox {
    CLASSLIB_DECLARE_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
