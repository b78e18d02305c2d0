// Skins loaded from folders, packed files and the program's resources: the same
// skin gives the same model from each; bad files leave out what they must and
// say why; the built-in skins hold every section and mask the library paints.
#include <gtest/gtest.h>

#include "TestSkin.h"
#include "TestSupport.h"
#include "sSkinSource.h"

#include <windows.h>

using namespace testsupport;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The build's generated skins lie in <build>\skins; this program in <build>\tests\skin\engine\skinfile.
std::string BuildSkinsFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir.erase(dir.find_last_of('\\'));
    // The executable sits in tests\skin\engine\skinfile below the build's root.
    return dir + "\\..\\..\\..\\..\\skins";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void ExpectSameModel(const TacSkinData& a, const TacSkinData& b) {
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Shadow1Color, b.Shadow1Color);
    EXPECT_EQ(a.Shadow1Offset, b.Shadow1Offset);
    EXPECT_EQ(a.Shadow1Blur, b.Shadow1Blur);
    EXPECT_EQ(a.BISpace, b.BISpace);
    EXPECT_EQ(a.MasterImage, b.MasterImage);
    EXPECT_EQ(a.Warnings, b.Warnings);
    ASSERT_EQ(a.Sections.size(), b.Sections.size());
    for (std::size_t i = 0; i < a.Sections.size(); ++i) {
        const TsGeneralData &x = a.Sections[i], &y = b.Sections[i];
        EXPECT_EQ(x.Name, y.Name);
        EXPECT_EQ(x.Values, y.Values) << x.Name;
        EXPECT_EQ(x.Color, y.Color) << x.Name;
        EXPECT_EQ(x.HotColor, y.HotColor) << x.Name;
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(x.FontColor[c], y.FontColor[c]) << x.Name;
            EXPECT_EQ(x.HotFontColor[c], y.HotFontColor[c]) << x.Name;
        }
        EXPECT_EQ(x.Gradient.Colors, y.Gradient.Colors) << x.Name;
        EXPECT_EQ(x.HotGradient.Colors, y.HotGradient.Colors) << x.Name;
        EXPECT_EQ(x.Transparency, y.Transparency);
        EXPECT_EQ(x.HotTransparency, y.HotTransparency);
        EXPECT_EQ(x.GradientPercent, y.GradientPercent);
        EXPECT_EQ(x.ImagePercent, y.ImagePercent);
        EXPECT_EQ(x.FadingEnabled, y.FadingEnabled);
        EXPECT_EQ(x.FadingIterations, y.FadingIterations);
    }
    ASSERT_EQ(a.Masks.size(), b.Masks.size());
    for (std::size_t i = 0; i < a.Masks.size(); ++i) {
        const TsMaskData &x = a.Masks[i], &y = b.Masks[i];
        EXPECT_EQ(x.SectionName + "." + x.Name, y.SectionName + "." + y.Name);
        EXPECT_EQ(x.ImageIndex, y.ImageIndex) << x.Name;
        EXPECT_EQ(x.R.Left, y.R.Left);
        EXPECT_EQ(x.R.Top, y.R.Top);
        EXPECT_EQ(x.R.Right, y.R.Right);
        EXPECT_EQ(x.R.Bottom, y.R.Bottom);
        EXPECT_EQ(x.ImageCount, y.ImageCount);
        EXPECT_EQ(x.MaskType, y.MaskType);
        EXPECT_EQ(x.WL + 10 * x.WT + 100 * x.WR + 1000 * x.WB, y.WL + 10 * y.WT + 100 * y.WR + 1000 * y.WB);
        EXPECT_EQ(x.DrawCentre, y.DrawCentre);
        EXPECT_EQ(x.SkipNormal, y.SkipNormal);
        EXPECT_EQ(x.Error, y.Error);
    }
    ASSERT_EQ(a.Images.size(), b.Images.size());
    for (std::size_t i = 0; i < a.Images.size(); ++i) {
        EXPECT_EQ(a.Images[i].FileName, b.Images[i].FileName);
        EXPECT_EQ(a.Images[i].Image.Width, b.Images[i].Image.Width);
        EXPECT_EQ(a.Images[i].Image.Height, b.Images[i].Image.Height);
        EXPECT_TRUE(a.Images[i].Image.Pixels == b.Images[i].Image.Pixels) << a.Images[i].FileName;
    }
}

