#include "StdCtrlsCombo.h"

#include "Scopes.h"
#include "Forms.h"

#include <vector>

// ---------------------------------------------------------------------------
// TListControlBase

CLASSLIB_DEFINE_CLASS(TListControlBase, TWinControl)

TListControlBase::TListControlBase(TComponent* AOwner, int AWidth, int AHeight) : TWinControl(AOwner) {
    FWidth = AWidth;
    FHeight = AHeight;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(clWindow);
}

TListControlBase::~TListControlBase() {
    if (HandleAllocated()) DestroyHandle();
}

LRESULT TListControlBase::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return FHandle ? SendMessageA(FHandle, Msg, WParam, LParam) : 0;
}

// ---------------------------------------------------------------------------
// Items in a window

const TItemMessages acListBoxMessages{LB_ADDSTRING,   LB_INSERTSTRING,    LB_DELETESTRING, LB_RESETCONTENT,
                                      LB_GETTEXT,     LB_GETTEXTLEN,      LB_GETCOUNT,     LB_GETITEMDATA,
                                      LB_SETITEMDATA, LB_FINDSTRINGEXACT, LB_ERR};
const TItemMessages acComboBoxMessages{CB_ADDSTRING,   CB_INSERTSTRING,    CB_DELETESTRING, CB_RESETCONTENT,
                                       CB_GETLBTEXT,   CB_GETLBTEXTLEN,    CB_GETCOUNT,     CB_GETITEMDATA,
                                       CB_SETITEMDATA, CB_FINDSTRINGEXACT, CB_ERR};

CLASSLIB_DEFINE_CLASS(TItemWindowStrings, TStrings)

namespace {
EClassLibError IndexError(int Index) {
    return EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
}
const char* const kInsertFailed = "Out of system resources: unable to insert a line";
}  // namespace

const std::pair<String, TObject*>& TItemWindowStrings::KeptAt(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FKept.size())) throw IndexError(Index);
    return FKept[static_cast<size_t>(Index)];
}

HWND TItemWindowStrings::Wnd() const { return FControl->HandleAllocated() ? FControl->Handle() : nullptr; }

