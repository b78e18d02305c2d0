#include "TestSkin.h"

#include "TestSupport.h"
#include "acBmpFile.h"
#include "acZipWrite.h"
#include "sSkinManager.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>

namespace testsupport {

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;

const TestSkinColors kFirst = {
    0xC0C0C0,
    0xE0E0E0,
    0x101010,
    0x2040A0,
    0x40C040,
    0xFFFFFF,
    0xFFFF00,
    {0x00FF01, 0x00FE02, 0x00FD03, 0x00FC04},
    0x608060,
    {0x000000, 0xFEFEFE},
    0x4080C0,
    0xFAFAF0,
    0x0A0A50,
    {0xFF0000, 0x00FF00, 0x0000FF},
    0xFFFF00,
    {0xFF8000, 0x8000FF, 0x00FFFF},
    {0x000000, 0xFFFFFF},
    {0xFF0000, 0x0000FF},
    {0x112233, 0x445566, 0x778899},
    0x909090,
    0x303030,
    {0x010101, 0x020202, 0x030303},
    0xABCDEF,
    {{0x100000, 0x200000, 0x300000},
     {0x001000, 0x002000, 0x003000},
     {0x000010, 0x000020, 0x000030},
     {0x101000, 0x202000, 0x303000},
     {0x001010, 0x002020, 0x003030}},
    {0x3A5F7A, 0x7A3F5A},
    {0xC05030, 0x30C050},
    {0x5078A0, 0xA07850, 0x203040},
    0x5070A0,
    {0x2080E0, 0x20E080, 0xE02080, 0x80E020},
    0xE0E020,
    0x60A0A0,
    {0xD00000, 0xD0D000, 0x00D0D0},
    {0x5A6B7C, 0x6B7C8D},
    {0x224466, 0x2255AA, 0xF0E0D0},
    {{0xE01010, 0xE02020, 0xE03030},
     {0x10E010, 0x20E020, 0x30E030},
     {0x1010E0, 0x2020E0, 0x3030E0},
     {0xE0E010, 0xE0E020, 0xE0E030},
     {0x10E0E0, 0x20E0E0, 0x30E0E0}},
};

TestSkinColors MakeSecond() {
    // Every colour moved so that nothing of the first skin can pass for the second.
    static_assert(sizeof(TestSkinColors) % sizeof(std::uint32_t) == 0, "colours only");
    std::uint32_t all[sizeof(TestSkinColors) / sizeof(std::uint32_t)];
    std::memcpy(all, &kFirst, sizeof all);
    for (std::uint32_t& v : all) {
        v = (v ^ 0x3C5A78) & 0xFFFFFF;
        if (v == kKey) v ^= 1;
    }
    TestSkinColors c;
    std::memcpy(&c, all, sizeof all);
    return c;
}

std::string Hex(std::uint32_t c) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%06X", unsigned(c & 0xFFFFFF));
    return b;
}

std::vector<std::uint8_t> Bmp(const TacBmpImage& image) { return EncodeBmp24(image); }

TacBmpImage Border(const TestSkinColors& c, bool filled) {
    const int s = kTestBorderState, b = kTestBorderWidth;
    TacBmpImage img;
    img.Resize(3 * s, s, kKey);
    for (int state = 0; state < 3; ++state)
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const bool edge = x < b || y < b || x >= s - b || y >= s - b;
                const int cx = x < s / 2 ? x : s - 1 - x, cy = y < s / 2 ? y : s - 1 - y;
                const bool corner = cx + cy <= 1;
                std::uint32_t v = kKey;
                if (corner) v = kKey;
                else if (edge) v = c.Border[state];
                else if (filled) v = c.BorderCentre;
                img.SetPixel(state * s + x, y, v);
            }
    return img;
}

TacBmpImage States(int w, int h, const std::uint32_t* colors, int count) {
    TacBmpImage img;
    img.Resize(w * count, h);
    for (int s = 0; s < count; ++s)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.SetPixel(s * w + x, y, colors[s]);
    return img;
}

TacBmpImage Checker(std::uint32_t even, std::uint32_t odd) {
    TacBmpImage img;
    img.Resize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) img.SetPixel(x, y, (x + y) % 2 ? odd : even);
    return img;
}

