// The skinned combo box: the class-library combo painted from the skin's
// "COMBOBOX" section with a drop-down button ("COMBOBTN") and arrow glyph, a
// skinned scroll bar on a long drop-down list, and a read-only mode.
#pragma once

#include "StdCtrls.h"
#include "sBoundLabel.h"
#include "sSkinnedControl.h"

#include <memory>

class TacMainWnd;

class TsCustomComboBox : public TsWithBoundLabel<TsSkinned<TCustomComboBox>> {
    CLASSLIB_DECLARE_CLASS(TsCustomComboBox)
public:
    explicit TsCustomComboBox(TComponent* AOwner);
    ~TsCustomComboBox() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // No key, click, wheel or edit changes the choice, and the list never opens.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // The list is shown (between the drop-down and close-up notifications).
    bool Dropped() const { return FDropped; }
    // The drop-down list's scroll adapter, once the list outgrew DropDownCount.
    TacMainWnd* ListAdapter() const { return FListAdapter; }
    // The button in client coordinates.
    TRect ButtonRect() const;
    int GlyphHeight() const;
    void Invalidate() override;

protected:
    TsPaintState CurrentState() override;
    void PaintContent(TsPaintState State) override;
    bool SkinnedMessage(TMessage& Message) override;
    void UnskinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    void AfterSkinCommand(WORD Code) override;
    void Loaded() override;
    void CreateWnd() override;
    void ComboWndProc(TMessage& Message, HWND ComboWnd) override;
    void RebuildCache(TsPaintState State) override;
    void ShowCache(HDC Target) override;
    bool NewSkin(TMessage& Message, bool Own) override;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    virtual void PaintButton();
    virtual void PaintText(const TRect& R, bool Highlighted);

private:
    // The read-only filter both routes run first; true swallows the message.
    bool ReadOnlyFilter(TMessage& Message);
    bool ChildReadOnlyFilter(const TMessage& Message) const;
    // A press in the list, which a read-only combo does not let choose.
    static bool ListPress(UINT Msg);
    void AttachListAdapter(HWND List);
    void DropNotification(TMessage& Message);
    void FreeListAdapter();
    void Refresh();
    bool UserDrawn() const { return OwnerDrawn() && OnDrawItem; }
    // The edit area's item drawn over the cache (owner-drawn styles).
    void DrawEditItem(HDC Target);
    // A simple combo's list may end above the control's bottom: neither the
    // system nor the list paints what lies below it. Client coordinates.
    TRect StripBelowList() const;
    // That strip, as the parent's picture (or colour) behind the control.
    void PaintStripBelowList(HDC Target);
    bool CopyEditItemFromCache(TMessage& Message);

    TAlignment FAlignment = taLeftJustify;
    bool FReadOnly = false;
    bool FShowButton = true;
    bool FDropped = false;
    HWND FListWindow = nullptr;
    TacMainWnd* FListAdapter = nullptr;
};

class TsComboBox : public TsCustomComboBox {
    CLASSLIB_DECLARE_CLASS(TsComboBox)
public:
    explicit TsComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner) {}
};
