#include "sGlobals.h"

#include <shellapi.h>

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

// What the engine learns of the system once, at start-up, and gives back at the end.
struct TEngineStartup {
    HMODULE Theme = nullptr;

    TEngineStartup() {
        ScrollWidth = GetSystemMetrics(SM_CXHSCROLL);
        IsNT = (GetVersion() & 0x80000000u) == 0;
        Theme = LoadLibraryA("uxtheme.dll");
        if (Theme)
            acSetWindowTheme = reinterpret_cast<TSetWindowThemeProc>(
                reinterpret_cast<void*>(GetProcAddress(Theme, "SetWindowTheme")));
        char path[MAX_PATH] = {};
        if (GetModuleFileNameA(nullptr, path, MAX_PATH)) {
            SHFILEINFOA info{};
            if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) acProgramIconSmall = info.hIcon;
            info = SHFILEINFOA{};
            if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON)) acProgramIconLarge = info.hIcon;
        }
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
