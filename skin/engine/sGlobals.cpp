#include "sGlobals.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>

TsSkinManager* DefaultManager = nullptr;
TCacheInfo ParentCacheInfo;
TColor acParentColor = acNoColor;
TColor acParentColor2 = acNoColor;
HDC acSharedPaintDC = nullptr;
bool acSkinChanging = false;
bool acNoAnimation = false;
TacAnimatEvents acDefaultAnimEvents{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp};
bool acLabelFontGuard = false;
bool acSkinRemoving = false;
bool acClearingAdapters = false;
TControl* acRefreshTarget = nullptr;
HWND acAnimationWindow = nullptr;
bool acSystemPopup = false;
int ScrollWidth = 16;
TOutputWindow* acOutputWindow = nullptr;
TBitmap* acSnapshotBitmap = nullptr;
HICON acProgramIconSmall = nullptr;
HICON acProgramIconLarge = nullptr;
bool IsNT = false;
TSetWindowThemeProc acSetWindowTheme = nullptr;
TPoint acDialogPos{-1, -1};

void acSetWindowThemeOff(HWND Handle) {
    if (acSetWindowTheme && Handle) acSetWindowTheme(Handle, L" ", L" ");
}

void acSetWindowThemeOn(HWND Handle) {
    if (acSetWindowTheme && Handle) acSetWindowTheme(Handle, nullptr, nullptr);
}

namespace {

// The shell hands out icons through its COM objects, which need COM running
// on the thread: started for the call when nobody has, and stopped after. A
// thread whose COM runs in the other model keeps it as it is.
class TComForShell {
public:
    TComForShell() : FStarted(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~TComForShell() {
        if (FStarted) CoUninitialize();
    }
    TComForShell(const TComForShell&) = delete;
    TComForShell& operator=(const TComForShell&) = delete;

private:
    bool FStarted;
};

}  // namespace

namespace {

// Indexes past the table (SM_REMOTESESSION and its like) are asked every time.
constexpr int kKeptMetrics = 128;

std::atomic<int> KeptMetrics[kKeptMetrics];
std::atomic<bool> KnownMetrics[kKeptMetrics];

}  // namespace

int acSystemMetric(int Index) {
    if (Index < 0 || Index >= kKeptMetrics) return GetSystemMetrics(Index);
    if (KnownMetrics[Index].load(std::memory_order_acquire)) return KeptMetrics[Index].load(std::memory_order_relaxed);
    const int value = GetSystemMetrics(Index);
    KeptMetrics[Index].store(value, std::memory_order_relaxed);
    KnownMetrics[Index].store(true, std::memory_order_release);
    return value;
}

void acForgetSystemMetrics() {
    for (auto& known : KnownMetrics) known.store(false, std::memory_order_release);
}

void acFetchProgramIcons(HICON& Small, HICON& Large) {
    Small = Large = nullptr;
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, MAX_PATH)) return;
    const TComForShell com;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) Small = info.hIcon;
    info = SHFILEINFOA{};
    if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON)) Large = info.hIcon;
}

namespace {

// What the engine learns of the system once, at start-up, and gives back at the end.
struct TEngineStartup {
    HMODULE Theme = nullptr;

    TEngineStartup() {
        ScrollWidth = GetSystemMetrics(SM_CXHSCROLL);
        IsNT = (GetVersion() & 0x80000000u) == 0;
        Theme = LoadLibraryA("uxtheme.dll");
        if (Theme)
            acSetWindowTheme =
                reinterpret_cast<TSetWindowThemeProc>(reinterpret_cast<void*>(GetProcAddress(Theme, "SetWindowTheme")));
        acFetchProgramIcons(acProgramIconSmall, acProgramIconLarge);
    }

    ~TEngineStartup() {
        if (acProgramIconSmall) DestroyIcon(acProgramIconSmall);
        if (acProgramIconLarge) DestroyIcon(acProgramIconLarge);
        acProgramIconSmall = acProgramIconLarge = nullptr;
        acSetWindowTheme = nullptr;
        if (Theme) FreeLibrary(Theme);
    }
};

TEngineStartup EngineStartup;

}  // namespace
