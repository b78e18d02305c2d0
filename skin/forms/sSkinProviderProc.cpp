// The provider's window procedure: the skin commands, the non-client
// messages it answers instead of the system, hit testing of the painted title
// bar, the title elements' mouse handling and screen snapping.
#include "sSkinProvider.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sFade.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sSkinProviderAdapter.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// WM_NCMOUSELEAVE (the header's name is missing in older SDKs).
constexpr UINT acNCMouseLeave = 0x02A2;

bool Loading(const TComponent* C) { return C && C->ComponentState().Contains(csLoading); }
bool Creating(const TCustomForm* F) { return F->FormState().Contains(fsCreating); }
// On the screen, or being shown: the window's style says so before the form's flag does.
bool Shown(const TCustomForm* F) { return F->HandleAllocated() && (IsWindowVisible(F->Handle()) || F->Visible()); }
bool Dying(const TComponent* C) { return !C || C->ComponentState().Contains(csDestroying); }
// Pos moves onto Edge (less Size) when it comes within Buffer of it.
void Snap(int& Pos, int Edge, int Size, int Buffer) {
    if (std::abs(Pos + Size - Edge) < Buffer) Pos = Edge - Size;
}

// On the screen and made: the frame is painted by the provider.
bool ShowingNow(const TCustomForm* F) { return Shown(F) && !Creating(F); }

// The repaints pending on a window and on every window inside it, asked for
// again when the scope ends: turning a window's redraw off validates them all
// (the children's too, under Wine), and what was invalidated must still paint.
class TPendingPaints {
public:
    explicit TPendingPaints(HWND Wnd) {
        Keep(Wnd);
        EnumChildWindows(Wnd, &TPendingPaints::KeepChild, reinterpret_cast<LPARAM>(this));
    }
    ~TPendingPaints() {
        for (const auto& [wnd, rgn] : FPending) {
            if (IsWindow(wnd)) InvalidateRgn(wnd, rgn, TRUE);
            DeleteObject(rgn);
        }
    }
    TPendingPaints(const TPendingPaints&) = delete;
    TPendingPaints& operator=(const TPendingPaints&) = delete;

private:
    void Keep(HWND Wnd) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        if (GetUpdateRgn(Wnd, rgn, FALSE) > NULLREGION) FPending.emplace_back(Wnd, rgn);
        else DeleteObject(rgn);
    }
    static BOOL CALLBACK KeepChild(HWND Wnd, LPARAM Self) {
        reinterpret_cast<TPendingPaints*>(Self)->Keep(Wnd);
        return TRUE;
    }
    std::vector<std::pair<HWND, HRGN>> FPending;
};

}  // namespace

bool TsSkinProvider::SkinnedNow() const { return !Dying(Form) && HasSkin(FSkinData); }

void TsSkinProvider::ShrinkCache() {
    if (FSkinData->CacheBmp) FSkinData->CacheBmp->SetSize(0, 0);
    FrameBmp.reset();
    FSkinData->BGChanged = true;
}

void TsSkinProvider::NewWndProc(TMessage& Message) {
    if (!Form) return OldProc(Message);
    if (Message.Msg == SM_ALPHACMD && AnyStageAlphaCommand(Message)) return;
    if (!SkinnedNow()) return UnskinnedMessage(Message);
    if (Message.Msg == SM_ALPHACMD) return SkinnedAlphaCommand(Message);
    SkinnedStage(Message);
}

// The skinned route: one handler per message.
void TsSkinProvider::SkinnedStage(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CREATE: return Created(Message);
        case WM_SIZE: return Sized(Message);
        case WM_ACTIVATE: return Activated(Message);
        case WM_SETTEXT:
        case WM_SETICON: return WithoutSystemCaption(Message);
        case WM_PAINT: return PaintForm(Message);
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
        case WM_ENTERIDLE: Message.Result = 0; return;
        case WM_WINDOWPOSCHANGING: return PosChanging(Message);
        case WM_WINDOWPOSCHANGED: return PosChanged(Message);
        case WM_SIZING: return Sizing(Message);
        case WM_NCHITTEST: return HitTest(Message);
        case WM_NCPAINT: return NCPaint(Message);
        case WM_NCACTIVATE: return NCActivate(Message);
        case WM_NCLBUTTONDOWN: return NCLButtonDown(Message);
        case WM_NCLBUTTONUP: return NCLButtonUp(Message);
        case WM_NCLBUTTONDBLCLK: return NCLButtonDblClk(Message);
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP: return NCRButton(Message);
        case acNCMouseLeave:
        case CM_MOUSELEAVE: return MouseLeft(Message);
        case WM_SYSCOMMAND: return SysCommand(Message);
        case WM_INITMENUPOPUP:
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP: return MenuLoop(Message);
        case WM_MDIACTIVATE:
        case WM_MDIDESTROY: return MDIChildChanged(Message);
        case WM_SHOWWINDOW: return ShowWindowChanged(Message);
        case CM_MOUSEENTER: return MouseEntered(Message);
        case CM_FLOATING: return Floated(Message);
        case WM_CHILDACTIVATE: return ChildActivated(Message);
        case WM_MEASUREITEM: return MeasureItem(Message);
        case WM_PRINT: return Print(Message);
        case CM_SHOWINGCHANGED: return ShowingChanged(Message);
        case CM_CONTROLLISTCHANGE:
        case WM_NOTIFY:
        case WM_PARENTNOTIFY: return ChildrenChanged(Message);
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: return OutlineMouse(Message);
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
        case CM_COLORCHANGED:
        case CM_MENUCHANGED: return LookChanged(Message);
        default: return OldProc(Message);
    }
}

void TsSkinProvider::Created(TMessage& Message) {
    FrameBmp.reset();
    FChildMaximizedAtCreate = Form->FormStyle() == fsMDIChild && ActiveChildProvider && ActiveChildProvider->Form &&
                              ActiveChildProvider->Form->HandleAllocated() &&
                              IsZoomed(ActiveChildProvider->Form->Handle());
    OldProc(Message);
    PrepareForm();
}

