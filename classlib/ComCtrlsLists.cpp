#include "ComCtrlsLists.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

int ColumnFormat(TAlignment A) {
    switch (A) {
        case taRightJustify: return LVCFMT_RIGHT;
        case taCenter: return LVCFMT_CENTER;
        default: return LVCFMT_LEFT;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Columns

void TListColumn::Apply(bool Insert) const {
    if (!FOwner->HandleAllocated()) return;
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_IMAGE;
    c.fmt = ColumnFormat(FAlignment) | (FImageIndex >= 0 ? LVCFMT_IMAGE : 0);
    c.cx = FWidth;
    c.pszText = const_cast<char*>(FCaption.c_str());
    c.iImage = FImageIndex;
    // Sent to our own window, so that a descendant sees every column change.
    FOwner->Send(Insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA, FIndex, reinterpret_cast<LPARAM>(&c));
    if (HWND header = FOwner->HeaderHandle()) {
        HDITEMA h{};
        h.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, FIndex, reinterpret_cast<LPARAM>(&h));
        h.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (FSortArrow == saUp) h.fmt |= HDF_SORTUP;
        else if (FSortArrow == saDown) h.fmt |= HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, FIndex, reinterpret_cast<LPARAM>(&h));
    }
}

void TListColumn::SetCaption(const String& Value) {
    FCaption = Value;
    Apply(false);
}

int TListColumn::Width() const {
    if (FOwner->HandleAllocated()) return static_cast<int>(FOwner->Send(LVM_GETCOLUMNWIDTH, FIndex, 0));
    return FWidth;
}

void TListColumn::SetWidth(int Value) {
    FWidth = Value;
    Apply(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Apply(false);
}

void TListColumn::SetImageIndex(int Value) {
    FImageIndex = Value;
    Apply(false);
}

void TListColumn::SetSortArrow(TSortArrow Value) {
    FSortArrow = Value;
    Apply(false);
}

TListColumn* TListColumns::Add() {
    FItems.push_back(std::make_unique<TListColumn>(FOwner, Count()));
    FItems.back()->Apply(true);
    return FItems.back().get();
}

void TListColumns::Clear() {
    for (int i = Count() - 1; i >= 0; --i) FOwner->Send(LVM_DELETECOLUMN, i, 0);
    FItems.clear();
}

// ---------------------------------------------------------------------------
// Items

TListItem::TListItem(TCustomListView* Owner) : FOwner(Owner), FSubItems(std::make_unique<TStringList>()) {
    FSubItems->OnChange = [this](TObject*) {
        const int i = Index();
        if (i >= 0) Apply(i, false);
    };
}

int TListItem::Index() const { return FOwner->Items()->IndexOf(this); }

void TListItem::Apply(int Index, bool Insert) const {
    if (!FOwner->HandleAllocated()) return;
    LVITEMA it{};
    it.mask = LVIF_TEXT | (FImageIndex >= 0 ? LVIF_IMAGE : 0);
    it.iItem = Index;
    it.pszText = const_cast<char*>(FCaption.c_str());
    it.iImage = FImageIndex;
    FOwner->Send(Insert ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    for (int s = 0; s < FSubItems->Count(); ++s) {
        const String text = FSubItems->Get(s);
        LVITEMA sub{};
        sub.iSubItem = s + 1;
        sub.pszText = const_cast<char*>(text.c_str());
        FOwner->Send(LVM_SETITEMTEXTA, Index, reinterpret_cast<LPARAM>(&sub));
    }
}

void TListItem::SetCaption(const String& Value) {
    FCaption = Value;
    const int i = Index();
    if (i >= 0) Apply(i, false);
}

bool TListItem::Selected() const {
    const int i = Index();
    return i >= 0 && (FOwner->Send(LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool Value) {
    LVITEMA st{};
    st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    st.state = Value ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    FOwner->Send(LVM_SETITEMSTATE, Index(), reinterpret_cast<LPARAM>(&st));
}

TListItem* TListItems::Add() {
    FItems.push_back(std::make_unique<TListItem>(FOwner));
    FItems.back()->Apply(Count() - 1, true);
    return FItems.back().get();
}

int TListItems::IndexOf(const TListItem* Item) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].get() == Item) return i;
    return -1;
}

void TListItems::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")");
    FOwner->Send(LVM_DELETEITEM, Index, 0);
    FItems.erase(FItems.begin() + Index);
}

