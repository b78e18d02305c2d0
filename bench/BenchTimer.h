// Timing for the benchmarks (the best of several runs of some work, in
// microseconds, from the performance counter) and a pump for their windows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>

inline double BestMicroseconds(int runs, const std::function<void()>& work) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    work();  // warm caches and lazily made objects
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&a);
        work();
        QueryPerformanceCounter(&b);
        best = std::min(best, double(b.QuadPart - a.QuadPart) * 1e6 / double(freq.QuadPart));
    }
    return best;
}

// Handles every message waiting in this thread's queue.
inline void PumpAll() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
