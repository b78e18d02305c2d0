#include "sAlphaListBox.h"

#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sSkinnedProps.h"

#include <cstring>

#include <vector>

namespace {

EClassLibError IndexError(int Index) {
    return EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
}

// The items of a virtual list box are the program's (OnData): one given to
// the list itself would be lost.
EClassLibError VirtualItemsError() { return EClassLibError("A virtual list box takes its items from OnData"); }

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
    if (!Virtual()) return TItemWindowStrings::GetObject(Index);
    TObject* data = nullptr;
    if (FListBox->OnDataObject) FListBox->OnDataObject(FListBox, Index, data);
    return data;
}

void TListBoxStrings::Put(int Index, const String& S) {
    if (Virtual()) throw VirtualItemsError();
    // A new text is a new item to the window: the choice would go with the old one.
    const int current = FListBox->ItemIndex();
    TItemWindowStrings::Put(Index, S);
    FListBox->SetItemIndex(current);
}

void TListBoxStrings::Exchange(int Index1, int Index2) {
    if (Virtual() || Index1 == Index2) return;
    const int current = FListBox->ItemIndex();
    TItemWindowStrings::Exchange(Index1, Index2);
    FListBox->SetItemIndex(current == Index1 ? Index2 : current == Index2 ? Index1 : current);
}

void TListBoxStrings::Move(int CurIndex, int NewIndex) {
    if (Virtual() || CurIndex == NewIndex) return;
    // The window shifts the current item past a removed or inserted one
    // itself; only the moved item's own choice would be lost.
    const int current = FListBox->ItemIndex();
    TItemWindowStrings::Move(CurIndex, NewIndex);
    if (current == CurIndex) FListBox->SetItemIndex(NewIndex);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
    if (!Virtual() && Index != -1) TItemWindowStrings::PutObject(Index, AObject);
}

void TListBoxStrings::Clear() {
    if (!Virtual()) TItemWindowStrings::Clear();
}

void TListBoxStrings::Insert(int Index, const String& S) {
    if (Virtual()) throw VirtualItemsError();
    TItemWindowStrings::Insert(Index, S);
}

int TListBoxStrings::Add(const String& S) {
    if (Virtual()) throw VirtualItemsError();
    return TItemWindowStrings::Add(S);
}

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

// clang-format off
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
    OrdProp<TsAlphaListBox>("TabWidth", TTypeKind::tkInteger, &TsAlphaListBox::TabWidth,
                            &TsAlphaListBox::SetTabWidth, 0),
    OrdProp<TsAlphaListBox>("Columns", TTypeKind::tkInteger, &TsAlphaListBox::Columns, &TsAlphaListBox::SetColumns,
                            0),
    OrdProp<TsAlphaListBox>("BorderStyle", TTypeKind::tkEnumeration, &TsAlphaListBox::BorderStyle,
                            &TsAlphaListBox::SetBorderStyle, bsSingle),
    MethodField<TsAlphaListBox>("OnVScroll", &TsAlphaListBox::OnVScroll),
    ObjProp<TsAlphaListBox, TsBoundLabel>("BoundLabel", &TsAlphaListBox::BoundLabel),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on
// clang-format off
CLASSLIB_DEFINE_CLASS(TsListBox, TsAlphaListBox,
    OrdProp<TsAlphaListBox>("MultiSelect", TTypeKind::tkBool, &TsAlphaListBox::MultiSelect,
                            &TsAlphaListBox::SetMultiSelect, 0),
    OrdProp<TsAlphaListBox>("ExtendedSelect", TTypeKind::tkBool, &TsAlphaListBox::ExtendedSelect,
                            &TsAlphaListBox::SetExtendedSelect, 1))
// clang-format on

TsAlphaListBox::TsAlphaListBox(TComponent* AOwner)
    : TsWithBoundLabel(AOwner, acCtEdit, "EDIT"),
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

void TsAlphaListBox::WndProc(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    const int top = FHandle && MayScrollVertically(M.Msg) ? TopIndex() : -1;
    TsWithBoundLabel::WndProc(M);
    if (*alive) AfterMessage(M, top);
}

