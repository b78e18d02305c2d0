// The adapter base: attaching and releasing by handle, the command answers,
// the cache and border of the skinned window, and the small shared routines.
#include "acSBUtils.h"

#include "Forms.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"

#include <algorithm>
#include <cctype>
#include <vector>

const char* const acAdapterProp = "ACSBSC";
bool acCreatingChildAdapters = false;

CLASSLIB_DEFINE_CLASS(TacMainWnd, TObject)

namespace {

std::vector<TacMainWnd*>& AttachedList() {
    static std::vector<TacMainWnd*> list;
    return list;
}

bool IsAttached(const TacMainWnd* Adapter) {
    const auto& l = AttachedList();
    return std::find(l.begin(), l.end(), Adapter) != l.end();
}

// Plain windows hear no skin broadcast (that walks the class library's
// controls): the engine tells them through this hook.
void TellAdaptedWindows(TsSkinManager* Manager, WORD Code) {
    const std::vector<TacMainWnd*> adapters = AttachedList();
    for (TacMainWnd* a : adapters) {
        // An earlier answer may have released or freed this one.
        if (!IsAttached(a) || a->Destroyed || !a->WindowHook.Attached()) continue;
        SendSkinCommandToWindow(a->CtrlHandle, Code, reinterpret_cast<LPARAM>(Manager));
    }
}

String Upper(String S) {
    for (char& c : S) c = char(std::toupper(static_cast<unsigned char>(c)));
    return S;
}

}  // namespace

// The release shared by every route: procedure and property back, the
// window's own look restored, the press or hover on it forgotten.
void ReleaseAdapter(TacMainWnd* Adapter, bool Redraw, bool Repaint) {
    if (!Adapter || Adapter->Destroyed) return;
    const HWND h = Adapter->CtrlHandle;
    const bool live = IsWindow(h) != FALSE;
    if (live) ResetScrollTracking(h);
    Adapter->WindowHook.Release();
    Adapter->ControlHook.Release();
    if (live && GetPropA(h, acAdapterProp) == Adapter) RemovePropA(h, acAdapterProp);
    auto& l = AttachedList();
    l.erase(std::remove(l.begin(), l.end(), Adapter), l.end());
    Adapter->Destroyed = true;
    // The window's visual style comes back with every release, not only a destructor's.
    if (live) acSetWindowThemeOn(h);
    Adapter->RestoreOriginalLook();
    // Released, the window erases its own background again.
    if (TControl* owner = Adapter->SkinData ? Adapter->SkinData->OwnerControl : nullptr;
        Adapter->MadeOwnerOpaque && owner && !owner->ComponentState().Contains(csDestroying)) {
        TControlStyle style = owner->ControlStyle();
        style.Exclude(csOpaque);
        owner->SetControlStyle(style);
    }
    Adapter->MadeOwnerOpaque = false;
    if (Redraw && live && IsWindowVisible(h)) RedrawAdapterFrame(h, Repaint);
}

// The adapters attached right now, for the tests' leak checks (declared in
// their support: the library needs no count of them).
int AttachedAdapterCount() { return int(AttachedList().size()); }

// ---------------------------------------------------------------------------
// TacMainWnd

TacMainWnd::TacMainWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                       bool /*Repaint*/) {
    Construct(Handle, SkinData, SkinManager, SectionName, false);
    SubclassAdapterWindow(this, Handle);
}

TacMainWnd::TacMainWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                       const String& SectionName) {
    Construct(Handle, SkinData, SkinManager, SectionName, Defer.KeepTheme);
}

void TacMainWnd::Construct(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName,
                           bool KeepTheme) {
    CtrlHandle = Handle;
    SkinManager = Manager;
    Destroyed = false;
    if (Data) {
        SkinData.Borrow(Data);
        if (!SkinManager) SkinManager = Data->GetSkinManager();
    } else {
        SkinData.Own(std::make_unique<TsCommonData>(nullptr, true));
        SkinData->OwnerHandle = Handle;
        SkinData->SetSkinManager(Manager);
        if (!SkinManager) SkinManager = SkinData->GetSkinManager();
    }
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(SectionName);
    // A loaded skin without the section leaves the window its own look, its
    // visual style included.
    const bool lacksSection = SkinManager && SkinManager->Active() && !HasSkin(SkinData);
    if (!KeepTheme && !lacksSection && Upper(SectionName) != "DIALOG") acSetWindowThemeOff(Handle);
    DlgMode = acCreatingChildAdapters;
    SaveOriginalLook();
    ParamsApplied = false;
    Caption = ReadWindowText(Handle);
    // The skin paints the whole control from now on: nothing behind it need
    // be. A list view is left as it was: it paints its background only when
    // asked to erase it.
    if (TControl* owner = SkinData->OwnerControl;
        owner && !owner->InheritsFrom("TCustomListView") && !owner->ControlStyle().Contains(csOpaque)) {
        TControlStyle style = owner->ControlStyle();
        style.Include(csOpaque);
        owner->SetControlStyle(style);
        MadeOwnerOpaque = true;
    }
}

