#include "sListView.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sPartPainters.h"
#include "sSkinManager.h"
#include "sSkinText.h"
#include "sSkinnedProps.h"

#include <vector>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsCustomListView, TCustomListView, acSkinDataProp<TsCustomListView>(),
    ObjProp<TsCustomListView, TsBoundLabel>("BoundLabel", &TsCustomListView::BoundLabel),
    OrdProp<TsCustomListView>("HighlightHeaders", TTypeKind::tkBool, &TsCustomListView::HighlightHeaders,
                              &TsCustomListView::SetHighlightHeaders, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsListView, TsCustomListView)

TsCustomListView::TsCustomListView(TComponent* AOwner) : TsWithBoundLabel(AOwner, acCtListView, "EDIT") {}

TsCustomListView::~TsCustomListView() {
    acFreeScrollAdapter(FScrollAdapter, OwnWnd());
    // The window (and its header) goes while the frame still exists.
    if (HandleAllocated()) DestroyHandle();
}

void TsCustomListView::AfterConstruction() {
    FLoading = true;
    TsSystemPainted::AfterConstruction();
    FLoading = false;
}

void TsCustomListView::Loaded() {
    FLoading = true;
    TsSystemPainted::Loaded();
    FLoading = false;
}

TRect TsCustomListView::HeaderSectionRect(int Index) const {
    HWND header = HeaderHandle();
    const int count = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    if (Index < 0 || Index >= count) return TRect{0, 0, 0, 0};
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
}

int TsCustomListView::HeaderSectionAt(TPoint P) const {
    HWND header = HeaderHandle();
    const int count = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        const TRect r = HeaderSectionRect(i);
        if (PtInRect(&r, P)) return i;
    }
    return -2;
}

void TsCustomListView::RepaintHeader(bool Now) {
    if (HWND header = HandleAllocated() ? HeaderHandle() : nullptr)
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | (Now ? RDW_UPDATENOW : 0));
}

void TsCustomListView::SetHot(int Section) {
    if (Section == FHotSection) return;
    FHotSection = Section;
    RepaintHeader(false);
}

void TsCustomListView::PaintHeaderSection(HDC DC, const TRect& R, int Index, TsPaintState State) {
    TsHeaderSection section;
    section.State = State;
    section.Column = Index >= 0 && Index < FColumns->Count();
    if (section.Column) {
        TListColumn* col = FColumns->Items(Index);
        section.Caption = col->Caption();
        section.Alignment = col->Alignment();
        section.Sort = col->SortArrow() == saUp     ? TsSortMark::Ascending
                       : col->SortArrow() == saDown ? TsSortMark::Descending
                                                    : TsSortMark::None;
        section.Enabled = Enabled();
        section.Font = Font()->Handle();
        if (FSmallImages) {
            section.Images = FSmallImages->Handle();
            section.ImageIndex = col->ImageIndex();
        }
    }
    DrawHeaderSection(DC, R, section, SkinData()->GetSkinManager());
}

void TsCustomListView::PaintHeader(HDC DC) {
    HWND header = HeaderHandle();
    if (!header) return;
    RECT client{};
    GetClientRect(header, &client);
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    // Dragged columns are shown in their new order: the order array says
    // which column stands at each place.
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    if (count > 0 && !SendMessageA(header, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data())))
        for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    int right = 0;
    for (const int column : order) {
        const TRect r = HeaderSectionRect(column);
        if (IsRectEmpty(&r)) continue;
        TsPaintState state = TsPaintState::Normal;
        if (FPressedSection >= 0) state = column == FPressedSection ? TsPaintState::Pressed : TsPaintState::Normal;
        else if (column == FHotSection) state = TsPaintState::Active;
        PaintHeaderSection(DC, r, column, state);
        right = std::max(right, static_cast<int>(r.right));
    }
    // What lies right of the last column is an empty section.
    const TRect rest{right, 0, client.right, client.bottom};
    if (!IsRectEmpty(&rest)) PaintHeaderSection(DC, rest, -1, TsPaintState::Normal);
}