void TListItems::Clear() {
    FOwner->Send(LVM_DELETEALLITEMS, 0, 0);
    FItems.clear();
}

void TListItems::BeginUpdate() {
    if (FUpdateCount++ == 0) FOwner->Send(WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0) return;
    FOwner->Send(WM_SETREDRAW, TRUE, 0);
    if (FOwner->HandleAllocated()) InvalidateRect(FOwner->Handle(), nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// TCustomListView

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomListView, TListControlBase,
    OrdProp<TCustomListView>("ViewStyle", TTypeKind::tkEnumeration, &TCustomListView::ViewStyle,
                             &TCustomListView::SetViewStyle, vsIcon),
    OrdProp<TCustomListView>("ColumnClick", TTypeKind::tkBool, &TCustomListView::ColumnClick,
                             &TCustomListView::SetColumnClick, 1),
    OrdProp<TCustomListView>("RowSelect", TTypeKind::tkBool, &TCustomListView::RowSelect,
                             &TCustomListView::SetRowSelect, 0),
    OrdProp<TCustomListView>("ReadOnly", TTypeKind::tkBool, &TCustomListView::ReadOnly,
                             &TCustomListView::SetReadOnly, 0),
    OrdProp<TCustomListView>("GridLines", TTypeKind::tkBool, &TCustomListView::GridLines,
                             &TCustomListView::SetGridLines, 0),
    OrdProp<TCustomListView>("HideSelection", TTypeKind::tkBool, &TCustomListView::HideSelection,
                             &TCustomListView::SetHideSelection, 1),
    OrdProp<TCustomListView>("MultiSelect", TTypeKind::tkBool, &TCustomListView::MultiSelect,
                             &TCustomListView::SetMultiSelect, 0),
    OrdProp<TCustomListView>("FullDrag", TTypeKind::tkBool, &TCustomListView::FullDrag,
                             &TCustomListView::SetFullDrag, 0),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TListView, TCustomListView)

TCustomListView::TCustomListView(TComponent* AOwner)
    : TListControlBase(AOwner, 250, 150),
      FColumns(std::make_unique<TListColumns>(this)),
      FItems(std::make_unique<TListItems>(this)) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
}

TCustomListView::~TCustomListView() {
    if (FSmallImages) FSmallImages->UnRegisterChanges(&FSmallImages);
    if (FLargeImages) FLargeImages->UnRegisterChanges(&FLargeImages);
}

void TCustomListView::SetImages(TCustomImageList*& Field, TCustomImageList* Value, int Which) {
    if (Field == Value) return;
    if (Field) {
        // The same list may serve both sizes: its free notice stays for the other.
        if (FSmallImages != FLargeImages) Field->RemoveFreeNotification(this);
        Field->UnRegisterChanges(&Field);
    }
    Field = Value;
    if (Field) {
        Field->FreeNotification(this);
        // A change of size gives the list a new handle: the window gets it.
        Field->RegisterChanges(&Field, [this, &Field, Which](TObject*) {
            Send(LVM_SETIMAGELIST, Which, reinterpret_cast<LPARAM>(Field->Handle()));
            if (HandleAllocated()) {
                InvalidateRect(FHandle, nullptr, TRUE);
                if (HWND header = HeaderHandle()) InvalidateRect(header, nullptr, TRUE);
            }
        });
    }
    Send(LVM_SETIMAGELIST, Which, reinterpret_cast<LPARAM>(Field ? Field->Handle() : nullptr));
    if (HWND header = HandleAllocated() ? HeaderHandle() : nullptr) InvalidateRect(header, nullptr, TRUE);
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
    TListControlBase::Notification(AComponent, Operation);
    // The window must not keep drawing from a list that is gone.
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FSmallImages) SetSmallImages(nullptr);
    if (AComponent == FLargeImages) SetLargeImages(nullptr);
}