bool TsAlphaListBox::MayScrollVertically(UINT Msg) const {
    return FColumns == 0 && (Msg == WM_VSCROLL || Msg == WM_MOUSEWHEEL || Msg == WM_KEYDOWN);
}

void TsAlphaListBox::AfterMessage(const TMessage& M, int TopBefore) {
    const bool loading = ComponentState().Contains(csLoading);
    switch (M.Msg) {
        case WM_SIZE:
        case CM_ENABLEDCHANGED:
            if (!loading) SendColumnWidth();
            break;
        case CM_COLORCHANGED:
            // The skin's colours stay while it is on, unless the control keeps its own.
            if (HasSkin(SkinData())) acTakeSectionColors(SkinData(), true);
            break;
        case CM_CTL3DCHANGED:
            if (FBorderStyle == bsSingle && HandleAllocated() && !loading) RecreateWnd();
            break;
        default: break;
    }
    if (TopBefore >= 0 && OnVScroll && FHandle && TopIndex() != TopBefore) OnVScroll(this);
}

void TsAlphaListBox::CreateParams(TCreateParams& Params) {
    TsSystemPainted::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    static const DWORD kStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                    LBS_OWNERDRAWFIXED};
    Params.Style |= LBS_NOTIFY | WS_VSCROLL | kStyles[FStyle] | (Virtual() ? LBS_NODATA : LBS_HASSTRINGS);
    if (FSorted && !Virtual()) Params.Style |= LBS_SORT;
    if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns != 0) Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (FTabWidth != 0) Params.Style |= LBS_USETABSTOPS;
    if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (!FAutoHideScroll) Params.Style |= LBS_DISABLENOSCROLL;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TsAlphaListBox::CreateWnd() {
    TsSystemPainted::CreateWnd();
    if (FTabWidth != 0) SendMessageA(FHandle, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&FTabWidth));
    SendColumnWidth();
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
        if (!Virtual() && FItems->GetCount() > 0) throw VirtualItemsError();
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

void TsAlphaListBox::SetExtendedSelect(bool Value) { SetWindowSetting(FExtendedSelect, Value); }

void TsAlphaListBox::SetTabWidth(int Value) { SetWindowSetting(FTabWidth, Value < 0 ? 0 : Value); }

void TsAlphaListBox::SetColumns(int Value) {
    if (Value < 0) Value = 0;
    if (FColumns != 0 && Value != 0) {
        // Still several columns: the same window, narrower or wider columns.
        FColumns = Value;
        SendColumnWidth();
        return;
    }
    SetWindowSetting(FColumns, Value);
}

void TsAlphaListBox::SendColumnWidth() {
    if (!FHandle || FColumns < 1 || Width() < 1) return;
    SendMessageA(FHandle, LB_SETCOLUMNWIDTH, std::max(1, (Width() + FColumns - 3) / FColumns), 0);
}

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
    const int old = ItemIndex();
    if (old != Value) SendMessageA(FHandle, FMultiSelect ? LB_SETCARETINDEX : LB_SETCURSEL, Value, 0);
    // The unfocused list highlights its current item: the one it was and the
    // one it is (a multi-select caret moves without a redraw) change their look.
    if (old >= 0) RedrawItem(old);
    if (Value >= 0 && Value != old) RedrawItem(Value);
    if (ScrollAdapter()) RefreshScrollBars(static_cast<TacScrollWnd*>(ScrollAdapter()), true);
}

