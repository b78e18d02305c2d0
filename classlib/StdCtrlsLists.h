// Standard controls of many lines: the multi-line edit ("EDIT" with
// ES_MULTILINE) and the plain list box ("LISTBOX").
#pragma once

#include "Lists.h"
#include "StdCtrls.h"

class TCustomMemo : public TCustomEdit {
    CLASSLIB_DECLARE_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* AOwner);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Without word wrap the lines scroll sideways.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    CLASSLIB_DECLARE_CLASS(TMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// The items live in Items; the window is filled from them whenever it is
// made and whenever they change.
class TCustomListBox : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    TStrings* Items() const { return FItems; }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    void Dispatch(TMessage& Message) override;
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FillWindow();

private:
    TStringList* FItems;
    int FItemIndex = -1;  // kept while there is no window
    TBorderStyle FBorderStyle = bsSingle;
};

class TListBox : public TCustomListBox {
    CLASSLIB_DECLARE_CLASS(TListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
