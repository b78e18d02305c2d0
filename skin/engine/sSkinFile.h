// The in-memory model of a loaded skin (sections, masks, textures and the
// pictures they cut from) and the reader of its "Options.dat" text. Platform-free.
#pragma once

#include "acBmpFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Colours are kept as TColor values (0x00BBGGRR); "none" is clNone.
constexpr std::uint32_t acSkinNoColor = 0x1FFFFFFF;
// Pixels of this colour in a skin picture are transparent (symmetric in RGB and BGR).
constexpr std::uint32_t acSkinKeyColor = 0xFF00FF;
// Name of the section that holds the skin-wide values; always index 0.
extern const char* const acGlobalInfoName;

enum TacGradientDirection { gdVertical, gdHorizontal };

// A background gradient: 2 to 4 colours spread evenly from top to bottom
// (vertical) or left to right (horizontal). Empty when the section has none.
struct TacGradient {
    std::vector<std::uint32_t> Colors;
    TacGradientDirection Direction = gdVertical;
    bool Empty() const { return Colors.size() < 2; }
    // The colour at Pos of Length pixels along the gradient (TColor).
    std::uint32_t ColorAt(int pos, int length) const;
};

// The keys and values of a section after inheritance: its own entries, then
// those of its ancestors, nearest first. The lists are shared with the
// sections they come from, never copied, so that many sections inheriting a
// long list cost no more than the list itself.
class TacSectionValues {
public:
    using Entries = std::map<std::string, std::string>;
    // The value of an upper-case key, nullptr when no list holds it.
    const std::string* Find(const std::string& key) const;
    std::size_t count(const std::string& key) const { return Find(key) ? 1 : 0; }
    bool empty() const;
    // Every key once, with the value that Find gives.
    Entries Flatten() const;
    bool operator==(const TacSectionValues& other) const { return Flatten() == other.Flatten(); }
    // Puts a value into the section's own list.
    void Set(const std::string& key, const std::string& value);
    // Own entries Own over the lists of Parent, at most MaxLists lists in all.
    void Inherit(std::shared_ptr<const Entries> Own, const TacSectionValues& Parent, std::size_t MaxLists);

private:
    std::vector<std::shared_ptr<const Entries>> FLists;  // [0] the section's own
};

// One skin section: how a kind of control or window part looks.
struct TsGeneralData {
    std::string Name;         // upper-case
    std::string ParentClass;  // upper-case section whose values and masks are inherited; "" none
    std::uint32_t Color = 0xF0F0F0;
    std::uint32_t HotColor = 0xF0F0F0;
    // Text, then the left, top, right and bottom contour colours.
    std::uint32_t FontColor[5] = {0, acSkinNoColor, acSkinNoColor, acSkinNoColor, acSkinNoColor};
    std::uint32_t HotFontColor[5] = {0, acSkinNoColor, acSkinNoColor, acSkinNoColor, acSkinNoColor};
    int Transparency = 0;  // percent of the parent's picture showing through, 0..100
    int HotTransparency = 0;
    int GradientPercent = 0;  // share of the gradient over Color, 0..100
    TacGradient Gradient;
    TacGradient HotGradient;
    int ImagePercent = 0;     // share of the "PATTERN" texture over the colour and gradient, 0..100
    int HotImagePercent = 0;  // share of "HOTPATTERN" (or "PATTERN" when absent) in the hot state
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int FadingIterations = 5;
    bool ReservedBoolean = false;
    // Every key of the section after inheritance, upper-case, values as written.
    TacSectionValues Values;

    // A value by key (any case); Default when absent.
    std::string Value(const std::string& key, const std::string& defaultValue = "") const;
};

struct TacRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
};

// One skin image: a border, glyph, texture or other picture of a section. Its
// states lie side by side; with MaskType 1 a grey opacity picture of the same
// size lies below them (white opaque, black transparent).
struct TsMaskData {
    std::string SectionName;       // upper-case owner section
    std::string Name;              // upper-case, e.g. "BORDERSMASK", "PATTERN", "GLYPHMASK"
    int SectionIndex = -1;         // owner section's index, -1 when the skin lacks it
    std::string ImageFile;         // as written in "Options.dat"; "" = a rectangle of the master image
    int ImageIndex = -1;           // into TacSkinData::Images; -1 when the mask is left out
    TacRect R;                     // the mask's rectangle in that image
    std::uint16_t ImageCount = 1;  // states side by side
    std::uint16_t MaskType = 0;    // 0 plain, 1 opacity rows below
    int BorderWidth = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0;  // nine-slice margins of one state
    bool DrawCentre = false;             // paint the centre slice (else the background shows)
    bool SkipNormal = false;             // no border in state 0
    bool TileSides = false;              // sides repeated instead of stretched
    bool TileCentre = false;             // centre repeated instead of stretched (textures: default on)
    std::string Error;                   // why the mask was left out