void TsAlphaListBox::RedrawItem(int Index) {
    RECT r{};
    if (SendMessageA(FHandle, LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(FHandle, &r, FALSE);
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

void TsAlphaListBox::SetSelected(int Index, bool Value) {
    if (FMultiSelect) {
        if (FHandle && SendMessageA(FHandle, LB_SETSEL, Value ? TRUE : FALSE, Index) == LB_ERR) throw IndexError(Index);
        return;
    }
    // One item at most is chosen: deselecting the current one leaves none.
    if (Value) SetItemIndex(Index);
    else if (ItemIndex() == Index) SetItemIndex(-1);
}

void TsAlphaListBox::ClearSelection() {
    if (FMultiSelect) {
        if (FHandle) SendMessageA(FHandle, LB_SETSEL, FALSE, -1);
    } else {
        SetItemIndex(-1);
    }
}

TRect TsAlphaListBox::ItemRect(int Index) const {
    RECT r{};
    if (!FHandle) return TRect{};
    const int count = Count();
    if (Index >= 0 && Index < count) {
        SendMessageA(FHandle, LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r));
    } else if (Index == count && Index > 0) {
        // Where an item added at the end would go: under the last one.
        SendMessageA(FHandle, LB_GETITEMRECT, Index - 1, reinterpret_cast<LPARAM>(&r));
        OffsetRect(&r, 0, r.bottom - r.top);
    }
    return TRect{r.left, r.top, r.right, r.bottom};
}

int TsAlphaListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
    if (!FHandle) return -1;
    RECT client{};
    GetClientRect(FHandle, &client);
    const POINT p{Pos.x, Pos.y};
    if (!PtInRect(&client, p)) return -1;
    const int count = Count();
    for (int i = std::max(0, TopIndex()); i < count; ++i) {
        RECT r{};
        if (SendMessageA(FHandle, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
        if (PtInRect(&r, p)) return i;
        if (r.top > client.bottom) break;
    }
    return Existing ? -1 : count;
}

int TsAlphaListBox::FindPrefix(const String& Prefix) const {
    if (Virtual()) return OnDataFind ? OnDataFind(const_cast<TsAlphaListBox*>(this), Prefix) : -1;
    return static_cast<int>(
        SendMessageA(FHandle, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Prefix.c_str())));
}

void TsAlphaListBox::KeyPress(char& Key) {
    const std::shared_ptr<const bool> alive = Alive();
    TsSystemPainted::KeyPress(Key);
    if (!*alive || !FAutoComplete || Key == 0 || !FHandle) return;
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

void TsAlphaListBox::SelectionChanged() {
    Changed();
    if (!OnChange) return Click();
    // The handler may free the list: then there is no click to fire.
    const std::shared_ptr<const bool> alive = Alive();
    const TNotifyEvent event = OnChange;
    event(this);
    if (*alive) Click();
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
            FCanvas->Font()->SetColor(MixColorsHalf(ColorToRGB(Font()->Color()), ColorToRGB(Color())));
        }
        const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
        DrawItem(static_cast<int>(dis->itemID), r, state);
    });
}

void TsAlphaListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            switch (Message.WParamHi()) {
                case LBN_SELCHANGE: return SelectionChanged();
                case LBN_DBLCLK: DblClick(); break;
                default: break;
            }
            return;
        case CN_DRAWITEM: CNDrawItem(Message); return;
        case CN_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            int h = FItemHeight;
            if (FStyle == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, static_cast<int>(mis->itemID), h);
            mis->itemHeight = static_cast<UINT>(h);
            Message.Result = 1;
            return;
        }
        case LB_GETTEXT:
        case LB_GETTEXTLEN:
            if (!Virtual()) break;
            VirtualText(Message);
            return;
        case LB_SETCURSEL:
            TsSystemPainted::Dispatch(Message);
            if (ScrollAdapter()) RefreshScrollBars(static_cast<TacScrollWnd*>(ScrollAdapter()), true);
            return;
        default: break;
    }
    TsSystemPainted::Dispatch(Message);
}

void TsAlphaListBox::VirtualText(TMessage& M) {
    const int i = static_cast<int>(M.WParam);
    if (!OnData || i < 0 || i >= FCount) {
        M.Result = LB_ERR;
        return;
    }
    String s;
    OnData(this, i, s);
    if (M.Msg == LB_GETTEXT && M.LParam) std::memcpy(reinterpret_cast<char*>(M.LParam), s.c_str(), s.size() + 1);
    M.Result = static_cast<LRESULT>(s.size());
}
