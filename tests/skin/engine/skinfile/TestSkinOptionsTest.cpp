// The test skin tailored for one test: sections left out with their masks,
// border masks given where a section has none, a test's own sections added;
// read back through the skin loader, the rest of the file as it always is.
#include <gtest/gtest.h>

#include "TestSkin.h"
#include "TestSupport.h"
#include "sSkinManager.h"
#include "sSkinSource.h"

#include <algorithm>

using namespace testsupport;

namespace {

TacSkinData Load(const std::string& Folder, const TestSkinOptions& Options) {
    TacSkinData skin;
    std::string error;
    EXPECT_TRUE(WriteTestSkin(Folder, Options));
    EXPECT_TRUE(LoadSkinFromFolder(Folder, skin, error)) << error;
    return skin;
}

int MasksOf(const TacSkinData& Skin, const std::string& Section, const std::string& Name) {
    return int(std::count_if(Skin.Masks.begin(), Skin.Masks.end(),
                             [&](const TsMaskData& m) { return m.SectionName == Section && m.Name == Name; }));
}

TEST(TestSkinOptions, LeaveOutSectionsAddBorderMasksAndAppendSections) {
    const std::string root = MakeTempFolder("skinoptions");
    const TacSkinData plain = Load(root + "\\Plain", {});
    TestSkinOptions options;
    options.Without = {"COLHEADER", "SCROLLBTNTOP"};
    options.BorderMasks = {"COMBOBOX", "BUTTON"};
    options.Extra = "\n[OWN]\nCOLOR=0x123456\n";
    const TacSkinData skin = Load(root + "\\Tailored", options);

    for (const char* gone : {"COLHEADER", "SCROLLBTNTOP"}) {
        EXPECT_GE(plain.SectionIndexOf(gone), 0) << gone;
        EXPECT_EQ(skin.SectionIndexOf(gone), -1) << gone;
        EXPECT_EQ(MasksOf(skin, gone, "BORDERSMASK"), 0) << gone;
        EXPECT_EQ(MasksOf(skin, gone, "GLYPHMASK"), 0) << gone;
    }
    EXPECT_EQ(skin.Sections.size(), plain.Sections.size() - 2 + 1);
    const int own = skin.SectionIndexOf("OWN");
    ASSERT_GE(own, 0);
    EXPECT_EQ(skin.Sections[own].Color, 0x563412u);  // the file's 0xRRGGBB as a TColor

    // COMBOBOX gets the 3-pixel border; BUTTON keeps the one it has.
    EXPECT_EQ(plain.MaskIndexOf(plain.SectionIndexOf("COMBOBOX"), "COMBOBOX", "BORDERSMASK"), -1);
    const int border = skin.MaskIndexOf(skin.SectionIndexOf("COMBOBOX"), "COMBOBOX", "BORDERSMASK");
    ASSERT_GE(border, 0);
    const TsMaskData& mask = skin.Masks[border];
    EXPECT_TRUE(mask.Valid()) << mask.Error;
    EXPECT_EQ(mask.StateWidth(), kTestBorderState);
    EXPECT_EQ(mask.WL, kTestBorderWidth);
    EXPECT_EQ(skin.MaskImage(border)->Pixel(mask.StateRect(1).Left + 5, 0), TestSkinPalette().Border[1]);
    EXPECT_EQ(MasksOf(skin, "BUTTON", "BORDERSMASK"), 1);
    const auto gone = std::count_if(plain.Masks.begin(), plain.Masks.end(), [](const TsMaskData& m) {
        return m.SectionName == "COLHEADER" || m.SectionName == "SCROLLBTNTOP";
    });
    EXPECT_GT(gone, 4);
    EXPECT_EQ(skin.Masks.size(), plain.Masks.size() - std::size_t(gone) + 1);  // and COMBOBOX's border
    RemoveTree(root);
}

// One manager per set of options, the same one each time it is asked for.
TEST(TestSkinOptions, EachSetOfOptionsHasOneSharedManager) {
    TestSkinOptions headers;
    headers.Headers = true;
    TestSkinOptions without = headers;
    without.Without = {"COLHEADER"};
    TsSkinManager* a = TestSkinManager(headers);
    EXPECT_EQ(TestSkinManager(headers), a);
    TsSkinManager* b = TestSkinManager(without);
    EXPECT_NE(b, a);
    EXPECT_NE(TestSkinPath(without), TestSkinPath(headers));
    EXPECT_GE(SectionIndexOf(a, "COLHEADER"), 0);
    EXPECT_EQ(SectionIndexOf(b, "COLHEADER"), -1);
    TsSkinManager* own = NewTestSkinManager(without);
    EXPECT_NE(own, b);
    EXPECT_EQ(SectionIndexOf(own, "COLHEADER"), -1);
    own->Free();
}

}  // namespace