// The file's text with Options' sections left out and border masks added.
// Sections run from their "[NAME]" line to the next.
std::string Tailored(const std::string& ini, const TestSkinOptions& options) {
    auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    std::vector<std::string> blocks;  // blocks[0]: the text before the first section
    std::size_t start = 0;
    for (std::size_t at = ini.find("\n["); at != std::string::npos; at = ini.find("\n[", start)) {
        blocks.push_back(ini.substr(start, at + 1 - start));
        start = at + 1;
    }
    blocks.push_back(ini.substr(start));
    auto nameOf = [](const std::string& block) {
        return block.size() > 1 && block[0] == '[' ? block.substr(1, block.find(']') - 1) : std::string();
    };
    std::string out;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::string name = nameOf(blocks[i]);
        const std::string owner = name.substr(0, name.find('.'));
        if (!name.empty() && has(options.Without, owner)) continue;
        out += blocks[i];
        const bool lastOfOwner =
            i + 1 == blocks.size() || nameOf(blocks[i + 1]).substr(0, owner.size() + 1) != owner + ".";
        if (!name.empty() && lastOfOwner && has(options.BorderMasks, owner) &&
            ini.find("[" + owner + ".BORDERSMASK]") == std::string::npos)
            out += "\n[" + owner + ".BORDERSMASK]\nIMAGE=brd3.bmp\nIMAGECOUNT=3\nMASKTYPE=0\nWL=3\nWT=3\nWR=3\nWB=3\n";
    }
    return out;
}

}  // namespace

const TestSkinColors& TestSkinPalette(bool second) {
    static const TestSkinColors kSecond = MakeSecond();
    return second ? kSecond : kFirst;
}