TacMainWnd::~TacMainWnd() {
    *FAlive = false;
    // While a form's adapter list is cleared outside a skin removal, the
    // window keeps its look; the hooks still leave its procedure chain (their
    // destructors), since nothing may call into a freed adapter.
    ReleaseFromDestructor(false);
    auto& l = AttachedList();
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    SkinData.Reset();
    SkinManager = nullptr;
}

void TacMainWnd::ReleaseFromDestructor(bool Redraw) {
    if (Destroyed || (acClearingAdapters && !acSkinRemoving) || !IsWindow(CtrlHandle)) return;
    ReleaseAdapter(this, Redraw, Redraw);
}

void TacMainWnd::MouseOver() {
    if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) && IsWindowEnabled(CtrlHandle) &&
        DefaultManager->HotWindow != CtrlHandle)
        SetActiveControl(DefaultManager, CtrlHandle);
}

bool TacMainWnd::SkinnedNow() const { return SkinData && SkinManager && SkinManager->Active(); }

bool TacMainWnd::OwnLook(const TMessage& M) const {
    return !SkinnedNow() || !HasSkin(SkinData) || M.Msg == WM_DESTROY || M.Msg == WM_NCDESTROY;
}

LRESULT TacMainWnd::CallPrevWndProc(TMessage& Message) {
    if (OldWindowProc) {
        Message.Result = 0;
        OldWindowProc(Message);
        return Message.Result;
    }
    return CallWindowProcMessageA(OldWndProc, CtrlHandle, Message);
}

bool TacMainWnd::CallPrevStays(TMessage& Message) {
    const TacLiveness live(this);
    CallPrevWndProc(Message);
    return !live.Gone();
}

LRESULT TacMainWnd::CallPrevWndProc(UINT Msg, WPARAM WParam, LPARAM& LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    const LRESULT r = CallPrevWndProc(m);
    LParam = m.LParam;
    return r;
}

void TacMainWnd::DestroyMessage(TMessage& Message) {
    if (OldWndProc || OldWindowProc) ReleaseAdapter(this, false, false);
    CallPrevWndProc(Message);
}

bool TacMainWnd::AlphaCommand(TMessage& M) {
    const bool own = OwnManager(SkinData, M.LParam) || reinterpret_cast<TsSkinManager*>(M.LParam) == SkinManager;
    switch (M.WParamHi()) {
        case AC_SKINNEDQUERY:
            M.LParam = 1;
            M.Result = 1;
            return true;
        case AC_NEWSKIN:
            if (own) {
                UpdateSkinIndexes(SkinData);
                SkinData->BGChanged = true;
            }
            return false;
        case AC_REMOVESKIN:
            if (own) RestoreOriginalLook();
            return false;
        case AC_REFRESH:
            if (!own) return false;
            UpdateSkinIndexes(SkinData);
            SkinData->BGChanged = true;
            SendMessageA(CtrlHandle, WM_PAINT, 0, 0);
            return true;
        case AC_GETCACHE: ParentCacheInfo = TCacheInfo{SkinData->CacheBmp, 0, 0, true}; return true;
        case AC_PARENTCHANGED:
            if (!IsUpdating(SkinData)) return false;
            SetUpdating(SkinData, false);
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            return true;
        case AC_GETBGCHANGED: M.LParam = SkinData->BGChanged || IsUpdating(SkinData) ? 1 : 0; return false;
        case AC_BGNOTPLAIN:
        case AC_GETBGCOLOR: return SkinData->OwnerControl && CommonAlphaCommand(M, SkinData);
        case AC_PREPARECACHE: UpdateAdapterCache(SkinData, CtrlHandle, false); return false;
        case AC_GETAPPLICATION:
            M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application));
            return true;
        default: return false;
    }
}