class SkinSource : public ::testing::Test {
protected:
    std::string Temp;
    void SetUp() override { Temp = MakeTempFolder("skinsrc"); }
    void TearDown() override { RemoveTree(Temp); }
    std::string Path(const std::string& name) const { return Temp + "\\" + name; }
};

TEST_F(SkinSource, TestSkinFromFolderHoldsWhatItsFilesSay) {
    ASSERT_TRUE(WriteTestSkin(Path("Test")));
    TacSkinData skin;
    std::string error;
    ASSERT_TRUE(LoadSkinFromFolder(Path("Test"), skin, error)) << error;
    EXPECT_EQ(skin.Name, "Test");
    EXPECT_TRUE(skin.Warnings.size() == 2u) << "only the CYC1/CYC2 loop is reported";
    const TestSkinColors& c = TestSkinPalette();
    ASSERT_GE(skin.Sections.size(), 20u);
    EXPECT_EQ(skin.Sections[0].Name, "GLOBALINFO");
    EXPECT_EQ(skin.Sections[1].Name, "BUTTON");
    EXPECT_EQ(skin.Shadow1Blur, 1);
    EXPECT_EQ(skin.BISpace, 3);
    const TsGeneralData& button = skin.Sections[1];
    EXPECT_EQ(button.Color, (c.Button & 0xFF) << 16 | (c.Button & 0xFF00) | c.Button >> 16);
    EXPECT_EQ(button.HotFontColor[1], acSkinNoColor);
    EXPECT_FALSE(button.FadingEnabled);

    for (const TsMaskData& m : skin.Masks) EXPECT_TRUE(m.Valid()) << m.SectionName << "." << m.Name << ": " << m.Error;
    const int border = skin.MaskIndexOf(1, "BUTTON", "BORDERSMASK");
    const TacBmpImage* brd3 = skin.MaskImage(border);
    ASSERT_NE(brd3, nullptr);
    const TsMaskData& b = skin.Masks[border];
    EXPECT_EQ(b.StateWidth(), kTestBorderState);
    EXPECT_EQ(b.WL, kTestBorderWidth);
    EXPECT_EQ(brd3->Pixel(b.StateRect(1).Left, 0), acSkinKeyColor);
    EXPECT_EQ(brd3->Pixel(b.StateRect(1).Left + 5, 0), c.Border[1]);
    EXPECT_EQ(brd3->Pixel(b.StateRect(2).Left + 5, 5), acSkinKeyColor);

    const int box = skin.MaskIndexOf(0, "GLOBALINFO", "RADIOCHECKED");
    ASSERT_GE(box, 0);
    const TsMaskData& radio = skin.Masks[box];
    EXPECT_EQ(radio.StateWidth(), kTestBoxSize);
    EXPECT_EQ(skin.MaskImage(box)->Pixel(radio.StateRect(2).Left, radio.R.Top), c.Box[4][2]);
    const int glyph = skin.MaskIndexOf(skin.SectionIndexOf("COMBOBOX"), "COMBOBOX", "GLYPHMASK");
    EXPECT_EQ(skin.Masks[glyph].StateHeight(), kTestGlyphHeight);
    EXPECT_EQ(skin.MaskImage(glyph)->Pixel(kTestGlyphWidth + 6, kTestGlyphHeight), 0xFFFFFFu);
    EXPECT_EQ(skin.MaskIndexOf(skin.SectionIndexOf("BUTTON_BIG"), "BUTTON_BIG", "BORDERSMASK"), border);
    EXPECT_EQ(skin.MaskIndexOf(skin.SectionIndexOf("CYC1"), "CYC1", "BORDERSMASK"), -1);

    // The variants.
    ASSERT_TRUE(WriteTestSkin(Path("Fade"), {true, true, false}));
    TacSkinData fade;
    ASSERT_TRUE(LoadSkinFromFolder(Path("Fade"), fade, error)) << error;
    EXPECT_TRUE(fade.Sections[fade.SectionIndexOf("BUTTON")].FadingEnabled);
    EXPECT_EQ(fade.Sections[fade.SectionIndexOf("BUTTON")].FadingIterations, 4);
    EXPECT_NE(fade.Sections[fade.SectionIndexOf("BUTTON")].Color, button.Color);
    EXPECT_TRUE(fade.Sections[0].Values.empty()) << "GLOBALINFO inserted empty";
    EXPECT_EQ(fade.Shadow1Blur, -1);
    EXPECT_EQ(fade.MaskIndexOf(0, "GLOBALINFO", "BOXCHECKED"), -1);
}

