// Window timers: ticks arrive, a timer may stop or free itself from its own
// tick without a further tick or a crash, and ticks keep coming while a
// modal loop (a message box) pumps.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "Timers.h"

#include <atomic>
#include <thread>

using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

TEST(TTimer, TicksAtItsIntervalUntilDisabled) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    TObject* sender = nullptr;
    timer.OnTimer = [&](TObject* s) {
        sender = s;
        ++ticks;
    };
    timer.SetInterval(20);
    ASSERT_NE(timer.TimerID(), 0u);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 5000));
    EXPECT_EQ(sender, &timer);
    timer.SetEnabled(false);
    EXPECT_EQ(timer.TimerID(), 0u);
    int stopped = ticks;
    PumpMessages(150);
    EXPECT_EQ(ticks, stopped);
    timer.SetInterval(0);  // enabled again, but without an interval nothing runs
    timer.SetEnabled(true);
    EXPECT_EQ(timer.TimerID(), 0u);
    EXPECT_EQ(GetOrdProp(&timer, "Interval"), 0);
    SetOrdProp(&timer, "Interval", 15);
    EXPECT_TRUE(PumpUntil([&] { return ticks > stopped; }, 5000));
}

TEST(TTimer, FreedFromItsOwnTickNeverTicksAgain) {
    int ticks = 0, others = 0;
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(10);
    // The handler holds state of its own: it must survive the timer's death
    // for as long as it runs.
    auto payload = std::make_shared<int>(7);
    timer->OnTimer = [&ticks, payload](TObject* sender) {
        ++ticks;
        static_cast<TTimer*>(sender)->Free();
        EXPECT_EQ(*payload, 7);
    };
    UINT_PTR freedID = timer->TimerID();
    TTimer witness(nullptr);
    witness.SetInterval(10);
    witness.OnTimer = [&](TObject*) { ++others; };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 5000));
    // A tick already queued for the freed timer, or a made-up one, finds nothing.
    PostMessageA(TTimer::UtilWindow(), WM_TIMER, freedID, 0);
    PumpMessages(200);
    EXPECT_EQ(ticks, 1);
    EXPECT_GT(others, 3);
}

TEST(TTimer, DisabledFromItsOwnTickAndFreedWithItsOwner) {
    int ticks = 0;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        timer.SetEnabled(false);
    };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 5000));
    PumpMessages(150);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());

    auto* owner = new TComponent(nullptr);
    int ownedTicks = 0;
    auto* owned = new TTimer(owner);
    owned->SetInterval(10);
    owned->OnTimer = [&](TObject*) { ++ownedTicks; };
    EXPECT_TRUE(PumpUntil([&] { return ownedTicks >= 1; }, 5000));
    owner->Free();
    int seen = ownedTicks;
    PumpMessages(150);
    EXPECT_EQ(ownedTicks, seen);
}

// Closes a message box from another thread should the timers under test
// fail, so that the test never hangs.
struct MessageBoxWatchdog {
    std::atomic<bool> Done{false};
    std::thread Thread;
    explicit MessageBoxWatchdog(const char* title) {
        Thread = std::thread([this, title] {
            for (int i = 0; i < 100 && !Done; ++i) Sleep(50);
            for (int i = 0; i < 100 && !Done; ++i) {
                if (HWND box = FindWindowA("#32770", title)) PostMessageA(box, WM_COMMAND, IDOK, 0);
                Sleep(50);
            }
        });
    }
    ~MessageBoxWatchdog() {
        Done = true;
        Thread.join();
    }
};

TEST(TTimer, KeepsTickingInsideAModalLoop) {
    const char* title = "utilities-timer-modal";
    MessageBoxWatchdog watchdog(title);
    int ticks = 0;
    bool closedByTimer = false;
    TTimer counter(nullptr);
    counter.SetInterval(10);
    counter.OnTimer = [&](TObject*) { ++ticks; };
    TTimer closer(nullptr);
    closer.SetInterval(30);
    closer.OnTimer = [&](TObject*) {
        HWND box = FindWindowA("#32770", title);
        if (box && ticks >= 5) {
            closedByTimer = true;
            closer.SetEnabled(false);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    };
    MessageBoxA(nullptr, "modal", title, MB_OK);
    EXPECT_TRUE(closedByTimer);
    EXPECT_GE(ticks, 5);
}

}  // namespace
