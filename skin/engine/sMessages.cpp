#include "sMessages.h"

#include "Scopes.h"

#include "sCommonData.h"
#include "sSkinManager.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

std::vector<TCustomForm*>& SkinnedFormList() {
    static std::vector<TCustomForm*> list;
    return list;
}

bool Destroying(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }

HWND WindowOf(TWinControl* c) { return c && c->HandleAllocated() ? c->Handle() : nullptr; }

bool SameText(const String& a, const String& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The skin data a control publishes, if any.
TsCommonData* SkinDataOf(TControl* c) { return dynamic_cast<TsCommonData*>(GetObjectProp(c, "SkinData")); }

}  // namespace

bool OwnManager(const TsCommonData* SkinData, LPARAM LParam) {
    return SkinData && SkinData->GetSkinManager() && reinterpret_cast<LPARAM>(SkinData->GetSkinManager()) == LParam;
}

// ---------------------------------------------------------------------------
// The shared handler

bool CommonAlphaCommand(TMessage& M, TsCommonData* d) {
    if (!d || M.Msg != SM_ALPHACMD) return false;
    const WORD arg = M.WParamLo();
    TControl* owner = d->OwnerControl;
    auto answer = [&M](LPARAM value) {
        M.LParam = value;
        M.Result = value;
        return true;
    };
    switch (M.WParamHi()) {
        case AC_NEWSKIN:
            if (OwnManager(d, M.LParam)) {
                d->Updating = true;
                d->UpdateIndexes();
            }
            return false;
        case AC_REMOVESKIN:
            if (OwnManager(d, M.LParam)) {
                d->SkinIndex = d->BorderIndex = d->Texture = d->HotTexture = -1;
                d->Updating = true;
                if (d->CacheBmp) d->CacheBmp->SetSize(0, 0);
                ApplyEditColors(d, false);
            }
            return false;
        case AC_REFRESH:
            if (OwnManager(d, M.LParam)) {
                d->BGChanged = true;
                d->Updating = false;
                if (HasSkin(d)) ApplyEditColors(d, true);
                if (auto* w = dynamic_cast<TWinControl*>(owner)) RefreshChildControls(w);
            }
            return false;
        case AC_GETCACHE:
            if (!d->CacheBmp || d->CacheBmp->Empty()) return false;
            ParentCacheInfo = MakeCacheInfo(d->CacheBmp, 0, 0);
            return answer(1);
        case AC_SKINNEDQUERY: return answer(1);
        case AC_SETUPDATING: d->Updating = arg == 1; return false;
        case AC_SETFLAG9: d->Command9Flag = arg == 1; return false;
        case AC_GETBGCHANGED: return answer(d->BGChanged || IsUpdating(d) ? 1 : 0);
        case AC_GETHALFVISIBLE: return answer(d->HalfVisible ? 1 : 0);
        case AC_BGCHANGEDIFTRANS:
            if (arg == 1)
                if (const TsGeneralData* s = d->Section())
                    if (s->Transparency > 0) d->BGChanged = true;
            return false;
        case AC_INVALIDATEGLOBAL:
            if (d->SkinSection() == acGlobalInfoName) InvalidateOwner(d);
            return false;
        case AC_SETPAINTINGCHILD: d->PaintingChild = reinterpret_cast<TControl*>(M.LParam); return false;
        case AC_SETBGCHANGED: d->BGChanged = true; return false;
        case AC_BGNOTPLAIN: {
            const TsGeneralData* s = d->Section();
            const bool notPlain =
                s && (s->GradientPercent > 0 || s->Transparency > 0 || (s->ImagePercent > 0 && d->Texture >= 0));
            return answer(notPlain ? 1 : 0);
        }
        case AC_GETAPPLICATION:
            M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application));
            return true;
        case AC_GETCHILDOFFSET: M.Result = 0; return true;
        default: return false;
    }
}