TEST_F(SkinSource, FolderAndPackedFilesGiveTheSameModel) {
    const SkinFileList files = TestSkinFiles();
    ASSERT_TRUE(WriteTestSkin(Path("Same")));
    TacSkinData folder, stored, deflated, nested;
    std::string error;
    ASSERT_TRUE(LoadSkinFromFolder(Path("Same"), folder, error)) << error;
    ASSERT_TRUE(WriteBytes(Path("Same.asz"), PackSkinFiles(files, false)));
    ASSERT_TRUE(LoadSkinFromPackedFile(Path("Same.asz"), stored, error)) << error;
    const Bytes packed = PackSkinFiles(files, true);
    ASSERT_TRUE(LoadSkinFromPackedMemory(packed.data(), packed.size(), "Same", deflated, error)) << error;
    ExpectSameModel(folder, stored);
    ExpectSameModel(folder, deflated);

    // An archive of the folder itself keeps everything under the folder's name.
    SkinFileList inFolder = files;
    for (auto& f : inFolder) f.first = "Same/" + f.first;
    const Bytes wrapped = PackSkinFiles(inFolder, true);
    ASSERT_TRUE(LoadSkinFromPackedMemory(wrapped.data(), wrapped.size(), "Same", nested, error)) << error;
    ExpectSameModel(folder, nested);
}

TEST_F(SkinSource, BadPicturesAreLeftOutAndTheRestLoads) {
    ASSERT_TRUE(WriteTestSkin(Path("Bad")));
    ASSERT_TRUE(WriteBytes(Path("Bad\\brd3.bmp"), Bytes{'B', 'M', 1, 2, 3}));
    DeleteFileA(Path("Bad\\pat.bmp").c_str());
    Bytes huge = ReadBytes(Path("Bad\\slider.bmp"));
    huge[18] = huge[19] = huge[22] = huge[23] = 0xA0;  // 100000-odd pixels a side
    huge[20] = huge[24] = 1;
    ASSERT_TRUE(WriteBytes(Path("Bad\\slider.bmp"), huge));
    TacSkinData skin;
    std::string error;
    ASSERT_TRUE(LoadSkinFromFolder(Path("Bad"), skin, error)) << error;

    auto mask = [&](const char* section, const char* name) -> const TsMaskData& {
        const int i = skin.MaskIndexOfNoParent(section, name);
        EXPECT_GE(i, 0);
        return skin.Masks[i < 0 ? 0 : i];
    };
    EXPECT_FALSE(mask("BUTTON", "BORDERSMASK").Valid());
    EXPECT_TRUE(Has(mask("BUTTON", "BORDERSMASK").Error, "\"brd3.bmp\" is not usable"))
        << mask("BUTTON", "BORDERSMASK").Error;
    EXPECT_TRUE(Has(mask("SPEEDBUTTON", "PATTERN").Error, "\"pat.bmp\" is missing"))
        << mask("SPEEDBUTTON", "PATTERN").Error;
    EXPECT_TRUE(Has(mask("TRACKBAR", "SLIDERMASK").Error, "the largest accepted is 16384"))
        << mask("TRACKBAR", "SLIDERMASK").Error;
    EXPECT_TRUE(mask("TRACKBAR", "SLIDERVMASK").Valid());
    EXPECT_TRUE(mask("DRAGBAR", "BORDERSMASK").Valid());
    EXPECT_EQ(skin.MaskImage(skin.MaskIndexOfNoParent("BUTTON", "BORDERSMASK")), nullptr);
    EXPECT_GE(skin.Warnings.size(), 5u);
}