void TsSkinProvider::Sized(TMessage& Message) {
    FrameChanged();
    RgnChanged = true;
    OldProc(Message);
    if (!ShowingNow(Form)) return;
    // A gradient stretches with the form: the children's pictures of it are stale.
    if (const TsGeneralData* s = FSkinData->Section(); s && s->GradientPercent > 0)
        for (int i = 0; i < Form->ControlCount(); ++i)
            if (TControl* c = Form->Controls(i); !Dying(c))
                c->Perform(SM_ALPHACMD, MAKEWPARAM(1, AC_PARENTBGCHANGED), 0);
    // A maximized child's buttons and icon lie on its frame's menu line.
    if (Form->FormStyle() == fsMDIChild && IsZoomed(Form->Handle()) && MDISkinProvider && MDISkinProvider != this)
        MDISkinProvider->RepaintFrame();
    if (!HasBorder()) RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinProvider::Activated(TMessage& Message) {
    const bool showing = ShowingNow(Form);
    OldProc(Message);
    if (Creating(Form)) return;
    FormActive = Message.WParamLo() != WA_INACTIVE;
    FrameChanged();
    FMenuRows = -1;
    if (Form->FormStyle() == fsMDIChild) RepaintOtherMDIChildren();
    if (showing) RepaintFormFrame();
    PrepareMenus(true);
    if (SystemMenu) SystemMenu->UpdateItems();
}

// The other children of the frame show themselves inactive, and the frame's
// menu line follows the active one.
void TsSkinProvider::RepaintOtherMDIChildren() {
    if (!MDISkinProvider || !MDISkinProvider->Form || MDISkinProvider == this) return;
    TCustomForm* frame = MDISkinProvider->Form;
    for (int i = 0; i < frame->MDIChildCount(); ++i)
        if (TCustomForm* c = frame->MDIChildren(i); c != Form && c->HandleAllocated() && IsWindowVisible(c->Handle()))
            SendMessageA(c->Handle(), WM_NCPAINT, 0, 0);
    MDISkinProvider->FrameChanged();
}

void TsSkinProvider::PosChanging(TMessage& Message) {
    auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
    if (!FRgnChanging && ScreenSnap && wp && !(wp->flags & SWP_NOMOVE) && !IsZoomed(Form->Handle()) &&
        (wp->x != 0 || wp->y != 0)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        GetMonitorInfoA(MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST), &mi);
        const RECT w = mi.rcWork;
        Snap(wp->x, w.right, FormWidth(), SnapBuffer);
        Snap(wp->y, w.bottom, FormHeight(), SnapBuffer);
        Snap(wp->x, w.left, 0, SnapBuffer);
        Snap(wp->y, w.top, 0, SnapBuffer);
    }
    OldProc(Message);
}

void TsSkinProvider::PosChanged(TMessage& Message) {
    const bool showing = ShowingNow(Form);
    OldProc(Message);
    if (!showing || FRgnChanging || acSkinChanging) return;
    // A frame paint inside the move may have sized the cache already, before WM_SIZE
    // asked for a new region: the region must still follow.
    if (RgnChanged || FSkinData->CacheBmp->Width() != FormWidth() || FSkinData->CacheBmp->Height() != FormHeight()) {
        RgnChanged = true;
        FrameChanged();
        FMenuRows = -1;
        SendMessageA(Form->Handle(), WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::Sizing(TMessage& Message) {
    OldProc(Message);
    if (FSkinData->CacheBmp->Width() != FormWidth()) {
        FrameChanged();
        FMenuRows = -1;
    }
}

// The right button on the caption or the icon drops the skinned system menu at its release.
void TsSkinProvider::NCRButton(TMessage& Message) {
    const bool title = Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU;
    if (Message.Msg == WM_NCRBUTTONDOWN) {
        if (!title) OldProc(Message);
        return;
    }
    if (!HasBorder()) return OldProc(Message);
    if (!title) return;
    Title.SetHot(teNone, true);
    DropSystemMenu(Message.XPos(), Message.YPos());
}

void TsSkinProvider::MouseLeft(TMessage& Message) {
    if (Message.Msg == acNCMouseLeave) {
        Title.TrackingLeave = false;
        Title.SetHot(teNone, true);
    } else if (OwnMouseMessage(Message, Form)) {
        Title.SetHot(teNone, true);
    }
    OldProc(Message);
}

void TsSkinProvider::MenuLoop(TMessage& Message) {
    switch (Message.Msg) {
        case WM_INITMENUPOPUP:
            // The flag of the message is not set everywhere for the window menu
            // that the program opens itself (Wine leaves it 0): the menu says it.
            if (HIWORD(Message.LParam) != 0 ||
                reinterpret_cast<HMENU>(Message.WParam) == GetSystemMenu(Form->Handle(), FALSE))
                acSystemPopup = true;
            break;
        case WM_ENTERMENULOOP:
            if (!FInMenuLoop && MaximizedChild()) {
                FInMenuLoop = true;
                ShowMenuCover();
            }
            break;
        default:
            FInMenuLoop = false;
            FreeCover(MenuCover);
            break;
    }
    OldProc(Message);
}

void TsSkinProvider::ShowWindowChanged(TMessage& Message) {
    OldProc(Message);
    // A maximized child shows its title on the frame's menu line.
    if (Form->FormStyle() == fsMDIChild && Form->HandleAllocated() && IsZoomed(Form->Handle())) RefreshFormFrame();
}

// One speed button of the form is hot at a time: the mouse on another takes it.
void TsSkinProvider::MouseEntered(TMessage& Message) {
    OldProc(Message);
    ReleaseSharedHot(Form, reinterpret_cast<TControl*>(Message.LParam));
}

// Docked or floating again, the form may have a new window: its bars are made again.
void TsSkinProvider::Floated(TMessage& Message) {
    OldProc(Message);
    if (ScrollAdapter) {
        TacMainWnd* a = ScrollAdapter;
        UnsubclassAdapterWindow(a->CtrlHandle, true, false, a);
        ScrollAdapter = static_cast<TacScrollWnd*>(a);
    }
    if (Form->HandleAllocated())
        SendSkinCommandToWindow(Form->Handle(), AC_REFRESH, reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()));
}

void TsSkinProvider::ChildActivated(TMessage& Message) {
    OldProc(Message);
    RebuildMainMenu();
    if (Form->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider->MaximizedChild()) RepaintFormFrame();
}

// An item of the main menu measured for the first time may have been added
// since the menus were prepared: it takes the painter's handlers now.
void TsSkinProvider::MeasureItem(TMessage& Message) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    TsSkinManager* m = FSkinData->GetSkinManager();
    TMainMenu* bar = Form->Menu();
    if (mis && mis->CtlType == ODT_MENU && bar && m && m->SkinableMenus && Form->FormStyle() != fsMDIChild) {
        TMenuItem* item = bar->FindItem(mis->itemID, fkCommand);
        if (!item && bar->Merged()) item = bar->Merged()->FindItem(mis->itemID, fkCommand);
        if (item) m->SkinableMenus->InitItem(item, true);
    }
    OldProc(Message);
}

void TsSkinProvider::MDIChildChanged(TMessage& Message) {
    OldProc(Message);
    FMenuRebuilt = false;
    if (Form->FormStyle() == fsMDIChild && MDISkinProvider && !IsZoomed(Form->Handle())) {
        MDISkinProvider->FMenuChanged = true;
        MDISkinProvider->RefreshFormFrame();
    }
    ActiveChildProvider = this;
}

// Controls the adapter may not know yet: added to the form, on a tab page shown, or made by handle.
void TsSkinProvider::ChildrenChanged(TMessage& Message) {
    OldProc(Message);
    switch (Message.Msg) {
        case CM_CONTROLLISTCHANGE:
            // Sent with the control on the form (LParam 1), or about to leave it (0).
            if (auto* w = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(Message.WParam));
                w && Adapter && Message.LParam && Adapter->IsControlSupported(w))
                Adapter->AddNewItem(w);
            return;
        case WM_NOTIFY:
            if (Adapter && Message.LParam && reinterpret_cast<NMHDR*>(Message.LParam)->code == UINT(TCN_SELCHANGE))
                Adapter->AddAllItems();
            return;
        default:
            if (Message.WParamLo() != WM_CREATE) return;
            if (Adapter && !Loading(this) && !Loading(Form)) Adapter->AddAllItems();
            if (ScrollAdapter && !ScrollAdapter->Destroyed) RefreshScrollBars(ScrollAdapter, true);
            return;
    }
}

