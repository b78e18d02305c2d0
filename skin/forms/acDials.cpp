// The window-creation hook: which windows get a provider on activation, the
// table that gives a dialog's children their adapters by class name, popup
// menu windows skinned on creation, and the providers' lifetime.
#include "acDials.h"

#include "Forms.h"
#include "acSBUtilsSimple.h"
#include "sMessages.h"
#include "sSkinProvider.h"

#include <algorithm>
#include <cctype>

HHOOK acHookHandle = nullptr;
std::vector<TacProvider*> acProviderList;
std::vector<TacMnuWnd*> acMenuAdapters;
LONG_PTR acLastDialogStyle = 0;

CLASSLIB_DEFINE_CLASS(TacProvider, TComponent)

namespace {

// A provider is taken out of the list before it is freed, so that a search
// running meanwhile (the hook may run inside a dialog's destruction) never
// meets it half freed.
void Unlist(TacProvider* Provider) {
    acProviderList.erase(std::remove(acProviderList.begin(), acProviderList.end(), Provider), acProviderList.end());
}

String Lower(String S) {
    for (char& c : S) c = char(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

// The menu painter and the popup windows it opens are the manager's; the
// hook only adds the adapter that paints the window's frame.
void MenuWindowCreated(HWND Window) {
    if (!DefaultManager || !DefaultManager->Active()) return;
    if (Lower(WindowClassName(Window)) != "#32768" || QueryWindowSkinCommand(Window, AC_SKINNEDQUERY)) return;
    auto* a = new TacMnuWnd(Window, nullptr, DefaultManager, "MAINMENU", false);
    a->CtrlHandle = Window;
    acMenuAdapters.push_back(a);
}

// Adapters of menus that are closed are freed as the next window goes, so
// that opening many menus leaves nothing behind.
void FreeClosedMenuAdapters() {
    auto& l = acMenuAdapters;
    for (auto it = l.begin(); it != l.end();) {
        if ((*it)->Destroyed) {
            delete *it;
            it = l.erase(it);
        } else {
            ++it;
        }
    }
}

void WindowDestroying(HWND Window) {
    // A provider that skins nothing goes with its window.
    TacProvider* p = ProviderOfWindow(Window);
    if (p && !p->DialogWnd && !p->SkinProvider) {
        Unlist(p);
        delete p;
    }
    FreeClosedDialogProviders();
    FreeClosedMenuAdapters();
}

// The windows of the edit, list and combo families take scrolling adapters;
// the simple kinds (statics, buttons, panes, tool bars, spins, grips) are
// chosen by the simple adapters' own table.
TacMainWnd* MakeChildAdapter(const String& Class, LONG_PTR s, HWND Child, TsSkinManager* m, bool& Veto,
                             bool& WithGeometry) {
    if (Class == "combobox" || Class == "comboboxex32") return new TacComboBoxWnd(Child, nullptr, m, "COMBOBOX", true);
    if (Class == "combolbox") return new TacEditWnd(Child, nullptr, m, "COMBOBOX", true);
    if (Class == "listbox" || Class == "edit") return new TacEditWnd(Child, nullptr, m, "EDIT", true);
    if (Class == "syslistview32") return new TacListViewWnd(Child, nullptr, m, "EDIT", true);
    if (Class == "systreeview32") return new TacTreeViewWnd(Child, nullptr, m, "EDIT", true);
    if (Class == "systabcontrol32") {
        // The one property sheet whose pages the skin cannot follow.
        RECT r{};
        GetWindowRect(Child, &r);
        Veto = r.right - r.left == 470 && r.bottom - r.top == 349;
        return nullptr;
    }
    if (Class == "toolbarwindow32" && (s & TBSTYLE_WRAPABLE)) return new TacToolBarWnd(Child, nullptr, m, "BAR", true);
    if (Class.find("shbrowseforfolder") != String::npos)
        return new TacTransPanelWnd(Child, nullptr, m, "CHECKBOX", true);
    // Class-library panels are placed by their control, not by their window.
    WithGeometry = Class != "tpanel" && Class != "tsilentpaintpanel";
    return CreateSimpleAdapter(Child, m);
}

struct TCreatingFlag {
    TCreatingFlag() { acCreatingChildAdapters = true; }
    ~TCreatingFlag() { acCreatingChildAdapters = false; }
};

}  // namespace

// ---------------------------------------------------------------------------
// TacProvider

TacProvider::TacProvider(TComponent* AOwner) : TComponent(AOwner) {
    LeftScrollBar = false;
    ++FInstanceCount;
}

TacProvider::~TacProvider() {
    Unlist(this);
    if (!SkinProvider) {
        for (TacMainWnd* a : ChildAdapters) delete a;
        ChildAdapters.clear();
        delete DialogWnd;
        DialogWnd = nullptr;
    }
    --FInstanceCount;
}

// ---------------------------------------------------------------------------
// Look-ups

String WindowClassName(HWND Window) {
    char buf[257] = {};  // class names are at most 256 characters
    GetClassNameA(Window, buf, sizeof buf);
    return String(buf);
}

TacProvider* ProviderOfWindow(HWND Window) {
    for (TacProvider* p : acProviderList)
        if (p && p->CtrlHandle == Window) return p;
    return nullptr;
}

TCustomForm* FormOfWindow(HWND Window) {
    // Only forms that already have a window can be this one: asking the
    // others for theirs would make windows inside the hook.
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (!f || !f->HandleAllocated()) continue;
        if (f->Handle() == Window) return f;
        if (f->FormStyle() == fsMDIForm)
            for (int k = 0; k < f->MDIChildCount(); ++k) {
                TCustomForm* c = f->MDIChildren(k);
                if (c && c->HandleAllocated() && c->Handle() == Window) return c;
            }
    }
    return nullptr;
}

int VisibleDialogCount() {
    int n = 0;
    for (TacProvider* p : acProviderList)
        if (p && p->DialogWnd && IsWindowVisible(p->CtrlHandle)) ++n;
    return n;
}

bool HasDescendantOfClass(HWND Window, const String& LowerClassName) {
    for (HWND c = GetTopWindow(Window); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (Lower(WindowClassName(c)) == LowerClassName || HasDescendantOfClass(c, LowerClassName)) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The hook

LRESULT CALLBACK CBTHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    const LRESULT result = CallNextHookEx(acHookHandle, Code, WParam, LParam);
    switch (Code) {
        case HCBT_CREATEWND: MenuWindowCreated(reinterpret_cast<HWND>(WParam)); break;
        case HCBT_DESTROYWND: WindowDestroying(reinterpret_cast<HWND>(WParam)); break;
        case HCBT_ACTIVATE: SkinActivatedWindow(reinterpret_cast<HWND>(WParam)); break;
        default: break;
    }
    return result;
}

bool InstallDialogHook(TsSkinManager*) {
    if (!acHookHandle) acHookHandle = SetWindowsHookExA(WH_CBT, CBTHookProc, nullptr, GetCurrentThreadId());
    return acHookHandle != nullptr;
}

void RemoveDialogHook(TsSkinManager*) {
    if (acHookHandle) UnhookWindowsHookEx(acHookHandle);
    acHookHandle = nullptr;
    while (!acProviderList.empty()) delete acProviderList.back();  // each unlists itself
    ClearMenuAdapters();
}

void ClearMenuAdapters() {
    std::vector<TacMnuWnd*> l;
    l.swap(acMenuAdapters);
    for (TacMnuWnd* a : l) delete a;
}

bool SkinActivatedWindow(HWND Window) {
    TsSkinManager* m = DefaultManager;
    // Activation may go to no window at all (wParam 0).
    if (!Window || !IsWindow(Window)) return false;
    if (!m || QueryWindowSkinCommand(Window, AC_SKINNEDQUERY) || ProviderOfWindow(Window)) return false;
    TCustomForm* form = FormOfWindow(Window);
    const String cls = WindowClassName(Window);
    if (cls == "TApplication" || cls == "TQRStandardPreview") return false;
    if (form) {
        if (form->ClassName() == "TMessageForm") {
            if (!m->SkinningRules.Contains(srStdDialogs)) return false;
        } else if (!m->SkinningRules.Contains(srStdForms) || form->Tag() == -98 || ProviderOf(form)) {
            return false;
        }
        auto* p = TObject::Create<TacProvider>(form);
        p->CtrlHandle = Window;
        acProviderList.push_back(p);
        CreateFormProvider(p, form);
        return true;
    }
    if (!m->SkinningRules.Contains(srStdDialogs)) return false;
    // A second dialog over a skinned one is left as it is, unless it is a
    // file dialog (those hold a tool bar).
    if (VisibleDialogCount() > 0 && !HasDescendantOfClass(Window, "toolbarwindow32")) return false;
    auto* p = TObject::Create<TacProvider>(nullptr);
    acProviderList.push_back(p);
    if (!InitDialogProvider(p, Window)) {
        delete p;
        return false;
    }
    return true;
}

void CreateFormProvider(TacProvider* Provider, TCustomForm* Form) {
    auto* sp = TObject::Create<TsSkinProvider>(Form);
    sp->MakeSkinMenu = false;
    Provider->SkinProvider = sp;
}

bool InitDialogProvider(TacProvider* Provider, HWND Window) {
    Provider->CtrlHandle = Window;
    Provider->ChildAdapters.clear();
    TsSkinManager* m = DefaultManager;
    if (Provider->DialogWnd || !m || !m->Active()) return true;
    acLastDialogStyle = GetWindowLongPtrA(Window, GWL_STYLE);
    Provider->LeftScrollBar = (GetWindowLongPtrA(Window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const String cls = WindowClassName(Window);
    if (cls != "#32770" && cls != "TMessageForm") return true;
    InitDialogAdapter(Window, Provider->DialogWnd);
    if (!Provider->DialogWnd) return true;
    Provider->DialogWnd->Provider = Provider;
    if (acDialogPos.x != -1 || acDialogPos.y != -1)
        SetWindowPos(Window, nullptr, acDialogPos.x, acDialogPos.y, 0, 0,
                     SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
    if (!CreateChildAdapters(Provider, Window)) {
        Unlist(Provider);
        return false;
    }
    Provider->DialogWnd->PrepareDialog();
    SendSkinCommandToWindow(Window, AC_NEWSKIN, reinterpret_cast<LPARAM>(m));
    return true;
}

bool CreateChildAdapters(TacProvider* Provider, HWND Parent) {
    for (HWND c = GetTopWindow(Parent); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!CreateChildAdapters(Provider, c)) return false;
        if ((GetWindowLongPtrA(c, GWL_STYLE) & WS_CHILD) && !AdapterForChildWindow(Provider, c)) return false;
    }
    return true;
}

bool AdapterForChildWindow(TacProvider* Provider, HWND Child) {
    // An adapter attached earlier counts whatever it answers: a scrolling
    // adapter whose section the skin lacks says it is not skinned.
    if (!Child || AdapterOfWindow(Child) || QueryWindowSkinCommand(Child, AC_SKINNEDQUERY)) return true;
    const TCreatingFlag creating;
    const String cls = Lower(WindowClassName(Child));
    const LONG_PTR s = GetWindowLongPtrA(Child, GWL_STYLE);
    TsSkinManager* m = Provider->DialogWnd && Provider->DialogWnd->SkinData
                           ? Provider->DialogWnd->SkinData->GetSkinManager()
                           : DefaultManager;
    bool veto = false, geometry = true;
    TacMainWnd* a = MakeChildAdapter(cls, s, Child, m, veto, geometry);
    if (veto) return false;
    if (a && a->Destroyed) {
        // The window took no more hooks: nothing of the adapter is in use.
        delete a;
        a = nullptr;
    }
    if (a) {
        Provider->ChildAdapters.push_back(a);
        if (geometry) AdapterGeometry(a);
    }
    return true;
}

void FreeClosedDialogProviders() {
    // Every kind: a message box's provider is freed like any other.
    const std::vector<TacProvider*> l = acProviderList;
    for (TacProvider* p : l)
        if (p && p->DialogWnd && p->DialogWnd->Destroyed) delete p;
}

// ---------------------------------------------------------------------------
// The engine's hook slots

namespace {
struct TacDialsRegistration {
    TacDialsRegistration() {
        acEngineHooks.InstallHook = InstallDialogHook;
        acEngineHooks.RemoveHook = RemoveDialogHook;
    }
};
const TacDialsRegistration registration;
}  // namespace

// Kept in every program by the skin library's link options, like the menus.
extern "C" {
int acDialsUnit = 0;
}