bool CommonMessage(TMessage& M, TsCommonData* d) {
    if (!d) return false;
    if (M.Msg == SM_ALPHACMD) return CommonAlphaCommand(M, d);
    TControl* owner = d->OwnerControl;
    auto* win = dynamic_cast<TWinControl*>(owner);
    switch (M.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (win && win->CanFocus()) {
                d->BGChanged = true;
                d->Focused = M.Msg == WM_SETFOCUS;
            }
            break;
        case CM_MOUSEENTER: {
            if (!owner || owner->ComponentState().Contains(csDesigning)) break;
            TControl* entered = reinterpret_cast<TControl*>(M.LParam);
            if (win && DefaultManager) ReleaseSharedHot(win, entered);
            // The message also reaches the parents of the control entered.
            if (entered && entered != owner) break;
            if (!IsNoHoverCode(d->ControlTypeCode)) d->MouseAbove = true;
            if (TsSkinManager* m = d->GetSkinManager())
                if (HWND h = WindowOf(win)) SetActiveControl(m, h);
            break;
        }
        case CM_MOUSELEAVE: {
            TControl* left = reinterpret_cast<TControl*>(M.LParam);
            if (left && left != owner) break;
            if (!IsNoHoverCode(d->ControlTypeCode)) d->MouseAbove = false;
            break;
        }
        case CM_VISIBLECHANGED:
            if (owner && owner->Visible()) d->BGChanged = true;
            else if (d->CacheBmp) d->CacheBmp->SetSize(0, 0);
            break;
        case WM_MOVE:
            if (owner && NeedsParentBackground(d)) SendSkinCommand(owner, AC_PARENTBGCHANGED, 0, 1);
            break;
        case WM_SIZE:
            d->BGChanged = true;
            if (const TsGeneralData* s = d->Section())
                if (s->GradientPercent >= 1 && win)
                    for (int i = 0; i < win->ControlCount(); ++i) {
                        TControl* c = win->Controls(i);
                        // An opaque child paints all of itself: a gradient change behind it shows nowhere.
                        if (Destroying(c) || c->ControlStyle().Contains(csOpaque)) continue;
                        SendSkinCommand(c, AC_PARENTBGCHANGED, 0, 1);
                    }
            break;
        case WM_PARENTNOTIFY:
            if (LOWORD(M.WParam) == WM_CREATE && acEngineHooks.RefreshScrollAdapter)
                acEngineHooks.RefreshScrollAdapter(d);
            break;
        default: break;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Sending commands

LRESULT SendSkinCommand(TControl* Control, WORD Code, LPARAM Data, WORD Argument) {
    if (!Control) return 0;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        if (Destroying(w) || !w->HandleAllocated()) return 0;
        return SendMessageA(w->Handle(), SM_ALPHACMD, acCommandWParam(Code, Argument), Data);
    }
    return Control->Perform(SM_ALPHACMD, acCommandWParam(Code, Argument), Data);
}

LRESULT SendSkinCommandToWindow(HWND Handle, WORD Code, LPARAM Data, WORD Argument) {
    return Handle ? SendMessageA(Handle, SM_ALPHACMD, acCommandWParam(Code, Argument), Data) : 0;
}

bool QuerySkinCommand(TControl* Control, WORD Code) {
    if (!Control) return false;
    TMessage m{SM_ALPHACMD, acCommandWParam(Code), 0, 0};
    Control->Perform(m);
    if (m.LParam == 1) return true;
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w || Destroying(w) || !w->HandleAllocated()) return false;
    // While the window still runs our own procedure, a message would reach
    // the same WindowProc that Perform just asked (and parents ask their
    // parents in turn): its answer is already in Result. Only a procedure
    // put in by someone else can answer differently.
    const HWND h = w->Handle();
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)) == ClassLibWindowProc()) return m.Result == 1;
    return SendMessageA(h, SM_ALPHACMD, acCommandWParam(Code), 0) == 1;
}

bool QueryWindowSkinCommand(HWND Window, WORD Code) {
    return Window && IsWindow(Window) && SendSkinCommandToWindow(Window, Code, 0) == 1;
}

// ---------------------------------------------------------------------------
// Parent pictures and colours

TCacheInfo MakeCacheInfo(TBitmap* Bitmap, int X, int Y) { return TCacheInfo{Bitmap, X, Y, true}; }

TCacheInfo ParentCacheOf(TsCommonData* SkinData) {
    ParentCacheInfo.Ready = false;
    if (!SkinData) return ParentCacheInfo;
    if (TControl* c = SkinData->OwnerControl) {
        if (c->Parent()) SendSkinCommand(c->Parent(), AC_GETCACHE, 0);
        return ParentCacheInfo;
    }
    return ParentCacheOfHandle(SkinData->OwnerHandle);
}

TCacheInfo ParentCacheOfHandle(HWND Window) {
    ParentCacheInfo.Ready = false;
    if (HWND parent = Window ? GetParent(Window) : nullptr) SendSkinCommandToWindow(parent, AC_GETCACHE, 0);
    return ParentCacheInfo;
}