TEST_F(SkinSource, UnusableSkinsFailWithAReasonAndLeaveNothing) {
    auto fails = [&](auto load, const std::string& expected) {
        TacSkinData skin;
        skin.Sections.resize(2);
        std::string error;
        EXPECT_FALSE(load(skin, error));
        EXPECT_TRUE(Has(error, expected)) << error;
        EXPECT_TRUE(skin.Sections.empty() && skin.Masks.empty() && skin.Images.empty());
    };
    CreateDirectoryA(Path("Empty").c_str(), nullptr);
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromFolder(Path("Empty"), s, e); },
          "Options.dat is missing");
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromFolder(Path("NoSuchFolder"), s, e); },
          "Options.dat is missing");
    CreateDirectoryA(Path("Junk").c_str(), nullptr);
    WriteBytes(Path("Junk\\Options.dat"), Bytes(3000, 0xE5));
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromFolder(Path("Junk"), s, e); }, "holds no [SECTION]");
    CreateDirectoryA(Path("Huge").c_str(), nullptr);
    WriteBytes(Path("Huge\\Options.dat"), Bytes((std::size_t(4) << 20) + 10, '['));
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromFolder(Path("Huge"), s, e); }, "4 MB");

    WriteBytes(Path("junk.asz"), Bytes(500, 0x42));
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromPackedFile(Path("junk.asz"), s, e); },
          "is not usable: not a ZIP archive");
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromPackedFile(Path("none.asz"), s, e); },
          "cannot open");
    SkinFileList files = TestSkinFiles();
    files.erase(files.begin());  // no Options.dat
    const Bytes noOptions = PackSkinFiles(files, false);
    fails([&](TacSkinData& s,
              std::string& e) { return LoadSkinFromPackedMemory(noOptions.data(), noOptions.size(), "X", s, e); },
          "Options.dat is missing from the packed file");
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinFromResource("NoSuchSkin", s, e); },
          "carries no built-in skin \"NoSuchSkin\"");
    fails([&](TacSkinData& s, std::string& e) { return LoadSkinByName(Temp, "nothing", s, e); },
          "no built-in skin of that name");
}

TEST_F(SkinSource, APackedEntryThatLiesIsLeftOutOrFailsTheLoad) {
    // The archive's entries in the order of TestSkinFiles: 0 Options.dat, 1 brd3.bmp.
    Bytes zip = PackSkinFiles(TestSkinFiles(), true);
    auto central = [&](int index) {
        std::size_t p = zip[zip.size() - 6] | zip[zip.size() - 5] << 8 | zip[zip.size() - 4] << 16;
        for (int i = 0; i < index; ++i) p += 46 + (zip[p + 28] | zip[p + 29] << 8);
        return p;
    };
    zip[central(1) + 24] ^= 0x10;  // brd3.bmp claims another size
    TacSkinData skin;
    std::string error;
    ASSERT_TRUE(LoadSkinFromPackedMemory(zip.data(), zip.size(), "Liar", skin, error)) << error;
    const TsMaskData& border = skin.Masks[skin.MaskIndexOfNoParent("BUTTON", "BORDERSMASK")];
    EXPECT_FALSE(border.Valid());
    EXPECT_TRUE(Has(border.Error, "could not be unpacked: entry \"brd3.bmp\"")) << border.Error;

    zip[central(0) + 16] ^= 0x01;  // Options.dat fails its CRC
    EXPECT_FALSE(LoadSkinFromPackedMemory(zip.data(), zip.size(), "Liar", skin, error));
    EXPECT_TRUE(Has(error, "Options.dat could not be unpacked")) << error;
    EXPECT_TRUE(Has(error, "CRC")) << error;
}

