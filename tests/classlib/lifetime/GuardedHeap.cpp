// This program's operator new and delete: while enabled, each allocation has
// pages of its own that delete makes inaccessible and never reuses, so a read
// of a freed object stops the program at once with a line saying so.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t PageSize = 4096, HeaderSize = 16;  // the header keeps the page count
constexpr std::size_t ArenaSize = sizeof(void*) == 4 ? (256u << 20) : (std::size_t(1) << 31);
char* gArena = nullptr;
std::atomic<std::size_t> gNext{0};
std::atomic<bool> gEnabled{false};

bool InArena(const void* p) { return gArena && p >= gArena && p < gArena + ArenaSize; }

LONG WINAPI ReportFault(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    bool freed =
        r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && InArena(reinterpret_cast<void*>(r->ExceptionInformation[1]));
    std::fprintf(stderr, "exception 0x%08lx at %p%s\n", static_cast<unsigned long>(r->ExceptionCode),
                 r->ExceptionAddress, freed ? ": a read of freed memory" : "");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

void* Allocate(std::size_t size) {
    std::size_t bytes = (size + HeaderSize + PageSize - 1) / PageSize * PageSize;
    if (gEnabled) {
        std::size_t offset = gNext.fetch_add(bytes);
        if (offset + bytes <= ArenaSize)
            if (auto* block = static_cast<char*>(VirtualAlloc(gArena + offset, bytes, MEM_COMMIT, PAGE_READWRITE))) {
                *reinterpret_cast<std::size_t*>(block) = bytes;
                return block + HeaderSize;
            }
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void Release(void* p) {
    if (!InArena(p)) return std::free(p);
    char* block = static_cast<char*>(p) - HeaderSize;
    VirtualFree(block, *reinterpret_cast<std::size_t*>(block), MEM_DECOMMIT);
}
}  // namespace

namespace guardedheap {
void Enable(bool On) {
    if (!gArena) {
        gArena = static_cast<char*>(VirtualAlloc(nullptr, ArenaSize, MEM_RESERVE, PAGE_NOACCESS));
        SetUnhandledExceptionFilter(ReportFault);
    }
    gEnabled = On;
}

bool IsFreedMemory(const void* p) {
    MEMORY_BASIC_INFORMATION info{};
    return InArena(p) && VirtualQuery(p, &info, sizeof info) && info.State != MEM_COMMIT;
}
}  // namespace guardedheap

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