TColor QueryParentColor(TControl* Control) {
    acParentColor = acNoColor;
    if (!Control) return acParentColor;
    SendSkinCommand(Control, AC_GETBGCOLOR, 0);
    if (acParentColor == acNoColor) acParentColor = Control->Color();
    acParentColor = TColor(ColorToRGB(acParentColor));
    return acParentColor;
}

// ---------------------------------------------------------------------------
// Walking children

void BroadcastToChildren(TControl* Control, TMessage& Message) {
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w) return;
    // Each child as the list stood when the broadcast began. A handler may
    // free or move its own control, another child, or (deeper down) the
    // container itself: each is watched, and only the pointer of one that
    // left is compared, never read through.
    std::vector<TControl*> children;
    children.reserve(static_cast<std::size_t>(w->ControlCount()));
    for (int i = 0; i < w->ControlCount(); ++i) children.push_back(w->Controls(i));
    TFreeWatch container(w);
    for (TControl* c : children) {
        if (container.Freed()) return;
        if (!w->HasChild(c)) continue;
        if (Destroying(c)) return;
        TFreeWatch child(c);
        TMessage m = Message;
        c->Perform(m);
        if (child.Freed() || container.Freed() || c->Parent() != w) continue;
        auto* cw = dynamic_cast<TWinControl*>(c);
        if (cw && !QuerySkinCommand(cw, AC_SKINNEDQUERY) && !child.Freed()) BroadcastToChildren(cw, Message);
    }
}

void ReleaseSharedHot(TWinControl* Container, TControl* Entered) {
    if (!Container) return;
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (c == Entered) continue;
        const TsCommonData* cd = SkinDataOf(c);
        if (cd && cd->MouseAbove && QuerySkinCommand(c, AC_SHAREDHOT))
            c->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));
    }
}

// Our own controls hear it through WindowProc (adapters on them hook it too):
// no trip through the window manager for each child of each paint.
void RefreshChildControls(TWinControl* Container) {
    if (!Container) return;
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (Destroying(c) || dynamic_cast<TGraphicControl*>(c)) continue;
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || (w->HandleAllocated() && w->Showing())) c->Perform(SM_ALPHACMD, acCommandWParam(AC_PARENTCHANGED), 0);
    }
}

namespace {
BOOL CALLBACK CollectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}
}  // namespace

void RefreshChildWindows(HWND Window) {
    if (!Window) return;
    std::vector<HWND> children;
    EnumChildWindows(Window, CollectWindow, reinterpret_cast<LPARAM>(&children));
    for (HWND h : children)
        if (IsWindow(h) && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) SendSkinCommandToWindow(h, AC_PARENTCHANGED, 0);
}

void NotifyFormControlLoaded(TControl* Control) {
    if (!Control || Control->ComponentState().Contains(csDesigning)) return;
    TCustomForm* form = Control->GetParentForm();
    if (form && form != Control && form->HandleAllocated())
        SendSkinCommandToWindow(form->Handle(), AC_CONTROLLOADED, reinterpret_cast<LPARAM>(Control));
}

void SetActiveControl(TsSkinManager* Manager, HWND Window) {
    if (!Manager || Manager->HotWindow == Window) return;
    HWND old = Manager->HotWindow;
    Manager->HotWindow = Window;
    const LPARAM m = reinterpret_cast<LPARAM>(Manager);
    if (old && IsWindow(old)) SendSkinCommandToWindow(old, AC_MOUSELEAVE, m);
    if (Window && IsWindow(Window)) SendSkinCommandToWindow(Window, AC_MOUSEENTER, m);
}

// ---------------------------------------------------------------------------
// Skin changes

void AddSkinnedForm(TCustomForm* Form) {
    auto& list = SkinnedFormList();
    if (Form && std::find(list.begin(), list.end(), Form) == list.end()) list.push_back(Form);
}

void RemoveSkinnedForm(TCustomForm* Form) {
    auto& list = SkinnedFormList();
    auto it = std::find(list.begin(), list.end(), Form);
    if (it == list.end()) return;
    *it = list.back();
    list.pop_back();
}

// The tests' view of the list (declared in their support: the library needs
// no count of it).
int SkinnedFormCount() { return static_cast<int>(SkinnedFormList().size()); }
TCustomForm* SkinnedForms(int Index) { return SkinnedFormList().at(static_cast<std::size_t>(Index)); }