// Changes of the form that change its frame's picture.
void TsSkinProvider::LookChanged(TMessage& Message) {
    switch (Message.Msg) {
        case CM_VISIBLECHANGED:
            OldProc(Message);
            if (Message.WParam == 0 && !Dying(Form)) ShrinkCache();
            return;
        case CM_ENABLEDCHANGED:
            OldProc(Message);
            RepaintFrame();
            return;
        case CM_COLORCHANGED:
            // Passed on in every case: children that take their parent's colour must hear
            // of it. Only a colour of the form's own changes the frame's picture.
            if (FSkinData->CustomColor() && !Creating(Form)) FrameChanged();
            return OldProc(Message);
        case CM_MENUCHANGED:
            if (ShowingNow(Form)) {
                FMenuChanged = true;
                FMenuRows = -1;
                FrameChanged();
            }
            OldProc(Message);
            // A menu set or changed after the skin came takes it now.
            return PrepareMenus(true);
        default:  // WM_SETTINGCHANGE, WM_SYSCOLORCHANGE: the caption's height or colours may change
            acForgetSystemMetrics();
            FrameChanged();
            FrameBmp.reset();
            return OldProc(Message);
    }
}

// ---------------------------------------------------------------------------
// Skin commands

// The commands answered on either route; false leaves the message to the route.
bool TsSkinProvider::AnyStageAlphaCommand(TMessage& Message) {
    TsSkinManager* m = FSkinData->GetSkinManager();
    const bool own = m && Message.LParam == reinterpret_cast<LPARAM>(m);
    switch (Message.WParamHi()) {
        case AC_SKINNEDQUERY:
            Message.LParam = 1;
            Message.Result = 1;
            return true;
        case AC_GETAPPLICATION: Message.Result = reinterpret_cast<LRESULT>(Application.Get()); return true;
        case AC_GETCHILDOFFSET: Message.Result = MAKELONG(ClientOffsetX(), ClientOffsetY()); return true;
        case AC_GETPROVIDER: Message.Result = reinterpret_cast<LRESULT>(this); return true;
        case AC_REMOVESKIN:
            if (own) SkinRemoved(Message);
            else BroadcastToChildren(Form, Message);
            return true;
        case AC_NEWSKIN:
            if (own && !Dying(Form) && !SystemMenu) PrepareForm();
            return false;
        default: return false;
    }
}