void TacMainWnd::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_DESTROY:
        case WM_NCDESTROY: return DestroyMessage(M);
        case WM_UPDATEUISTATE: return;
        case WM_PRINT: M.Result = SendMessageA(CtrlHandle, WM_PAINT, M.WParam, M.LParam); return;
        case WM_SIZE:
            if (SkinData) SkinData->BGChanged = true;
            break;
        case WM_SETTEXT:
            // An edit's OnChange runs in there.
            if (CallPrevStays(M)) Caption = ReadWindowText(CtrlHandle);
            return;
        case WM_MOUSEMOVE: MouseOver(); break;
        default: break;
    }
    if (SkinData && IsSkinCommand(M, AC_REMOVESKIN)) {
        // Comes when the manager is inactive already.
        AlphaCommand(M);
    } else if (SkinnedNow() && M.Msg == SM_ALPHACMD && AlphaCommand(M)) {
        return;
    }
    CallPrevWndProc(M);
}

// ---------------------------------------------------------------------------
// Free routines

bool SubclassAdapterWindow(TacMainWnd* Adapter, HWND Handle) {
    if (!Adapter || !IsWindow(Handle)) return false;
    Adapter->Painting = false;
    Adapter->CtrlHandle = Handle;
    SetPropA(Handle, acAdapterProp, Adapter);
    const TWndMethod method(Adapter, &TacMainWnd::WndProc);
    bool attached = false;
    if (TControl* owner = Adapter->SkinData ? Adapter->SkinData->OwnerControl : nullptr) {
        Adapter->OldWindowProc = owner->WindowProc;
        attached = Adapter->ControlHook.Attach(owner, method);
    } else {
        Adapter->OldWndProc = GetWindowProcA(Handle);
        attached = Adapter->WindowHook.Attach(Handle, method);
    }
    if (!attached) {
        // Nothing of ours is in the chain: the adapter is released at once,
        // so that whoever made it frees it.
        ReleaseAdapter(Adapter, false, false);
        Adapter->OldWindowProc = nullptr;
        Adapter->OldWndProc = nullptr;
        return false;
    }
    if (!IsAttached(Adapter)) AttachedList().push_back(Adapter);
    // Set here, not at start-up: the engine's hook table may be initialised after this unit.
    if (!acEngineHooks.TellAdaptedWindows) acEngineHooks.TellAdaptedWindows = &TellAdaptedWindows;
    return true;
}

void UnsubclassAdapterWindow(HWND Handle, bool FreeIt, bool Repaint, TacMainWnd*& Adapter) {
    if (!Adapter) return;
    if (!Adapter->Destroyed) ReleaseAdapter(Adapter, IsWindow(Handle) != FALSE, Repaint);
    if (FreeIt) {
        Adapter->OldWindowProc = nullptr;
        Adapter->OldWndProc = nullptr;
        delete Adapter;
        Adapter = nullptr;
    }
}

void RedrawAdapterFrame(HWND Handle, bool FrameChanged) {
    if (FrameChanged)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    else SendMessageA(Handle, WM_NCPAINT, 1, 0);
}

// The adapters' own list, newest first, as the window's property would name
// it: asking the window for its property is a round trip to the window
// server under Wine, and colour questions and paints ask for every child.
TacMainWnd* AdapterOfWindow(HWND Handle) {
    if (!Handle) return nullptr;
    const auto& l = AttachedList();
    for (auto it = l.rbegin(); it != l.rend(); ++it)
        if ((*it)->CtrlHandle == Handle) return *it;
    return nullptr;
}

std::vector<TacMainWnd*> ForeignChildAdapters(HWND Parent) {
    std::vector<TacMainWnd*> children;
    for (TacMainWnd* a : AttachedList())
        if (!a->Destroyed && a->WindowHook.Attached() && GetAncestor(a->CtrlHandle, GA_PARENT) == Parent)
            children.push_back(a);
    return children;
}

void RefreshAdaptedDescendants(HWND Window) {
    std::vector<HWND> below;
    for (const TacMainWnd* a : AttachedList())
        if (!a->Destroyed && IsChild(Window, a->CtrlHandle)) below.push_back(a->CtrlHandle);
    for (HWND h : below)
        if (IsWindow(h) && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) SendSkinCommandToWindow(h, AC_PARENTCHANGED, 0);
}

TacScrollBar* ScrollBarOfWindow(HWND Handle, int Bar) {
    auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(Handle));
    return a ? a->Bar(Bar) : nullptr;
}

