#include "sAlphaListBox.h"

#include "acSBUtils.h"
#include "sSkinnedProps.h"

#include <vector>

namespace {

EClassLibError IndexError(int Index) {
    return EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

// ---------------------------------------------------------------------------
// TListBoxStrings

CLASSLIB_DEFINE_CLASS(TListBoxStrings, TItemWindowStrings)

TListBoxStrings::TListBoxStrings(TsAlphaListBox* ListBox)
    : TItemWindowStrings(ListBox, acListBoxMessages), FListBox(ListBox) {}

bool TListBoxStrings::Virtual() const { return FListBox->Virtual(); }

String TListBoxStrings::Get(int Index) const {
    if (!Virtual()) return TItemWindowStrings::Get(Index);
    String s;
    if (FListBox->OnData) FListBox->OnData(FListBox, Index, s);
    return s;
}

int TListBoxStrings::GetCount() const { return Virtual() ? FListBox->FCount : TItemWindowStrings::GetCount(); }

TObject* TListBoxStrings::GetObject(int Index) const {
    return Virtual() ? nullptr : TItemWindowStrings::GetObject(Index);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
    if (!Virtual() && Index != -1) TItemWindowStrings::PutObject(Index, AObject);
}

void TListBoxStrings::Clear() {
    if (!Virtual()) TItemWindowStrings::Clear();
}

void TListBoxStrings::Insert(int Index, const String& S) {
    if (!Virtual()) TItemWindowStrings::Insert(Index, S);
}

int TListBoxStrings::Add(const String& S) { return Virtual() ? -1 : TItemWindowStrings::Add(S); }

int TListBoxStrings::IndexOf(const String& S) const {
    if (!Virtual()) return TItemWindowStrings::IndexOf(S);
    return FListBox->OnDataFind ? FListBox->OnDataFind(FListBox, S) : -1;
}

void TListBoxStrings::SetUpdateState(bool Updating) {
    HWND w = Wnd();
    if (!w) return;
    SendMessageA(w, WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
    if (!Updating) FListBox->Refresh();
}

// ---------------------------------------------------------------------------
// TsAlphaListBox

CLASSLIB_DEFINE_CLASS(TsAlphaListBox, TListControlBase,
    acSkinDataProp<TsAlphaListBox>(), acDisabledKindProp<TsAlphaListBox>(),
    ObjProp<TsAlphaListBox, TStrings>("Items", &TsAlphaListBox::Items, &TsAlphaListBox::SetItems),
    OrdProp<TsAlphaListBox>("Style", TTypeKind::tkEnumeration, &TsAlphaListBox::Style, &TsAlphaListBox::SetStyle,
                            lbStandard),
    OrdProp<TsAlphaListBox>("ItemHeight", TTypeKind::tkInteger, &TsAlphaListBox::ItemHeight,
                            &TsAlphaListBox::SetItemHeight, 16),
    OrdProp<TsAlphaListBox>("Sorted", TTypeKind::tkBool, &TsAlphaListBox::Sorted, &TsAlphaListBox::SetSorted, 0),
    OrdProp<TsAlphaListBox>("IntegralHeight", TTypeKind::tkBool, &TsAlphaListBox::IntegralHeight,
                            &TsAlphaListBox::SetIntegralHeight, 0),
    OrdProp<TsAlphaListBox>("AutoHideScroll", TTypeKind::tkBool, &TsAlphaListBox::AutoHideScroll,
                            &TsAlphaListBox::SetAutoHideScroll, 1),
    OrdProp<TsAlphaListBox>("AutoComplete", TTypeKind::tkBool, &TsAlphaListBox::AutoComplete,
                            &TsAlphaListBox::SetAutoComplete, 1),
    OrdProp<TsAlphaListBox>("AutoCompleteDelay", TTypeKind::tkInteger, &TsAlphaListBox::AutoCompleteDelay,
                            &TsAlphaListBox::SetAutoCompleteDelay, 500),
    OrdProp<TsAlphaListBox>("ItemIndex", TTypeKind::tkInteger, &TsAlphaListBox::ItemIndex,
                            &TsAlphaListBox::SetItemIndex, -1),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
CLASSLIB_DEFINE_CLASS(TsListBox, TsAlphaListBox,
    OrdProp<TsAlphaListBox>("MultiSelect", TTypeKind::tkBool, &TsAlphaListBox::MultiSelect,
                            &TsAlphaListBox::SetMultiSelect, 0))

TsAlphaListBox::TsAlphaListBox(TComponent* AOwner)
    : TsSystemPainted(AOwner, acCtEdit, "EDIT"),
      FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

TsAlphaListBox::~TsAlphaListBox() {
    acFreeScrollAdapter(FScrollAdapter, OwnWnd());
    // The window goes while items, canvas and frame still exist.
    if (HandleAllocated()) DestroyHandle();
}

void TsAlphaListBox::CreateParams(TCreateParams& Params) {
    TsSystemPainted::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    static const DWORD kStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                    LBS_OWNERDRAWFIXED};
    Params.Style |= LBS_NOTIFY | WS_VSCROLL | kStyles[FStyle] | (Virtual() ? LBS_NODATA : LBS_HASSTRINGS);
    if (FSorted && !Virtual()) Params.Style |= LBS_SORT;
    if (FMultiSelect) Params.Style |= LBS_EXTENDEDSEL;
    if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (!FAutoHideScroll) Params.Style |= LBS_DISABLENOSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TsAlphaListBox::CreateWnd() {
    TsSystemPainted::CreateWnd();
    if (Virtual()) {
        SendMessageA(FHandle, LB_SETCOUNT, FCount, 0);
    } else {
        FItems->MoveKeptToWindow();
    }
    SendMessageA(FHandle, LB_SETTOPINDEX, FSavedTop, 0);
    if (FSavedIndex >= 0) SetItemIndex(FSavedIndex);
}

void TsAlphaListBox::DestroyWnd() {
    // Items, top item and current item outlive the window (a style change).
    FSavedIndex = ItemIndex();
    FSavedTop = TopIndex();
    if (!Virtual()) FItems->KeepWindowItems();
    TsSystemPainted::DestroyWnd();
}

void TsAlphaListBox::Recreate() {
    if (HandleAllocated() && !ComponentState().Contains(csLoading)) RecreateWnd();
}

void TsAlphaListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    const bool toVirtual = Value == lbVirtual || Value == lbVirtualOwnerDraw;
    if (toVirtual) {
        FItems->Clear();
        FItems->ClearKept();
        FSorted = false;
    }
    FStyle = Value;
    Recreate();
}

int TsAlphaListBox::ItemHeight() const {
    if (FHandle && FStyle == lbStandard) {
        RECT r{};
        if (SendMessageA(FHandle, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) != LB_ERR) return r.bottom - r.top;
    }
    return FItemHeight;
}

void TsAlphaListBox::SetItemHeight(int Value) {
    if (Value <= 0 || Value == FItemHeight) return;
    FItemHeight = Value;
    Recreate();
}

void TsAlphaListBox::SetSorted(bool Value) {
    if (FSorted == Value || Virtual()) return;
    FSorted = Value;
    Recreate();
}

void TsAlphaListBox::SetMultiSelect(bool Value) { SetWindowSetting(FMultiSelect, Value); }

void TsAlphaListBox::SetIntegralHeight(bool Value) { SetWindowSetting(FIntegralHeight, Value); }

void TsAlphaListBox::SetAutoHideScroll(bool Value) { SetWindowSetting(FAutoHideScroll, Value); }

int TsAlphaListBox::Count() const { return Virtual() ? FCount : FItems->GetCount(); }

void TsAlphaListBox::SetCount(int Value) {
    if (!Virtual()) throw EClassLibError("Setting the count is only possible in a virtual list box");
    if (FHandle && SendMessageA(FHandle, LB_SETCOUNT, Value, 0) < 0)
        throw EClassLibError("Error setting the count of a virtual list box");
    FCount = Value;
}

int TsAlphaListBox::ItemIndex() const {
    if (!FHandle) return FSavedIndex;
    return static_cast<int>(SendMessageA(FHandle, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TsAlphaListBox::SetItemIndex(int Value) {
    if (!FHandle) {
        FSavedIndex = Value;
        return;
    }
    if (ItemIndex() == Value) return;
    SendMessageA(FHandle, FMultiSelect ? LB_SETCARETINDEX : LB_SETCURSEL, Value, 0);
    if (ScrollAdapter()) RefreshScrollBars(static_cast<TacScrollWnd*>(ScrollAdapter()), true);
}

int TsAlphaListBox::TopIndex() const {
    return FHandle ? static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0)) : FSavedTop;
}

void TsAlphaListBox::SetTopIndex(int Value) {
    if (!FHandle) FSavedTop = Value;
    else if (TopIndex() != Value) SendMessageA(FHandle, LB_SETTOPINDEX, Value, 0);
}

bool TsAlphaListBox::Selected(int Index) const {
    const LRESULT r = FHandle ? SendMessageA(FHandle, LB_GETSEL, Index, 0) : 0;
    if (r == LB_ERR) throw IndexError(Index);
    return r > 0;
}

TRect TsAlphaListBox::ItemRect(int Index) const {
    RECT r{};
    if (FHandle) SendMessageA(FHandle, LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
}

int TsAlphaListBox::FindPrefix(const String& Prefix) const {
    if (Virtual()) return OnDataFind ? OnDataFind(const_cast<TsAlphaListBox*>(this), Prefix) : -1;
    return static_cast<int>(
        SendMessageA(FHandle, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Prefix.c_str())));
}

void TsAlphaListBox::KeyPress(char& Key) {
    TsSystemPainted::KeyPress(Key);
    if (!FAutoComplete || Key == 0 || !FHandle) return;
    const DWORD now = GetTickCount();
    if (now - FLastTime >= static_cast<DWORD>(FAutoCompleteDelay)) FFilter.clear();
    FLastTime = now;
    // Enter and Escape end the word typed; they are no part of the next one.
    if (Key == '\r' || Key == 27) {
        FFilter.clear();
        return;
    }
    if (Key == '\b') {
        if (!FFilter.empty()) FFilter.pop_back();
    } else {
        FFilter += Key;
    }
    if (FFilter.empty()) {
        SetItemIndex(0);
        Click();
    } else {
        const int found = FindPrefix(FFilter);
        if (found >= 0) {
            if (FMultiSelect) {
                SendMessageA(FHandle, LB_SETSEL, FALSE, -1);
                SendMessageA(FHandle, LB_SELITEMRANGE, TRUE, MAKELPARAM(found, found));
            }
            SetItemIndex(found);
            Click();
        }
    }
    if (Key != '\b') Key = 0;
}

void TsAlphaListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    FCanvas->FillRect(Rect);
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
    } else if (Index < Count()) {
        TRect r = Rect;
        r.left += 2;
        DrawTextA(FCanvas->Handle(), FItems->Get(Index).c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (State.Contains(odFocused)) DrawFocusRect(FCanvas->Handle(), &Rect);
}

void TsAlphaListBox::CNDrawItem(TMessage& Message) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    Message.Result = 1;
    if (SkinnedNow() && IsUpdating(SkinData())) return;
    if (Count() == 0 || static_cast<int>(dis->itemID) < 0) return;
    const TOwnerDrawState state = TOwnerDrawState::FromBits(LOWORD(dis->itemState));
    FCanvas->WithHandle(dis->hDC, [&] {
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->Assign(Brush());
        const bool userDraws = (FStyle != lbStandard && FStyle != lbVirtual) && OnDrawItem;
        // The current item stays visible while the list has no focus.
        const bool current = static_cast<int>(dis->itemID) == ItemIndex() && !Focused();
        if (!userDraws && (state.Contains(odSelected) || current)) {
            FCanvas->Brush()->SetColor(clHighlight);
            FCanvas->Font()->SetColor(clHighlightText);
        } else if (!Enabled() && !SkinData()->CustomFont()) {
            FCanvas->Font()->SetColor(clGrayText);
        }
        const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
        DrawItem(static_cast<int>(dis->itemID), r, state);
    });
}

void TsAlphaListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (Message.WParamHi()) {
                case LBN_SELCHANGE:
                    Changed();
                    if (OnChange) OnChange(this);
                    Click();
                    break;
                case LBN_DBLCLK: DblClick(); break;
                default: break;
            }
            return;
        case CN_DRAWITEM:
            CNDrawItem(Message);
            return;
        case CN_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            int h = FItemHeight;
            if (FStyle == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, static_cast<int>(mis->itemID), h);
            mis->itemHeight = static_cast<UINT>(h);
            Message.Result = 1;
            return;
        }
        case LB_SETCURSEL:
            TsSystemPainted::Dispatch(Message);
            if (ScrollAdapter()) RefreshScrollBars(static_cast<TacScrollWnd*>(ScrollAdapter()), true);
            return;
        default:
            break;
    }
    TsSystemPainted::Dispatch(Message);
}
