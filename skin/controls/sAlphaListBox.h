// The skinned list box: a "LISTBOX" window whose items the system paints in
// the skin section's colours ("EDIT"), with skinned frame and scroll bars
// from a scroll adapter, typed-prefix search and virtual item counts.
#pragma once

#include "StdCtrls.h"
#include "sBoundLabel.h"
#include "sListControls.h"

#include <memory>

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
CLASSLIB_ENUM_NAMES(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                    "lbVirtualOwnerDraw")
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, String& Data)>;
using TLBFindDataEvent = std::function<int(TWinControl* Control, const String& FindString)>;
using TLBGetDataObjectEvent = std::function<void(TWinControl* Control, int Index, TObject*& DataObject)>;

class TsAlphaListBox;

// The items; the virtual styles ask OnData and OnDataFind instead.
class TListBoxStrings : public TItemWindowStrings {
    CLASSLIB_DECLARE_CLASS(TListBoxStrings)
public:
    explicit TListBoxStrings(TsAlphaListBox* ListBox);
    String Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    // Keeps the item's data and the current item.
    void Put(int Index, const String& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void Clear() override;
    void Insert(int Index, const String& S) override;
    int Add(const String& S) override;
    int IndexOf(const String& S) const override;
    // The current item follows the item it was.
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    bool Virtual() const;
    TsAlphaListBox* FListBox;
};

class TsAlphaListBox : public TsWithBoundLabel<TsSystemPainted<TListControlBase>> {
    CLASSLIB_DECLARE_CLASS(TsAlphaListBox)
public:
    explicit TsAlphaListBox(TComponent* AOwner);
    ~TsAlphaListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void Clear() { FItems->Clear(); }
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    bool Virtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
    int ItemHeight() const;
    void SetItemHeight(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // Shift and Ctrl extend a multiple selection (else each click toggles an item).
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    // Width of a tab stop in dialog units (0: no tab stops; negative stores 0).
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // Columns of a multi-column list (0: one column that scrolls vertically).
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    // Scroll bars go when not needed (else they stay, disabled).
    bool AutoHideScroll() const { return FAutoHideScroll; }
    void SetAutoHideScroll(bool Value);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    // Milliseconds after the last key when the typed prefix starts anew.
    int AutoCompleteDelay() const { return FAutoCompleteDelay; }
    void SetAutoCompleteDelay(int Value) { FAutoCompleteDelay = Value; }
    // bsSingle: a sunken frame (the skin's while a skin is on); bsNone: none.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { SetWindowSetting(FBorderStyle, Value); }
    // The number of items of the virtual styles.
    int Count() const;
    void SetCount(int Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int TopIndex() const;
    void SetTopIndex(int Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    void ClearSelection();
    // Index = Count: where an item added at the end would go; beyond, empty.
    TRect ItemRect(int Index) const;
    // The item at a client point; -1 outside the window, and below the last
    // item -1 (Existing) or Count.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;

    void Dispatch(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;
    TLBFindDataEvent OnDataFind;
    TLBGetDataObjectEvent OnDataObject;
    // The list scrolled up or down: its bar, the wheel or a key moved its top item.
    TNotifyEvent OnVScroll;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyPress(char& Key) override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    void Recreate();

private:
    // LBN_SELCHANGE: OnChange, then the click unless the handler freed the list.
    void SelectionChanged();
    friend class TListBoxStrings;
    void CNDrawItem(TMessage& Message);
    int FindPrefix(const String& Prefix) const;
    void SendColumnWidth();
    void RedrawItem(int Index);
    // LB_GETTEXT / LB_GETTEXTLEN of the virtual styles, answered from OnData.
    void VirtualText(TMessage& Message);
    // A message by which the bar, the wheel or a key may move the top item of
    // a list that scrolls up and down.
    bool MayScrollVertically(UINT Msg) const;
    // What follows the frame's handling: column width, skin colours, frame, scroll event.
    void AfterMessage(const TMessage& Message, int TopBefore);

    std::unique_ptr<TListBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    int FItemHeight = 16;
    bool FSorted = false;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    int FTabWidth = 0;
    int FColumns = 0;
    bool FIntegralHeight = false;
    bool FAutoHideScroll = true;
    bool FAutoComplete = true;
    int FAutoCompleteDelay = 500;
    int FCount = 0;
    int FSavedIndex = -1, FSavedTop = 0;
    String FFilter;
    DWORD FLastTime = 0;
};

class TsListBox : public TsAlphaListBox {
    CLASSLIB_DECLARE_CLASS(TsListBox)
public:
    explicit TsListBox(TComponent* AOwner) : TsAlphaListBox(AOwner) {}
};