void TsCustomListView::PrintHeader(HDC DC) {
    HWND header = HeaderHandle();
    if (!DC || !header || !(GetWindowLongPtrA(header, GWL_STYLE) & WS_VISIBLE)) return;
    // The header is a child window: a picture of the list view has it only
    // when it is drawn in at its place.
    RECT r{};
    GetWindowRect(header, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    const TSavedDC saved(DC);
    OffsetViewportOrgEx(DC, r.left, r.top, nullptr);
    IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
    PaintHeader(DC);
}

bool TsCustomListView::HeaderMessage(HWND Header, TMessage& M) {
    switch (M.Msg) {
        case WM_PAINT: {
            const TPaintScope paint(Header, reinterpret_cast<HDC>(M.WParam));
            PaintHeader(paint.DC());
            return true;
        }
        case WM_PRINTCLIENT:
        case WM_PRINT: PaintHeader(reinterpret_cast<HDC>(M.WParam)); return true;
        case WM_ERASEBKGND: M.Result = 1; return true;
        case WM_MOUSEMOVE:
            if (FColumnClick && FHighlightHeaders && FPressedSection < 0) {
                if (!FTrackingHeader) {
                    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Header, 0};
                    FTrackingHeader = TrackMouseEvent(&tme) != 0;
                }
                SetHot(HeaderSectionAt(TPoint{M.XPos(), M.YPos()}));
            }
            return false;
        case WM_MOUSELEAVE:
            FTrackingHeader = false;
            SetHot(-2);
            return false;
        case WM_LBUTTONDOWN: {
            if (!FColumnClick) return false;
            HDHITTESTINFO hit{};
            hit.pt = POINT{M.XPos(), M.YPos()};
            SendMessageA(Header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            // A press on a divider resizes; no section looks pressed.
            FPressedSection = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hit.iItem;
            InvalidateRect(Header, nullptr, FALSE);
            return false;
        }
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (FPressedSection >= 0) {
                FPressedSection = -1;
                InvalidateRect(Header, nullptr, FALSE);
            }
            return false;
        default: return false;
    }
}

void TsCustomListView::InnerWndProc(HWND Inner, TMessage& M) {
    if (Inner == HeaderHandle() && FViewStyle == vsReport && SkinnedNow() && HeaderMessage(Inner, M)) return;
    InnerDefaultHandler(Inner, M);
    if (M.Msg == WM_MOUSEMOVE && (M.WParam & MK_LBUTTON) && ScrollAdapter())
        // Dragging a divider changes the width the horizontal bar scrolls.
        RefreshScrollBars(static_cast<TacScrollWnd*>(ScrollAdapter()), true);
}

bool TsCustomListView::ThumbTrack(TMessage& M) {
    // Only a skinned bar knows where its thumb was: without an adapter the
    // list view scrolls as the system bar tells it.
    auto* adapter = dynamic_cast<TacScrollWnd*>(ScrollAdapter());
    const int from = acScrollTracking.LastTrackPos;
    if (!adapter || from < 0) return false;
    int delta = ThumbRequestPosition(Handle(), M.WParam) - from;
    // The list view scrolls from its own bar's place, which the drag has
    // moved already: put back where the list stands, so that it moves once.
    SetScrollPos(Handle(), M.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, from, FALSE);
    if (M.Msg == WM_VSCROLL && FViewStyle == vsReport) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        const int h = Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) ? r.bottom - r.top : 1;
        delta *= h > 0 ? h : 1;
    }
    if (M.Msg == WM_VSCROLL) {
        Send(LVM_SCROLL, 0, delta);
    } else {
        Send(LVM_SCROLL, delta, 0);
        // The header moved with the columns: shown at once, not after the drag.
        RepaintHeader(true);
    }
    return true;
}

bool TsCustomListView::ColumnWithoutImage(TMessage& M) {
    // A column without image must not ask for one. The caller's column is
    // its own (and may be read-only): a copy goes on instead.
    const auto* c = reinterpret_cast<const LVCOLUMNA*>(M.LParam);
    if (!c || c->iImage != -1 || !(c->mask & LVCF_IMAGE)) return false;
    LVCOLUMNA copy = *c;
    copy.mask &= ~static_cast<UINT>(LVCF_IMAGE);
    const LPARAM callers = M.LParam;
    M.LParam = reinterpret_cast<LPARAM>(&copy);
    const std::shared_ptr<const bool> alive = Alive();
    InheritedWndProc(M);
    if (*alive) AfterInherited(M);
    M.LParam = callers;
    return true;
}

bool TsCustomListView::SkinnedMessage(TMessage& M) {
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED: RepaintHeader(true); return false;
            case AC_GETBGCHANGED:
                // The system paints the rows anew each time: only a pending
                // update makes the background stale.
                M.LParam = M.Result = IsUpdating(SkinData()) ? 1 : 0;
                return true;
            default: return false;
        }
    }
    switch (M.Msg) {
        case WM_VSCROLL:
        case WM_HSCROLL: return M.WParamLo() == SB_THUMBTRACK && ThumbTrack(M);
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            // A paint into a given DC makes a picture of the list view.
            const HDC dc = reinterpret_cast<HDC>(M.WParam);
            TsSystemPainted::SkinnedMessage(M);
            if (dc && FViewStyle == vsReport) PrintHeader(dc);
            return true;
        }
        case LVM_SETCOLUMNA:
        case LVM_INSERTCOLUMNA: return ColumnWithoutImage(M);
        case CM_MOUSELEAVE: SetHot(-2); return TsSystemPainted::SkinnedMessage(M);
        default: return TsSystemPainted::SkinnedMessage(M);
    }
}

void TsCustomListView::AfterInherited(TMessage& M) {
    TsSystemPainted::AfterInherited(M);
    auto* adapter = dynamic_cast<TacScrollWnd*>(ScrollAdapter());
    switch (M.Msg) {
        case WM_STYLECHANGED:
            if (ComponentState().Contains(csReading)) break;
            // A new view lays the items out anew: the list and its bars start over.
            Send(LVM_SCROLL, 0, 0);
            if (adapter) RefreshScrollBars(adapter, true);
            break;
        case LVM_INSERTITEMA:
        case LVM_INSERTITEMW:
        case LVM_DELETEITEM:
        case LVM_DELETEALLITEMS:
        case LVM_REDRAWITEMS:
            if (adapter) RefreshScrollBars(adapter, true);
            break;
        default: break;
    }
}

void TsCustomListView::AfterSkinCommand(WORD Code) {
    // While loading, colours and adapter wait for the end of it.
    if (Code == AC_REFRESH && FLoading) return;
    TsSystemPainted::AfterSkinCommand(Code);
    // The header follows the skin (or its own look again).
    RepaintHeader(false);
}