String TItemWindowStrings::Get(int Index) const {
    HWND w = Wnd();
    if (!w) return KeptAt(Index).first;
    const LRESULT len = SendMessageA(w, FMsg.GetTextLen, Index, 0);
    if (len == FMsg.Error) throw IndexError(Index);
    std::vector<char> text(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got = SendMessageA(w, FMsg.GetText, Index, reinterpret_cast<LPARAM>(text.data()));
    return String(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

int TItemWindowStrings::GetCount() const {
    HWND w = Wnd();
    return w ? static_cast<int>(SendMessageA(w, FMsg.GetCount, 0, 0)) : static_cast<int>(FKept.size());
}

TObject* TItemWindowStrings::GetObject(int Index) const {
    HWND w = Wnd();
    if (!w) return KeptAt(Index).second;
    const LRESULT data = SendMessageA(w, FMsg.GetItemData, Index, 0);
    if (data == FMsg.Error) throw IndexError(Index);
    return reinterpret_cast<TObject*>(data);
}

void TItemWindowStrings::PutObject(int Index, TObject* AObject) {
    if (HWND w = Wnd()) SendMessageA(w, FMsg.SetItemData, Index, reinterpret_cast<LPARAM>(AObject));
    else FKept.at(static_cast<size_t>(Index)).second = AObject;
}

void TItemWindowStrings::Clear() {
    if (HWND w = Wnd()) SendMessageA(w, FMsg.ResetContent, 0, 0);
    else FKept.clear();
}

void TItemWindowStrings::Delete(int Index) {
    if (HWND w = Wnd()) SendMessageA(w, FMsg.DeleteString, Index, 0);
    else if (Index >= 0 && Index < static_cast<int>(FKept.size())) FKept.erase(FKept.begin() + Index);
    else throw IndexError(Index);
}

void TItemWindowStrings::Insert(int Index, const String& S) {
    HWND w = Wnd();
    if (!w) {
        if (Index < 0 || Index > static_cast<int>(FKept.size())) throw IndexError(Index);
        FKept.insert(FKept.begin() + Index, {S, nullptr});
        return;
    }
    if (SendMessageA(w, FMsg.InsertString, Index, reinterpret_cast<LPARAM>(S.c_str())) < 0)
        throw EClassLibError(kInsertFailed);
}

int TItemWindowStrings::Add(const String& S) {
    HWND w = Wnd();
    if (!w) {
        FKept.emplace_back(S, nullptr);
        return static_cast<int>(FKept.size()) - 1;
    }
    const LRESULT i = SendMessageA(w, FMsg.AddString, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (i < 0) throw EClassLibError(kInsertFailed);
    return static_cast<int>(i);
}

int TItemWindowStrings::IndexOf(const String& S) const {
    HWND w = Wnd();
    if (!w) {
        for (size_t i = 0; i < FKept.size(); ++i)
            if (CompareStrings(FKept[i].first, S) == 0) return static_cast<int>(i);
        return -1;
    }
    return static_cast<int>(
        SendMessageA(w, FMsg.FindStringExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

void TItemWindowStrings::MoveKeptToWindow() {
    HWND w = Wnd();
    if (!w) return;
    SendMessageA(w, WM_SETREDRAW, FALSE, 0);
    for (const auto& [text, object] : FKept) {
        const LRESULT at = SendMessageA(w, FMsg.AddString, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (object) SendMessageA(w, FMsg.SetItemData, at, reinterpret_cast<LPARAM>(object));
    }
    SendMessageA(w, WM_SETREDRAW, TRUE, 0);
    FKept.clear();
}

void TItemWindowStrings::KeepWindowItems() {
    HWND w = Wnd();
    if (!w) return;
    FKept.clear();
    const int n = static_cast<int>(SendMessageA(w, FMsg.GetCount, 0, 0));
    for (int i = 0; i < n; ++i) FKept.emplace_back(TItemWindowStrings::Get(i), TItemWindowStrings::GetObject(i));
}

CLASSLIB_DEFINE_CLASS(TComboBoxStrings, TItemWindowStrings)

TComboBoxStrings::TComboBoxStrings(TCustomComboBox* Combo) : TItemWindowStrings(Combo, acComboBoxMessages) {}

void TComboBoxStrings::Clear() {
    TItemWindowStrings::Clear();
    // The selection field forgets the text of the item it showed.
    if (HWND w = Wnd()) {
        SetWindowTextA(w, "");
        FControl->Invalidate();
    }
}

// ---------------------------------------------------------------------------
// TCustomComboBox

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomComboBox, TListControlBase,
    OrdProp<TCustomComboBox>("Style", TTypeKind::tkEnumeration, &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
                             csDropDown),
    OrdProp<TCustomComboBox>("DropDownCount", TTypeKind::tkInteger, &TCustomComboBox::DropDownCount,
                             &TCustomComboBox::SetDropDownCount, 8),
    OrdProp<TCustomComboBox>("ItemIndex", TTypeKind::tkInteger, &TCustomComboBox::ItemIndex,
                             &TCustomComboBox::SetItemIndex, -1),
    OrdProp<TCustomComboBox>("Sorted", TTypeKind::tkBool, &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted, 0),
    OrdProp<TCustomComboBox>("MaxLength", TTypeKind::tkInteger, &TCustomComboBox::MaxLength,
                             &TCustomComboBox::SetMaxLength, 0),
    ObjProp<TCustomComboBox, TStrings>("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TComboBox, TCustomComboBox)

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TListControlBase(AOwner, 145, 24), FItems(std::make_unique<TComboBoxStrings>(this)) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

TCustomComboBox::~TCustomComboBox() {
    // The window goes first: its last messages still find the items and canvas.
    if (HandleAllocated()) DestroyHandle();
    delete FCanvas;
}

TCanvas* TCustomComboBox::Canvas() const {
    if (!FCanvas) {
        auto* self = const_cast<TCustomComboBox*>(this);
        self->FCanvas = new TControlCanvas();
        self->FCanvas->SetControl(self);
    }
    return FCanvas;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TListControlBase::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    static const DWORD kStyles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                    CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | kStyles[FStyle];
    if (OwnerDrawn()) Params.Style |= CBS_HASSTRINGS;
    if (FSorted) Params.Style |= CBS_SORT;
    // The class's redraw-on-size flags make the whole combo flicker on each move.
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
    const TBoolScope creating(FCreating, true);
    TListControlBase::CreateWnd();
    SendMessageA(FHandle, CB_SETMINVISIBLE, FDropDownCount, 0);
    AdjustDropDown();
    if (FMaxLength > 0) SendMessageA(FHandle, CB_LIMITTEXT, FMaxLength, 0);
    FItems->MoveKeptToWindow();
    if (FSavedIndex >= 0) SendMessageA(FHandle, CB_SETCURSEL, FSavedIndex, 0);
}

void TCustomComboBox::DestroyWnd() {
    // The items and the choice outlive the window (RecreateWnd).
    FItems->KeepWindowItems();
    FSavedIndex = ItemIndex();
    FEditHandle = FListHandle = nullptr;
    TListControlBase::DestroyWnd();
}

void TCustomComboBox::HookInnerWindows(HWND NewChild) {
    if (!FHandle) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(FHandle, &info)) {
        FEditHandle = info.hwndItem != FHandle ? info.hwndItem : nullptr;
        FListHandle = info.hwndList;
    }
    if (FEditHandle) HookInnerWindow(FEditHandle);
    if (FListHandle) HookInnerWindow(FListHandle);
    if (NewChild && NewChild != FEditHandle && NewChild != FListHandle) HookInnerWindow(NewChild);
}

void TCustomComboBox::InnerWndProc(HWND Inner, TMessage& Message) { ComboWndProc(Message, Inner); }

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd) {
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (ComboWnd == FEditHandle && DoKeyDown(Message)) return;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (ComboWnd == FEditHandle && DoKeyUp(Message)) return;
            break;
        case WM_CHAR:
            if (ComboWnd == FEditHandle && DoKeyPress(Message)) return;
            break;
        default: break;
    }
    InnerDefaultHandler(ComboWnd, Message);
}

bool TCustomComboBox::Focused() const {
    if (!FHandle) return false;
    HWND f = GetFocus();
    return f && (f == FHandle || f == FEditHandle || f == FListHandle);
}

int TCustomComboBox::ItemIndex() const {
    if (!FHandle) return FSavedIndex;
    return static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (!FHandle) {
        FSavedIndex = Value;
        return;
    }
    // Through the window procedure, so that a descendant sees the change.
    if (ItemIndex() != Value) SendMessageA(FHandle, CB_SETCURSEL, Value, 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) { SetWindowSetting(FStyle, Value); }

void TCustomComboBox::SetDropDownCount(int Value) {
    FDropDownCount = Value < 1 ? 1 : Value;
    if (FHandle) SendMessageA(FHandle, CB_SETMINVISIBLE, FDropDownCount, 0);
    AdjustDropDown();
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TListControlBase::SetBounds(ALeft, ATop, AWidth, AHeight);
    AdjustDropDown();
}

void TCustomComboBox::AdjustDropDown() {
    if (!FHandle || FStyle == csSimple) return;
    // The system takes a height beyond its own as the height of the open list,
    // then keeps its own (which the control's Height follows).
    const int line = static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
    const int list = FDropDownCount * (line > 0 ? line : FItemHeight) + 2;
    RECT r{};
    GetWindowRect(FHandle, &r);
    SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + list,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TCustomComboBox::DroppedDown() const { return FHandle && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (FHandle) SendMessageA(FHandle, CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

int TCustomComboBox::ItemHeight() const {
    if (FHandle && !OwnerDrawn()) return static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value <= 0 || Value == FItemHeight) return;
    FItemHeight = Value;
    if (FHandle && OwnerDrawn()) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value) { SetWindowSetting(FSorted, Value); }

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = Value < 0 ? 0 : Value;
    if (FHandle) SendMessageA(FHandle, CB_LIMITTEXT, FMaxLength, 0);
}

void TCustomComboBox::Change() { FireEvent(OnChange, this); }

void TCustomComboBox::DropDown() { FireEvent(OnDropDown, this); }

void TCustomComboBox::CloseUp() { FireEvent(OnCloseUp, this); }

void TCustomComboBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
    } else if (Index >= 0 && Index < FItems->GetCount()) {
        c->TextOut(Rect.left + 2, Rect.top, FItems->Get(Index));
    }
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TOwnerDrawState state = TOwnerDrawState::FromBits(dis->itemState);
    TControlCanvas* canvas = static_cast<TControlCanvas*>(Canvas());
    canvas->WithHandle(dis->hDC, [&] {
        canvas->Font()->Assign(FFont);
        if (state.Contains(odSelected)) {
            canvas->Brush()->SetColor(clHighlight);
            canvas->Font()->SetColor(clHighlightText);
        } else {
            canvas->Brush()->Assign(FBrush);
        }
        const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
        DrawItem(static_cast<int>(dis->itemID), r, state);
        if (state.Contains(odFocused)) DrawFocusRect(dis->hDC, &dis->rcItem);
    });
    Message.Result = 1;
}

void TCustomComboBox::AnswerChildColor(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(dc, ColorToRGB(FFont->Color()));
    SetBkColor(dc, ColorToRGB(FBrush->Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            // The edit and the list ask their combo; it answers with its own colours.
            if (FHandle) {
                AnswerChildColor(Message);
                return;
            }
            break;
        case CN_COMMAND:
            switch (HIWORD(Message.WParam)) {
                case CBN_SELCHANGE:
                    if (!FCreating) {
                        const std::shared_ptr<const bool> live = Alive();
                        Change();
                        if (*live) Click();
                    }
                    return;
                case CBN_EDITCHANGE:
                    if (!FCreating) Change();
                    return;
                case CBN_DROPDOWN: DropDown(); return;
                case CBN_CLOSEUP: CloseUp(); return;
                default: return;
            }
        case CN_DRAWITEM: CNDrawItem(Message); return;
        case CN_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            int h = FItemHeight;
            if (FStyle == csOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0)
                MeasureItem(static_cast<int>(mis->itemID), h);
            mis->itemHeight = static_cast<UINT>(h);
            Message.Result = 1;
            return;
        }
        case CM_COLORCHANGED:
            TListControlBase::Dispatch(Message);
            if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
            if (FEditHandle) InvalidateRect(FEditHandle, nullptr, TRUE);
            return;
        default: break;
    }
    TListControlBase::Dispatch(Message);
}
