// The message record passed along a control's window procedure chain, the
// comparable method slots that hold such chains, and the component (CM_*) and
// reflected-notification (CN_*) message numbers of the class library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

// One message as it travels through WindowProc -> WndProc -> Dispatch ->
// DefaultHandler. It is passed by reference: a handler may rewrite WParam or
// LParam as well as Result, and a caller that used Perform(TMessage&) sees it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
    // Signed client coordinates of mouse messages.
    int XPos() const { return static_cast<short>(LOWORD(LParam)); }
    int YPos() const { return static_cast<short>(HIWORD(LParam)); }
    // Mouse messages: the key flags (MK_*); key messages: the virtual key.
    WORD Keys() const { return LOWORD(WParam); }
    WORD CharCode() const { return LOWORD(WParam); }
    void SetCharCode(WORD Value) { WParam = Value; }
};

// A callable slot that can also be compared, as a method pointer (object and
// code) can: two slots made from the same object and member function are
// equal, and so are copies of one slot made from a lambda. Code that swaps a
// control's WindowProc (or a hook) relies on this to restore only its own.
template <typename Sig>
class TMethod;

template <typename R, typename... A>
class TMethod<R(A...)> {
public:
    TMethod() = default;
    TMethod(std::nullptr_t) {}

    template <typename C, typename B, typename M>
    TMethod(C* Obj, M B::*Member)
        : FFn([Obj, Member](A... a) -> R { return (Obj->*Member)(std::forward<A>(a)...); }),
          FData(static_cast<const void*>(Obj)) {
        static_assert(std::is_base_of_v<B, C>, "the member must belong to the object's class");
        static_assert(sizeof(Member) <= sizeof(FCode), "member pointer too large");
        std::memcpy(FCode, &Member, sizeof(Member));
        FCodeSize = sizeof(Member);
    }

    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TMethod> &&
                                                      !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
                                                      std::is_invocable_r_v<R, F&, A...>>>
    TMethod(F Fn) : FFn(std::move(Fn)), FSerial(NextSerial()) {}

    R operator()(A... a) const { return FFn(std::forward<A>(a)...); }
    explicit operator bool() const { return static_cast<bool>(FFn); }

    bool operator==(const TMethod& O) const {
        if (!FFn || !O.FFn) return !FFn && !O.FFn;
        if (FSerial || O.FSerial) return FSerial == O.FSerial;
        return FData == O.FData && FCodeSize == O.FCodeSize && std::memcmp(FCode, O.FCode, FCodeSize) == 0;
    }
    bool operator!=(const TMethod& O) const { return !(*this == O); }
    bool operator==(std::nullptr_t) const { return !FFn; }
    bool operator!=(std::nullptr_t) const { return static_cast<bool>(FFn); }

    // The object of a slot made from an object and a member; nullptr otherwise.
    const void* Data() const { return FData; }

private:
    static std::uint64_t NextSerial() {
        static std::uint64_t serial = 0;
        return ++serial;
    }
    std::function<R(A...)> FFn;
    const void* FData = nullptr;
    unsigned char FCode[2 * sizeof(void*)] = {};
    std::size_t FCodeSize = 0;
    std::uint64_t FSerial = 0;
};

// The type of TControl::WindowProc.
using TWndMethod = TMethod<void(TMessage&)>;

// ---------------------------------------------------------------------------
// Component messages: sent by the library to controls.

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 0x1C;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_INVOKEHELP = CM_BASE + 0x1F;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 0x20;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
constexpr UINT CM_TIMECHANGE = CM_BASE + 0x27;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 0x2B;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_GETDATALINK = CM_BASE + 0x2D;
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
constexpr UINT CM_DRAG = CM_BASE + 0x2F;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 0x31;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 0x32;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 0x38;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 0x39;
constexpr UINT CM_FLOATING = CM_BASE + 0x3A;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 0x3B;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 0x3E;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 0x41;
constexpr UINT CM_DOCKINGSTATECHANGED = CM_BASE + 0x42;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;

// ---------------------------------------------------------------------------
// Reflected notifications: a parent sends a child's notification back to the
// child's control as CN_BASE + the window message.

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

static_assert(CN_COMMAND == 0xBD11 && CN_DRAWITEM == 0xBC2B && CN_MEASUREITEM == 0xBC2C, "CN numbering");
static_assert(CN_HSCROLL == 0xBD14 && CN_VSCROLL == 0xBD15 && CN_NOTIFY == 0xBC4E, "CN numbering");
static_assert(CN_KEYDOWN == 0xBD00 && CN_CHAR == 0xBD02 && CN_SYSKEYDOWN == 0xBD04 && CN_SYSCHAR == 0xBD06,
              "CN numbering");
static_assert(CM_MOUSEENTER == 0xB013 && CM_ACTIONUPDATE == 0xB03F && CM_MOUSEWHEEL == 0xB043, "CM numbering");
