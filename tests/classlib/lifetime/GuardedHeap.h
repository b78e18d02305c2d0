// A heap for this test program whose freed memory cannot be read: while a
// GuardedHeapScope is alive, every allocation gets pages of its own, and
// delete makes them inaccessible (never reused), so that reading a freed
// object stops the program at once instead of reading stale bytes.
#pragma once

#include <cstddef>

namespace guardedheap {

class GuardedHeapScope {
public:
    GuardedHeapScope();
    ~GuardedHeapScope();
    GuardedHeapScope(const GuardedHeapScope&) = delete;
    GuardedHeapScope& operator=(const GuardedHeapScope&) = delete;
};

// Whether p lies in a page that was allocated and then freed by the heap.
bool IsFreedMemory(const void* p);
// Allocations made from the guarded pages so far.
std::size_t GuardedAllocations();

}  // namespace guardedheap