// What the library paints from, by section: the masks each built-in skin must hold.
const char* const kRequired[][2] = {
    {"GLOBALINFO",
     "BOXCHECKED BOXUNCHECKED BOXGRAYED RADIOCHECKED RADIOUNCHECKED CHECK GRIPIMAGE TITLEBAR TITLEBUTTON "
     "BICONCLOSE BICONMAX BICONMIN BICONNORM BICONHELP SICONCLOSE SICONMAX SICONMIN SICONNORM SICONHELP"},
    {"FORM", "BORDERSMASK"},
    {"DIALOG", "BORDERSMASK"},
    {"FORMTITLE", "BORDERSMASK IMGTOPLEFT IMGTOPRIGHT"},
    {"MDIAREA", ""},
    {"MENULINE", ""},
    {"MAINMENU", "BORDERSMASK"},
    {"MENUITEM", "BORDERSMASK"},
    {"EXTRALINE", ""},
    {"DIVIDERV", "BORDERSMASK"},
    {"BUTTON", "BORDERSMASK"},
    {"BUTTON_BIG", "BORDERSMASK"},
    {"WEBBUTTON", ""},
    {"SPEEDBUTTON", "BORDERSMASK"},
    {"SPEEDBUTTON_SMALL", "BORDERSMASK"},
    {"TOOLBUTTON", "BORDERSMASK"},
    {"DIVIDER", "BORDERSMASK"},
    {"UPDOWNBTN", "BORDERSMASK"},
    {"PANEL", "BORDERSMASK"},
    {"PANEL_LOW", "BORDERSMASK"},
    {"GROUPBOX", "BORDERSMASK"},
    {"TABSHEET", ""},
    {"TOOLBAR", "PATTERN"},
    {"STATUSBAR", "BORDERSMASK"},
    {"BAR", ""},
    {"BARTITLE", "IMGTOPLEFT IMGTOPRIGHT IMGBTMLEFT IMGBTMRIGHT"},
    {"DRAGBAR", "BORDERSMASK"},
    {"SPLITTER", ""},
    {"EDIT", "BORDERSMASK"},
    {"COMBOBOX", "BORDERSMASK GLYPHMASK"},
    {"COMBOBTN", "HOTPATTERN"},
    {"COLHEADER", "BORDERSMASK"},
    {"CHECKBOX", ""},
    {"RADIOBUTTON", ""},
    {"TRACKBAR", "SLIDERCHANNEL SLIDERMASK SLIDERVMASK TICKHORZ TICKVERT"},
    {"GAUGE", "BORDERSMASK"},
    {"PROGRESSH", "PATTERN"},
    {"PROGRESSV", "PATTERN"},
    {"SCROLLBTNTOP", "BORDERSMASK GLYPHMASK"},
    {"SCROLLBTNBOTTOM", "BORDERSMASK GLYPHMASK"},
    {"SCROLLBTNLEFT", "BORDERSMASK GLYPHMASK"},
    {"SCROLLBTNRIGHT", "BORDERSMASK GLYPHMASK"},
    {"SCROLLSLIDERH", "BORDERSMASK GLYPHMASK"},
    {"SCROLLSLIDERV", "BORDERSMASK GLYPHMASK"},
    {"SCROLLBAR1H", ""},
    {"SCROLLBAR1V", ""},
    {"SCROLLBAR2H", ""},
    {"SCROLLBAR2V", ""},
    {"PAGECONTROL", "BORDERSMASK"},
    {"PAGECONTROLBOTTOM", "BORDERSMASK"},
    {"PAGECONTROLLEFT", "BORDERSMASK"},
    {"PAGECONTROLRIGHT", "BORDERSMASK"},
    {"TABTOP", "BORDERSMASK"},
    {"TABBOTTOM", "BORDERSMASK"},
    {"TABLEFT", "BORDERSMASK"},
    {"TABRIGHT", "BORDERSMASK"},
};

namespace {

// A 1-bit BMP of W x H pixels, all of palette colour 0: a few KB once packed.
Bytes OneBitBmp(int w, int h) {
    const std::uint32_t stride = std::uint32_t((w + 31) / 32 * 4), bits = stride * std::uint32_t(h);
    const std::uint32_t offset = 14 + 40 + 8, size = offset + bits;
    Bytes b(size, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, size, 4), put(10, offset, 4);
    put(14, 40, 4), put(18, std::uint32_t(w), 4), put(22, std::uint32_t(h), 4), put(26, 1, 2), put(28, 1, 2);
    put(34, bits, 4), put(46, 2, 4);
    put(58, 0xFFFFFF, 4);  // colour 1 white; colour 0 black
    return b;
}

}  // namespace

