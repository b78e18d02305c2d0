// Window timers as components: each enabled TTimer runs a system timer on a
// hidden window of the library and raises OnTimer on every tick.
#pragma once

#include "Classes.h"

#include <windows.h>

class TTimer : public TComponent {
    CLASSLIB_DECLARE_CLASS(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds between ticks; 0 stops the timer.
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);

    // May disable or free the timer; nothing of the timer is touched after
    // the handler returns.
    TNotifyEvent OnTimer;

    // The identifier of the running system timer, 0 when none runs.
    UINT_PTR TimerID() const { return FTimerID; }
    // The hidden window that receives the WM_TIMER messages of all timers.
    static HWND UtilWindow();

protected:
    // One tick: raises OnTimer. A descendant that overrides it must not touch
    // the timer after a call that may free it.
    virtual void Timer();
    void Loaded() override;

private:
    friend struct TimerDispatch;
    void UpdateTimer();
    void StopTimer();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    UINT_PTR FTimerID = 0;
};
