// The packed-skin reader: archives made here with zlib, then made to lie about
// sizes, CRCs and offsets, cut short, or built as deflate bombs.
#include <gtest/gtest.h>

#include "TestSkin.h"
#include "acZipReader.h"
#include "acZipWrite.h"

#include <windows.h>
#include <psapi.h>

#include <random>

using namespace testsupport;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

// Where the archive's end record and its central directory entries are (no comment).
std::size_t EndRecord(const Bytes& zip) { return zip.size() - 22; }
std::size_t CentralEntry(const Bytes& zip, int index) {
    std::size_t p = U32(zip, EndRecord(zip) + 16);
    for (int i = 0; i < index; ++i) p += 46 + (zip[p + 28] | zip[p + 29] << 8);
    return p;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Archive(bool deflate, const Bytes& second = Text("second file, second file, second file")) {
    std::vector<TacZipInput> in;
    in.push_back({"Options.dat", Text("[BUTTON]\nCOLOR=0x123456\n"), {}});
    in.push_back({"pics/Second.bmp", second, {}});
    if (deflate)
        for (TacZipInput& e : in) e.Deflated = DeflateRaw(e.Data);
    return BuildZip(in);
}

std::string ExtractError(const Bytes& zip, int index) {
    TacZipReader reader;
    std::string error;
    EXPECT_TRUE(reader.OpenMemory(zip.data(), zip.size(), error)) << error;
    Bytes data;
    EXPECT_FALSE(reader.Extract(std::size_t(index), data, error));
    EXPECT_TRUE(data.empty());
    return error;
}

std::string OpenError(const Bytes& zip) {
    TacZipReader reader;
    std::string error;
    EXPECT_FALSE(reader.OpenMemory(zip.data(), zip.size(), error));
    EXPECT_EQ(reader.Count(), 0u);
    return error;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ZipReader, StoredAndDeflatedEntriesComeBackWhole) {
    Bytes big(200000);
    std::mt19937 rng(5);
    for (auto& b : big) b = std::uint8_t(rng() % 7);  // compressible but not trivially
    for (bool deflate : {false, true}) {
        const Bytes zip = Archive(deflate, big);
        TacZipReader reader;
        std::string error;
        ASSERT_TRUE(reader.OpenMemory(zip.data(), zip.size(), error)) << error;
        ASSERT_EQ(reader.Count(), 2u);
        EXPECT_EQ(reader.Entry(1).Method, deflate ? 8 : 0);
        if (deflate) {
            EXPECT_LT(reader.Entry(1).CompressedSize, reader.Entry(1).Size);
        }
        EXPECT_EQ(reader.Find("options.DAT"), 0);
        EXPECT_EQ(reader.Find("PICS\\second.bmp"), 1) << "any case, either slash";
        EXPECT_EQ(reader.Find("/pics/second.bmp"), 1);
        EXPECT_EQ(reader.Find("second.bmp"), -1);
        Bytes data;
        ASSERT_TRUE(reader.Extract("pics/second.bmp", data, error)) << error;
        EXPECT_EQ(data, big);
        ASSERT_TRUE(reader.Extract(0, data, error)) << error;
        EXPECT_EQ(std::string(data.begin(), data.end()), "[BUTTON]\nCOLOR=0x123456\n");
        EXPECT_FALSE(reader.Extract("missing.bmp", data, error));
        EXPECT_TRUE(Has(error, "not in the packed file"));
    }
}

TEST(ZipReader, EntriesThatLieAboutTheirSizeOrContent) {
    // Stored: the size claims more than the data held.
    Bytes zip = Archive(false);
    Put32(zip, CentralEntry(zip, 1) + 24, U32(zip, CentralEntry(zip, 1) + 24) + 1);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "is stored but claims")) << ExtractError(zip, 1);

    // Deflated: claims fewer bytes than it inflates to, and more.
    zip = Archive(true);
    Put32(zip, CentralEntry(zip, 1) + 24, 10);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "inflates past the 10 bytes it claims")) << ExtractError(zip, 1);
    zip = Archive(true);
    Put32(zip, CentralEntry(zip, 1) + 24, 5000);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "fewer than the 5000 it claims")) << ExtractError(zip, 1);

    // Compressed size: larger than the archive holds before the directory; smaller than the stream.
    zip = Archive(true);
    Put32(zip, CentralEntry(zip, 1) + 20, 1u << 30);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "more than the archive holds")) << ExtractError(zip, 1);
    zip = Archive(true);
    Put32(zip, CentralEntry(zip, 1) + 20, U32(zip, CentralEntry(zip, 1) + 20) - 3);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "truncated compressed data")) << ExtractError(zip, 1);
    zip = Archive(true);
    Put32(zip, CentralEntry(zip, 0) + 20, U32(zip, CentralEntry(zip, 0) + 20) + 3);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "its data ends after")) << ExtractError(zip, 0);

    // Damaged content: a wrong CRC, and compressed bytes that are not deflate.
    zip = Archive(false);
    Put32(zip, CentralEntry(zip, 0) + 16, U32(zip, CentralEntry(zip, 0) + 16) ^ 1);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "CRC")) << ExtractError(zip, 0);
    zip = Archive(true);
    const std::size_t data = 30 + std::string("Options.dat").size();
    zip[data] = 0xFF;  // reserved block type
    EXPECT_TRUE(Has(ExtractError(zip, 0), "damaged compressed data")) << ExtractError(zip, 0);
}