HWND TCustomListView::HeaderHandle() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER, 0, 0)); }

void TCustomListView::CreateParams(TCreateParams& Params) {
    TListControlBase::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWA);
    static const DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    Params.Style |= kViews[FViewStyle] | WS_TABSTOP;
    if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
    if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
    if (!FMultiSelect) Params.Style |= LVS_SINGLESEL;
    if (!FColumnClick) Params.Style |= LVS_NOSORTHEADER;
    // The image lists belong to their components, not to the window.
    Params.Style |= LVS_SHAREIMAGELISTS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

DWORD TCustomListView::ExtendedStyle() const {
    return (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FGridLines ? LVS_EX_GRIDLINES : 0) |
           (FFullDrag ? LVS_EX_HEADERDRAGDROP : 0);
}

void TCustomListView::CreateWnd() {
    TListControlBase::CreateWnd();
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStyle()));
    ApplyColors();
    if (FSmallImages) Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages->Handle()));
    if (FLargeImages) Send(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeImages->Handle()));
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->Apply(true);
    for (int i = 0; i < FItems->Count(); ++i) FItems->Item(i)->Apply(i, true);
}

void TCustomListView::HookInnerWindows(HWND NewChild) {
    if (HWND header = HeaderHandle()) HookInnerWindow(header);
    if (NewChild) HookInnerWindow(NewChild);
}

void TCustomListView::ApplyColors() {
    if (!FHandle) return;
    Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListView::StyleChanged() {
    if (!FHandle) return;
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP,
         static_cast<LPARAM>(ExtendedStyle()));
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (FViewStyle == Value) return;
    FViewStyle = Value;
    if (!FHandle) return;
    static const DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    const LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
    SetWindowLongPtrA(FHandle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | kViews[Value]);
}

void TCustomListView::SetColumnClick(bool Value) { SetWindowSetting(FColumnClick, Value); }

void TCustomListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    StyleChanged();
}

void TCustomListView::SetGridLines(bool Value) {
    FGridLines = Value;
    StyleChanged();
}

void TCustomListView::SetFullDrag(bool Value) {
    FFullDrag = Value;
    StyleChanged();
}

void TCustomListView::SetReadOnly(bool Value) { SetWindowSetting(FReadOnly, Value); }

void TCustomListView::SetHideSelection(bool Value) { SetWindowSetting(FHideSelection, Value); }

void TCustomListView::SetMultiSelect(bool Value) { SetWindowSetting(FMultiSelect, Value); }

int TCustomListView::ItemIndex() const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TCustomListView::SetItemIndex(int Value) {
    if (Value >= 0 && Value < FItems->Count()) FItems->Item(Value)->SetSelected(true);
}

TListItem* TCustomListView::Selected() const {
    const int i = ItemIndex();
    return i >= 0 && i < FItems->Count() ? FItems->Item(i) : nullptr;
}

void TCustomListView::CustomDraw(TMessage& Message) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam);
    Message.Result = CDRF_DODEFAULT;
    TCustomDrawStage stage;
    switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: stage = cdPrePaint; break;
        case CDDS_POSTPAINT: stage = cdPostPaint; break;
        case CDDS_PREERASE: stage = cdPreErase; break;
        case CDDS_POSTERASE: stage = cdPostErase; break;
        default: return;
    }
    bool defaultDraw = true;
    const TRect r{cd->nmcd.rc.left, cd->nmcd.rc.top, cd->nmcd.rc.right, cd->nmcd.rc.bottom};
    AdvancedCustomDraw(r, stage, defaultDraw);
    if (!defaultDraw) Message.Result = CDRF_SKIPDEFAULT;
    else if (stage == cdPrePaint) Message.Result = CDRF_NOTIFYPOSTPAINT | CDRF_NOTIFYPOSTERASE;
}

