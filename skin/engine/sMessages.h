// The command codes of SM_ALPHACMD, the shared message handler of skinned
// controls, the routines that send commands through windows and controls, the
// skin-change broadcast, and small text, rectangle and property helpers.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Forms.h"
#include "sConst.h"
#include "sGlobals.h"

class TsCommonData;
class TsSkinManager;

// Command codes (high word of wParam).
constexpr WORD AC_NEWSKIN = 1;            // lParam = manager: a new skin was loaded
constexpr WORD AC_REMOVESKIN = 2;         // lParam = manager: the skin was removed
constexpr WORD AC_REFRESH = 3;            // lParam = manager: take the section again and repaint
constexpr WORD AC_GETPROVIDER = 4;        // a form answers with its skin provider
constexpr WORD AC_GETCACHE = 5;           // a container fills ParentCacheInfo
constexpr WORD AC_PARENTCHANGED = 6;      // repaint when updating
constexpr WORD AC_SKINNEDQUERY = 7;       // a skinned window answers lParam 1 and result 1
constexpr WORD AC_SETUPDATING = 8;        // Updating := (argument = 1)
constexpr WORD AC_SETFLAG9 = 9;           // Command9Flag := (argument = 1)
constexpr WORD AC_GETBGCHANGED = 10;      // lParam := BGChanged or updating
constexpr WORD AC_GETHALFVISIBLE = 11;    // lParam := HalfVisible
constexpr WORD AC_BGCHANGEDIFTRANS = 12;  // BGChanged := True when transparent and argument 1
constexpr WORD AC_INVALIDATEGLOBAL = 13;  // invalidate when the section is the global one
constexpr WORD AC_POPUPQUERY = 14;        // popup-menu window subclassed / combo list open?
constexpr WORD AC_SETPAINTINGCHILD = 15;  // lParam = the child being repainted through its parent, or 0
constexpr WORD AC_STOPFADE = 16;          // stop a running fade or glow
constexpr WORD AC_SETBGCHANGED = 17;      // BGChanged := True
constexpr WORD AC_BGNOTPLAIN = 19;        // query: the background is not plain
constexpr WORD AC_PARENTBGCHANGED = 20;   // argument 1: the parent's background changed
constexpr WORD AC_GETBGCOLOR = 21;        // answer into acParentColor
constexpr WORD AC_PREPARECACHE = 23;      // rebuild the cache bitmap
constexpr WORD AC_FADEFRAME = 24;         // lParam = frame bitmap; 1 = the control copied it itself
constexpr WORD AC_CONTROLLOADED = 25;     // lParam = control, sent to its form
constexpr WORD AC_GETDISABLEDKIND = 26;   // edit-family adapters answer section index + 1
constexpr WORD AC_CAPTIONHEIGHT = 27;     // a group box answers the height of its caption
constexpr WORD AC_ADAPTNEWCHILDREN = 28;  // a skinned dialog gives children made since their adapters
constexpr WORD AC_MOUSEENTER = 29;        // lParam = manager: the window became hot
constexpr WORD AC_MOUSELEAVE = 30;        // lParam = manager: the window stopped being hot
constexpr WORD AC_BEGINUPDATE = 31;
constexpr WORD AC_ENDUPDATE = 32;
constexpr WORD AC_BEGINSCROLL = 51;
constexpr WORD AC_ENDSCROLL = 52;       // lParam = MAKELONG(request code, scroll message)
constexpr WORD AC_GETAPPLICATION = 60;  // result := the Application object
constexpr WORD AC_GETCHILDOFFSET = 61;  // answered 0
constexpr WORD AC_SHAREDHOT = 62;       // lParam := 1 from a control of which one per parent is hot (speed buttons)

inline WPARAM acCommandWParam(WORD Code, WORD Argument = 0) { return MAKEWPARAM(Argument, Code); }
inline bool IsSkinCommand(const TMessage& M, WORD Code) { return M.Msg == SM_ALPHACMD && M.WParamHi() == Code; }
// A command's lParam names the manager of SkinData (none when SkinData is null
// or has no manager).
bool OwnManager(const TsCommonData* SkinData, LPARAM LParam);
// A mouse enter/leave notice is about Self: lParam is 0 or the control itself.
inline bool OwnMouseMessage(const TMessage& M, const TControl* Self) {
    return M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(Self);
}

// --- The shared message handler -------------------------------------------
// True when the message was handled (a skinned control then leaves it).
bool CommonMessage(TMessage& Message, TsCommonData* SkinData);
// SM_ALPHACMD codes 0..60; True for the codes with an answer. Command 7 sets
// lParam 1 and Result 1, so callers using SendMessage see the window skinned.
bool CommonAlphaCommand(TMessage& Message, TsCommonData* SkinData);

