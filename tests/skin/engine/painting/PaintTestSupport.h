// Shared by the painting tests: the test skin loaded once into a default
// manager, 24-bit bitmaps filled and read back as 0xRRGGBB, and byte-exact
// snapshots to prove that a call painted nothing.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace painttest {

using testsupport::Ch;
using testsupport::ToColor;
// 0xRRGGBB of a plain colour, as it stands (no system colour resolved).
inline std::uint32_t ToRgb(TColor c) {
    const std::uint32_t v = std::uint32_t(c);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A W x H 24-bit bitmap filled with Rgb.
inline std::unique_ptr<TBitmap> Filled(int w, int h, std::uint32_t rgb) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        auto* p = static_cast<std::uint8_t*>(b->ScanLine(y));
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = std::uint8_t(rgb);
            p[1] = std::uint8_t(rgb >> 8);
            p[2] = std::uint8_t(rgb >> 16);
        }
    }
    return b;
}

// A bitmap whose every pixel differs from its neighbours: a parent picture
// on which an offset error cannot go unnoticed.
inline std::uint32_t PatternAt(int x, int y) {
    return (std::uint32_t((x * 7) & 0xFF) << 16) | (std::uint32_t((y * 5) & 0xFF) << 8) |
           std::uint32_t((x + y * 3) & 0xFF);
}
inline std::unique_ptr<TBitmap> Patterned(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        auto* p = static_cast<std::uint8_t*>(b->ScanLine(y));
        for (int x = 0; x < w; ++x, p += 3) {
            const std::uint32_t v = PatternAt(x, y);
            p[0] = std::uint8_t(v);
            p[1] = std::uint8_t(v >> 8);
            p[2] = std::uint8_t(v >> 16);
        }
    }
    return b;
}

inline std::uint32_t Px(TBitmap* b, int x, int y) {
    const auto* p = static_cast<const std::uint8_t*>(b->ScanLine(y)) + x * 3;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}
inline void SetPx(TBitmap* b, int x, int y, std::uint32_t rgb) {
    auto* p = static_cast<std::uint8_t*>(b->ScanLine(y)) + x * 3;
    p[0] = std::uint8_t(rgb);
    p[1] = std::uint8_t(rgb >> 8);
    p[2] = std::uint8_t(rgb >> 16);
}

// Every byte of the bitmap, padding included.
inline std::vector<std::uint8_t> Bytes(TBitmap* b) {
    if (b->Empty()) return {};
    const auto* p = static_cast<const std::uint8_t*>(b->ScanLine(0));
    return std::vector<std::uint8_t>(p, p + std::size_t(b->BytesPerScanLine()) * b->Height());
}

// Per channel Back + (Front - Back) x Share, as a painter that mixes by
// percent does it, within Tolerance.
inline ::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(Ch(actual, i) - Ch(expected, i)) > tolerance) {
            char b[96];
            std::snprintf(b, sizeof b, "0x%06X is not 0x%06X (+-%d)", unsigned(actual), unsigned(expected), tolerance);
            return ::testing::AssertionFailure() << b;
        }
    return ::testing::AssertionSuccess();
}
inline std::uint32_t Mix(std::uint32_t front, std::uint32_t back, double share) {
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i)
        out |= std::uint32_t(Ch(back, i) + (Ch(front, i) - Ch(back, i)) * share + 0.5) << (8 * i);
    return out;
}

// The test skin, loaded once into the default manager of the executable.
class PaintTest : public ::testing::Test {
protected:
    TsSkinManager* M() { return testsupport::SharedTestSkin::Get().Manager(); }
    const testsupport::TestSkinColors& C() { return testsupport::SharedTestSkin::Get().C(); }
    int Section(const char* name) { return SectionIndexOf(M(), name); }
    int Mask(const char* section, const char* mask) { return MaskIndexOf(M(), Section(section), section, mask); }
    void SetUp() override {
        ASSERT_TRUE(M()->Active());
        acParentColor = acParentColor2 = acNoColor;
    }
};

}  // namespace painttest