int SetScrollBarMinThumb(HWND Handle, int Bar, int Size) {
    auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(Handle));
    if (!a) return 0;
    const int size = Size & 0xFFFF;
    if ((Bar == SB_HORZ || Bar == 3) && a->HorzBar) a->HorzBar->MinThumbSize = size;
    if ((Bar == SB_VERT || Bar == 3) && a->VertBar) a->VertBar->MinThumbSize = size;
    return 1;
}

String ReadWindowText(HWND Handle) {
    if (!IsWindow(Handle)) return String();
    if (IsNT) {
        const int n = GetWindowTextLengthW(Handle);
        if (n <= 0) return String();
        std::wstring w(std::size_t(n) + 1, L'\0');
        const int got = GetWindowTextW(Handle, &w[0], n + 1);
        const int bytes = WideCharToMultiByte(CP_ACP, 0, w.c_str(), got, nullptr, 0, nullptr, nullptr);
        String s(std::size_t(std::max(bytes, 0)), '\0');
        if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, w.c_str(), got, &s[0], bytes, nullptr, nullptr);
        return s;
    }
    // Sized by asking first: a caption may be of any length.
    const LRESULT n = SendMessageA(Handle, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return String();
    String s(std::size_t(n) + 1, '\0');
    const LRESULT got = SendMessageA(Handle, WM_GETTEXT, WPARAM(n + 1), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(std::size_t(std::clamp<LRESULT>(got, 0, n)));
    return s;
}

void AdapterGeometry(TacMainWnd* Adapter) {
    if (!Adapter) return;
    const HWND h = Adapter->CtrlHandle;
    Adapter->ParentWnd = GetParent(h);
    RECT r{}, pr{};
    GetWindowRect(h, &r);
    if (Adapter->ParentWnd) GetWindowRect(Adapter->ParentWnd, &pr);
    Adapter->WndRect = r;
    Adapter->ParentRect = pr;
    Adapter->WndSize = TPoint{r.right - r.left, r.bottom - r.top};
    Adapter->WndPos = TPoint{r.left - pr.left, r.top - pr.top};
    if (Adapter->ParentWnd) {
        const LRESULT offset = SendSkinCommandToWindow(Adapter->ParentWnd, AC_GETCHILDOFFSET, 0);
        if (offset) {
            Adapter->WndPos.x -= LOWORD(offset);
            Adapter->WndPos.y -= HIWORD(offset);
        }
    }
}

TWinControl* FindControlByHandle(HWND Handle, TComponent* Component) {
    if (!Component || !Handle) return nullptr;
    for (int i = 0; i < Component->ComponentCount(); ++i) {
        TComponent* c = Component->Components(i);
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleAllocated() && w->Handle() == Handle) return w;
        if (TWinControl* found = FindControlByHandle(Handle, c)) return found;
    }
    return nullptr;
}

namespace {

// The disabled look the owner chose, when it publishes one (a skinned
// editor does; the window it answers for is ours, so it is asked by name).
TsDisabledKind OwnerDisabledKind(const TControl* Owner) {
    if (!HasPublishedProperty(Owner, "DisabledKind")) return TsDisabledKind{dkBlended};
    return TsDisabledKind::FromBits(static_cast<std::uint64_t>(GetOrdProp(Owner, "DisabledKind")));
}

}  // namespace

void UpdateAdapterCache(TsCommonData* SkinData, HWND Handle, bool UseSkinFrame) {
    if (!SkinData || !SkinData->BGChanged || !IsWindow(Handle)) return;
    RECT r{};
    GetWindowRect(Handle, &r);
    const TCacheInfo ci = ParentCacheOfHandle(Handle);
    if (!SkinData->OwnerControl && !SkinData->OwnerHandle) SkinData->OwnerHandle = Handle;
    PrepareCacheBmp(SkinData);
    TBitmap* cache = SkinData->CacheBmp;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!cache || w <= 0 || h <= 0) return;
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!UseSkinFrame || !m || m->SkinFrameColor == acNoColor) {
        // A window without a parent has no picture behind it: the section
        // is painted over the parent colours (opaque when none is known).
        TPoint offset{0, 0};
        if (HWND parent = GetParent(Handle)) {
            RECT pr{};
            GetWindowRect(parent, &pr);
            offset = TPoint{r.left - pr.left, r.top - pr.top};
        }
        if (SkinData->SkinIndex >= 0) PaintDataItem(SkinData, ci, false, cache, offset, TRect{0, 0, w, h}, 0);
    } else {
        TCanvas* c = cache->Canvas();
        const RECT all{0, 0, w, h};
        HBRUSH fill = CreateSolidBrush(ColorToRGB(clWindow));
        FillRect(c->Handle(), &all, fill);
        DeleteObject(fill);
        HBRUSH frame = CreateSolidBrush(ColorToRGB(m->SkinFrameColor));
        FrameRect(c->Handle(), &all, frame);
        DeleteObject(frame);
    }
    if (TControl* owner = SkinData->OwnerControl; owner && !owner->Enabled())
        ApplyDisabledLook(cache, OwnerDisabledKind(owner), owner->Parent(), TPoint{owner->Left(), owner->Top()}, ci);
    SkinData->BGChanged = false;
}

