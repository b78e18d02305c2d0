// Replaces the program's operator new and delete (see GuardedHeap.h).
#include "GuardedHeap.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t PageSize = 4096;
// Address space only; pages are committed one allocation at a time.
constexpr std::size_t ArenaSize = sizeof(void*) == 4 ? (256u << 20) : (std::size_t(1) << 31);
// Each block starts with its size, keeping the object 16-byte aligned.
constexpr std::size_t HeaderSize = 16;

char* gArena = nullptr;
std::atomic<std::size_t> gNext{0};  // offset of the next free page
std::atomic<int> gEnabled{0};
std::atomic<std::size_t> gCount{0};

bool InArena(const void* p) {
    auto* c = static_cast<const char*>(p);
    return gArena && c >= gArena && c < gArena + ArenaSize;
}

void* GuardedAlloc(std::size_t size) {
    std::size_t pages = (size + HeaderSize + PageSize - 1) / PageSize;
    std::size_t offset = gNext.fetch_add(pages * PageSize);
    if (offset + pages * PageSize > ArenaSize) return nullptr;
    char* block = static_cast<char*>(VirtualAlloc(gArena + offset, pages * PageSize, MEM_COMMIT, PAGE_READWRITE));
    if (!block) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = pages;
    ++gCount;
    return block + HeaderSize;
}

void* Allocate(std::size_t size) {
    if (size == 0) size = 1;
    if (gEnabled)
        if (void* p = GuardedAlloc(size)) return p;
    void* p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    return p;
}

void Release(void* p) {
    if (!p) return;
    if (!InArena(p)) {
        std::free(p);
        return;
    }
    char* block = static_cast<char*>(p) - HeaderSize;
    std::size_t pages = *reinterpret_cast<std::size_t*>(block);
    // Decommitted pages stay reserved: no later allocation reuses them.
    VirtualFree(block, pages * PageSize, MEM_DECOMMIT);
}

// A read of freed memory ends the program at once with a line saying so,
// instead of waiting in the system's crash dialog.
LONG WINAPI ReportFault(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2) {
        const void* where = reinterpret_cast<const void*>(r->ExceptionInformation[1]);
        std::fprintf(stderr, "access violation at %p%s\n", where,
                     InArena(where) ? ": a read of freed memory" : "");
    } else {
        std::fprintf(stderr, "exception 0x%08lx\n", static_cast<unsigned long>(r->ExceptionCode));
    }
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

namespace guardedheap {

GuardedHeapScope::GuardedHeapScope() {
    if (!gArena) {
        gArena = static_cast<char*>(VirtualAlloc(nullptr, ArenaSize, MEM_RESERVE, PAGE_NOACCESS));
        SetUnhandledExceptionFilter(ReportFault);
    }
    ++gEnabled;
}

GuardedHeapScope::~GuardedHeapScope() { --gEnabled; }

bool IsFreedMemory(const void* p) {
    if (!InArena(p)) return false;
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(p, &info, sizeof info);
    return info.State != MEM_COMMIT;
}

std::size_t GuardedAllocations() { return gCount; }

}  // namespace guardedheap

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
