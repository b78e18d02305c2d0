// BMP pictures: every layout a skin author's tools write, and every way a
// broken or hostile file can lie, decoded without a crash and with a reason.
#include <gtest/gtest.h>

#include "acBmpFile.h"

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& v, std::size_t at, std::uint32_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(Bytes& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A BMP file with a 40-byte header (or another header size), an optional
// palette and pixel rows given as they lie in the file.
Bytes MakeBmp(int width, int height, int bpp, const std::vector<std::uint32_t>& palette, const Bytes& rows,
              std::uint32_t compression = 0, const std::vector<std::uint32_t>& masks = {}) {
    const std::size_t tables = palette.size() * 4 + masks.size() * 4;
    Bytes out(54 + tables, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 10, std::uint32_t(54 + tables));
    Put32(out, 14, 40);
    Put32(out, 18, std::uint32_t(width));
    Put32(out, 22, std::uint32_t(height));
    Put16(out, 26, 1);
    Put16(out, 28, std::uint32_t(bpp));
    Put32(out, 30, compression);
    Put32(out, 46, std::uint32_t(palette.size()));
    std::size_t at = 54;
    for (std::uint32_t m : masks) Put32(out, (at += 4) - 4, m);
    for (std::uint32_t c : palette) Put32(out, (at += 4) - 4, c);
    out.insert(out.end(), rows.begin(), rows.end());
    Put32(out, 2, std::uint32_t(out.size()));
    return out;
}

TacBmpImage Sample(int w, int h) {
    TacBmpImage img;
    img.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixel(x, y, std::uint32_t(x * 40 + 5) << 16 | std::uint32_t(y * 60 + 7) << 8 | (x + y));
    return img;
}

std::string DecodeError(const Bytes& file) {
    TacBmpImage img;
    std::string error;
    EXPECT_FALSE(DecodeBmp(file, img, error));
    EXPECT_TRUE(img.Empty());
    EXPECT_FALSE(error.empty());
    return error;
}

TEST(BmpFile, EncodedPicturesDecodeToTheSamePixels) {
    for (int w : {1, 2, 3, 5, 8}) {
        const TacBmpImage img = Sample(w, 3);
        const Bytes file = EncodeBmp24(img);
        EXPECT_EQ(file.size(), 54u + std::size_t((w * 3 + 3) & ~3) * 3) << "rows padded to 4 bytes";
        TacBmpImage back;
        std::string error;
        ASSERT_TRUE(DecodeBmp(file, back, error)) << error;
        EXPECT_EQ(back.Width, w);
        EXPECT_EQ(back.Height, 3);
        EXPECT_EQ(back.Pixels, img.Pixels);
    }
    EXPECT_TRUE(EncodeBmp24(TacBmpImage()).empty());
}

TEST(BmpFile, PalettedAndThirtyTwoBitLayouts) {
    TacBmpImage img;
    std::string error;
    // 8-bit, bottom-up: the file's first row is the picture's last.
    const std::vector<std::uint32_t> palette = {0x000000, 0x112233, 0xAABBCC, 0xFFFFFF};
    ASSERT_TRUE(DecodeBmp(MakeBmp(3, 2, 8, palette, {1, 2, 3, 0, /**/ 0, 1, 2, 0}), img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x000000u);
    EXPECT_EQ(img.Pixel(1, 0), 0x112233u);
    EXPECT_EQ(img.Pixel(2, 0), 0xAABBCCu);
    EXPECT_EQ(img.Pixel(0, 1), 0x112233u);
    EXPECT_EQ(img.Pixel(2, 1), 0xFFFFFFu);
    // An index past the palette reads as black rather than past the table.
    ASSERT_TRUE(DecodeBmp(MakeBmp(1, 1, 8, palette, {200, 0, 0, 0}), img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0u);

    // 4-bit and 1-bit.
    ASSERT_TRUE(DecodeBmp(MakeBmp(3, 1, 4, palette, {0x12, 0x30, 0, 0}), img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x112233u);
    EXPECT_EQ(img.Pixel(1, 0), 0xAABBCCu);
    EXPECT_EQ(img.Pixel(2, 0), 0xFFFFFFu);
    ASSERT_TRUE(DecodeBmp(MakeBmp(10, 1, 1, {0x0000FF, 0x00FF00}, {0xA0, 0x40, 0, 0}), img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(img.Pixel(1, 0), 0x0000FFu);
    EXPECT_EQ(img.Pixel(2, 0), 0x00FF00u);
    EXPECT_EQ(img.Pixel(9, 0), 0x00FF00u);

    // 32-bit, top-down (negative height), alpha dropped.
    Bytes rows = {0x30, 0x20, 0x10, 0xFF, /**/ 0x03, 0x02, 0x01, 0x00};
    ASSERT_TRUE(DecodeBmp(MakeBmp(1, -2, 32, {}, rows), img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x102030u);
    EXPECT_EQ(img.Pixel(0, 1), 0x010203u);

    // 32-bit with bit fields in an unusual order (red in the low byte).
    ASSERT_TRUE(
        DecodeBmp(MakeBmp(1, 1, 32, {}, {0x11, 0x22, 0x33, 0x44}, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}), img, error))
        << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x112233u);

    // An OS/2 (12-byte header) 24-bit file.
    Bytes core(26, 0);
    core[0] = 'B';
    core[1] = 'M';
    Put32(core, 10, 26);
    Put32(core, 14, 12);
    Put16(core, 18, 1);
    Put16(core, 20, 1);
    Put16(core, 22, 1);
    Put16(core, 24, 24);
    core.insert(core.end(), {0x0C, 0x0B, 0x0A, 0});
    ASSERT_TRUE(DecodeBmp(core, img, error)) << error;
    EXPECT_EQ(img.Pixel(0, 0), 0x0A0B0Cu);
}

TEST(BmpFile, HostileHeadersAreRefusedWithAReason) {
    const Bytes good = EncodeBmp24(Sample(4, 4));
    auto with = [&](std::size_t at, std::uint32_t value, int bytes = 4) {
        Bytes b = good;
        if (bytes == 4) Put32(b, at, value);
        else Put16(b, at, value);
        return b;
    };
    EXPECT_NE(DecodeError(with(18, 0)).find("0 x 4"), std::string::npos);
    EXPECT_NE(DecodeError(with(22, 0)).find("no pixels"), std::string::npos);
    EXPECT_NE(DecodeError(with(18, 100000)).find("16384"), std::string::npos);
    Bytes huge = with(18, 100000);
    Put32(huge, 22, 100000);
    EXPECT_NE(DecodeError(huge).find("100000 x 100000"), std::string::npos);
    Bytes big = with(18, 16000);
    Put32(big, 22, 16000);
    EXPECT_NE(DecodeError(big).find("64 MB"), std::string::npos);
    EXPECT_NE(DecodeError(with(22, 0x80000000u)).find("x"), std::string::npos) << "INT_MIN height";
    EXPECT_NE(DecodeError(with(10, 0x7FFFFFF0)).find("offset"), std::string::npos);
    EXPECT_NE(DecodeError(with(10, 20)).find("offset"), std::string::npos) << "pixels inside the header";
    EXPECT_NE(DecodeError(with(14, 7)).find("header size"), std::string::npos);
    EXPECT_NE(DecodeError(with(14, 0xFFFFFFF0)).find("header size"), std::string::npos);
    EXPECT_NE(DecodeError(with(28, 16, 2)).find("16-bit"), std::string::npos);
    EXPECT_NE(DecodeError(with(28, 7, 2)).find("7-bit"), std::string::npos);
    EXPECT_NE(DecodeError(with(30, 1)).find("run-length"), std::string::npos);
    EXPECT_NE(DecodeError(with(30, 4)).find("compression 4"), std::string::npos);
    EXPECT_NE(DecodeError(Bytes{'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).find("\"BM\""),
              std::string::npos);
    EXPECT_NE(DecodeError(Bytes{'B', 'M'}).find("too short"), std::string::npos);
    EXPECT_NE(DecodeError(Bytes(good.begin(), good.begin() + 30)).find("header is truncated"), std::string::npos);
    EXPECT_NE(DecodeError(Bytes(good.begin(), good.end() - 1)).find("truncated"), std::string::npos);
    EXPECT_NE(DecodeError(MakeBmp(2, 1, 8, std::vector<std::uint32_t>(300, 0), {0, 0, 0, 0})).find("300 colours"),
              std::string::npos);
    Bytes shortPalette = MakeBmp(2, 1, 8, {1, 2, 3}, {});
    Put32(shortPalette, 46, 200);
    EXPECT_NE(DecodeError(shortPalette).find("palette is truncated"), std::string::npos);
    TacBmpImage img;
    std::string error;
    EXPECT_FALSE(DecodeBmp(nullptr, 0, img, error));
    EXPECT_NE(error.find("too short"), std::string::npos);
}

TEST(BmpFile, EveryTruncationAndRandomDamageIsSurvived) {
    const std::vector<std::uint32_t> palette = {0x000000, 0xFFFFFF};
    const Bytes files[] = {EncodeBmp24(Sample(5, 4)), MakeBmp(9, 3, 1, palette, Bytes(12, 0x55)),
                           MakeBmp(2, 2, 32, {}, Bytes(16, 0x77), 3, {0xF800, 0x7E0, 0x1F})};
    std::mt19937 rng(99);
    for (const Bytes& file : files) {
        TacBmpImage img;
        std::string error;
        for (std::size_t len = 0; len < file.size(); ++len) {
            const bool ok = DecodeBmp(file.data(), len, img, error);
            EXPECT_FALSE(ok) << "a file cut to " << len << " bytes must be refused";
        }
        for (int round = 0; round < 2000; ++round) {
            Bytes damaged = file;
            for (int n = 1 + rng() % 4; n > 0; --n) damaged[rng() % damaged.size()] = std::uint8_t(rng());
            if (DecodeBmp(damaged, img, error)) {
                ASSERT_EQ(img.Pixels.size(), std::size_t(img.Width) * std::size_t(img.Height) * 3);
            } else {
                ASSERT_FALSE(error.empty());
            }
        }
    }
}

}  // namespace