namespace {

// The forms a skin change is announced to: the application's (no MDI
// children, none loading, designed or being destroyed), then the skinned
// forms not among them.
std::vector<TCustomForm*> FormsToTell() {
    std::vector<TCustomForm*> forms;
    auto usable = [](TCustomForm* f) {
        const TComponentState st = f->ComponentState();
        return !st.Contains(csLoading) && !st.Contains(csDesigning) && !st.Contains(csDestroying);
    };
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f && f->FormStyle() != fsMDIChild && usable(f)) forms.push_back(f);
    }
    for (TCustomForm* f : SkinnedFormList())
        if (usable(f) && std::find(forms.begin(), forms.end(), f) == forms.end()) forms.push_back(f);
    return forms;
}

void TellForms(const std::vector<TCustomForm*>& forms, WORD Code, TsSkinManager* Manager) {
    const LPARAM m = reinterpret_cast<LPARAM>(Manager);
    for (TCustomForm* f : forms) {
        // A handler may free forms: only those still known are told.
        bool alive = false;
        for (int i = 0; i < Screen->FormCount() && !alive; ++i) alive = Screen->Forms(i) == f;
        alive = alive || std::find(SkinnedFormList().begin(), SkinnedFormList().end(), f) != SkinnedFormList().end();
        if (!alive || Destroying(f)) continue;
        if (f->HandleAllocated()) SendSkinCommandToWindow(f->Handle(), Code, m);
        if (f->FormStyle() == fsMDIForm && f->ClientHandle()) SendSkinCommandToWindow(f->ClientHandle(), Code, m);
        TMessage msg{SM_ALPHACMD, acCommandWParam(Code), m, 0};
        BroadcastToChildren(f, msg);
    }
    if (acEngineHooks.TellAdaptedWindows) acEngineHooks.TellAdaptedWindows(Manager, Code);
}

}  // namespace

