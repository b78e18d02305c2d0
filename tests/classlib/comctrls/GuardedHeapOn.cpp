// The list and common-control tests again on the guarded heap, on from the
// first test: a control that reaches a freed image list, column or node (while
// it or its owner goes) stops the program with a line saying so.
#include <gtest/gtest.h>

namespace guardedheap {
void Enable(bool On);
}  // namespace guardedheap

namespace {

struct GuardedHeapOn : ::testing::Environment {
    void SetUp() override { guardedheap::Enable(true); }
};

const auto* const gGuardedHeapOn = ::testing::AddGlobalTestEnvironment(new GuardedHeapOn);

}  // namespace