TEST_F(SkinSource, PicturesPastTheDecodedBudgetFailTheLoadNamingThePicture) {
    // Five pictures of 4096 x 5000 at one bit per pixel: 13 MB packed as they
    // are, 61 MB each once decoded; the fifth passes the 256 MB of a skin.
    SkinFileList files{{"Options.dat", {}}};
    std::string options;
    for (int i = 1; i <= 5; ++i) {
        const std::string pic = "p" + std::to_string(i) + ".bmp";
        options += "[P" + std::to_string(i) + "]\n[P" + std::to_string(i) + ".PATTERN]\nIMAGE=" + pic + "\n";
        files.push_back({pic, OneBitBmp(4096, 5000)});
    }
    files[0].second.assign(options.begin(), options.end());
    const Bytes packed = PackSkinFiles(files, true);
    EXPECT_LT(packed.size(), std::size_t(1) << 20);
    TacSkinData skin;
    std::string error;
    EXPECT_FALSE(LoadSkinFromPackedMemory(packed.data(), packed.size(), "Bits", skin, error));
    EXPECT_TRUE(Has(error, "256 MB")) << error;
    EXPECT_TRUE(Has(error, "\"p5.bmp\" (4096 x 5000)")) << error;
    EXPECT_TRUE(skin.Sections.empty() && skin.Images.empty());
    // Four of them fit.
    files.pop_back();
    const Bytes four = PackSkinFiles(files, true);
    EXPECT_TRUE(LoadSkinFromPackedMemory(four.data(), four.size(), "Bits", skin, error)) << error;
}

TEST(BuiltinSkins, EachLoadsTheSameFromResourceFolderAndPackedFile) {
    ASSERT_EQ(BuiltinSkinNames(), (std::vector<std::string>{"Dark", "Light"}));
    for (const char* name : {"Light", "Dark"}) {
        SCOPED_TRACE(name);
        TacSkinData resource, folder, packed;
        std::string error;
        ASSERT_TRUE(LoadSkinFromResource(name, resource, error)) << error;
        EXPECT_TRUE(resource.Warnings.empty()) << resource.Warnings.front();
        ASSERT_TRUE(LoadSkinFromFolder(BuildSkinsFolder() + "\\" + name, folder, error)) << error;
        ASSERT_TRUE(LoadSkinFromPackedFile(BuildSkinsFolder() + "\\" + name + ".asz", packed, error)) << error;
        ExpectSameModel(resource, folder);
        ExpectSameModel(resource, packed);
        TacSkinData lower;
        ASSERT_TRUE(LoadSkinFromResource(std::string(name) == "Light" ? "light" : "dark", lower, error)) << error;
    }
}

