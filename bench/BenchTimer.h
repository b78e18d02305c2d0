// Timing for the benchmarks (the best of several runs of some work, in
// microseconds, from the performance counter), their result lines and a pump
// for their windows.
//
// Every figure a benchmark reports is also printed as one line that
// scripts/bench.sh reads ("@time <key> <us>", "@ratio <key> <value> <goal>"),
// and takes the median of over its runs. Run with "--requests", a benchmark
// does each measured piece of work once between two marks in the Wine
// server's request log instead of timing it: the script counts the server
// requests between the marks, a figure that does not depend on the machine.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

inline bool& CountingRequests() {
    static bool counting = false;
    return counting;
}

inline void ReadBenchArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--requests") == 0) CountingRequests() = true;
}

// A global atom's name reaches the server's log whole: the cheapest request
// that carries a text of ours.
inline void MarkRequestLog(const std::string& Key, const char* Edge) {
    GlobalAddAtomA(("bench-mark " + Key + " " + Edge).c_str());
}

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

// BestMicroseconds, or with --requests one warm run and one marked run under
// Key (the time is then 0). The figure is printed as "@time Key".
inline double Measure(const std::string& Key, int runs, const std::function<void()>& work) {
    double us = 0;
    if (CountingRequests()) {
        work();
        MarkRequestLog(Key, "begin");
        work();
        MarkRequestLog(Key, "end");
    } else {
        us = BestMicroseconds(runs, work);
    }
    std::printf("@time %s %.1f\n", Key.c_str(), us);
    return us;
}

// A ratio and the goal it must not exceed, printed for the script.
inline double ReportRatio(const std::string& Key, double Part, double Whole, double Goal) {
    const double r = Whole > 0 ? Part / Whole : 0.0;
    std::printf("@ratio %s %.3f %.2f\n", Key.c_str(), r, Goal);
    return r;
}

// Handles every message waiting in this thread's queue.
inline void PumpAll() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