void TCustomListView::AdvancedCustomDraw(const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw) {
    if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, ARect, Stage, DefaultDraw);
}

void TCustomListView::NotifyReflected(TMessage& Message) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (hdr->code) {
        case NM_CUSTOMDRAW: CustomDraw(Message); return;
        case LVN_COLUMNCLICK: {
            const int col = reinterpret_cast<NMLISTVIEW*>(Message.LParam)->iSubItem;
            if (OnColumnClick && col >= 0 && col < FColumns->Count()) OnColumnClick(this, FColumns->Items(col));
            return;
        }
        case LVN_ITEMCHANGED: {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(Message.LParam);
            if (!(nm->uChanged & LVIF_STATE) || nm->iItem < 0 || nm->iItem >= FItems->Count()) return;
            const bool was = (nm->uOldState & LVIS_SELECTED) != 0, now = (nm->uNewState & LVIS_SELECTED) != 0;
            if (was != now && OnSelectItem) OnSelectItem(this, FItems->Item(nm->iItem), now);
            FireEvent(OnChange, this);
            return;
        }
        default: DefaultHandler(Message); return;
    }
}

void TCustomListView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY: NotifyReflected(Message); return;
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
            TListControlBase::Dispatch(Message);
            ApplyColors();
            return;
        default: break;
    }
    TListControlBase::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Tree nodes