SkinFileList TestSkinFiles(const TestSkinOptions& options) {
    const TestSkinColors& c = TestSkinPalette(options.Second);
    std::string ini = "; test skin\n";
    auto section = [&](const std::string& name) { ini += "\n[" + name + "]\n"; };
    auto key = [&](const std::string& k, const std::string& v) { ini += k + "=" + v + "\n"; };
    auto col = [&](const std::string& k, std::uint32_t v) { key(k, Hex(v)); };
    auto colors = [&](std::uint32_t color, std::uint32_t hot, std::uint32_t font) {
        col("COLOR", color);
        col("HOTCOLOR", hot);
        col("FONTCOLOR", font);
    };
    auto fading = [&] {
        key("FADING", options.Fading ? "1" : "0");
        if (options.Fading) key("FADINGITERATIONS", "4");
    };
    auto mask = [&](const std::string& owner, const std::string& name, const std::string& image, int count, int type,
                    const std::string& extra = "") {
        section(owner + "." + name);
        if (!image.empty()) key("IMAGE", image);
        key("IMAGECOUNT", std::to_string(count));
        key("MASKTYPE", std::to_string(type));
        ini += extra;
    };
    const std::string widths3 = "WL=3\nWT=3\nWR=3\nWB=3\n";

    if (options.GlobalInfo) {
        section("GLOBALINFO");
        colors(c.Global, c.GlobalHot, c.GlobalFont);
        key("SHADOW1COLOR", "0x102030");
        key("SHADOW1OFFSET", "2");
        key("SHADOW1BLUR", "1");
        key("BISPACE", "3");
        key("MASTERBITMAP", "master.bmp");
        const char* boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED"};
        for (int k = 0; k < 5; ++k)
            mask("GLOBALINFO", boxes[k], "", 3, 0, "RECT=0," + std::to_string(8 * k) + ",24,8\n");
    }
    section("BUTTON");
    colors(c.Button, c.ButtonHot, c.ButtonFont);
    col("HOTFONTCOLOR", c.ButtonHotFont);
    col("TCLEFT", c.ButtonContour[0]);
    col("TCTOP", c.ButtonContour[1]);
    col("TCRIGHT", c.ButtonContour[2]);
    col("TCBOTTOM", c.ButtonContour[3]);
    key("HOTTCLEFT", "none");
    key("HOTTCTOP", "none");
    key("HOTTCRIGHT", "none");
    key("HOTTCBOTTOM", "none");
    key("SHOWFOCUS", "1");
    fading();
    mask("BUTTON", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    section("BUTTON_BIG");
    key("PARENTCLASS", "BUTTON");
    section("WEBBUTTON");
    colors(c.Global, c.Global, c.ButtonFont);
    section("SPEEDBUTTON");
    colors(c.Button, c.ButtonHot, c.ButtonFont);
    key("IMAGEPERCENT", "50");
    key("HOTIMAGEPERCENT", "50");
    fading();
    mask("SPEEDBUTTON", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    mask("SPEEDBUTTON", "PATTERN", "pat.bmp", 1, 0);
    mask("SPEEDBUTTON", "HOTPATTERN", "hpat.bmp", 1, 0);
    section("SPEEDBUTTON_SMALL");
    key("PARENTCLASS", "SPEEDBUTTON");
    section("PANEL");
    colors(c.Panel, c.Panel, c.GlobalFont);
    key("GRADIENTPERCENT", "50");
    key("GRADIENT", Hex(c.PanelGradient[0]) + "," + Hex(c.PanelGradient[1]) + ",V");
    mask("PANEL", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    for (const char* corner : {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"})
        mask("PANEL", corner, "corner.bmp", 1, 0);
    section("TRANSPANEL");
    colors(c.TransPanel, c.TransPanel, c.GlobalFont);
    key("TRANSPARENCY", "50");
    key("HOTTRANSPARENCY", "25");
    section("PANEL_LOW");
    colors(c.Panel, c.Panel, c.GlobalFont);
    mask("PANEL_LOW", "BORDERSMASK", "brd3.bmp", 3, 0, widths3 + "SKIPNORMAL=1\n");
    section("DRAGBAR");
    colors(c.Panel, c.Panel, c.GlobalFont);
    mask("DRAGBAR", "BORDERSMASK", "brd3c.bmp", 3, 0, widths3 + "DRAWCENTRE=1\n");
    section("TRACKBAR");
    colors(c.Global, c.GlobalHot, c.GlobalFont);
    fading();
    mask("TRACKBAR", "SLIDERCHANNEL", "chan.bmp", 1, 0, "WL=3\nWR=3\n");
    mask("TRACKBAR", "SLIDERMASK", "slider.bmp", 3, 0);
    mask("TRACKBAR", "SLIDERVMASK", "sliderv.bmp", 3, 0);
    mask("TRACKBAR", "TICKHORZ", "tickh.bmp", 3, 0);
    mask("TRACKBAR", "TICKVERT", "tickv.bmp", 3, 0);
    for (const char* name : {"GAUGE", "PROGRESSH", "PROGRESSV"}) {
        section(name);
        colors(c.Panel, c.ButtonHot, c.GlobalFont);
    }
    for (const char* name : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"}) {
        section(name);
        colors(c.Button, c.ButtonHot, c.ButtonFont);
        mask(name, "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
        mask(name, "GLYPHMASK", "glyph.bmp", 3, 1);
        mask(name, "PATTERN", "pat.bmp", 1, 0);
        mask(name, "HOTPATTERN", "hpat.bmp", 1, 0);
    }
    if (options.ScrollBars) {
        for (int k = 0; k < 2; ++k)
            for (const char* dir : {"H", "V"}) {
                section("SCROLLBAR" + std::to_string(k + 1) + dir);
                colors(c.ScrollTrack[k], c.ScrollTrackHot[k], c.GlobalFont);
            }
        for (const char* name : {"SCROLLSLIDERH", "SCROLLSLIDERV"}) {
            section(name);
            colors(c.Button, c.ButtonHot, c.ButtonFont);
            mask(name, "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
            mask(name, "GLYPHMASK", "glyph.bmp", 3, 1);
        }
    }
    if (options.Headers && options.ColHeader) {
        section("COLHEADER");
        colors(c.Header[0], c.Header[1], c.Header[2]);
        col("HOTFONTCOLOR", c.ButtonHotFont);
        mask("COLHEADER", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    }
    const char* const titleGlyphs[5] = {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP"};
    if (options.Forms) {
        section("FORM");
        colors(c.Form[0], c.Form[1], c.GlobalFont);
        mask("FORM", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
        for (int k = 0; k < 5; ++k) mask("FORM", titleGlyphs[k], "title" + std::to_string(k) + ".bmp", 3, 0);
        section("FORMTITLE");
        colors(c.Title[0], c.Title[1], c.Title[2]);
        col("HOTFONTCOLOR", c.Title[2]);
        // Dialogs look like forms, their buttons taken from FORM.
        section("DIALOG");
        key("PARENTCLASS", "FORM");
        colors(c.Form[0], c.Form[1], c.GlobalFont);
        mask("DIALOG", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    }
    section("COMBOBOX");
    colors(c.Edit, c.Edit, c.EditFont);
    mask("COMBOBOX", "GLYPHMASK", "glyph.bmp", 3, 1);
    section("EDIT");
    colors(c.Edit, c.Edit, c.EditFont);
    // A frame of its own: the edit-like controls show the skin's border.
    mask("EDIT", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    // The combo box's button and (unless Headers gives them colours of their
    // own) the list view's column headers: buttons.
    for (const char* name : {"COMBOBTN", "COLHEADER"}) {
        if ((options.Headers || !options.ColHeader) && std::string(name) == "COLHEADER") continue;
        section(name);
        colors(c.Button, c.ButtonHot, c.ButtonFont);
        mask(name, "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    }
    section("CHECKBOX");
    colors(c.Global, c.GlobalHot, c.GlobalFont);
    fading();
    section("RADIOBUTTON");
    colors(c.Global, c.GlobalHot, c.GlobalFont);
    if (options.PageControl) {
        if (options.GlobalInfo) mask("GLOBALINFO", "SICONCLOSE", "close.bmp", 3, 0);
        section("PAGECONTROL");
        colors(c.PageFrame, c.PageFrame, c.GlobalFont);
        mask("PAGECONTROL", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
        const char* tabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
        for (int k = 0; k < 4; ++k) {
            section(tabs[k]);
            colors(c.Tab[k], c.TabHot, c.ButtonFont);
            col("HOTFONTCOLOR", c.ButtonHotFont);
            mask(tabs[k], "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
        }
        section("TOOLBUTTON");
        colors(c.ToolButton, c.TabHot, c.ButtonFont);
        mask("TOOLBUTTON", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    }
    if (options.GroupBox) {
        section("GROUPBOX");
        colors(c.Global, c.GlobalHot, c.GlobalFont);
        mask("GROUPBOX", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);
    }
    section("CYC1");
    key("PARENTCLASS", "CYC2");
    section("CYC2");
    key("PARENTCLASS", "CYC1");
    // An edit whose hot look differs in every colour, with the 3-pixel border.
    section("EDIT_HOT");
    colors(c.Edit, c.GlobalHot, c.EditFont);
    col("HOTFONTCOLOR", c.ButtonHotFont);
    mask("EDIT_HOT", "BORDERSMASK", "brd3.bmp", 3, 0, widths3);

    ini = Tailored(ini + options.Extra, options);

    SkinFileList files;
    files.push_back({"Options.dat", std::vector<std::uint8_t>(ini.begin(), ini.end())});
    files.push_back({"brd3.bmp", Bmp(Border(c, false))});
    files.push_back({"brd3c.bmp", Bmp(Border(c, true))});
    {
        TacBmpImage glyph;
        glyph.Resize(3 * kTestGlyphWidth, 2 * kTestGlyphHeight);
        for (int s = 0; s < 3; ++s)
            for (int y = 0; y < kTestGlyphHeight; ++y)
                for (int x = 0; x < kTestGlyphWidth; ++x) {
                    glyph.SetPixel(s * kTestGlyphWidth + x, y, c.Glyph[s]);
                    glyph.SetPixel(s * kTestGlyphWidth + x, kTestGlyphHeight + y,
                                   (x < 2   ? 0
                                    : x < 5 ? 128
                                            : 255) *
                                       0x010101u);
                }
        files.push_back({"glyph.bmp", Bmp(glyph)});
    }
    files.push_back({"pat.bmp", Bmp(Checker(c.Pattern[0], c.Pattern[1]))});
    files.push_back({"hpat.bmp", Bmp(Checker(c.HotPattern[0], c.HotPattern[1]))});
    files.push_back({"slider.bmp", Bmp(States(11, 21, c.Slider, 3))});
    files.push_back({"sliderv.bmp", Bmp(States(21, 11, c.Slider, 3))});
    {
        TacBmpImage chan;
        chan.Resize(9, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) chan.SetPixel(x, y, x < 3 || x >= 6 ? c.ChannelEdge : c.Channel);
        files.push_back({"chan.bmp", Bmp(chan)});
    }
    files.push_back({"tickh.bmp", Bmp(States(1, 4, c.Tick, 3))});
    files.push_back({"tickv.bmp", Bmp(States(4, 1, c.Tick, 3))});
    {
        TacBmpImage corner;
        corner.Resize(4, 4, c.Corner);
        corner.SetPixel(0, 0, kKey);
        files.push_back({"corner.bmp", Bmp(corner)});
    }
    if (options.PageControl) files.push_back({"close.bmp", Bmp(States(kTestCloseSize, kTestCloseSize, c.Close, 3))});
    if (options.Forms)
        for (int k = 0; k < 5; ++k)
            files.push_back({"title" + std::to_string(k) + ".bmp",
                             Bmp(States(kTestTitleButtonWidth, kTestTitleButtonHeight, c.TitleGlyph[k], 3))});
    if (options.GlobalInfo) {
        TacBmpImage master;
        master.Resize(3 * kTestBoxSize, 5 * kTestBoxSize);
        for (int k = 0; k < 5; ++k)
            for (int s = 0; s < 3; ++s)
                for (int y = 0; y < kTestBoxSize; ++y)
                    for (int x = 0; x < kTestBoxSize; ++x)
                        master.SetPixel(s * kTestBoxSize + x, k * kTestBoxSize + y, c.Box[k][s]);
        files.push_back({"master.bmp", Bmp(master)});
    }
    return files;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteTestSkin(const std::string& folder, const TestSkinOptions& options) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& file : TestSkinFiles(options))
        if (!WriteBytes(folder + "\\" + file.first, file.second)) return false;
    return true;
}

std::vector<std::uint8_t> DeflateRaw(const std::vector<std::uint8_t>& data) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::vector<std::uint8_t> out(deflateBound(&z, uLong(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END ? out : std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> PackSkinFiles(const SkinFileList& files, bool deflate) {
    std::vector<TacZipInput> entries;
    for (const auto& f : files)
        entries.push_back({f.first, f.second, deflate ? DeflateRaw(f.second) : std::vector<std::uint8_t>()});
    return BuildZip(entries);
}

TestSkinFolder::TestSkinFolder(const TestSkinOptions& options) {
    Root = MakeTempFolder("testskin");
    Skin = Root + "\\Test";
    Ok = !Root.empty() && WriteTestSkin(Skin, options);
}

TestSkinFolder::~TestSkinFolder() { RemoveTree(Root); }

namespace {

// What tells two option sets apart (their skins differ): every field of
// TestSkinOptions, a new one too.
std::string KeyOf(const TestSkinOptions& o) {
    std::string key;
    for (bool b : {o.Fading, o.Second, o.GlobalInfo, o.ScrollBars, o.Headers, o.PageControl, o.Forms, o.GroupBox})
        key += b ? '1' : '0';
    for (const auto* list : {&o.Without, &o.BorderMasks}) {
        key += '|';
        for (const std::string& name : *list) key += name + ",";
    }
    return key + "|" + o.Extra;
}

// The folders and managers made so far, by options; the folders go when the
// executable ends.
const TestSkinFolder& FolderOf(const TestSkinOptions& options) {
    static std::map<std::string, std::unique_ptr<TestSkinFolder>> folders;
    auto& folder = folders[KeyOf(options)];
    if (!folder) folder = std::make_unique<TestSkinFolder>(options);
    return *folder;
}

TsSkinManager* LoadedManager(const std::string& path, bool ok) {
    auto* manager = TObject::Create<TsSkinManager>(nullptr);
    String error;
    if (!ok || !manager->LoadSkin(path, error)) ADD_FAILURE() << "test skin not loaded: " << error;
    return manager;
}

}  // namespace

TsSkinManager* TestSkinManager(const TestSkinOptions& options) {
    static std::map<std::string, TsSkinManager*> managers;
    TsSkinManager*& manager = managers[KeyOf(options)];
    if (!manager) {
        const TestSkinFolder& folder = FolderOf(options);
        manager = LoadedManager(folder.Skin, folder.Ok);
    }
    return manager;
}

const std::string& TestSkinPath(const TestSkinOptions& options) { return FolderOf(options).Skin; }

TsSkinManager* NewTestSkinManager(const TestSkinOptions& options) {
    const TestSkinFolder& folder = FolderOf(options);
    return LoadedManager(folder.Skin, folder.Ok);
}

SharedTestSkin& SharedTestSkin::Get() {
    static SharedTestSkin skin;
    return skin;
}

}  // namespace testsupport