TEST(BuiltinSkins, HoldEverySectionAndMaskTheLibraryPaints) {
    for (const char* name : {"Light", "Dark"}) {
        SCOPED_TRACE(name);
        TacSkinData skin;
        std::string error;
        ASSERT_TRUE(LoadSkinFromResource(name, skin, error)) << error;
        EXPECT_EQ(skin.Sections[0].Name, "GLOBALINFO");
        for (const TsMaskData& m : skin.Masks)
            EXPECT_TRUE(m.Valid()) << m.SectionName << "." << m.Name << ": " << m.Error;
        for (const auto& req : kRequired) {
            const int section = skin.SectionIndexOf(req[0]);
            EXPECT_GE(section, 0) << req[0];
            std::string masks = req[1], mask;
            for (std::size_t i = 0; i <= masks.size(); ++i) {
                if (i < masks.size() && masks[i] != ' ') {
                    mask += masks[i];
                    continue;
                }
                if (!mask.empty()) {
                    EXPECT_GE(skin.MaskIndexOf(section, req[0], mask), 0) << req[0] << "." << mask;
                }
                mask.clear();
            }
        }
        // Sizes other parts of the library rely on.
        auto mask = [&](const char* section, const char* name) -> const TsMaskData& {
            return skin.Masks[skin.MaskIndexOf(skin.SectionIndexOf(section), section, name)];
        };
        EXPECT_EQ(mask("TRACKBAR", "SLIDERMASK").StateWidth(), 11);
        EXPECT_EQ(mask("TRACKBAR", "SLIDERMASK").StateHeight(), 21);
        EXPECT_EQ(mask("TRACKBAR", "SLIDERVMASK").StateWidth(), 21);
        EXPECT_EQ(mask("TRACKBAR", "SLIDERVMASK").StateHeight(), 11);
        const TsMaskData& bar = mask("GLOBALINFO", "TITLEBAR");
        EXPECT_EQ(bar.R.Width() % (bar.ImageCount * 3), 0);
        for (const char* b :
             {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONCLOSE", "SICONHELP"}) {
            EXPECT_EQ(mask("GLOBALINFO", b).ImageCount, 3) << b;
            EXPECT_EQ(mask("GLOBALINFO", b).MaskType, 1) << b;
        }
        EXPECT_EQ(mask("GLOBALINFO", "BICONMAX").StateHeight(), mask("GLOBALINFO", "BICONCLOSE").StateHeight());
        EXPECT_GE(mask("MAINMENU", "BORDERSMASK").BorderWidth, 1);
        // Key-coloured corners on the rounded button, a filled middle.
        const TsMaskData& button = mask("BUTTON", "BORDERSMASK");
        const TacBmpImage* img =
            skin.MaskImage(skin.MaskIndexOf(skin.SectionIndexOf("BUTTON"), "BUTTON", "BORDERSMASK"));
        for (int s = 0; s < 3; ++s) {
            const TacRect r = button.StateRect(s);
            EXPECT_EQ(img->Pixel(r.Left, r.Top), acSkinKeyColor);
            EXPECT_EQ(img->Pixel(r.Right - 1, r.Bottom - 1), acSkinKeyColor);
            EXPECT_NE(img->Pixel(r.Left + r.Width() / 2, r.Top + r.Height() / 2), acSkinKeyColor);
        }
    }
}

TEST_F(SkinSource, ListingHoldsAllThreeKindsSorted) {
    ASSERT_TRUE(WriteTestSkin(Path("Beta")));
    ASSERT_TRUE(WriteTestSkin(Path("Light")));
    CreateDirectoryA(Path("NotASkin").c_str(), nullptr);
    const Bytes packed = PackSkinFiles(TestSkinFiles({false, true, true}), false);
    ASSERT_TRUE(WriteBytes(Path("alpha.asz"), packed));
    ASSERT_TRUE(WriteBytes(Path("Gamma.ASZ"), packed));
    ASSERT_TRUE(WriteBytes(Path("readme.txt"), Bytes(10, 'x')));

    const std::vector<TacSkinListItem> items = ListSkins(Temp);
    std::vector<std::string> seen;
    for (const TacSkinListItem& i : items) seen.push_back(i.Name + "/" + "IFP"[i.Kind]);
    EXPECT_EQ(seen, (std::vector<std::string>{"alpha/P", "Beta/F", "Dark/I", "Gamma/P", "Light/I", "Light/F"}));
    EXPECT_EQ(items[0].Path, Path("alpha.asz"));
    EXPECT_EQ(items[1].Path, Path("Beta"));
    EXPECT_TRUE(items[2].Path.empty());
    EXPECT_EQ(ListSkins("").size(), 2u) << "no folder: the built-in skins alone";
    EXPECT_EQ(ListSkins(Path("NoSuchFolder")).size(), 2u);

    // By name: a folder first, then a packed file, then a built-in skin.
    TacSkinData skin;
    std::string error;
    ASSERT_TRUE(LoadSkinByName(Temp, "light", skin, error)) << error;
    EXPECT_GE(skin.SectionIndexOf("CYC1"), 0) << "the folder, not the built-in skin";
    ASSERT_TRUE(LoadSkinByName(Temp, "Gamma", skin, error)) << error;
    EXPECT_EQ(skin.Name, "Gamma");
    const std::uint32_t second = TestSkinPalette(true).Button;
    EXPECT_EQ(skin.Sections[skin.SectionIndexOf("BUTTON")].Color,
              (second & 0xFF) << 16 | (second & 0xFF00) | second >> 16);
    ASSERT_TRUE(LoadSkinByName(Temp, "Dark", skin, error)) << error;
    EXPECT_LT(skin.SectionIndexOf("CYC1"), 0);
    ASSERT_TRUE(LoadSkinByName("", "Light", skin, error)) << error;
}

}  // namespace