void TTreeNode::Insert() {
    if (!FOwner->HandleAllocated()) return;
    TVINSERTSTRUCTA ins{};
    ins.hParent = FParent ? FParent->FItemId : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(FText.c_str());
    ins.item.lParam = reinterpret_cast<LPARAM>(this);
    FItemId = reinterpret_cast<HTREEITEM>(FOwner->Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    for (auto& child : FChildren) child->Insert();
    if (FExpanded) FOwner->Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
}

void TTreeNode::SetText(const String& Value) {
    FText = Value;
    if (!FItemId) return;
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = FItemId;
    it.pszText = const_cast<char*>(FText.c_str());
    FOwner->Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

bool TTreeNode::Expanded() const {
    if (!FItemId) return FExpanded;
    return (FOwner->Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool Value) {
    FExpanded = Value;
    if (FItemId) FOwner->Send(TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
}

bool TTreeNode::Selected() const {
    return FItemId && reinterpret_cast<HTREEITEM>(FOwner->Send(TVM_GETNEXTITEM, TVGN_CARET, 0)) == FItemId;
}

void TTreeNode::SetSelected(bool Value) {
    if (FItemId) FOwner->Send(TVM_SELECTITEM, TVGN_CARET, Value ? reinterpret_cast<LPARAM>(FItemId) : 0);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    RECT r{};
    if (!FItemId) return TRect{0, 0, 0, 0};
    // The message takes the item in the rectangle's place.
    static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
    std::memcpy(&r, &FItemId, sizeof(FItemId));
    if (!FOwner->Send(TVM_GETITEMRECT, TextOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r))) return TRect{0, 0, 0, 0};
    return TRect{r.left, r.top, r.right, r.bottom};
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const String& Text) {
    auto& list = Parent ? Parent->FChildren : FRoots;
    list.push_back(std::make_unique<TTreeNode>(FOwner, Parent, Text));
    TTreeNode* node = list.back().get();
    // A node whose parent is not in the window yet goes in with its parent.
    if (!Parent || Parent->FItemId) node->Insert();
    return node;
}

int TTreeNodes::Count() const {
    int n = 0;
    std::function<void(const std::vector<std::unique_ptr<TTreeNode>>&)> count = [&](const auto& list) {
        for (const auto& node : list) {
            ++n;
            count(node->FChildren);
        }
    };
    count(FRoots);
    return n;
}

TTreeNode* TTreeNodes::FindNode(HTREEITEM Id) const {
    if (!Id || !FOwner->HandleAllocated()) return nullptr;
    TVITEMA it{};
    it.mask = TVIF_PARAM;
    it.hItem = Id;
    if (!FOwner->Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
    return reinterpret_cast<TTreeNode*>(it.lParam);
}

void TTreeNodes::Clear() {
    FOwner->Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FRoots.clear();
}

// ---------------------------------------------------------------------------
// TCustomTreeView

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomTreeView, TListControlBase,
    OrdProp<TCustomTreeView>("ReadOnly", TTypeKind::tkBool, &TCustomTreeView::ReadOnly,
                             &TCustomTreeView::SetReadOnly, 0),
    OrdProp<TCustomTreeView>("ShowLines", TTypeKind::tkBool, &TCustomTreeView::ShowLines,
                             &TCustomTreeView::SetShowLines, 1),
    OrdProp<TCustomTreeView>("ShowRoot", TTypeKind::tkBool, &TCustomTreeView::ShowRoot,
                             &TCustomTreeView::SetShowRoot, 1),
    OrdProp<TCustomTreeView>("ShowButtons", TTypeKind::tkBool, &TCustomTreeView::ShowButtons,
                             &TCustomTreeView::SetShowButtons, 1),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TTreeView, TCustomTreeView)

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TListControlBase(AOwner, 121, 97), FItems(std::make_unique<TTreeNodes>(this)) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TListControlBase::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWA);
    Params.Style |= TVS_SHOWSELALWAYS | WS_TABSTOP;
    if (FShowLines) Params.Style |= TVS_HASLINES;
    if (FShowRoot) Params.Style |= TVS_LINESATROOT;
    if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
    if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
    TListControlBase::CreateWnd();
    ApplyColors();
    for (auto& root : FItems->FRoots) root->Insert();
}

void TCustomTreeView::DestroyWnd() {
    // The nodes outlive the window, folded or unfolded as they are now.
    std::function<void(std::vector<std::unique_ptr<TTreeNode>>&)> keep = [&](auto& list) {
        for (auto& node : list) {
            node->FExpanded = node->Expanded();
            node->FItemId = nullptr;
            keep(node->FChildren);
        }
    };
    keep(FItems->FRoots);
    TListControlBase::DestroyWnd();
}

void TCustomTreeView::ApplyColors() {
    if (!FHandle) return;
    Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    Send(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
}

void TCustomTreeView::SetReadOnly(bool Value) { SetWindowSetting(FReadOnly, Value); }

void TCustomTreeView::SetShowLines(bool Value) { SetWindowSetting(FShowLines, Value); }

void TCustomTreeView::SetShowRoot(bool Value) { SetWindowSetting(FShowRoot, Value); }

void TCustomTreeView::SetShowButtons(bool Value) { SetWindowSetting(FShowButtons, Value); }

TTreeNode* TCustomTreeView::Selected() const {
    return FItems->FindNode(reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY: {
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(Message.LParam);
            switch (nm->hdr.code) {
                case TVN_ITEMEXPANDEDA:
                case TVN_ITEMEXPANDEDW: {
                    TTreeNode* node = FItems->FindNode(nm->itemNew.hItem);
                    if (!node) break;
                    const bool open = (nm->itemNew.state & TVIS_EXPANDED) != 0;
                    node->FExpanded = open;
                    if (open && OnExpanded) OnExpanded(this, node);
                    if (!open && OnCollapsed) OnCollapsed(this, node);
                    break;
                }
                case TVN_SELCHANGEDA:
                case TVN_SELCHANGEDW: FireEvent(OnChange, this, FItems->FindNode(nm->itemNew.hItem)); break;
                default: DefaultHandler(Message); break;
            }
            return;
        }
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
            TListControlBase::Dispatch(Message);
            ApplyColors();
            return;
        default: break;
    }
    TListControlBase::Dispatch(Message);
}
