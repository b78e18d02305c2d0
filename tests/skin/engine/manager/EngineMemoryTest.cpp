// Running out of memory while a skin loads: the load fails with its reason
// and the manager goes on without a skin; no exception leaves LoadSkin. The
// program's allocator is replaced here so that allocations can be made to fail.
#include "EngineTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations fail once armed: the N-th one from now on (FailAt), or any of
// at least FailFrom bytes.
std::atomic<long> gCountdown{0};
std::atomic<std::size_t> gFailFrom{0};

void* Allocate(std::size_t size) {
    const std::size_t from = gFailFrom.load();
    if (from && size >= from) throw std::bad_alloc();
    if (gCountdown.load() > 0 && --gCountdown == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

struct FailAt {
    explicit FailAt(long n) { gCountdown = n; }
    ~FailAt() { gCountdown = 0; }
};
struct FailFrom {
    explicit FailFrom(std::size_t bytes) { gFailFrom = bytes; }
    ~FailFrom() { gFailFrom = 0; }
};

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace enginetest;

TEST(EngineMemory, ALargePictureThatCannotBeHeldFailsTheLoad) {
    TestSkinFolder folder;
    ASSERT_TRUE(folder.Ok);
    // The test skin with one picture of 2000 x 1500 pixels (9 MB).
    TacBmpImage big;
    big.Resize(2000, 1500, 0x336699);
    ASSERT_TRUE(testsupport::WriteBytes(folder.Skin + "\\big.bmp", EncodeBmp24(big)));
    std::vector<std::uint8_t> options = testsupport::ReadBytes(folder.Skin + "\\Options.dat");
    const std::string more = "\n[BIGPANEL]\n[BIGPANEL.PATTERN]\nIMAGE=big.bmp\n";
    options.insert(options.end(), more.begin(), more.end());
    ASSERT_TRUE(testsupport::WriteBytes(folder.Skin + "\\Options.dat", options));
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    ASSERT_GE(MaskIndexOf(m, SectionIndexOf(m, "BIGPANEL"), "BIGPANEL", "PATTERN"), 0);
    String error;
    bool loaded = true;
    {
        FailFrom large(std::size_t(4) << 20);
        EXPECT_NO_THROW(loaded = m->LoadSkin(folder.Skin, error));
    }
    EXPECT_FALSE(loaded);
    EXPECT_NE(error.find("not enough memory"), String::npos) << error;
    EXPECT_EQ(m->LastError(), error);
    EXPECT_FALSE(m->Active());
    EXPECT_TRUE(m->gd().empty());
    ASSERT_TRUE(m->LoadSkin(folder.Skin, error)) << "memory back: the skin loads again";
}

TEST(EngineMemory, EveryAllocationOfALoadMayFail) {
    TestSkinFolder folder;
    ASSERT_TRUE(folder.Ok);
    ManagerPtr m;
    // Each run fails one allocation further on, until a load needs no more.
    int failed = 0;
    for (long n = 1; n < 200000; n += 1 + n / 8) {
        String error;
        bool loaded = false;
        {
            FailAt at(n);
            EXPECT_NO_THROW(loaded = m->LoadSkin(folder.Skin, error)) << n;
        }
        if (loaded) {
            EXPECT_TRUE(m->Active());
            break;
        }
        ++failed;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_FALSE(m->Active()) << n;
    }
    EXPECT_GT(failed, 10);
    EXPECT_TRUE(m->Active()) << "a load with enough memory succeeds";
}