namespace {

std::uint32_t PixelOf(TBitmap* B, int X, int Y) {
    const auto* row = static_cast<const std::uint8_t*>(B->ScanLine(Y)) + 3 * X;
    return (std::uint32_t(row[2]) << 16) | (std::uint32_t(row[1]) << 8) | row[0];
}

void SetPixelOf(TBitmap* B, int X, int Y, std::uint32_t C) {
    auto* row = static_cast<std::uint8_t*>(B->ScanLine(Y)) + 3 * X;
    row[0] = std::uint8_t(C);
    row[1] = std::uint8_t(C >> 8);
    row[2] = std::uint8_t(C >> 16);
}

}  // namespace

void PaintAdapterBorder(TacMainWnd* Adapter, int State) {
    if (!Adapter || !Adapter->SkinData || Adapter->DlgMode) return;
    TsCommonData* d = Adapter->SkinData;
    TsSkinManager* m = d->GetSkinManager();
    TBitmap* cache = d->CacheBmp;
    if (!m || !IsValidMaskIndex(m, d->BorderIndex) || !cache || cache->Width() <= 1 || cache->Height() <= 1) return;
    TBitmap* maskBmp = m->MaskBitmap(d->BorderIndex);
    if (!maskBmp) return;
    const TsMaskData& md = m->ma()[std::size_t(d->BorderIndex)];
    // The colour behind the corners: asked of a parent that is not skinned.
    TColor parentColor = acNoColor;
    const HWND parent = GetParent(Adapter->CtrlHandle);
    if (parent && !QueryWindowSkinCommand(parent, AC_SKINNEDQUERY) && acParentColor == acNoColor) {
        SendSkinCommandToWindow(parent, AC_GETBGCOLOR, 0);
        if (acParentColor != acNoColor) {
            const COLORREF c = ColorToRGB(acParentColor);
            parentColor = TColor((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
        }
    }
    const TCacheInfo pc = parentColor == acNoColor ? ParentCacheOfHandle(Adapter->CtrlHandle) : TCacheInfo{};
    // The corners of the state the section was painted in.
    const TacRect sr = md.StateRect(State);
    const int w = cache->Width(), h = cache->Height();
    // Corner pieces of the mask's margins; type 1 masks keep their opacity
    // rows below the states, so the key colour is read from the state rows alone.
    const struct {
        int mx, my, cx, cy, cw, ch;
    } corners[4] = {
        {sr.Left, sr.Top, 0, 0, md.WL, md.WT},
        {sr.Right - md.WR, sr.Top, w - md.WR, 0, md.WR, md.WT},
        {sr.Left, sr.Top + sr.Height() - md.WB, 0, h - md.WB, md.WL, md.WB},
        {sr.Right - md.WR, sr.Top + sr.Height() - md.WB, w - md.WR, h - md.WB, md.WR, md.WB},
    };
    for (const auto& c : corners)
        for (int y = 0; y < c.ch; ++y)
            for (int x = 0; x < c.cw; ++x) {
                const int cx = c.cx + x, cy = c.cy + y;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
                if (PixelOf(maskBmp, c.mx + x, c.my + y) != acNoColor) continue;
                if (parentColor != acNoColor) {
                    SetPixelOf(cache, cx, cy, parentColor);
                } else if (pc.Ready && pc.Bmp) {
                    const int px = pc.X + Adapter->WndPos.x + cx, py = pc.Y + Adapter->WndPos.y + cy;
                    if (px >= 0 && py >= 0 && px < pc.Bmp->Width() && py < pc.Bmp->Height())
                        SetPixelOf(cache, cx, cy, PixelOf(pc.Bmp, px, py));
                }
            }
    acParentColor = acNoColor;
}