// --- Sending commands -----------------------------------------------------
// Perform for a windowless control, SendMessage to a windowed one that has a
// window and is not being destroyed; else 0.
LRESULT SendSkinCommand(TControl* Control, WORD Code, LPARAM Data, WORD Argument = 0);
LRESULT SendSkinCommandToWindow(HWND Handle, WORD Code, LPARAM Data, WORD Argument = 0);
// True when the control answers Code with lParam 1 (through WindowProc), or
// when its window answers SendMessage with 1.
bool QuerySkinCommand(TControl* Control, WORD Code);
bool QueryWindowSkinCommand(HWND Window, WORD Code);

// --- Parent pictures and colours ------------------------------------------
TCacheInfo MakeCacheInfo(TBitmap* Bitmap, int X = 0, int Y = 0);
// Command 5 to the owner's parent; Ready only when the parent answered.
TCacheInfo ParentCacheOf(TsCommonData* SkinData);
TCacheInfo ParentCacheOfHandle(HWND Window);
// acParentColor := the colour the control answers to command 21, else its
// Color; stored (and returned) through ColorToRGB.
TColor QueryParentColor(TControl* Control);

// --- Walking children -----------------------------------------------------
// Perform on every child; windowed children that are not skinned pass it on to
// theirs; stops at a child being destroyed.
void BroadcastToChildren(TControl* Control, TMessage& Message);
// Command 6 to every non-graphic child that is not being destroyed.
void RefreshChildControls(TWinControl* Container);
// Only one speed button of a container is hot: every other one that is leaves it (Entered keeps it).
void ReleaseSharedHot(TWinControl* Container, TControl* Entered);
// Command 6 to every WS_CHILD window below Window.
void RefreshChildWindows(HWND Window);
// Command 25 with lParam = Control to the window of the control's form.
void NotifyFormControlLoaded(TControl* Control);
// The manager's hot window; the old one gets command 30, the new one 29.
void SetActiveControl(TsSkinManager* Manager, HWND Window);

// --- Skin changes ---------------------------------------------------------
// Announces Manager's newly loaded skin to every form and its controls
// (commands 1, then 16 and 3) and unlocks and redraws the skinned forms after
// the refresh; with Removing, removes the hook and announces removal (2).
void SendNewSkin(TsSkinManager* Manager, bool Removing = false);
inline void SendRemoveSkin(TsSkinManager* Manager) { SendNewSkin(Manager, true); }
// The forms that a skin provider skins (kept for the broadcast).
void AddSkinnedForm(TCustomForm* Form);
void RemoveSkinnedForm(TCustomForm* Form);
// The menu painter's active state := the skin's active flag.
void SyncSkinableMenus(TsSkinManager* Manager);

// --- Forms, screen, messages ----------------------------------------------
TCustomForm* FindOwnerForm(TComponent* Component);
TRect GetDesktopWorkArea();
// Total height (alTop, alBottom) or width (alLeft, alRight) of the visible
// children with that alignment, Except left out.
int SumAlignedChildSizes(TWinControl* Container, TAlign Align, TControl* Except = nullptr);
void ShowErrorMessage(const String& Text);
// A message box of Type (MB_*); X, Y (when not -1) are kept in acDialogPos
// for the call's duration so that a dialog skinner can place the box there.
int MessageBoxByType(const String& Text, const String& Caption, UINT Type, int X = -1, int Y = -1,
                     HWND Owner = nullptr);
int CaptionFontHeight();

// --- Published properties by name (HasPublishedProperty is in Classes.h) ---
TObject* GetObjectPropByName(const TObject* Obj, const String& Name);
// -1 when absent.
std::int64_t GetOrdPropByName(const TObject* Obj, const String& Name);
// Only when present; False otherwise.
bool SetOrdPropByName(TObject* Obj, const String& Name, std::int64_t Value);
// A set property's element, by the element's name; False when the property or
// the element is unknown.
bool SetPropContains(const TObject* Obj, const String& PropName, const String& ElementName);
bool SetSetPropElement(TObject* Obj, const String& PropName, const String& ElementName, bool Include);

// --- Small helpers --------------------------------------------------------
String RemoveChar(const String& Text, char C);
String ReplaceAll(const String& Text, const String& Old, const String& New);
// The N-th (1-based) word of Text between any of Delimiters; "" when none.
String ExtractDelimitedWord(int N, const String& Text, const String& Delimiters);
inline bool InRange(int Value, int Min, int Max) { return Value >= Min && Value <= Max; }
inline int IfInt(bool Flag, int A, int B) { return Flag ? A : B; }
inline void SetRectBounds(TRect& R, int Left, int Top, int Width, int Height) {
    R = TRect{Left, Top, Left + Width, Top + Height};
}
// Both corners of Inner in Outer grown by one pixel at right and bottom.
bool RectContainsRect(const TRect& Outer, const TRect& Inner);
inline void NoOpActionHook() {}
inline TColor IdentityColor(TColor Color) { return Color; }
