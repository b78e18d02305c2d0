// Program-wide values of the skin engine: the default manager, the shared
// parent-cache record and parent colours, the flags that paint handlers and
// fades read, and what is looked up once at start-up.
#pragma once

#include <windows.h>

#include "Graphics.h"
#include "Types.h"

class TsSkinManager;
class TControl;
class TBitmap;
class TOutputWindow;

// A parent's picture and where a child lies in it. Whoever answers command 5
// fills ParentCacheInfo; an asker clears Ready first.
struct TCacheInfo {
    TBitmap* Bmp = nullptr;
    int X = 0;
    int Y = 0;
    bool Ready = false;
};

// Which state changes of a control are animated.
enum TacAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
CLASSLIB_ENUM_NAMES(TacAnimatEvent, "aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef")
using TacAnimatEvents = TSet<TacAnimatEvent>;

// "No colour known": the value both parent colours hold outside a cache rebuild.
constexpr TColor acNoColor = 0xFF00FF;

// The default skin manager: the first one created, nil when there is none.
extern TsSkinManager* DefaultManager;
// Filled by the container that answers command 5.
extern TCacheInfo ParentCacheInfo;
// Parent colours: command 21 answers go into the first; a cache rebuild sets
// both for its children and resets them to acNoColor afterwards.
extern TColor acParentColor;
extern TColor acParentColor2;
// A DC that a control sets while it paints other controls into it (0 = none).
extern HDC acSharedPaintDC;
// A skin change is running (fades are not started, providers ignore moves).
extern bool acSkinChanging;
// Animations are switched off for the whole program.
extern bool acNoAnimation;
// The events animated by controls whose set holds aeGlobalDef.
extern TacAnimatEvents acDefaultAnimEvents;
// Set while a skinned label changes its own font inside Paint.
extern bool acLabelFontGuard;
// The skin is being removed / the adapter list is being cleared: a window
// adapter that is freed while only the second is set keeps its window as is.
extern bool acSkinRemoving;
extern bool acClearingAdapters;
// A control that frame painters and fades send command 3 after painting (nil = none).
extern TControl* acRefreshTarget;
// The window the engine shows during an animation (0 = none).
extern HWND acAnimationWindow;
// Set by a form provider on WM_INITMENUPOPUP of a system menu.
extern bool acSystemPopup;
// Default arrow length of skinned scroll bars: 16, then SM_CXHSCROLL once started.
extern int ScrollWidth;
// The snapshot window and picture of PrepareOutputWindow / FadeInControl.
extern TOutputWindow* acOutputWindow;
extern TBitmap* acSnapshotBitmap;
// The program file's shell icons (title icon of forms without one).
extern HICON acProgramIconSmall;
extern HICON acProgramIconLarge;
// Fetches those icons anew (the caller destroys them; nullptr when the shell
// has none), with COM running on the calling thread for the call.
void acFetchProgramIcons(HICON& Small, HICON& Large);
// The platform is of the NT family.
extern bool IsNT;
// GetSystemMetrics(Index), asked of the system once until the settings
// change: under Wine every call reads the settings anew (tens of
// microseconds), and each frame and bar paint asks a score of them.
int acSystemMetric(int Index);
// Forgets the kept metrics: on WM_SETTINGCHANGE and with every new skin.
void acForgetSystemMetrics();
// uxtheme's SetWindowTheme, nullptr when the system has none. Call it with
// L" ", L" " to switch visual styles off for a window and nullptr, nullptr to
// switch them back on (or use acSetWindowThemeOff/On, which check the pointer).
using TSetWindowThemeProc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
extern TSetWindowThemeProc acSetWindowTheme;
void acSetWindowThemeOff(HWND Handle);
void acSetWindowThemeOn(HWND Handle);
// Where MessageBoxByType asks its dialog to appear; -1, -1 otherwise.
extern TPoint acDialogPos;