    bool Valid() const { return ImageIndex >= 0; }
    int StateWidth() const { return ImageCount ? R.Width() / ImageCount : R.Width(); }
    int StateHeight() const { return R.Height() / (MaskType + 1); }
    // Rectangle of one state's picture (its opacity rows start StateHeight() below).
    TacRect StateRect(int state) const;
};

// A picture the skin cuts masks from.
struct TacSkinImage {
    std::string FileName;  // as first written in "Options.dat"
    TacBmpImage Image;     // empty when it could not be used
    std::string Error;     // why not
};

// A whole skin.
struct TacSkinData {
    std::string Name;  // the skin's name (folder, packed file or built-in resource)
    // "GLOBALINFO" values.
    std::uint32_t Shadow1Color = 0;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
    int BISpace = 0;
    std::string MasterImage;              // file of the master image; "" none
    std::vector<TsGeneralData> Sections;  // [0] is "GLOBALINFO"
    std::vector<TsMaskData> Masks;
    std::vector<TacSkinImage> Images;
    // What was left out and why, for the skin's author.
    std::vector<std::string> Warnings;

    void Clear() { *this = TacSkinData(); }
    // Index of a section by name (any case), -1 when absent. Look-ups go
    // through an index of the names, made on first use and again when the
    // tables grow or shrink; whoever renames sections or masks in place
    // calls Reindex().
    int SectionIndexOf(const std::string& name) const;
    // Index of SectionName's mask; when absent and SectionIndex >= 0, looked up
    // again along the PARENTCLASS chain (a chain that loops ends the search).
    // -1 when not found, when SectionIndex < 0 or SectionName is empty.
    int MaskIndexOf(int sectionIndex, const std::string& sectionName, const std::string& maskName) const;
    int MaskIndexOfNoParent(const std::string& sectionName, const std::string& maskName) const;
    // The picture a valid mask cuts from; nullptr for an invalid index or mask.
    const TacBmpImage* MaskImage(int maskIndex) const;
    void Reindex() const { FIndexed = false; }

private:
    void EnsureIndex() const;
    // Upper-case names to the first index holding them; masks by
    // "SECTION\0MASK".
    mutable std::unordered_map<std::string, int> FSectionIndex, FMaskIndex;
    mutable std::size_t FIndexedSections = 0, FIndexedMasks = 0;
    mutable bool FIndexed = false;
};

// The most bytes the pictures of one skin may take once decoded.
constexpr std::size_t acSkinMaxDecodedBytes = std::size_t(256) << 20;

// Reads "Options.dat" text into Skin (replacing what it held): sections upper-
// cased, "GLOBALINFO" at index 0 (inserted empty when absent), keys in any
// case, values inherited along PARENTCLASS, masks listed with the images they
// need (Images filled with file names only). Lines it cannot use become
// warnings. Fails, with Error, only when the text holds no section at all.
bool ParseSkinOptions(const std::string& text, TacSkinData& skin, std::string& error);

// Checks every mask against its loaded picture once the source has filled
// Images: masks whose picture is missing or bad, or whose rectangle or states
// do not fit it, are left out (ImageIndex -1, Error set, a warning added);
// border widths larger than a state are reduced.
void ResolveSkinImages(TacSkinData& skin);

// Packs the pictures of all valid masks into one master image and points every
// mask at its rectangle there (Images then holds that one picture). False,
// with the skin unchanged, when the result would exceed the picture limits.
bool PackSkinImages(TacSkinData& skin);

// Colour text as the format writes it ("0xRRGGBB", "#RRGGBB", decimal, "none")
// to a TColor; false for anything else.
bool ParseSkinColor(const std::string& text, std::uint32_t& color);
// A picture path as the skin names it, made comparable: upper-case, '/' for
// '\\', no leading "./". Empty when the name is absolute or climbs out with "..".
std::string NormalizeSkinPath(const std::string& name);
