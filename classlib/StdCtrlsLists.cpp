#include "StdCtrlsLists.h"

#include "Messages.h"

CLASSLIB_DEFINE_CLASS(TCustomMemo, TCustomEdit)
// clang-format off
CLASSLIB_DEFINE_CLASS(TMemo, TCustomMemo,
    OrdProp<TCustomMemo>("WordWrap", TTypeKind::tkBool, &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, 1),
    OrdProp<TCustomMemo>("ScrollBars", TTypeKind::tkEnumeration, &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars,
                         ssNone))
// clang-format on
CLASSLIB_DEFINE_CLASS(TCustomListBox, TWinControl)
CLASSLIB_DEFINE_CLASS(TListBox, TCustomListBox)

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
    FWidth = 185;
    FHeight = 89;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN;
    if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

// ---------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TStringList()) {
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FParentColor = false;
    FTabStop = true;
    FItems->OnChange = [this](TObject*) { FillWindow(); };
}

TCustomListBox::~TCustomListBox() {
    FItems->OnChange = nullptr;
    delete FItems;
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    FillWindow();
}

void TCustomListBox::FillWindow() {
    if (!HandleAllocated()) return;
    const int keep = ItemIndex();
    SendMessageA(FHandle, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i)
        SendMessageA(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems->Strings(i).c_str()));
    if (keep >= 0 && keep < FItems->Count()) SendMessageA(FHandle, LB_SETCURSEL, WPARAM(keep), 0);
}

int TCustomListBox::ItemIndex() const {
    return HandleAllocated() ? int(SendMessageA(FHandle, LB_GETCURSEL, 0, 0)) : FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value) {
    FItemIndex = Value;
    if (HandleAllocated()) SendMessageA(FHandle, LB_SETCURSEL, WPARAM(Value), 0);
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == LBN_SELCHANGE) {
        FItemIndex = ItemIndex();
        FireEvent(OnClick, this);
        return;
    }
    TWinControl::Dispatch(Message);
}
