#include "Timers.h"

#include <exception>
#include <map>

// Ticks reach a timer only through this table: a timer that is freed or
// stopped leaves it at once, so a WM_TIMER already queued for it finds
// nothing. Identifiers are never handed out twice while the program runs
// (they roll over only after 2^31 starts, skipping those in use), so a stale
// tick cannot reach a newer timer either.
struct TimerDispatch {
    HWND Window = nullptr;
    std::map<UINT_PTR, TTimer*> Timers;
    UINT_PTR NextID = 1;

    static TimerDispatch& Get() {
        // Deliberately never destroyed: timers that live in static storage may
        // stop after every other static is gone. The window goes with the
        // process.
        static TimerDispatch* instance = new TimerDispatch;
        return *instance;
    }

    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg != WM_TIMER) return DefWindowProcA(Wnd, Msg, WParam, LParam);
        TimerDispatch& d = Get();
        auto it = d.Timers.find(static_cast<UINT_PTR>(WParam));
        if (it == d.Timers.end()) return 0;
        TTimer* timer = it->second;
        // No exception may cross the system's frames that called us.
        try {
            timer->Timer();
        } catch (const std::exception& e) {
            OutputDebugStringA(e.what());
        } catch (...) {
            OutputDebugStringA("TTimer: unknown exception in OnTimer");
        }
        return 0;
    }

    HWND EnsureWindow() {
        if (Window && IsWindow(Window)) return Window;
        static const char* const className = "TClassLibTimerWindow";
        HINSTANCE inst = GetModuleHandleA(nullptr);
        WNDCLASSA wc{};
        if (!GetClassInfoA(inst, className, &wc)) {
            wc.lpfnWndProc = &TimerDispatch::WndProc;
            wc.hInstance = inst;
            wc.lpszClassName = className;
            RegisterClassA(&wc);
        }
        Window = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
        return Window;
    }

    UINT_PTR NewID() {
        for (;;) {
            UINT_PTR id = NextID++;
            if (NextID > 0x7FFFFFFF) NextID = 1;
            if (id != 0 && Timers.find(id) == Timers.end()) return id;
        }
    }
};

// clang-format off
CLASSLIB_DEFINE_CLASS(TTimer, TComponent,
    OrdProp<TTimer>("Enabled", TTypeKind::tkBool, &TTimer::Enabled, &TTimer::SetEnabled, 1),
    OrdProp<TTimer>("Interval", TTypeKind::tkInteger, &TTimer::Interval, &TTimer::SetInterval, 1000))
// clang-format on

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
    FEnabled = false;
    StopTimer();
}

HWND TTimer::UtilWindow() { return TimerDispatch::Get().EnsureWindow(); }

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer() {
    if (!OnTimer) return;
    // The handler may free the timer and with it OnTimer; call a copy.
    TNotifyEvent handler = OnTimer;
    handler(this);
}

void TTimer::StopTimer() {
    if (!FTimerID) return;
    TimerDispatch& d = TimerDispatch::Get();
    KillTimer(d.Window, FTimerID);
    d.Timers.erase(FTimerID);
    FTimerID = 0;
}

void TTimer::UpdateTimer() {
    // A restart takes a new identifier so that ticks of the old period that
    // are already queued are dropped.
    StopTimer();
    if (!FEnabled || FInterval == 0) return;
    if (FComponentState.Contains(csLoading) || FComponentState.Contains(csDesigning)) return;
    TimerDispatch& d = TimerDispatch::Get();
    HWND wnd = d.EnsureWindow();
    if (!wnd) throw EClassLibError("Not enough timers available");
    UINT_PTR id = d.NewID();
    if (!SetTimer(wnd, id, FInterval, nullptr)) throw EClassLibError("Not enough timers available");
    FTimerID = id;
    d.Timers[id] = this;
}
