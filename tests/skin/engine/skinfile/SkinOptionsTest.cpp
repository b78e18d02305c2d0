// Reading "Options.dat" into the skin model: names, defaults, colours,
// inheritance along PARENTCLASS, masks, and text that is partly or wholly garbage.
#include <gtest/gtest.h>

#include "sSkinFile.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

namespace {

TacSkinData Parse(const std::string& text) {
    TacSkinData skin;
    std::string error;
    EXPECT_TRUE(ParseSkinOptions(text, skin, error)) << error;
    return skin;
}

const TsGeneralData& Section(const TacSkinData& skin, const std::string& name) {
    const int i = skin.SectionIndexOf(name);
    EXPECT_GE(i, 0) << name;
    return skin.Sections[i < 0 ? 0 : i];
}

bool WarnedAbout(const TacSkinData& skin, const std::string& text) {
    for (const std::string& w : skin.Warnings)
        if (w.find(text) != std::string::npos) return true;
    return false;
}

TEST(SkinOptions, NamesUpperCasedGlobalInfoFirstAndDefaults) {
    const TacSkinData skin = Parse(
        "[button]\n"
        "color=0x112233\n"
        "HotColor = #445566\n"
        "FontColor=255\n"
        "[Panel]\n");
    ASSERT_EQ(skin.Sections.size(), 3u);
    EXPECT_EQ(skin.Sections[0].Name, "GLOBALINFO");  // inserted, empty
    EXPECT_EQ(skin.Sections[1].Name, "BUTTON");
    EXPECT_EQ(skin.Sections[2].Name, "PANEL");
    EXPECT_EQ(skin.SectionIndexOf("Button"), 1);
    EXPECT_EQ(skin.SectionIndexOf("PANEL"), 2);
    EXPECT_EQ(skin.SectionIndexOf("EDIT"), -1);

    // Colours are kept as TColor (0x00BBGGRR); decimal is the same number as the hex form.
    const TsGeneralData& b = skin.Sections[1];
    EXPECT_EQ(b.Color, 0x332211u);
    EXPECT_EQ(b.HotColor, 0x665544u);
    EXPECT_EQ(b.FontColor[0], 0xFF0000u);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(b.FontColor[i], acSkinNoColor);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(b.HotFontColor[i], b.FontColor[i]) << "hot colours follow the normal ones";
    EXPECT_EQ(b.Transparency, 0);
    EXPECT_FALSE(b.FadingEnabled);
    EXPECT_TRUE(b.Gradient.Empty());

    const TsGeneralData& p = skin.Sections[2];
    EXPECT_EQ(p.Color, p.HotColor);
    EXPECT_EQ(skin.Shadow1Color, 0u);
    EXPECT_EQ(skin.Shadow1Offset, 0);
    EXPECT_EQ(skin.Shadow1Blur, -1);
    EXPECT_EQ(skin.BISpace, 0);
    EXPECT_TRUE(skin.Warnings.empty());
}

TEST(SkinOptions, GlobalInfoMovedToIndexZeroWithItsValues) {
    const TacSkinData skin = Parse(
        "[EDIT]\nCOLOR=0xFFFFFF\n"
        "[GlobalInfo]\nshadow1color=0x0000FF\nSHADOW1OFFSET=2\nSHADOW1BLUR=3\nBISPACE=4\nCOLOR=0x808080\n"
        "[BUTTON]\n");
    ASSERT_EQ(skin.Sections.size(), 3u);
    EXPECT_EQ(skin.Sections[0].Name, "GLOBALINFO");
    EXPECT_EQ(skin.Sections[1].Name, "EDIT");
    EXPECT_EQ(skin.Sections[2].Name, "BUTTON");
    EXPECT_EQ(skin.Shadow1Color, 0xFF0000u);
    EXPECT_EQ(skin.Shadow1Offset, 2);
    EXPECT_EQ(skin.Shadow1Blur, 3);
    EXPECT_EQ(skin.BISpace, 4);
    EXPECT_EQ(skin.Sections[0].Color, 0x808080u);
}

TEST(SkinOptions, AllSectionFieldsAndNoneContours) {
    const TacSkinData skin = Parse(
        "[GLOBALINFO]\n[LABEL]\n"
        "FONTCOLOR=0x010203\nTCLEFT=none\nTCTOP=-1\nTCRIGHT=clNone\nTCBOTTOM=0x0A0B0C\n"
        "HOTFONTCOLOR=0x111111\nHOTTCLEFT=0x222222\n"
        "TRANSPARENCY=40\nHOTTRANSPARENCY=10\nGRADIENTPERCENT=60\n"
        "GRADIENT=0x000000,0x0000FF,0xFFFFFF,H\nIMAGEPERCENT=20\nHOTIMAGEPERCENT=30\n"
        "SHOWFOCUS=yes\nFADING=1\nFADINGITERATIONS=7\nRESERVEDBOOLEAN=true\nCUSTOMKEY=some value\n");
    const TsGeneralData& l = Section(skin, "LABEL");
    EXPECT_EQ(l.FontColor[0], 0x030201u);
    EXPECT_EQ(l.FontColor[1], acSkinNoColor);
    EXPECT_EQ(l.FontColor[2], acSkinNoColor);
    EXPECT_EQ(l.FontColor[3], acSkinNoColor);
    EXPECT_EQ(l.FontColor[4], 0x0C0B0Au);
    EXPECT_EQ(l.HotFontColor[0], 0x111111u);
    EXPECT_EQ(l.HotFontColor[1], 0x222222u);
    EXPECT_EQ(l.HotFontColor[2], acSkinNoColor) << "missing hot contours follow the normal ones";
    EXPECT_EQ(l.HotFontColor[4], 0x0C0B0Au);
    EXPECT_EQ(l.Transparency, 40);
    EXPECT_EQ(l.HotTransparency, 10);
    EXPECT_EQ(l.GradientPercent, 60);
    ASSERT_EQ(l.Gradient.Colors.size(), 3u);
    EXPECT_EQ(l.Gradient.Direction, gdHorizontal);
    EXPECT_EQ(l.Gradient.ColorAt(0, 101), 0x000000u);
    EXPECT_EQ(l.Gradient.ColorAt(50, 101), 0xFF0000u);  // 0x0000FF written, as TColor
    EXPECT_EQ(l.Gradient.ColorAt(100, 101), 0xFFFFFFu);
    EXPECT_EQ(l.Gradient.ColorAt(25, 101), 0x800000u);
    EXPECT_EQ(l.HotGradient.Colors, l.Gradient.Colors);
    EXPECT_EQ(l.ImagePercent, 20);
    EXPECT_EQ(l.HotImagePercent, 30);
    EXPECT_TRUE(l.ShowFocus);
    EXPECT_TRUE(l.FadingEnabled);
    EXPECT_EQ(l.FadingIterations, 7);
    EXPECT_TRUE(l.ReservedBoolean);
    EXPECT_EQ(l.Value("customkey"), "some value");
    EXPECT_TRUE(WarnedAbout(skin, "CUSTOMKEY")) << "an unknown key is reported for the author";
}

TEST(SkinOptions, GradientHalvesRoundUpOnEveryBuild) {
    TacGradient up;
    up.Colors = {0x000000, 0x009E37};
    // 0x37 x 3 / 22 = 7.5 gives 8; 0x9E x 3 / 22 = 21.5... gives 22.
    EXPECT_EQ(up.ColorAt(3, 23), 0x001608u);
    EXPECT_EQ(up.ColorAt(0, 23), 0x000000u);
    EXPECT_EQ(up.ColorAt(22, 23), 0x009E37u);
    TacGradient down;
    down.Colors = {0x009E37, 0x000000};
    // 55 - 7.5 = 47.5 gives 48; 158 - 21.5... = 136.4... gives 136.
    EXPECT_EQ(down.ColorAt(3, 23), 0x008830u);
    // Three colours: a quarter of the way is half-way to the middle one, both sides.
    TacGradient peak;
    peak.Colors = {0x000000, 0x0000FF, 0x000000};
    EXPECT_EQ(peak.ColorAt(1, 5), 0x000080u);
    EXPECT_EQ(peak.ColorAt(2, 5), 0x0000FFu);
    EXPECT_EQ(peak.ColorAt(3, 5), 0x000080u);
    EXPECT_EQ(peak.ColorAt(9, 5), 0x000000u);  // past the end: the last colour
}

TEST(SkinOptions, GarbageLinesAreReportedAndTheRestIsRead) {
    const TacSkinData skin = Parse(
        "\xEF\xBB\xBF; a comment\r\n"
        "KEY=before any section\r\n"
        "[BUTTON]\r\n"
        "this line has no equals sign\r\n"
        "=no key\r\n"
        "COLOR=not a colour\r\n"
        "COLOR=0x0000FF ; blue, comment after blanks\r\n"
        "TRANSPARENCY=150\r\n"
        "HOTTRANSPARENCY=-5\r\n"
        "FADINGITERATIONS=99999999999999999999\r\n"
        "SHOWFOCUS=maybe\r\n"
        "GRADIENT=0x000000\r\n"
        "SHADOW1BLUR=4\r\n"
        "[unterminated\r\n"
        "COLOR=0x00FF00\r\n"
        "[]\r\n"
        "\x01\x02\xFF\xFE binary=\x80\x81\r"
        "[EDIT]\rCOLOR=#00FF00\r");
    const TsGeneralData& b = Section(skin, "BUTTON");
    EXPECT_EQ(b.Color, 0xFF0000u);
    EXPECT_EQ(b.Transparency, 100) << "out of range taken as the nearest";
    EXPECT_EQ(b.HotTransparency, 0);
    EXPECT_EQ(b.FadingIterations, 5);
    EXPECT_FALSE(b.ShowFocus);
    EXPECT_TRUE(b.Gradient.Empty());
    EXPECT_EQ(skin.Shadow1Blur, -1) << "skin-wide values belong to GLOBALINFO only";
    EXPECT_EQ(Section(skin, "EDIT").Color, 0x00FF00u);
    EXPECT_EQ(skin.SectionIndexOf("UNTERMINATED"), -1);

    for (const char* what : {"line 2:", "line 4:", "line 5:", "line 6: COLOR=not a colour", "line 8:", "line 9:",
                             "line 10:", "line 11:", "line 12:", "line 13: SHADOW1BLUR", "line 14:", "line 16:"})
        EXPECT_TRUE(WarnedAbout(skin, what)) << what;
}

TEST(SkinOptions, TextWithNoSectionFailsWithAReason) {
    for (const std::string& text :
         {std::string(), std::string("just some words\nand more"), std::string("\0\0\0", 3)}) {
        TacSkinData skin;
        skin.Sections.resize(3);
        std::string error;
        EXPECT_FALSE(ParseSkinOptions(text, skin, error));
        EXPECT_NE(error.find("[SECTION]"), std::string::npos) << error;
        EXPECT_TRUE(skin.Sections.empty());
    }
}

TEST(SkinOptions, RandomTextNeverBreaksTheReader) {
    std::mt19937 rng(1234);
    const std::string alphabet = "[]=.;#\r\n \t0xX-GLOBALINFOBUTTONPARENTCLASSCOLORIMAGERECT,\\/..\x80\xFF";
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int len = rng() % 600;
        for (int i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
        TacSkinData skin;
        std::string error;
        if (ParseSkinOptions(text, skin, error)) {
            ASSERT_FALSE(skin.Sections.empty());
            EXPECT_EQ(skin.Sections[0].Name, "GLOBALINFO");
            for (std::size_t m = 0; m < skin.Masks.size(); ++m) skin.MaskIndexOf(0, skin.Masks[m].SectionName, "X");
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(SkinOptions, ParentClassPassesValuesAndMasksDown) {
    const TacSkinData skin = Parse(
        "[BUTTON]\nCOLOR=0x111111\nHOTCOLOR=0x222222\nFONTCOLOR=0x333333\nFADING=1\n"
        "[BUTTON.BORDERSMASK]\nIMAGE=b.bmp\n"
        "[BUTTON_BIG]\nPARENTCLASS=button\nHOTCOLOR=0x999999\n"
        "[BUTTON_HUGE]\nPARENTCLASS=BUTTON_BIG\n"
        "[BUTTON_HUGE.GLYPHMASK]\nIMAGE=g.bmp\n");
    const TsGeneralData& big = Section(skin, "BUTTON_BIG");
    EXPECT_EQ(big.ParentClass, "BUTTON");
    EXPECT_EQ(big.Color, 0x111111u);
    EXPECT_EQ(big.HotColor, 0x999999u);
    EXPECT_TRUE(big.FadingEnabled);
    const TsGeneralData& huge = Section(skin, "BUTTON_HUGE");
    EXPECT_EQ(huge.HotColor, 0x999999u);
    EXPECT_EQ(huge.FontColor[0], 0x333333u);

    const int button = skin.SectionIndexOf("BUTTON"), hugeIndex = skin.SectionIndexOf("BUTTON_HUGE");
    const int border = skin.MaskIndexOfNoParent("BUTTON", "BORDERSMASK");
    ASSERT_GE(border, 0);
    EXPECT_EQ(skin.MaskIndexOf(hugeIndex, "BUTTON_HUGE", "BORDERSMASK"), border) << "found two levels up";
    EXPECT_EQ(skin.MaskIndexOf(hugeIndex, "button_huge", "bordersmask"), border);
    EXPECT_EQ(skin.MaskIndexOfNoParent("BUTTON_HUGE", "BORDERSMASK"), -1);
    EXPECT_EQ(skin.MaskIndexOf(button, "BUTTON", "GLYPHMASK"), -1) << "never searched downwards";
    EXPECT_EQ(skin.MaskIndexOf(-1, "BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(skin.MaskIndexOf(button, "", "BORDERSMASK"), -1);
}

TEST(SkinOptions, ParentClassCyclesEndTheSearch) {
    const TacSkinData skin = Parse(
        "[CYC1]\nPARENTCLASS=CYC2\nCOLOR=0x010101\n"
        "[CYC2]\nPARENTCLASS=CYC1\nHOTCOLOR=0x020202\n"
        "[SELF]\nPARENTCLASS=SELF\n"
        "[ORPHAN]\nPARENTCLASS=NOWHERE\n");
    const int c1 = skin.SectionIndexOf("CYC1"), c2 = skin.SectionIndexOf("CYC2"), self = skin.SectionIndexOf("SELF");
    EXPECT_EQ(skin.MaskIndexOf(c1, "CYC1", "BORDERSMASK"), -1);
    EXPECT_EQ(skin.MaskIndexOf(c2, "CYC2", "BORDERSMASK"), -1);
    EXPECT_EQ(skin.MaskIndexOf(self, "SELF", "BORDERSMASK"), -1);
    EXPECT_EQ(skin.Sections[c1].HotColor, 0x020202u) << "values come from the other side of the loop once";
    EXPECT_EQ(skin.Sections[c2].Color, 0x010101u);
    EXPECT_TRUE(WarnedAbout(skin, "loops back"));
    EXPECT_TRUE(WarnedAbout(skin, "PARENTCLASS=NOWHERE names no section"));
}

TEST(SkinOptions, LongParentClassChainsAreReadInOnePassUpToTheCap) {
    // Section k names k - 1 (Backward) or k + 1 (forward); the end of the
    // chain sets the text colour, every tenth section its own colour.
    auto chain = [](int count, bool backward) {
        std::string text;
        for (int k = 0; k < count; ++k) {
            text += "[S" + std::to_string(k) + "]\n";
            const int parent = backward ? k - 1 : k + 1;
            if (parent >= 0 && parent < count) text += "PARENTCLASS=S" + std::to_string(parent) + "\n";
            else text += "FONTCOLOR=0x0000AA\n";
            if (k % 10 == 0) text += "COLOR=" + std::to_string(k) + "\n";
        }
        return text;
    };
    for (const bool backward : {true, false}) {
        SCOPED_TRACE(backward ? "each names the one before" : "each names the one after");
        const int n = 5000;
        const std::string text = chain(n, backward);
        const auto t0 = std::chrono::steady_clock::now();
        const TacSkinData skin = Parse(text);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        EXPECT_LT(ms, 2000) << "a chain read section by section from its end again and again";
        ASSERT_EQ(skin.Sections.size(), size_t(n) + 1);
        // The number of ancestors of section k, and section k.
        auto at = [&](int depth) -> const TsGeneralData& {
            return Section(skin, "S" + std::to_string(backward ? depth : n - 1 - depth));
        };
        // The colour of the nearest tenth section on the way up (the default
        // when there is none), as a TColor.
        auto colourAt = [&](int depth) -> std::uint32_t {
            const int k = backward ? depth : n - 1 - depth;
            const int tenth = backward ? k / 10 * 10 : (k + 9) / 10 * 10;
            if (tenth >= n) return 0xF0F0F0u;
            const auto v = std::uint32_t(tenth);
            return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
        };
        for (int depth : {0, 1, 3, 9, 10, 32, 33, 40, 4999}) {
            SCOPED_TRACE(depth);
            EXPECT_EQ(at(depth).Color, colourAt(depth));
            EXPECT_EQ(at(depth).HotColor, colourAt(depth));
            // The end of the chain is 32 sections up at most.
            EXPECT_EQ(at(depth).FontColor[0], depth <= 32 ? 0xAA0000u : 0u);
        }
        EXPECT_EQ(at(3).ParentClass, "S" + std::to_string(backward ? 2 : n - 3));
        EXPECT_TRUE(WarnedAbout(skin, "more than 32 sections deep"));
        EXPECT_LT(skin.Warnings.size(), 10u) << "one warning for the chain, not one per section";
    }
}

namespace {

// Bytes the process holds privately (its commit charge).
std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof(c);
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof(c));
    return c.PagefileUsage;
}

double SecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

TEST(SkinOptions, SectionsInheritingALongListShareItInsteadOfCopyingIt) {
    // One parent of 3000 keys and 3000 children of it: about 118 KB of text.
    std::string text = "[BASE]\n";
    for (int k = 0; k < 3000; ++k) text += "K" + std::to_string(k) + "=v" + std::to_string(k) + "\n";
    for (int c = 0; c < 3000; ++c) {
        text += "[C" + std::to_string(c) + "]\nPARENTCLASS=BASE\n";
        if (c % 100 == 0) text += "K5=own\n";
    }
    const std::size_t before = PrivateBytes();
    const auto t0 = std::chrono::steady_clock::now();
    const TacSkinData skin = Parse(text);
    const double seconds = SecondsSince(t0);
    const std::size_t grown = PrivateBytes() - std::min(PrivateBytes(), before);
    EXPECT_LT(grown, std::size_t(32) << 20) << "bytes held for " << text.size() << " bytes of text";
    EXPECT_LT(seconds, 2.0);
    ASSERT_EQ(skin.Sections.size(), 3002u);
    const TsGeneralData& child = Section(skin, "C7");
    EXPECT_EQ(child.Value("k2999"), "v2999");
    EXPECT_EQ(child.Value("K5"), "v5");
    EXPECT_EQ(child.Value("PARENTCLASS"), "BASE");
    EXPECT_EQ(Section(skin, "C100").Value("K5"), "own");
    EXPECT_EQ(Section(skin, "BASE").Value("K5"), "v5") << "a child's value stays its own";
    EXPECT_EQ(child.Values.Flatten().size(), 3001u);
}

TEST(SkinOptions, SectionsMasksAndPicturesAreFoundByNameWithoutAScanEach) {
    // 20000 sections with a mask and a picture each: about 1.2 MB of text.
    const int n = 20000;
    std::string text;
    for (int i = 0; i < n; ++i) {
        const std::string id = std::to_string(i);
        text += "[S" + id + "]\nCOLOR=" + id + "\n[S" + id + ".BORDERSMASK]\nIMAGE=pics\\i" + id + ".bmp\n";
    }
    const auto t0 = std::chrono::steady_clock::now();
    const TacSkinData skin = Parse(text);
    for (int i = 0; i < n; i += 7) {
        const std::string name = "s" + std::to_string(i);
        const int section = skin.SectionIndexOf(name);
        ASSERT_EQ(section, i + 1);
        const int mask = skin.MaskIndexOf(section, name, "bordersMask");
        ASSERT_EQ(mask, i);
        ASSERT_EQ(skin.Masks[std::size_t(mask)].SectionIndex, section);
        ASSERT_EQ(skin.Masks[std::size_t(mask)].ImageIndex, i);
    }
    EXPECT_LT(SecondsSince(t0), 3.0);
    EXPECT_EQ(skin.Images.size(), std::size_t(n));
    EXPECT_EQ(skin.SectionIndexOf("S" + std::to_string(n)), -1);
    EXPECT_EQ(skin.MaskIndexOfNoParent("S1", "PATTERN"), -1);
}

TEST(SkinOptions, MaskKeysAndTheImagesTheyNeed) {
    const TacSkinData skin = Parse(
        "[GLOBALINFO]\nMASTERBITMAP=Master.bmp\n"
        "[GLOBALINFO.BOXCHECKED]\nRECT=0,16,48,32\nIMAGECOUNT=3\nMASKTYPE=1\n"
        "[BUTTON]\n"
        "[BUTTON.BORDERSMASK]\nIMAGE=pics\\Button.bmp\nIMAGECOUNT=3\nBORDERWIDTH=4\nWB=6\nDRAWCENTRE=1\nSKIPNORMAL="
        "1\nTILESIDES=1\n"
        "[BUTTON.PATTERN]\nIMAGE=./PICS/button.BMP\n"
        "[BUTTON.HOTPATTERN]\nIMAGE=..\\outside.bmp\n"
        "[BUTTON.GLYPHMASK]\nIMAGE=g.bmp\nWL=2\nWR=5\nMASKTYPE=3\nIMAGECOUNT=0\n"
        "[NOSUCH.BORDERSMASK]\nIMAGE=g.bmp\n"
        "[EDIT]\n[EDIT.BORDERSMASK]\nRECT=1,1,2,2\n");
    ASSERT_EQ(skin.Images.size(), 3u) << "master first, then each distinct file once";
    EXPECT_EQ(skin.Images[0].FileName, "Master.bmp");
    EXPECT_EQ(skin.Images[1].FileName, "pics\\Button.bmp");
    EXPECT_EQ(skin.Images[2].FileName, "g.bmp");

    const TsMaskData& box = skin.Masks[skin.MaskIndexOfNoParent("GLOBALINFO", "BOXCHECKED")];
    EXPECT_EQ(box.ImageIndex, 0);
    EXPECT_EQ(box.R.Left, 0);
    EXPECT_EQ(box.R.Top, 16);
    EXPECT_EQ(box.R.Width(), 48);
    EXPECT_EQ(box.R.Height(), 32);
    EXPECT_EQ(box.StateWidth(), 16);
    EXPECT_EQ(box.StateHeight(), 16);
    EXPECT_EQ(box.StateRect(2).Left, 32);
    EXPECT_EQ(box.StateRect(9).Left, 32) << "a state past the last uses the last";

    const TsMaskData& border = skin.Masks[skin.MaskIndexOfNoParent("BUTTON", "BORDERSMASK")];
    EXPECT_EQ(border.SectionIndex, skin.SectionIndexOf("BUTTON"));
    EXPECT_EQ(border.ImageIndex, 1);
    EXPECT_EQ(border.ImageCount, 3);
    EXPECT_EQ(border.BorderWidth, 4);
    EXPECT_EQ(border.WL, 4);
    EXPECT_EQ(border.WT, 4);
    EXPECT_EQ(border.WR, 4);
    EXPECT_EQ(border.WB, 6);
    EXPECT_TRUE(border.DrawCentre);
    EXPECT_TRUE(border.SkipNormal);
    EXPECT_TRUE(border.TileSides);
    EXPECT_FALSE(border.TileCentre);

    const TsMaskData& pattern = skin.Masks[skin.MaskIndexOfNoParent("BUTTON", "PATTERN")];
    EXPECT_EQ(pattern.ImageIndex, 1) << "file names compare in any case and with either slash";
    EXPECT_TRUE(pattern.TileCentre) << "textures tile by default";

    const TsMaskData& hot = skin.Masks[skin.MaskIndexOfNoParent("BUTTON", "HOTPATTERN")];
    EXPECT_EQ(hot.ImageIndex, -1);
    EXPECT_NE(hot.Error.find("not a plain relative file name"), std::string::npos) << hot.Error;

    const TsMaskData& glyph = skin.Masks[skin.MaskIndexOfNoParent("BUTTON", "GLYPHMASK")];
    EXPECT_EQ(glyph.MaskType, 1);
    EXPECT_EQ(glyph.ImageCount, 1);
    EXPECT_EQ(glyph.BorderWidth, 5) << "without BORDERWIDTH it is the widest border";

    EXPECT_EQ(skin.Masks[skin.MaskIndexOfNoParent("NOSUCH", "BORDERSMASK")].SectionIndex, -1);
    EXPECT_TRUE(WarnedAbout(skin, "[NOSUCH.BORDERSMASK] belongs to a section the skin does not have"));
    EXPECT_EQ(skin.Masks[skin.MaskIndexOfNoParent("EDIT", "BORDERSMASK")].ImageIndex, 0) << "RECT alone: the master";
}

TEST(SkinOptions, MaskOfAMissingMasterIsLeftOut) {
    const TacSkinData skin = Parse("[BUTTON]\n[BUTTON.BORDERSMASK]\nRECT=0,0,4,4\n[BUTTON.GLYPHMASK]\nIMAGECOUNT=2\n");
    for (const TsMaskData& m : skin.Masks) {
        EXPECT_EQ(m.ImageIndex, -1);
        EXPECT_NE(m.Error.find("MASTERBITMAP"), std::string::npos) << m.Error;
    }
    EXPECT_TRUE(skin.Images.empty());
}

TEST(SkinOptions, ColoursAndPaths) {
    std::uint32_t c = 1;
    EXPECT_TRUE(ParseSkinColor("#FF0000", c));
    EXPECT_EQ(c, 0x0000FFu);
    EXPECT_TRUE(ParseSkinColor(" 16711680 ", c));
    EXPECT_EQ(c, 0x0000FFu);
    EXPECT_TRUE(ParseSkinColor("$00FF00", c));
    EXPECT_EQ(c, 0x00FF00u);
    EXPECT_TRUE(ParseSkinColor("NONE", c));
    EXPECT_EQ(c, acSkinNoColor);
    for (const char* bad : {"", "0x1000000", "red", "-5", "12abc", "0x", "#"})
        EXPECT_FALSE(ParseSkinColor(bad, c)) << bad;

    EXPECT_EQ(NormalizeSkinPath(".\\Pics\\A.bmp"), "PICS/A.BMP");
    EXPECT_EQ(NormalizeSkinPath("a.bmp"), "A.BMP");
    for (const char* bad : {"", "..\\a.bmp", "pics/../../a.bmp", "C:\\a.bmp", "\\a.bmp", "/a.bmp", "a//b.bmp"})
        EXPECT_EQ(NormalizeSkinPath(bad), "") << bad;
}

// A picture of one flat colour per 2 x 2 block, so that moved rectangles can be told apart.
TacBmpImage Blocks(int w, int h, std::uint32_t seed) {
    TacBmpImage img;
    img.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixel(x, y, (seed * 2654435761u + std::uint32_t(x / 2 * 131 + y / 2)) & 0xFFFFFF);
    return img;
}

TEST(SkinOptions, ResolvingChecksEveryMaskAgainstItsPicture) {
    TacSkinData skin = Parse(
        "[A]\n"
        "[A.OK]\nIMAGE=a.bmp\nIMAGECOUNT=3\nWL=4\nWR=4\nWT=2\nWB=9\n"
        "[A.OUTSIDE]\nIMAGE=a.bmp\nRECT=10,0,8,8\n"
        "[A.TOOMANY]\nIMAGE=a.bmp\nIMAGECOUNT=64\n"
        "[A.TOOTHIN]\nIMAGE=thin.bmp\nMASKTYPE=1\n"
        "[A.BAD]\nIMAGE=bad.bmp\n"
        "[A.NOTLOADED]\nIMAGE=never.bmp\n");
    ASSERT_EQ(skin.Images.size(), 4u);
    skin.Images[0].Image = Blocks(12, 10, 1);  // 3 states of 4 x 10
    skin.Images[1].Image.Resize(5, 1);
    skin.Images[2].Error = "is not usable: not a BMP picture";
    ResolveSkinImages(skin);

    auto mask = [&](const char* name) -> const TsMaskData& { return skin.Masks[skin.MaskIndexOfNoParent("A", name)]; };
    const TsMaskData& ok = mask("OK");
    EXPECT_TRUE(ok.Valid());
    EXPECT_EQ(ok.R.Width(), 12);
    EXPECT_EQ(ok.R.Height(), 10);
    EXPECT_LE(ok.WL + ok.WR, 4) << "borders reduced to fit one state";
    EXPECT_LE(ok.WT + ok.WB, 10);
    EXPECT_NE(mask("OUTSIDE").Error.find("outside"), std::string::npos) << mask("OUTSIDE").Error;
    EXPECT_NE(mask("TOOMANY").Error.find("cannot hold 64 states"), std::string::npos) << mask("TOOMANY").Error;
    EXPECT_NE(mask("TOOTHIN").Error.find("opacity rows"), std::string::npos) << mask("TOOTHIN").Error;
    EXPECT_NE(mask("BAD").Error.find("bad.bmp\" is not usable: not a BMP"), std::string::npos) << mask("BAD").Error;
    EXPECT_NE(mask("NOTLOADED").Error.find("was not loaded"), std::string::npos);
    for (const char* name : {"OUTSIDE", "TOOMANY", "TOOTHIN", "BAD", "NOTLOADED"}) {
        EXPECT_FALSE(mask(name).Valid()) << name;
        EXPECT_EQ(skin.MaskImage(skin.MaskIndexOfNoParent("A", name)), nullptr);
    }
    EXPECT_EQ(skin.MaskImage(-1), nullptr);
    EXPECT_EQ(skin.MaskImage(1000), nullptr);
    EXPECT_TRUE(WarnedAbout(skin, "mask [A.BAD] left out"));
}

TEST(SkinOptions, PackingMovesEveryPictureIntoOneMaster) {
    TacSkinData skin = Parse(
        "[A]\n[A.ONE]\nIMAGE=one.bmp\nRECT=2,2,6,4\n[A.TWO]\nIMAGE=two.bmp\nIMAGECOUNT=2\n"
        "[A.THREE]\nIMAGE=one.bmp\n[A.GONE]\nIMAGE=gone.bmp\n");
    skin.Images[0].Image = Blocks(10, 8, 1);
    skin.Images[1].Image = Blocks(1100, 3, 2);  // wider than a shelf: gets one of its own
    ResolveSkinImages(skin);
    const TacSkinData before = skin;
    ASSERT_TRUE(PackSkinImages(skin));
    ASSERT_EQ(skin.Images.size(), 1u);
    const TacBmpImage& master = skin.Images[0].Image;
    EXPECT_EQ(master.Width, 1100);
    for (std::size_t m = 0; m < skin.Masks.size(); ++m) {
        const TsMaskData &now = skin.Masks[m], &was = before.Masks[m];
        if (!was.Valid()) {
            EXPECT_FALSE(now.Valid());
            continue;
        }
        ASSERT_EQ(now.ImageIndex, 0);
        ASSERT_EQ(now.R.Width(), was.R.Width());
        ASSERT_EQ(now.R.Height(), was.R.Height());
        const TacBmpImage& old = before.Images[was.ImageIndex].Image;
        for (int y = 0; y < was.R.Height(); ++y)
            for (int x = 0; x < was.R.Width(); ++x)
                ASSERT_EQ(master.Pixel(now.R.Left + x, now.R.Top + y), old.Pixel(was.R.Left + x, was.R.Top + y))
                    << now.Name << " at " << x << "," << y;
    }
}

}  // namespace
