// A small skin that tests write for themselves: flat, known colours and tiny
// masks, so that a pixel read back means something; also packed as an .asz.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class TsSkinManager;

namespace testsupport {

struct TestSkinOptions {
    // FADING=1 and FADINGITERATIONS=4 on BUTTON, SPEEDBUTTON, TRACKBAR and CHECKBOX (else FADING=0).
    bool Fading = false;
    // Every colour different (the second skin of skin-change tests).
    bool Second = false;
    // False: the file has no [GLOBALINFO] (and so no SHADOW1*, BISPACE or master glyphs).
    bool GlobalInfo = true;
    // The scroll-bar track and slider sections (SCROLLBAR1H/1V/2H/2V, SCROLLSLIDERH/V).
    bool ScrollBars = false;
    // A COLHEADER section (list-view header sections): brd3 border, Header colours.
    bool Headers = false;
    // False: no COLHEADER section at all (header sections fall back to BUTTON).
    bool ColHeader = true;
    // The page-control sections: PAGECONTROL (flat, brd3), TABTOP/TABBOTTOM/
    // TABLEFT/TABRIGHT (brd3), TOOLBUTTON (brd3) and GLOBALINFO's SICONCLOSE
    // (close.bmp: 3 states of 9 x 9 in Close[state]).
    bool PageControl = false;
    // FORM (brd3 border) and FORMTITLE, with the title-button glyphs BICONCLOSE,
    // BICONMAX, BICONMIN, BICONNORM and BICONHELP in FORM (kTestTitleButton sized).
    // With it DIALOG (PARENTCLASS FORM, FORM's colours and border).
    bool Forms = false;
    // A GROUPBOX section (brd3, the GLOBALINFO colours).
    bool GroupBox = false;
    // Sections left out of the file with their masks (e.g. "COLHEADER", so
    // that a look falls back to another section).
    std::vector<std::string> Without = {};
    // Sections given brd3.bmp as their BORDERSMASK (widths 3) where they have
    // none (e.g. "COMBOBOX").
    std::vector<std::string> BorderMasks = {};
    // Sections of a test's own, written as given at the end of the file.
    std::string Extra = {};
};

// The options with the named parts on, e.g. OptionsWith({&TestSkinOptions::Forms}).
inline TestSkinOptions OptionsWith(std::initializer_list<bool TestSkinOptions::*> Parts) {
    TestSkinOptions options;
    for (bool TestSkinOptions::*part : Parts) options.*part = true;
    return options;
}

// The test skin's colours, 0xRRGGBB (the file writes them so).
struct TestSkinColors {
    std::uint32_t Global, GlobalHot, GlobalFont;
    std::uint32_t Button, ButtonHot, ButtonFont, ButtonHotFont;
    std::uint32_t ButtonContour[4];         // TCLEFT, TCTOP, TCRIGHT, TCBOTTOM; HOT* are "none"
    std::uint32_t Panel, PanelGradient[2];  // GRADIENTPERCENT 50, vertical
    std::uint32_t TransPanel;               // TRANSPARENCY 50, HOTTRANSPARENCY 25
    std::uint32_t Edit, EditFont;
    std::uint32_t Border[3];                  // "brd3.bmp": the 3-pixel border of each state
    std::uint32_t BorderCentre;               // "brd3c.bmp": the filled centre
    std::uint32_t Glyph[3];                   // "glyph.bmp": colour of each state
    std::uint32_t Pattern[2], HotPattern[2];  // 8 x 8 checkers: (x + y) even, odd
    std::uint32_t Slider[3], Channel, ChannelEdge, Tick[3], Corner;
    std::uint32_t Box[5][3];  // master glyphs BOXUNCHECKED, BOXCHECKED, BOXGRAYED, RADIOUNCHECKED, RADIOCHECKED
    // Scroll-bar tracks before / after the thumb (SCROLLBAR1H/V, SCROLLBAR2H/V): colour and hot colour.
    std::uint32_t ScrollTrack[2], ScrollTrackHot[2];
    // COLHEADER: colour, hot colour, font colour (hot font: ButtonHotFont).
    std::uint32_t Header[3];
    // With PageControl: the page frame, each tab section by position (top,
    // bottom, left, right) and their common hot colour, TOOLBUTTON, close image states.
    std::uint32_t PageFrame, Tab[4], TabHot, ToolButton, Close[3];
    // FORM (colour, hot colour), FORMTITLE (colour, hot colour, font colour) and
    // the title glyphs (close, max, min, norm, help) in their 3 states.
    std::uint32_t Form[2], Title[3];
    std::uint32_t TitleGlyph[5][3];
};
const TestSkinColors& TestSkinPalette(bool second = false);

// Geometry of the test masks.
// brd3.bmp / brd3c.bmp: 3 states of 12 x 12, border 3 (WL = WT = WR = WB = 3);
// in each corner the corner pixel and its two neighbours are key-coloured; the
// centre 6 x 6 is key-coloured in brd3.bmp, BorderCentre in brd3c.bmp.
constexpr int kTestBorderState = 12;
constexpr int kTestBorderWidth = 3;
// glyph.bmp: 3 states of 7 x 4, MaskType 1; opacity by column of a state:
// columns 0-1 = 0, 2-4 = 128, 5-6 = 255.
constexpr int kTestGlyphWidth = 7;
constexpr int kTestGlyphHeight = 4;
// master.bmp (MASTERBITMAP): 24 x 40; row k (8 pixels high) holds Box[k]'s 3
// states of 8 x 8, cut by RECT=0,8k,24,8 into the GLOBALINFO masks.
constexpr int kTestBoxSize = 8;
// close.bmp (GLOBALINFO SICONCLOSE with PageControl): 3 states of 9 x 9.
constexpr int kTestCloseSize = 9;
// The title glyphs: 3 states of 16 x 14, flat colours.
constexpr int kTestTitleButtonWidth = 16;
constexpr int kTestTitleButtonHeight = 14;

// Sections, in file order: GLOBALINFO, BUTTON, BUTTON_BIG (PARENTCLASS=BUTTON,
// no masks), WEBBUTTON, SPEEDBUTTON (brd3 + PATTERN/HOTPATTERN, IMAGEPERCENT
// 50), SPEEDBUTTON_SMALL (PARENTCLASS=SPEEDBUTTON), PANEL (brd3, gradient,
// corner images of corner.bmp), TRANSPANEL, PANEL_LOW (brd3 with SKIPNORMAL),
// DRAGBAR (brd3c, DRAWCENTRE), TRACKBAR (slider 11 x 21, sliderv 21 x 11,
// channel 9 x 4 with WL = WR = 3, ticks 1 x 4 / 4 x 1), GAUGE, PROGRESSH,
// PROGRESSV, SCROLLBTNTOP/BOTTOM/LEFT/RIGHT (brd3, glyph, textures),
// with ScrollBars SCROLLBAR1H/1V/2H/2V (flat) and SCROLLSLIDERH/V (brd3, glyph), COMBOBOX (glyph), EDIT (brd3), COMBOBTN and COLHEADER (brd3, the button colours), CHECKBOX, RADIOBUTTON, CYC1 and CYC2 (PARENTCLASS of
// each other), EDIT_HOT (Edit / GlobalHot colours, EditFont / ButtonHotFont, brd3).
using SkinFileList = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;
SkinFileList TestSkinFiles(const TestSkinOptions& options = {});
// Writes the files into Folder (created when missing).
bool WriteTestSkin(const std::string& folder, const TestSkinOptions& options = {});

// A packed skin (ZIP) of the files: entries stored, or deflated with zlib.
std::vector<std::uint8_t> PackSkinFiles(const SkinFileList& files, bool deflate);
// Raw deflate stream of Data (zlib, best compression).
std::vector<std::uint8_t> DeflateRaw(const std::vector<std::uint8_t>& data);

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// A fresh temporary folder holding the test skin as "<Root>\Test" (Skin);
// removed with the object. Ok says whether the files were written.
class TestSkinFolder {
public:
    explicit TestSkinFolder(const TestSkinOptions& options = {});
    ~TestSkinFolder();
    TestSkinFolder(const TestSkinFolder&) = delete;
    TestSkinFolder& operator=(const TestSkinFolder&) = delete;
    std::string Root, Skin;
    bool Ok = false;
};

// The test skin of these options, loaded once per test executable into a
// manager that every test asking for the same options shares; the first one
// made is the executable's default manager. The files stay until the
// executable ends. A load that fails is reported as a test failure.
TsSkinManager* TestSkinManager(const TestSkinOptions& options = {});
// The folder of the test skin of these options, written once per executable
// (and the one TestSkinManager loads).
const std::string& TestSkinPath(const TestSkinOptions& options = {});
// Another manager with that skin, of the caller's own (it frees it).
TsSkinManager* NewTestSkinManager(const TestSkinOptions& options = {});

// The test skin with its default options (TestSkinManager()).
class SharedTestSkin {
public:
    static SharedTestSkin& Get();
    TsSkinManager* Manager() const { return FManager; }
    const TestSkinColors& C() const { return TestSkinPalette(); }

private:
    SharedTestSkin() : FManager(TestSkinManager()) {}
    TsSkinManager* FManager = nullptr;
};

}  // namespace testsupport