void TsSkinProvider::SkinRemoved(TMessage& Message) {
    // Released, not freed: the removal may come through the adapter's own procedure.
    // It is freed when a skin comes back or with the provider.
    if (ScrollAdapter) ReleaseAdapter(ScrollAdapter, false, false);
    RemoveAdapter();
    CommonAlphaCommand(Message, FSkinData);
    FMenuRows = -1;
    if (Dying(Form)) return;
    if (Form->HandleAllocated()) SwitchFlatBars(false);
    RemoveSysMenuStyle(false);
    if (Form->FormStyle() == fsMDIForm) SetMDIHook(false);
    if (Form->HandleAllocated() && !FInMenuLoop) SetRegion(nullptr, true);
    if (FUseGlobalColor && !FSkinData->CustomColor()) Form->SetColor(clBtnFace);
    else Form->Repaint();
    ShrinkCache();
    Title.SetHot(teNone, false);
    // The system draws the frame again.
    if (Form->HandleAllocated())
        SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TsSkinProvider::NewSkin() {
    UpdateSkinIndexes(FSkinData);
    if (!FSkinData->GetSkinManager()) return;
    Title.LoadMasks();
    if (Form->FormStyle() != fsMDIChild) RemoveSysMenuStyle(true);
    SyncSkinableMenus(FSkinData->GetSkinManager());
    FrameChanged();
    RgnChanged = true;
    FMenuRows = -1;
    if (Form->FormStyle() == fsMDIForm) {
        SetMDIHook(true);
        MDIForm->ConnectClient();
    }
    if (FUseGlobalColor && !FSkinData->CustomColor()) Form->SetColor(GlobalSkinColor(FSkinData->GetSkinManager()));
    if (!Loading(FSkinData->GetSkinManager())) PrepareMenus(true);
    UpdateAdapter();
}

void TsSkinProvider::UnskinnedMessage(TMessage& Message) {
    if (IsSkinCommand(Message, AC_NEWSKIN) && !Dying(Form) &&
        Message.LParam == reinterpret_cast<LPARAM>(FSkinData->GetSkinManager())) {
        // The engine tells the children itself.
        NewSkin();
        return;
    }
    OldProc(Message);
    // Menus follow the manager's skin even where the form has no section of its own.
    if (Message.Msg == WM_ACTIVATE || Message.Msg == CM_MENUCHANGED) return PrepareMenus(true);
    // A window made after the skin was loaded heard no skin command: it takes the skin now.
    if (Message.Msg == WM_CREATE && !Dying(Form)) {
        TsSkinManager* m = FSkinData->GetSkinManager();
        if (m && m->Active()) {
            NewSkin();
            PrepareForm();
        }
        return;
    }
    if (Message.Msg == WM_NCDESTROY && Form->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider != this &&
        MDISkinProvider->MDIForm && !Dying(MDISkinProvider->Form) && HasSkin(MDISkinProvider->FSkinData)) {
        MDISkinProvider->RefreshFormFrame();
        // The last child gone: its picture must not stay on the frame's client.
        if (!MDISkinProvider->Form->ActiveMDIChild())
            RedrawWindow(MDISkinProvider->Form->ClientHandle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    }
}

void TsSkinProvider::SkinnedAlphaCommand(TMessage& Message) {
    TsSkinManager* m = FSkinData->GetSkinManager();
    const bool own = m && Message.LParam == reinterpret_cast<LPARAM>(m);
    switch (Message.WParamHi()) {
        case AC_NEWSKIN:
            if (!own) return;
            NewSkin();
            RepaintFrame();
            return;
        case AC_REFRESH:
            if (!own) return;
            UpdateAdapter();
            UpdateScrollAdapter();
            FrameChanged();
            FrameBmp.reset();
            FMenuRows = -1;
            if (HasBorder()) RgnChanged = true;
            if (FUseGlobalColor && !FSkinData->CustomColor()) Form->SetColor(GlobalSkinColor(m));
            if (!Loading(m)) PrepareMenus(true);
            if (Form->HandleAllocated() && IsWindowVisible(Form->Handle()))
                RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            if (MDIForm) MDIForm->ConnectClient();
            FSkinData->Updating = false;
            AdapterBroadcast(Message.Msg, Message.WParam, Message.LParam);
            return;
        case AC_GETCACHE:
            if (FSkinData->BGChanged) PaintAll();
            ParentCacheInfo = TCacheInfo{FSkinData->CacheBmp, ClientOffsetX(), ClientOffsetY(), true};
            return;
        case AC_SETUPDATING:
            FSkinData->Updating = Message.WParamLo() == 1;
            if (IsUpdating(FSkinData)) FrameChanged();
            return;
        case AC_SETFLAG9:
            CommonMessage(Message, FSkinData);
            if (FSkinData->Command9Flag) PaintAll();
            return;
        case AC_GETBGCHANGED: Message.LParam = IsUpdating(FSkinData) || FSkinData->BGChanged; return;
        case AC_CONTROLLOADED:
            if (auto* w = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(Message.LParam));
                w && Adapter && !Loading(this))
                Adapter->AddNewItem(w);
            return;
        case AC_SETPAINTINGCHILD: FSkinData->PaintingChild = reinterpret_cast<TControl*>(Message.LParam); return;
        case AC_BGNOTPLAIN: {
            const TsGeneralData* s = FSkinData->Section();
            Message.LParam = Message.Result = s && s->GradientPercent + s->ImagePercent > 0;
            return;
        }
        case AC_GETBGCOLOR: CommonAlphaCommand(Message, FSkinData); return;
        case AC_BEGINSCROLL:
            if (NeedsParentBackground(FSkinData)) SendMessageA(Form->Handle(), WM_SETREDRAW, 0, 0);
            return;
        case AC_ENDSCROLL:
            if (NeedsParentBackground(FSkinData)) {
                SendMessageA(Form->Handle(), WM_SETREDRAW, 1, 0);
                RedrawWindow(Form->Handle(), nullptr, nullptr, 0x5A1);
            }
            return;
        default: return;
    }
}

// ---------------------------------------------------------------------------
// Non-client painting and activation

void TsSkinProvider::NCPaint(TMessage& Message) {
    Message.Result = 0;
    if (!Shown(Form) || Loading(this) || Creating(Form) || FChildMaximizedAtCreate) return;
    if (SystemMajorVersion() >= 6 && ResizeMode == rmBorder) ResizeMode = rmStandard;
    if (Form->FormStyle() == fsMDIChild && ActiveChildProvider && ActiveChildProvider != this &&
        ActiveChildProvider->Form && ActiveChildProvider->Form->HandleAllocated() &&
        IsZoomed(ActiveChildProvider->Form->Handle()))
        return;
    RebuildMainMenu();
    const bool thick = (GetWindowLongPtrA(Form->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
    const bool iconic = IsIconic(Form->Handle()) != FALSE;
    if (!FRgnChanging && RgnChanged && (HasBorder() || thick || iconic)) {
        if (FSkinData->BGChanged) PaintAll();
        BuildFormRegionRects();
        RgnChanged = false;
        UpdateFormRegion(false);
    }
    FSkinData->Updating = false;
    // A picture wider than the form was made for a wider one: the client's background moves with the new one.
    const bool wider = FSkinData->CacheBmp->Width() > FormWidth();
    {
        const TWindowDC dc(Form->Handle());
        if (!dc.DC()) return;
        PaintFrameTo(dc.DC());
    }
    if (wider) InvalidateRect(Form->Handle(), nullptr, FALSE);
    if (MDIForm) MDIForm->ConnectClient();
}

// The frame to DC: the thin border strips of a borderless sizeable form, else the whole frame.
void TsSkinProvider::PaintFrameTo(HDC DC) {
    const TSavedDC saved(DC);
    const bool thick = (GetWindowLongPtrA(Form->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
    if (!HasBorder() && thick && !IsIconic(Form->Handle())) {
        if (FSkinData->BGChanged) PaintAll();
        TBitmap* cache = FSkinData->CacheBmp;
        CopyBorderStrips(DC, 0, 0, Form->BorderWidth() + 3, cache->Canvas()->Handle(), cache->Width(), cache->Height());
    } else {
        UpdateFrame(DC);
    }
}

void TsSkinProvider::NCActivate(TMessage& Message) {
    const bool active = Message.WParam != 0;
    if (SystemMajorVersion() < 6 && Shown(Form) && !Creating(Form)) {
        ShowCaptionCover();
        OldProc(Message);
        FreeCover(CaptionCover);
    } else {
        // lParam -1: the system keeps its own caption unpainted.
        TMessage m{Message.Msg, Message.WParam, -1, 0};
        OldProc(m);
        Message.Result = m.Result;
    }
    // A child shown as a child: its frame's menu line may show its state.
    if (Form->FormStyle() == fsMDIChild && ShowingNow(Form) && MDISkinProvider && MDISkinProvider != this &&
        MDISkinProvider->MDIForm && !Dying(MDISkinProvider->Form) && MDISkinProvider->Form->HandleAllocated()) {
        MDISkinProvider->FMenuRows = -1;
        MDISkinProvider->MDIForm->UpdateProvider();
        if (HWND client = MDISkinProvider->Form->ClientHandle()) SendMessageA(client, WM_NCPAINT, 0, 0);
    }
    // The system draws a layered window's frame once more on activation: the skin's goes over it.
    if (GetWindowLongPtrA(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) RepaintFrame();
    if (!Shown(Form) || Creating(Form)) {
        FormActive = active;
        return;
    }
    if (HasBorder() && active != FormActive) {
        FormActive = active;
        FMenuRows = -1;
        RepaintFormFrame();
    }
    if (!Adapter) UpdateAdapter();
    RefreshChildControls(Form);
}

void TsSkinProvider::WithoutSystemCaption(TMessage& Message) {
    if (!ShowingNow(Form)) return OldProc(Message);
    if (SystemMajorVersion() < 6) {
        FrameChanged();
        ShowCaptionCover();
        OldProc(Message);
        FreeCover(CaptionCover);
    } else {
        const TPendingPaints pending(Form->Handle());
        Form->Perform(WM_SETREDRAW, 0, 0);
        OldProc(Message);
        Form->Perform(WM_SETREDRAW, 1, 0);
    }
    RepaintFormFrame(true);
}

void TsSkinProvider::Print(TMessage& Message) {
    if (!Shown(Form) || Loading(this) || Creating(Form) || Dying(Form)) return;
    // A child that is not the maximized active one has no frame of its own on the screen.
    if (Form->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider != this)
        if (TCustomForm* shown = MDISkinProvider->MaximizedChild(); shown && shown != Form) return;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    FSkinData->Updating = false;
    if (Message.LParam & PRF_NONCLIENT) PaintFrameTo(dc);
    if (Message.LParam & PRF_CLIENT) {
        const int saved = SaveDC(dc);
        RECT c{};
        GetClientRect(Form->Handle(), &c);
        OffsetWindowOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
        IntersectClipRect(dc, 0, 0, c.right, c.bottom);
        PaintClient(dc, false);
        if (Message.LParam & PRF_CHILDREN) PrintChildWindows(dc);
        if (MDIForm && Form->ClientHandle())
            SendMessageA(Form->ClientHandle(), WM_PRINT, Message.WParam, Message.LParam);
        RestoreDC(dc, saved);
    }
    Message.Result = 0;
}

void TsSkinProvider::PrintChildWindows(HDC DC) {
    std::vector<HWND> kids;
    for (HWND c = GetWindow(Form->Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && (!MDIForm || c != Form->ClientHandle())) kids.push_back(c);
    TBitmap* cache = FSkinData->CacheBmp;
    // Bottom of the z order first. Each child prints at the origin of a picture of its own
    // that starts as the form's background under it: not every system control prints
    // into a DC whose origin was moved.
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        RECT r{};
        GetWindowRect(*it, &r);
        MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w <= 0 || h <= 0) continue;
        std::unique_ptr<TBitmap> pic = NewBitmap24(w, h);
        HDC pdc = pic->Canvas()->Handle();
        BitBlt(pdc, 0, 0, w, h, cache->Canvas()->Handle(), r.left + ClientOffsetX(), r.top + ClientOffsetY(), SRCCOPY);
        SendMessageA(*it, WM_PRINT, reinterpret_cast<WPARAM>(pdc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        BitBlt(DC, r.left, r.top, w, h, pdc, 0, 0, SRCCOPY);
    }
}

void TsSkinProvider::ShowingChanged(TMessage& Message) {
    TsSkinManager* m = FSkinData->GetSkinManager();
    const bool showing = Form->Showing();
    if (!showing || SystemMajorVersion() >= 6 || !FSkinData->BGChanged || !m) {
        OldProc(Message);
        // A form shown after the skin came has heard no refresh: its bars and adapter are made here.
        if (showing) {
            UpdateScrollAdapter();
            UpdateAdapter();
        }
        return;
    }
    if (Adapter) Adapter->AddAllItems();
    FSkinData->Updating = true;
    const bool dialog = Form->BorderStyle() == bsDialog;
    const TacAnimEffect& effect = dialog ? m->AnimEffects()->DialogShow : m->AnimEffects()->FormShow;
    ShowAnimating = Form->FormStyle() != fsMDIChild && !Form->Parent() && effect.Active;
    std::vector<TWinControl*> frozen;
    if (ShowAnimating) {
        // The screen under the form is kept on top while the form and its children paint beneath.
        PrepareOutputWindow(Form);
        for (int i = 0; i < Form->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(Form->Controls(i)); w && w->Visible()) {
                w->Perform(WM_SETREDRAW, 0, 0);
                frozen.push_back(w);
            }
    }
    OldProc(Message);
    for (TWinControl* w : frozen) w->Perform(WM_SETREDRAW, 1, 0);
    UpdateScrollAdapter();
    if (ShowAnimating) {
        ShowAnimating = false;
        FSkinData->Updating = false;
        FadeInControl(Form, effect.Time);
        UpdateFormRegion(false);
        RedrawWindow(Form->Handle(), nullptr, nullptr, 0x5A1);
        FRgnChanging = false;
    }
    FSkinData->Updating = false;
    if (Form->FormStyle() == fsMDIChild && IsZoomed(Form->Handle())) RefreshFormFrame();
}

// ---------------------------------------------------------------------------
// The outline drag of rmBorder

namespace {

// The outline on the desktop, in screen coordinates: drawn inverted, so a
// second drawing erases it. One drag at a time.
class TOutlineDrag {
public:
    // From the mouse at Grab: moving Wnd, or sizing it by the border hit code
    // Code (10..17; others size the bottom-right corner).
    TOutlineDrag(TsSkinProvider* AOwner, HWND Wnd, POINT Grab, bool Moving, int Code, int MinWidth, int MinHeight)
        : Owner(AOwner),
          FWnd(Wnd),
          FMoving(Moving),
          FCode(Code),
          FGrab(Grab),
          FMinWidth(MinWidth),
          FMinHeight(MinHeight),
          FDC(GetDesktopWindow()),
          FSaved(FDC.DC()) {
        GetWindowRect(Wnd, &FOutline);
        SetROP2(FDC, R2_NOT);
        SelectObject(FDC, GetStockObject(NULL_BRUSH));
        Draw();
    }
    ~TOutlineDrag() { Draw(); }
    TOutlineDrag(const TOutlineDrag&) = delete;
    TOutlineDrag& operator=(const TOutlineDrag&) = delete;

    void MoveTo(POINT P) {
        Draw();
        FFirst = false;
        RECT& r = FOutline;
        const int dx = P.x - FGrab.x, dy = P.y - FGrab.y;
        if (FMoving) {
            OffsetRect(&r, dx, dy);
            FGrab = P;
        } else {
            RECT w{};
            GetWindowRect(FWnd, &w);
            const int c = FCode;
            const bool any = c < HTLEFT || c > HTBOTTOMRIGHT;
            const bool left = c == HTLEFT || c == HTTOPLEFT || c == HTBOTTOMLEFT;
            const bool right = c == HTRIGHT || c == HTTOPRIGHT || c == HTBOTTOMRIGHT || any;
            const bool top = c == HTTOP || c == HTTOPLEFT || c == HTTOPRIGHT;
            const bool bottom = c == HTBOTTOM || c == HTBOTTOMLEFT || c == HTBOTTOMRIGHT || any;
            if (left) r.left = std::min<LONG>(w.left + dx, r.right - FMinWidth);
            if (right) r.right = std::max<LONG>(w.right + dx, r.left + FMinWidth);
            if (top) r.top = std::min<LONG>(w.top + dy, r.bottom - FMinHeight);
            if (bottom) r.bottom = std::max<LONG>(w.bottom + dy, r.top + FMinHeight);
        }
        Draw();
    }
    // A size drag released without a move leaves the window as it was.
    bool Changes() const { return FMoving || !FFirst; }
    RECT Outline() const { return FOutline; }

    TsSkinProvider* const Owner;

private:
    void Draw() const {
        const RECT& r = FOutline;
        const POINT pts[5] = {
            {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
        Polyline(FDC, pts, 5);
    }
    HWND FWnd;
    bool FMoving;
    bool FFirst = true;  // no mouse move yet
    int FCode;
    // The mouse's place at the press: the outline keeps its distance to it from the first move on.
    POINT FGrab;
    RECT FOutline{};
    int FMinWidth, FMinHeight;
    TWindowDC FDC;
    TSavedDC FSaved;
};

std::unique_ptr<TOutlineDrag> Drag;

}  // namespace

bool TsSkinProvider::OutlineDragging() { return Drag != nullptr; }

bool TsSkinProvider::OutlineDragCommand(TMessage& Message) {
    const WPARAM cmd = Message.WParam & 0xFFF0;
    if (ResizeMode != rmBorder || (cmd != SC_MOVE && cmd != SC_SIZE)) return false;
    if (OutlineDragging()) return true;
    Message.Result = 0;
    if (!Form->HandleAllocated()) return true;
    const int edge = int(Message.WParam & 0x0F);
    POINT p{};
    GetCursorPos(&p);
    SetCapture(Form->Handle());
    Drag = std::make_unique<TOutlineDrag>(
        this, Form->Handle(), p, cmd == SC_MOVE,
        cmd == SC_SIZE && edge >= WMSZ_LEFT && edge <= WMSZ_BOTTOMRIGHT ? edge - WMSZ_LEFT + HTLEFT : HTBOTTOMRIGHT,
        Form->Constraints()->MinWidth(), Form->Constraints()->MinHeight());
    return true;
}

void TsSkinProvider::EndOutlineDrag(bool Apply) {
    if (!Drag || Drag->Owner != this) return;
    // Taken before the capture goes: its loss must not end the drag twice.
    std::unique_ptr<TOutlineDrag> drag = std::move(Drag);
    const bool live = Form->HandleAllocated() && !Dying(Form);
    if (live && GetCapture() == Form->Handle()) ReleaseCapture();
    RECT r = drag->Outline();
    const bool changes = drag->Changes();
    drag.reset();  // the outline erased, the desktop's DC given back
    if (!live || !Apply || !changes) return;
    if (HWND parent = GetParent(Form->Handle()); parent && (GetWindowLongPtrA(Form->Handle(), GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(Form->Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// The mouse during an outline drag: the outline follows, the release applies it, a lost capture drops it.
void TsSkinProvider::OutlineMouse(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            OldProc(Message);
            if (Drag && Drag->Owner == this) {
                POINT p{Message.XPos(), Message.YPos()};
                ClientToScreen(Form->Handle(), &p);
                Drag->MoveTo(p);
            }
            return;
        case WM_LBUTTONUP:
            if (OutlineDragging()) return EndOutlineDrag(true);
            return OldProc(Message);
        default:
            // Capture taken away (another window, Escape): the drag is dropped, the form stays.
            if (OutlineDragging()) EndOutlineDrag(false);
            return OldProc(Message);
    }
}

// ---------------------------------------------------------------------------
// System commands

void TsSkinProvider::SysCommand(TMessage& Message) {
    if (OutlineDragCommand(Message)) return;
    const WPARAM cmd = Message.WParam & 0xFFF0;
    const bool mdiChild = Form->FormStyle() == fsMDIChild;
    if (Form->FormStyle() == fsMDIForm) {
        OldProc(Message);
        if (cmd == SC_MINIMIZE || cmd == SC_MAXIMIZE || cmd == SC_RESTORE) {
            FMenuRows = -1;
            RepaintFrame();
        } else if (cmd == SC_KEYMENU) {
            KeyMenu(Message);
        }
        return;
    }
    if (mdiChild) return MDIChildCommand(Message);
    TsSkinProvider* keep = this;
    OldProc(Message);
    // A close may have freed the form and this provider with it.
    if (cmd == SC_CLOSE || keep != ProviderOf(Form)) return;
    switch (cmd) {
        case SC_MINIMIZE: ShrinkCache(); break;
        case SC_KEYMENU: KeyMenu(Message); break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            Title.SetHot(teNone, false);
            if (!HasBorder() && cmd == SC_RESTORE) {
                FrameChanged();
                SetRegion(nullptr, true);
            }
            break;
        default: break;
    }
    if (SystemMenu) SystemMenu->UpdateItems();
}

// Alt+Space: the window menu under the title. A skinned form has no
// system-menu style, so the system opens none of its own.
void TsSkinProvider::KeyMenu(const TMessage& Message) {
    if (LOWORD(Message.LParam) != ' ' || !Form->BorderIcons().Contains(biSystemMenu) || !HasBorder()) return;
    RECT r{};
    GetWindowRect(Form->Handle(), &r);
    DropSystemMenu(r.left + SysBorderWidth(), r.top + SysBorderHeight() + CaptionHeight());
}

void TsSkinProvider::MDIChildCommand(TMessage& Message) {
    const WPARAM cmd = Message.WParam & 0xFFF0;
    const HWND wnd = Form->Handle();
    const bool wasMax = IsZoomed(wnd) != FALSE;
    TsSkinProvider* frame = MDISkinProvider != this ? MDISkinProvider : nullptr;
    if (cmd == SC_CLOSE) {
        // The close may free the form and this provider: nothing of ours after it.
        if (frame && frame->MDIForm && wasMax) RefreshMDIFrame();
        Title.SetHot(teNone, false);
        if (frame) {
            const TBoolScope noRegion(frame->FInMenuLoop, true);
            OldProc(Message);
        } else {
            OldProc(Message);
        }
        if (wasMax && MDISkinProvider == frame) RefreshMDIFrame();
        return;
    }
    const bool maxChanging = (wasMax && cmd != SC_MAXIMIZE) || (cmd == SC_RESTORE && IsIconic(wnd));
    if (cmd == SC_RESTORE && FChildMaximizedAtCreate) return;
    if (maxChanging) BeginSkinUpdate(FSkinData);
    switch (cmd) {
        case SC_MAXIMIZE:
        case SC_RESTORE:
            if (cmd == SC_MAXIMIZE) ActiveChildProvider = this;
            BeginMDIUpdate(true);
            OldProc(Message);
            FrameChanged();
            EndMDIUpdate(true);
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            if (cmd == SC_RESTORE) RestoreOtherMaximizedChildren();
            break;
        default: OldProc(Message); break;
    }
    if (cmd == SC_MINIMIZE) FrameChanged();
    if (maxChanging) EndSkinUpdate(FSkinData);
    if (frame) frame->FMenuRows = -1;
    if (frame && (maxChanging || cmd == SC_MAXIMIZE || cmd == SC_MINIMIZE)) RefreshMDIFrame();
    if (SystemMenu) SystemMenu->UpdateItems();
}

// A child restored from maximized leaves no sibling maximized behind it.
void TsSkinProvider::RestoreOtherMaximizedChildren() {
    TCustomForm* frame = MDISkinProvider && MDISkinProvider != this ? MDISkinProvider->Form : nullptr;
    for (int i = 0; frame && i < frame->MDIChildCount(); ++i)
        if (TCustomForm* c = frame->MDIChildren(i); c != Form && c->HandleAllocated() && IsZoomed(c->Handle())) {
            c->SetWindowState(wsNormal);
            RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
}

// ---------------------------------------------------------------------------
// Hit testing and title elements

void TsSkinProvider::HitTest(TMessage& Message) {
    if (CaptionHeight() == 0) return OldProc(Message);
    Message.Result = TitleElementAt(Message);
    if (Message.Result == HTNOWHERE || Message.Result == HTCAPTION) {
        // The system's own answer: borders, corners, the client area.
        OldProc(Message);
        Title.SetHot(teNone, true);
    }
}

int TsSkinProvider::TitleElementAt(const TMessage& Message) {
    RECT wr{};
    GetWindowRect(Form->Handle(), &wr);
    const POINT p{Message.XPos() - wr.left, Message.YPos() - wr.top};
    const TRect icon = IconRect();
    const int height = TitleButtonSize(FSkinData->GetSkinManager(), Title.Close.ImageIndex).cy;
    const int title = TitleBarHitTest(p, TitleButtonTop(CaptionHeight(), SysBorderHeight(), height), height, icon.left,
                                      icon.right, Title.Hits(Title.Shown()));
    if (title != HTNOWHERE) {
        Title.SetHot(title == HTCAPTION ? teNone : title, true);
        return title;
    }
    if (GripMode == gmRightBottom) {
        TsSkinManager* m = FSkinData->GetSkinManager();
        if (const int grip = FrameGripMask(m); grip >= 0) {
            const TBitmap* cache = FSkinData->CacheBmp;
            const TPoint g =
                FrameGripPlace(m, grip, cache->Width(), cache->Height(), SysBorderWidth(), SysBorderHeight());
            if (p.y > g.y && p.x > g.x) return teGrip;
        }
    }
    for (int code : {teMDIClose, teMDIMax, teMDIMin}) {
        const TRect& r = Title.Element(code)->Rect;
        if (r.right > r.left && PtInRect(&r, p)) {
            Title.SetHot(code, true);
            return code;
        }
    }
    Title.SetHot(teNone, true);
    if (IsZoomed(Form->Handle()) && (p.x < 2 || p.y < 2 || p.x >= FormWidth() - 4 || p.y >= FormHeight() - 4))
        return HTTRANSPARENT;
    return HTNOWHERE;
}

void TsSkinProvider::NCLButtonDown(TMessage& Message) {
    const int code = int(Message.WParam);
    RECT wr{};
    GetWindowRect(Form->Handle(), &wr);
    const bool sizeCode = code >= HTLEFT && code <= HTBOTTOMRIGHT;
    if (ResizeMode == rmBorder && (code == HTCAPTION || sizeCode) && !IsZoomed(Form->Handle()) && !OutlineDragging()) {
        Title.SetHot(teNone, true);
        if (!Form->Active() && Form->FormStyle() != fsMDIChild) SetForegroundWindow(Form->Handle());
        // The size command carries the edge (WMSZ_*) in its low bits, as the system's own does.
        Form->Perform(WM_SYSCOMMAND, code == HTCAPTION ? SC_MOVE | HTCAPTION : SC_SIZE | (code - HTLEFT + WMSZ_LEFT),
                      Message.LParam);
        return;
    }
    switch (code) {
        case teIcon:
            Title.SetHot(teNone, true);
            DropSystemMenu(wr.left + SysBorderWidth(), wr.top + SysBorderHeight() + CaptionHeight());
            return;
        case teMin:
        case teMax:
        case teClose:
        case teHelp:
        case teMDIClose:
        case teMDIMax:
        case teMDIMin: Title.Press(code); return;
        default: break;
    }
    if (code >= teUserFirst && code - teUserFirst < FTitleButtons->Count()) {
        Title.Press(code);
        FTitleButtons->Items(code - teUserFirst)->MouseDown(mbLeft, TShiftState(), Message.XPos(), Message.YPos());
        return;
    }
    if (IsIconic(Form->Handle())) {
        Form->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        return;
    }
    Title.SetHot(teNone, true);
    if (IsZoomed(Form->Handle()) && Message.YPos() - wr.top <= SysBorderHeight() + CaptionHeight()) {
        if (!Form->Active()) Form->SetFocus();
        return;
    }
    OldProc(Message);
}

void TsSkinProvider::NCLButtonUp(TMessage& Message) {
    if (OutlineDragging()) return EndOutlineDrag(true);
    const int code = int(Message.WParam);
    const HWND wnd = Form->Handle();
    auto command = [wnd](WPARAM c) { SendMessageA(wnd, WM_SYSCOMMAND, c, 0); };
    switch (code) {
        case teHelp:
            if (Title.Pressed) command(SC_CONTEXTHELP);
            Title.SetHot(teNone, true);
            return;
        case teMin: {
            RECT wr{};
            GetWindowRect(wnd, &wr);
            const POINT p{Message.XPos() - wr.left, Message.YPos() - wr.top};
            if (!Title.Pressed) {
                Title.SetHot(teNone, true);
                return OldProc(Message);
            }
            if (!PtInRect(&Title.Min.Rect, p)) return OldProc(Message);
            Title.SetHot(teNone, true);
            command(IsIconic(wnd) ? SC_RESTORE : SC_MINIMIZE);
            return;
        }
        case teMax:
            if (!SystemMenu || !(SystemMenu->EnabledMax() || (IsZoomed(wnd) && SystemMenu->EnabledRestore()))) return;
            if (!Title.Pressed) {
                Title.SetHot(teNone, true);
                return OldProc(Message);
            }
            Title.SetHot(teNone, true);
            if (IsZoomed(wnd)) {
                if (Form->FormStyle() == fsMDIChild) ActiveChildProvider = nullptr;
                command(SC_RESTORE);
            } else {
                if (Form->FormStyle() == fsMDIChild) ActiveChildProvider = this;
                command(SC_MAXIMIZE);
            }
            if (SystemMenu) SystemMenu->UpdateItems();
            return;
        case teMDIClose:
        case teMDIMax:
        case teMDIMin:
            if (Title.Pressed)
                if (TCustomForm* child = MaximizedChild())
                    SendMessageA(child->Handle(), WM_SYSCOMMAND,
                                 code == teMDIClose ? SC_CLOSE
                                 : code == teMDIMax ? SC_RESTORE
                                                    : SC_MINIMIZE,
                                 0);
            Title.SetHot(teNone, true);
            RefreshFormFrame();
            return;
        case teClose:
            if (!Title.Pressed) return;
            Title.Close.State = TsPaintState::Normal;
            Title.Hot = teNone;
            Title.Pressed = false;
            command(SC_CLOSE);  // may free the form and this provider: nothing after it
            return;
        default: break;
    }
    if (code >= teUserFirst && code - teUserFirst < FTitleButtons->Count()) {
        if (Title.Pressed)
            FTitleButtons->Items(code - teUserFirst)->MouseUp(mbLeft, TShiftState(), Message.XPos(), Message.YPos());
        Title.SetHot(teNone, true);
        return;
    }
    OldProc(Message);
}

void TsSkinProvider::NCLButtonDblClk(TMessage& Message) {
    if (OutlineDragging()) EndOutlineDrag(false);
    const int code = int(Message.WParam);
    Message.Result = 0;
    if (code == teIcon) {
        Form->Close();
        return;
    }
    if (code != teCaption) return;
    const HWND wnd = Form->Handle();
    const bool toggle =
        SystemMenu && SystemMenu->VisibleClose() && (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore());
    if (!toggle && !(IsIconic(wnd) && !HasBorder())) return;
    if (IsZoomed(wnd) || IsIconic(wnd)) {
        SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else {
        if (Form->FormStyle() == fsMDIChild) ActiveChildProvider = this;
        SendMessageA(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    if (SystemMenu) SystemMenu->UpdateItems();
}

void TsSkinProvider::DropSystemMenu(int X, int Y) {
    if (!SystemMenu) return;
    if (MakeSkinMenu) {
        SystemMenu->RemoveSkinItems();
        SystemMenu->MakeSkinItems();
    }
    SystemMenu->UpdateItems();
    TsSkinManager* m = FSkinData->GetSkinManager();
    if (m && m->SkinnedPopups() && m->SkinableMenus) m->SkinableMenus->InitPopupMenu(SystemMenu, true);
    SystemMenu->SetWindowHandle(Form->Handle());
    SystemMenu->Popup(X, Y);
}