namespace {

// Skinned forms stop drawing while their parts change (only visible ones:
// WM_SETREDRAW would show a hidden window again when drawing resumes). They
// draw again however the change ends: a control's handler may throw, and the
// exception goes on to the caller, not leaving every form frozen behind it.
class TRedrawLock {
public:
    TRedrawLock() {
        for (TCustomForm* f : SkinnedFormList()) {
            HWND h = WindowOf(f);
            if (h && IsWindowVisible(h)) {
                SendMessageA(h, WM_SETREDRAW, FALSE, 0);
                FLocked.push_back(h);
            }
        }
    }
    ~TRedrawLock() {
        for (HWND h : FLocked) {
            if (!IsWindow(h)) continue;
            SendMessageA(h, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    TRedrawLock(const TRedrawLock&) = delete;
    TRedrawLock& operator=(const TRedrawLock&) = delete;

private:
    std::vector<HWND> FLocked;
};

}  // namespace

void SendNewSkin(TsSkinManager* Manager, bool Removing) {
    if (!Manager) return;
    const TRedrawLock lock;
    const std::vector<TCustomForm*> forms = FormsToTell();
    if (Removing) {
        const TBoolScope removing(acSkinRemoving, true);
        Manager->RemoveHook();
        TellForms(forms, AC_REMOVESKIN, Manager);
    } else {
        if (Manager->SkinableMenus && acEngineHooks.ResetMenuBorderWidth)
            acEngineHooks.ResetMenuBorderWidth(Manager->SkinableMenus);
        // The system's settings may have changed while no skinned form listened.
        acForgetSystemMetrics();
        {
            const TBoolScope changing(acSkinChanging, true);
            Manager->UpdateStandardIndexes();
            TellForms(forms, AC_NEWSKIN, Manager);
        }
        if (Manager->IsDefault()) Manager->InstallHook();
        TellForms(forms, AC_STOPFADE, Manager);
        TellForms(forms, AC_REFRESH, Manager);
    }
}

void SyncSkinableMenus(TsSkinManager* Manager) {
    if (!Manager || !Manager->SkinableMenus || !acEngineHooks.SetMenusActive) return;
    const bool active = Manager->Active() && Manager->SkinnedPopups();
    if (!acEngineHooks.MenusActive || acEngineHooks.MenusActive(Manager->SkinableMenus) != active)
        acEngineHooks.SetMenusActive(Manager->SkinableMenus, active);
}

// ---------------------------------------------------------------------------
// Forms, screen, messages

TCustomForm* FindOwnerForm(TComponent* Component) {
    for (TComponent* c = Component ? Component->Owner() : nullptr; c; c = c->Owner())
        if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
    return nullptr;
}

TRect GetDesktopWorkArea() {
    TRect r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

int SumAlignedChildSizes(TWinControl* Container, TAlign Align, TControl* Except) {
    if (!Container) return 0;
    int sum = 0;
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (c == Except || !c->Visible() || c->Align() != Align) continue;
        sum += Align == alTop || Align == alBottom ? c->Height() : Align == alLeft || Align == alRight ? c->Width() : 0;
    }
    return sum;
}

void ShowErrorMessage(const String& Text) { MessageBoxByType(Text, "Error", MB_OK | MB_ICONERROR); }

int MessageBoxByType(const String& Text, const String& Caption, UINT Type, int X, int Y, HWND Owner) {
    acDialogPos = TPoint{X, Y};
    const int result = MessageBoxA(Owner ? Owner : GetActiveWindow(), Text.c_str(), Caption.c_str(), Type);
    acDialogPos = TPoint{-1, -1};
    return result;
}

int CaptionFontHeight() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return GetSystemMetrics(SM_CYCAPTION);
    return ncm.lfCaptionFont.lfHeight ? std::abs(ncm.lfCaptionFont.lfHeight) : ncm.iCaptionHeight;
}

// ---------------------------------------------------------------------------
// Published properties

TObject* GetObjectPropByName(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->Kind == TTypeKind::tkClass ? GetObjectProp(Obj, Name) : nullptr;
}

std::int64_t GetOrdPropByName(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->GetOrd ? p->GetOrd(Obj) : -1;
}

bool SetOrdPropByName(TObject* Obj, const String& Name, std::int64_t Value) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    if (!p || !p->SetOrd) return false;
    p->SetOrd(Obj, Value);
    return true;
}

namespace {
int SetElementBit(const TPropInfo* p, const String& ElementName) {
    if (!p || p->Kind != TTypeKind::tkSet || !p->GetOrd) return -1;
    for (std::size_t i = 0; i < p->ElementNames.size() && i < 64; ++i)
        if (SameText(p->ElementNames[i], ElementName)) return static_cast<int>(i);
    return -1;
}
}  // namespace

bool SetPropContains(const TObject* Obj, const String& PropName, const String& ElementName) {
    const TPropInfo* p = GetPropInfo(Obj, PropName);
    const int bit = SetElementBit(p, ElementName);
    return bit >= 0 && (static_cast<std::uint64_t>(p->GetOrd(Obj)) >> bit & 1) != 0;
}

bool SetSetPropElement(TObject* Obj, const String& PropName, const String& ElementName, bool Include) {
    const TPropInfo* p = GetPropInfo(Obj, PropName);
    const int bit = SetElementBit(p, ElementName);
    if (bit < 0 || !p->SetOrd) return false;
    std::uint64_t v = static_cast<std::uint64_t>(p->GetOrd(Obj));
    v = Include ? v | (std::uint64_t(1) << bit) : v & ~(std::uint64_t(1) << bit);
    p->SetOrd(Obj, static_cast<std::int64_t>(v));
    return true;
}

// ---------------------------------------------------------------------------
// Small helpers

String RemoveChar(const String& Text, char C) {
    String s = Text;
    s.erase(std::remove(s.begin(), s.end(), C), s.end());
    return s;
}

String ReplaceAll(const String& Text, const String& Old, const String& New) {
    if (Old.empty()) return Text;
    String s;
    std::size_t pos = 0;
    for (std::size_t found; (found = Text.find(Old, pos)) != String::npos; pos = found + Old.size())
        s.append(Text, pos, found - pos).append(New);
    return s.append(Text, pos, String::npos);
}

String ExtractDelimitedWord(int N, const String& Text, const String& Delimiters) {
    int index = 0;
    std::size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && Delimiters.find(Text[i]) != String::npos) ++i;
        if (i >= Text.size()) break;
        std::size_t end = i;
        while (end < Text.size() && Delimiters.find(Text[end]) == String::npos) ++end;
        if (++index == N) return Text.substr(i, end - i);
        i = end;
    }
    return String();
}

bool RectContainsRect(const TRect& Outer, const TRect& Inner) {
    const TRect grown{Outer.left, Outer.top, Outer.right + 1, Outer.bottom + 1};
    const POINT a{Inner.left, Inner.top}, b{Inner.right, Inner.bottom};
    return PtInRect(&grown, a) && PtInRect(&grown, b);
}