TEST(ZipReader, EntriesItWillNotRead) {
    Bytes zip = Archive(false);
    Put16(zip, CentralEntry(zip, 0) + 8, 1);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "encrypted"));
    zip = Archive(false);
    Put16(zip, CentralEntry(zip, 0) + 10, 12);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "compression method 12"));
    zip = Archive(false);
    Put32(zip, CentralEntry(zip, 1) + 42, U32(zip, EndRecord(zip) + 16) + 5);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "local header offset")) << ExtractError(zip, 1);
    zip = Archive(false);
    Put32(zip, CentralEntry(zip, 1) + 42, 7);
    EXPECT_TRUE(Has(ExtractError(zip, 1), "local header")) << "an offset to no local header";
    zip = Archive(false);
    Put32(zip, CentralEntry(zip, 0) + 24, 0xFFFFFFFF);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "ZIP64"));
    zip = Archive(false);
    Put32(zip, CentralEntry(zip, 0) + 24, 100u << 20);
    Put32(zip, CentralEntry(zip, 0) + 20, 100u << 20);
    EXPECT_TRUE(Has(ExtractError(zip, 0), "above 64 MB"));
}

TEST(ZipReader, DeflateBombsStopAtTheirClaimAndTheCap) {
    // 72 MB of zeros packs into about 70 KB.
    const Bytes zeros(std::size_t(72) << 20, 0);
    const Bytes bomb = DeflateRaw(zeros);
    ASSERT_LT(bomb.size(), 200000u);
    std::vector<TacZipInput> in{{"Options.dat", Bytes(1000, 0), bomb}};
    Bytes zip = BuildZip(in);  // claims 1000 bytes
    EXPECT_TRUE(Has(ExtractError(zip, 0), "inflates past the 1000 bytes it claims (a damaged entry or a deflate bomb)"))
        << ExtractError(zip, 0);
    Put32(zip, CentralEntry(zip, 0) + 24, std::uint32_t(zeros.size()));  // honest about its size
    EXPECT_TRUE(Has(ExtractError(zip, 0), "entries above 64 MB are refused")) << ExtractError(zip, 0);

    // Refusing a bomb again and again keeps no memory.
    PROCESS_MEMORY_COUNTERS before{}, after{};
    Put32(zip, CentralEntry(zip, 0) + 24, 60u << 20);  // under the cap, still a lie
    TacZipReader reader;
    std::string error;
    ASSERT_TRUE(reader.OpenMemory(zip.data(), zip.size(), error));
    Bytes data;
    EXPECT_FALSE(reader.Extract(0, data, error));
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(reader.Extract(0, data, error));
        EXPECT_TRUE(Has(error, "inflates past")) << error;
    }
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + (std::size_t(16) << 20));
}

TEST(ZipReader, BrokenArchivesFailToOpenWithAReason) {
    const Bytes zip = Archive(true);
    EXPECT_TRUE(Has(OpenError(Bytes()), "too short"));
    EXPECT_TRUE(
        Has(OpenError(Text("this is not a zip archive at all, just some text")), "no end of central directory"));
    EXPECT_TRUE(Has(OpenError(Bytes(zip.begin(), zip.end() - 5)), "no end of central directory"));
    EXPECT_TRUE(Has(OpenError(Bytes(zip.begin() + 40, zip.end())), "outside the archive")) << "front cut off";

    Bytes bad = zip;
    Put32(bad, CentralEntry(bad, 1), 0x12345678);
    EXPECT_TRUE(Has(OpenError(bad), "damaged at entry 2")) << OpenError(bad);
    bad = zip;
    Put16(bad, CentralEntry(bad, 1) + 28, 60000);  // a name running past the directory
    EXPECT_TRUE(Has(OpenError(bad), "damaged at entry 2")) << OpenError(bad);
    bad = zip;
    Put16(bad, EndRecord(bad) + 8, 50);
    Put16(bad, EndRecord(bad) + 10, 50);
    EXPECT_TRUE(Has(OpenError(bad), "too small for the 50 entries")) << OpenError(bad);
    bad = zip;
    Put32(bad, EndRecord(bad) + 16, 0xFFFFFFF0);
    EXPECT_TRUE(Has(OpenError(bad), "outside the archive")) << OpenError(bad);
    bad = zip;
    Put16(bad, EndRecord(bad) + 4, 1);
    EXPECT_TRUE(Has(OpenError(bad), "multi-disk"));
    bad = zip;
    Put16(bad, CentralEntry(bad, 0) + 34, 2);
    EXPECT_TRUE(Has(OpenError(bad), "multi-disk"));
    bad = zip;
    Put16(bad, EndRecord(bad) + 10, 0xFFFF);
    EXPECT_TRUE(Has(OpenError(bad), "ZIP64"));

    TacZipReader reader;
    std::string error;
    EXPECT_FALSE(reader.OpenFile("Z:\\no\\such\\file.asz", error));
    EXPECT_TRUE(Has(error, "cannot open"));
}

TEST(ZipReader, EveryCutAndRandomDamageIsSurvived) {
    const Bytes zip = Archive(true);
    std::mt19937 rng(7);
    for (std::size_t len = 0; len < zip.size(); ++len) {
        TacZipReader reader;
        std::string error;
        if (!reader.OpenMemory(zip.data(), len, error)) continue;
        Bytes data;
        for (std::size_t i = 0; i < reader.Count(); ++i) reader.Extract(i, data, error);
    }
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = zip;
        for (int n = 1 + rng() % 3; n > 0; --n) damaged[rng() % damaged.size()] = std::uint8_t(rng());
        TacZipReader reader;
        std::string error;
        if (!reader.OpenMemory(damaged.data(), damaged.size(), error)) {
            ASSERT_FALSE(error.empty());
            continue;
        }
        Bytes data;
        for (std::size_t i = 0; i < reader.Count(); ++i)
            if (!reader.Extract(i, data, error)) {
                ASSERT_FALSE(error.empty());
            }
    }
}

}  // namespace
