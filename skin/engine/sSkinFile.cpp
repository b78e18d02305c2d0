#include "sSkinFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>

const char* const acGlobalInfoName = "GLOBALINFO";

namespace {

constexpr std::size_t kMaxWarnings = 200;
// How far up a PARENTCLASS chain values are inherited from.
constexpr int kMaxParentDepth = 32;

char UpChar(char c) { return char(std::toupper(static_cast<unsigned char>(c))); }

std::string Upper(std::string s) {
    for (char& c : s) c = UpChar(c);
    return s;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpChar(a[i]) != UpChar(b[i])) return false;
    return true;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

// 0xRRGGBB as written to a TColor (0x00BBGGRR).
std::uint32_t SwapRB(std::uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF); }

// Decimal or hexadecimal ("0x", "$") integer, optionally signed or ending in '%'.
bool ParseInt(const std::string& text, long long& value) {
    std::string s = Trim(text);
    if (!s.empty() && s.back() == '%') s = Trim(s.substr(0, s.size() - 1));
    if (s.empty()) return false;
    bool negative = false;
    std::size_t i = 0;
    if (s[0] == '-' || s[0] == '+') negative = s[i++] == '-';
    int base = 10;
    if (s.size() > i + 1 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    }
    if (i >= s.size() || s.size() - i > 12) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        const char c = UpChar(s[i]);
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * base + d;
    }
    value = negative ? -v : v;
    return true;
}

// A number entry into dst, out-of-range values taken as the nearest of lo..hi;
// problem hears what was wrong with the text. False when it was no number.
template <class Problem>
bool ReadNumber(const std::string& text, int& dst, int lo, int hi, Problem&& problem) {
    long long v;
    if (!ParseInt(text, v)) {
        problem("not a number");
        return false;
    }
    if (v < lo || v > hi) {
        problem("out of range " + std::to_string(lo) + ".." + std::to_string(hi) + ", taken as the nearest");
        v = std::clamp<long long>(v, lo, hi);
    }
    dst = int(v);
    return true;
}

bool ParseBool(const std::string& text, bool& value) {
    const std::string s = Upper(Trim(text));
    if (s == "1" || s == "TRUE" || s == "YES" || s == "ON") return value = true, true;
    if (s == "0" || s == "FALSE" || s == "NO" || s == "OFF") return value = false, true;
    return false;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : text) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

bool ParseGradient(const std::string& text, TacGradient& g) {
    TacGradient out;
    std::vector<std::string> parts = SplitList(text);
    if (!parts.empty()) {
        const std::string last = Upper(parts.back());
        if (last == "V" || last == "VERTICAL" || last == "H" || last == "HORIZONTAL") {
            out.Direction = last[0] == 'H' ? gdHorizontal : gdVertical;
            parts.pop_back();
        }
    }
    if (parts.size() < 2 || parts.size() > 4) return false;
    for (const std::string& p : parts) {
        std::uint32_t c;
        if (!ParseSkinColor(p, c) || c == acSkinNoColor) return false;
        out.Colors.push_back(c);
    }
    g = out;
    return true;
}

bool ParseRect(const std::string& text, TacRect& r) {
    const std::vector<std::string> parts = SplitList(text);
    if (parts.size() != 4) return false;
    long long v[4];
    for (int i = 0; i < 4; ++i)
        if (!ParseInt(parts[i], v[i]) || v[i] < 0 || v[i] > acBmpMaxSide) return false;
    if (v[2] <= 0 || v[3] <= 0) return false;
    r.Left = int(v[0]);
    r.Top = int(v[1]);
    r.Right = int(v[0] + v[2]);
    r.Bottom = int(v[1] + v[3]);
    return true;
}

struct RawEntry {
    std::string Key;  // upper-case
    std::string Value;
    int Line = 0;
};

struct RawSection {
    std::string Name;  // section, or "OWNER.MASK"
    std::string Owner, Mask;
    std::vector<RawEntry> Entries;
    const RawEntry* Find(const char* key) const {
        for (auto it = Entries.rbegin(); it != Entries.rend(); ++it)
            if (it->Key == key) return &*it;
        return nullptr;
    }
};

class Reader {
public:
    explicit Reader(TacSkinData& skin) : Skin(skin) {}
    bool Read(const std::string& text, std::string& error);

private:
    TacSkinData& Skin;
    std::vector<RawSection> Sections, Masks;
    std::unordered_map<std::string, int> ImageAt;  // normalised file name -> index in Skin.Images

    void Warn(int line, const std::string& what);
    void ReadLines(const std::string& text);
    void BuildSections();
    void BuildMasks();
    void ApplySection(TsGeneralData& d, const RawEntry& e, bool own, bool global);
    void ApplyMask(TsMaskData& m, const RawEntry& e, std::set<std::string>& seen);
    int ImageIndexFor(const std::string& file);
};

void Reader::Warn(int line, const std::string& what) {
    if (Skin.Warnings.size() < kMaxWarnings)
        Skin.Warnings.push_back(line > 0 ? "Options.dat line " + std::to_string(line) + ": " + what : what);
    else if (Skin.Warnings.size() == kMaxWarnings)
        Skin.Warnings.push_back("more problems were found and are not listed");
}

void Reader::ReadLines(const std::string& text) {
    RawSection* current = nullptr;
    std::unordered_map<std::string, std::size_t> sectionAt, maskAt;
    std::size_t pos = 0;
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) pos = 3;
    int lineNo = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        ++lineNo;
        if (line.empty() || line[0] == ';' || line[0] == '#' || line.compare(0, 2, "//") == 0) continue;

        if (line[0] == '[') {
            current = nullptr;
            const std::size_t close = line.find(']');
            if (close == std::string::npos) {
                Warn(lineNo, "section header without ']'");
                continue;
            }
            const std::string name = Upper(Trim(line.substr(1, close - 1)));
            if (name.empty()) {
                Warn(lineNo, "empty section name");
                continue;
            }
            const std::size_t dot = name.find('.');
            RawSection raw;
            raw.Name = name;
            if (dot != std::string::npos) {
                raw.Owner = Trim(name.substr(0, dot));
                raw.Mask = Trim(name.substr(dot + 1));
                if (raw.Owner.empty() || raw.Mask.empty()) {
                    Warn(lineNo, "mask header [" + name + "] needs SECTION.MASK");
                    continue;
                }
                raw.Name = raw.Owner + "." + raw.Mask;
            }
            std::vector<RawSection>& list = dot == std::string::npos ? Sections : Masks;
            auto& index = dot == std::string::npos ? sectionAt : maskAt;
            // A header met again goes on with the same section.
            const auto known = index.emplace(raw.Name, list.size());
            if (known.second) list.push_back(raw);
            current = &list[known.first->second];
            continue;
        }

        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            Warn(lineNo, "not a KEY=VALUE line: \"" + line.substr(0, 40) + "\"");
            continue;
        }
        RawEntry e;
        e.Key = Upper(Trim(line.substr(0, eq)));
        e.Value = Trim(line.substr(eq + 1));
        e.Line = lineNo;
        // A comment may follow a value after blanks.
        for (std::size_t i = 1; i < e.Value.size(); ++i)
            if (e.Value[i] == ';' && (e.Value[i - 1] == ' ' || e.Value[i - 1] == '\t')) {
                e.Value = Trim(e.Value.substr(0, i));
                break;
            }
        if (e.Key.empty()) {
            Warn(lineNo, "a value without a key");
            continue;
        }
        if (!current) {
            Warn(lineNo, "key " + e.Key + " stands outside any section");
            continue;
        }
        current->Entries.push_back(e);
    }
}

void Reader::ApplySection(TsGeneralData& d, const RawEntry& e, bool own, bool global) {
    auto bad = [&](const std::string& what) {
        if (own) Warn(e.Line, e.Key + "=" + e.Value.substr(0, 40) + ": " + what);
    };
    auto color = [&](std::uint32_t& dst, bool noneAllowed) {
        std::uint32_t c;
        if (!ParseSkinColor(e.Value, c) || (!noneAllowed && c == acSkinNoColor))
            bad(noneAllowed ? "not a colour (0xRRGGBB, decimal or none)" : "not a colour (0xRRGGBB or decimal)");
        else dst = c;
    };
    auto number = [&](int& dst, int lo, int hi) { ReadNumber(e.Value, dst, lo, hi, bad); };
    auto flag = [&](bool& dst) {
        if (!ParseBool(e.Value, dst)) bad("not 0 or 1");
    };
    static const char* const contour[] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};

    const std::string& k = e.Key;
    for (int i = 0; i < 5; ++i) {
        if (k == contour[i]) return color(d.FontColor[i], i > 0);
        if (k == std::string("HOT") + contour[i]) return color(d.HotFontColor[i], i > 0);
    }
    if (k == "COLOR") return color(d.Color, false);
    if (k == "HOTCOLOR") return color(d.HotColor, false);
    if (k == "TRANSPARENCY") return number(d.Transparency, 0, 100);
    if (k == "HOTTRANSPARENCY") return number(d.HotTransparency, 0, 100);
    if (k == "GRADIENTPERCENT") return number(d.GradientPercent, 0, 100);
    if (k == "IMAGEPERCENT") return number(d.ImagePercent, 0, 100);
    if (k == "HOTIMAGEPERCENT") return number(d.HotImagePercent, 0, 100);
    if (k == "GRADIENT" || k == "HOTGRADIENT") {
        if (!ParseGradient(e.Value, k == "GRADIENT" ? d.Gradient : d.HotGradient))
            bad("a gradient is 2 to 4 colours and an optional V or H");
        return;
    }
    if (k == "SHOWFOCUS") return flag(d.ShowFocus);
    if (k == "FADING" || k == "FADINGENABLED") return flag(d.FadingEnabled);
    if (k == "FADINGITERATIONS") return number(d.FadingIterations, 1, 100);
    if (k == "RESERVEDBOOLEAN") return flag(d.ReservedBoolean);
    if (k == "PARENTCLASS") return;
    if (k == "SHADOW1COLOR" || k == "SHADOW1OFFSET" || k == "SHADOW1BLUR" || k == "BISPACE" || k == "MASTERBITMAP" ||
        k == "SKINNAME" || k == "AUTHOR" || k == "DESCRIPTION" || k == "VERSION") {
        if (!global) return bad("belongs in [GLOBALINFO]");
        if (k == "SHADOW1COLOR") return color(Skin.Shadow1Color, false);
        if (k == "SHADOW1OFFSET") return number(Skin.Shadow1Offset, -32, 32);
        if (k == "SHADOW1BLUR") return number(Skin.Shadow1Blur, -1, 32);
        if (k == "BISPACE") return number(Skin.BISpace, 0, 64);
        if (k == "MASTERBITMAP") Skin.MasterImage = e.Value;
        return;
    }
    bad("unknown key, kept for reading by name");
}

void Reader::BuildSections() {
    // GLOBALINFO first, inserted when the file has none.
    auto global =
        std::find_if(Sections.begin(), Sections.end(), [](const RawSection& s) { return s.Name == acGlobalInfoName; });
    if (global == Sections.end()) {
        RawSection g;
        g.Name = acGlobalInfoName;
        Sections.insert(Sections.begin(), g);
    } else if (global != Sections.begin()) {
        std::rotate(Sections.begin(), global, global + 1);
    }

    const int count = int(Sections.size());
    std::unordered_map<std::string, int> byName;
    byName.reserve(Sections.size());
    for (int i = 0; i < count; ++i) byName.emplace(Sections[i].Name, i);
    // Each section's parent, -1 for none (a name that finds no section is
    // reported once, where it is written).
    std::vector<int> parent(Sections.size(), -1);
    for (int i = 0; i < count; ++i) {
        const RawEntry* p = Sections[i].Find("PARENTCLASS");
        if (!p) continue;
        const std::string name = Upper(Trim(p->Value));
        if (name.empty()) continue;
        auto at = byName.find(name);
        if (at != byName.end()) parent[i] = at->second;
        else Warn(p->Line, "[" + Sections[i].Name + "] PARENTCLASS=" + name + " names no section");
    }

    // A section's record before the hot values take their defaults: its
    // ancestors' entries, farthest first, then its own. A section reuses its
    // parent's record, so each is built once; a chain is followed at most
    // kMaxParentDepth sections up (beyond that the nearest ones are walked
    // anew), and one that comes back to a section stops there.
    std::vector<TsGeneralData> records(Sections.size());
    std::vector<int> depth(Sections.size(), 0);  // ancestors on the chain, past the cap too
    // Each section's own entries as written (the last of a key wins), shared
    // by the value lists of every section below it.
    std::vector<std::shared_ptr<const TacSectionValues::Entries>> own(Sections.size());
    for (int i = 0; i < count; ++i) {
        auto entries = std::make_shared<TacSectionValues::Entries>();
        for (const RawEntry& e : Sections[i].Entries) (*entries)[e.Key] = e.Value;
        auto p = entries->find("PARENTCLASS");
        if (p != entries->end() && !p->second.empty()) p->second = Upper(p->second);
        own[i] = std::move(entries);
    }
    constexpr std::size_t kMaxLists = kMaxParentDepth + 1;
    enum : char { kNew, kOnPath, kDone };
    std::vector<char> state(Sections.size(), kNew);
    auto applyOwn = [&](int i, TsGeneralData& d) {
        for (const RawEntry& e : Sections[i].Entries) ApplySection(d, e, true, i == 0);
    };
    // The nearest ancestors, at most kMaxParentDepth, walked one by one; how
    // many were taken.
    auto walk = [&](int i) -> int {
        std::vector<int> chain;
        std::unordered_set<int> visited{i};
        for (int at = parent[i]; at >= 0 && int(chain.size()) < kMaxParentDepth; at = parent[at]) {
            if (!visited.insert(at).second) break;
            chain.push_back(at);
        }
        TsGeneralData d;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            for (const RawEntry& e : Sections[*it].Entries)
                if (e.Key != "PARENTCLASS") ApplySection(d, e, false, false);
            d.Values.Inherit(own[*it], d.Values, kMaxLists);
        }
        d.Values.Inherit(own[i], d.Values, kMaxLists);
        applyOwn(i, d);
        records[i] = std::move(d);
        return int(chain.size());
    };
    for (int s = 0; s < count; ++s) {
        if (state[s] == kDone) continue;
        // Up the chain to a built section, a root or a loop.
        std::vector<int> path;
        int at = s;
        while (at >= 0 && state[at] == kNew) {
            state[at] = kOnPath;
            path.push_back(at);
            at = parent[at];
        }
        if (at >= 0 && state[at] == kOnPath) {
            // The sections of the loop each take the others once, nearest first.
            const auto loop = std::find(path.begin(), path.end(), at);
            for (auto it = loop; it != path.end(); ++it) {
                const RawEntry* p = Sections[*it].Find("PARENTCLASS");
                Warn(p ? p->Line : 0,
                     "[" + Sections[*it].Name + "] PARENTCLASS chain loops back to " + Sections[*it].Name);
                depth[*it] = walk(*it);
                state[*it] = kDone;
            }
            path.erase(loop, path.end());
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            const int i = *it, p = parent[i];
            if (p < 0) {
                records[i].Values.Inherit(own[i], TacSectionValues(), kMaxLists);
                applyOwn(i, records[i]);
            } else if (depth[p] < kMaxParentDepth) {
                records[i] = records[p];
                records[i].Values.Inherit(own[i], records[p].Values, kMaxLists);
                depth[i] = depth[p] + 1;
                applyOwn(i, records[i]);
            } else {
                depth[i] = depth[p] + 1;
                if (depth[i] == kMaxParentDepth + 1)
                    Warn(0, "[" + Sections[i].Name + "] PARENTCLASS chain is more than " +
                                std::to_string(kMaxParentDepth) + " sections deep: values are taken from the " +
                                std::to_string(kMaxParentDepth) + " nearest only");
                walk(i);
            }
            state[i] = kDone;
        }
    }

    for (int i = 0; i < count; ++i) {
        TsGeneralData d = std::move(records[i]);
        d.Name = Sections[i].Name;
        if (const RawEntry* p = Sections[i].Find("PARENTCLASS")) d.ParentClass = Upper(p->Value);
        if (!d.Values.count("HOTCOLOR")) d.HotColor = d.Color;
        static const char* const hotKeys[] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
        for (int c = 0; c < 5; ++c)
            if (!d.Values.count(hotKeys[c])) d.HotFontColor[c] = d.FontColor[c];
        if (!d.Values.count("HOTTRANSPARENCY")) d.HotTransparency = d.Transparency;
        if (!d.Values.count("HOTIMAGEPERCENT")) d.HotImagePercent = d.ImagePercent;
        if (!d.Values.count("HOTGRADIENT")) d.HotGradient = d.Gradient;
        Skin.Sections.push_back(std::move(d));
    }
}

int Reader::ImageIndexFor(const std::string& file) {
    const auto known = ImageAt.emplace(NormalizeSkinPath(file), int(Skin.Images.size()));
    if (!known.second) return known.first->second;
    TacSkinImage image;
    image.FileName = file;
    Skin.Images.push_back(image);
    return int(Skin.Images.size() - 1);
}

void Reader::ApplyMask(TsMaskData& m, const RawEntry& e, std::set<std::string>& seen) {
    auto bad = [&](const std::string& what) { Warn(e.Line, e.Key + "=" + e.Value.substr(0, 40) + ": " + what); };
    auto number = [&](int& dst, int lo, int hi) {
        if (ReadNumber(e.Value, dst, lo, hi, bad)) seen.insert(e.Key);
    };
    auto flag = [&](bool& dst) {
        if (!ParseBool(e.Value, dst)) bad("not 0 or 1");
    };
    const std::string& k = e.Key;
    int v = 0;
    if (k == "IMAGE") m.ImageFile = e.Value;
    else if (k == "RECT") {
        if (!ParseRect(e.Value, m.R)) bad("RECT is X,Y,WIDTH,HEIGHT");
    } else if (k == "IMAGECOUNT") {
        v = m.ImageCount;
        number(v, 1, 64);
        m.ImageCount = std::uint16_t(v);
    } else if (k == "MASKTYPE") {
        v = m.MaskType;
        number(v, 0, 1);
        m.MaskType = std::uint16_t(v);
    } else if (k == "BORDERWIDTH") number(m.BorderWidth, 0, 4096);
    else if (k == "WL") number(m.WL, 0, 4096);
    else if (k == "WT") number(m.WT, 0, 4096);
    else if (k == "WR") number(m.WR, 0, 4096);
    else if (k == "WB") number(m.WB, 0, 4096);
    else if (k == "DRAWCENTRE" || k == "DRAWCENTER") flag(m.DrawCentre);
    else if (k == "SKIPNORMAL") flag(m.SkipNormal);
    else if (k == "TILESIDES") flag(m.TileSides);
    else if (k == "TILECENTRE" || k == "TILECENTER") flag(m.TileCentre);
    else bad("unknown mask key");
}

void Reader::BuildMasks() {
    const std::string master = Trim(Skin.MasterImage);
    Skin.MasterImage = master;
    if (!master.empty()) {
        if (NormalizeSkinPath(master).empty()) {
            Warn(0, "MASTERBITMAP \"" + master + "\" is not a plain relative file name");
            Skin.MasterImage.clear();
        } else {
            ImageIndexFor(master);
        }
    }
    for (const RawSection& raw : Masks) {
        TsMaskData m;
        m.SectionName = raw.Owner;
        m.Name = raw.Mask;
        m.SectionIndex = Skin.SectionIndexOf(raw.Owner);
        m.TileCentre = m.Name == "PATTERN" || m.Name == "HOTPATTERN";
        std::set<std::string> seen;
        for (const RawEntry& e : raw.Entries) ApplyMask(m, e, seen);
        m.ImageFile = Trim(m.ImageFile);
        auto has = [&](const char* key) { return seen.count(key) != 0; };
        if (has("BORDERWIDTH")) {
            if (!has("WL")) m.WL = m.BorderWidth;
            if (!has("WT")) m.WT = m.BorderWidth;
            if (!has("WR")) m.WR = m.BorderWidth;
            if (!has("WB")) m.WB = m.BorderWidth;
        } else {
            m.BorderWidth = std::max({m.WL, m.WT, m.WR, m.WB});
        }
        if (m.SectionIndex < 0) Warn(0, "mask [" + raw.Name + "] belongs to a section the skin does not have");

        if (!m.ImageFile.empty()) {
            if (NormalizeSkinPath(m.ImageFile).empty())
                m.Error = "IMAGE \"" + m.ImageFile + "\" is not a plain relative file name";
            else m.ImageIndex = ImageIndexFor(m.ImageFile);
        } else if (Skin.MasterImage.empty()) {
            m.Error = "no IMAGE, and GLOBALINFO names no MASTERBITMAP";
        } else if (m.R.Empty()) {
            m.Error = "a mask cut from the master image needs RECT";
        } else {
            m.ImageIndex = ImageIndexFor(Skin.MasterImage);
        }
        if (!m.Error.empty()) Warn(0, "mask [" + raw.Name + "] left out: " + m.Error);
        Skin.Masks.push_back(std::move(m));
    }
}

bool Reader::Read(const std::string& text, std::string& error) {
    ReadLines(text);
    if (Sections.empty() && Masks.empty()) {
        error = "Options.dat holds no [SECTION] header; it does not describe a skin";
        return false;
    }
    BuildSections();
    BuildMasks();
    return true;
}

}  // namespace

std::uint32_t TacGradient::ColorAt(int pos, int length) const {
    if (Colors.empty()) return 0;
    if (Colors.size() == 1 || length <= 1) return Colors.front();
    pos = std::clamp(pos, 0, length - 1);
    // Worked in integers, in steps of 1 / (Length - 1) of the way between
    // two colours, each channel rounded half up: half-way values are common
    // (a difference of 55 at 3 / 22 is 7.5), and in floating point they fall
    // either side depending on the precision the build computes in.
    const long long span = length - 1;
    const long long at = static_cast<long long>(pos) * static_cast<long long>(Colors.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(at / span), Colors.size() - 2);
    const long long part = at - static_cast<long long>(i) * span;  // 0..span
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const long long a = (Colors[i] >> shift) & 0xFF, b = (Colors[i + 1] >> shift) & 0xFF;
        const long long twice = 2 * (a * span + (b - a) * part);  // never negative
        out |= std::uint32_t((twice + span) / (2 * span)) << shift;
    }
    return out;
}

const std::string* TacSectionValues::Find(const std::string& key) const {
    for (const auto& list : FLists) {
        auto it = list->find(key);
        if (it != list->end()) return &it->second;
    }
    return nullptr;
}

bool TacSectionValues::empty() const {
    for (const auto& list : FLists)
        if (!list->empty()) return false;
    return true;
}

TacSectionValues::Entries TacSectionValues::Flatten() const {
    Entries all;
    for (const auto& list : FLists) all.insert(list->begin(), list->end());  // the nearest is met first
    return all;
}

void TacSectionValues::Set(const std::string& key, const std::string& value) {
    // The own list may be shared with sections below: change a copy of it.
    auto mine = FLists.empty() ? std::make_shared<Entries>() : std::make_shared<Entries>(*FLists.front());
    (*mine)[key] = value;
    if (FLists.empty()) FLists.push_back(std::move(mine));
    else FLists.front() = std::move(mine);
}

void TacSectionValues::Inherit(std::shared_ptr<const Entries> Own, const TacSectionValues& Parent,
                               std::size_t MaxLists) {
    std::vector<std::shared_ptr<const Entries>> lists;
    lists.reserve(std::min(MaxLists, Parent.FLists.size() + 1));
    if (Own && MaxLists > 0) lists.push_back(std::move(Own));
    for (const auto& list : Parent.FLists) {
        if (lists.size() >= MaxLists) break;
        lists.push_back(list);
    }
    FLists = std::move(lists);
}

std::string TsGeneralData::Value(const std::string& key, const std::string& defaultValue) const {
    const std::string* v = Values.Find(Upper(key));
    return v ? *v : defaultValue;
}

TacRect TsMaskData::StateRect(int state) const {
    const int count = std::max<int>(1, ImageCount);
    state = std::clamp(state, 0, count - 1);
    TacRect r;
    r.Left = R.Left + state * StateWidth();
    r.Top = R.Top;
    r.Right = r.Left + StateWidth();
    r.Bottom = r.Top + StateHeight();
    return r;
}

namespace {
std::string MaskKey(const std::string& section, const std::string& mask) {
    std::string key = Upper(section);
    key += '\0';
    key += Upper(mask);
    return key;
}
}  // namespace

void TacSkinData::EnsureIndex() const {
    if (FIndexed && FIndexedSections == Sections.size() && FIndexedMasks == Masks.size()) return;
    // Tables that only grew (as while a file is read) are indexed from where
    // the index ends; anything else from the start.
    if (!FIndexed || FIndexedSections > Sections.size() || FIndexedMasks > Masks.size()) {
        FSectionIndex.clear();
        FMaskIndex.clear();
        FIndexedSections = FIndexedMasks = 0;
    }
    // emplace keeps the first of a name, as a scan from the start would find.
    for (std::size_t i = FIndexedSections; i < Sections.size(); ++i)
        FSectionIndex.emplace(Upper(Sections[i].Name), int(i));
    for (std::size_t i = FIndexedMasks; i < Masks.size(); ++i)
        FMaskIndex.emplace(MaskKey(Masks[i].SectionName, Masks[i].Name), int(i));
    FIndexedSections = Sections.size();
    FIndexedMasks = Masks.size();
    FIndexed = true;
}

int TacSkinData::SectionIndexOf(const std::string& name) const {
    EnsureIndex();
    auto it = FSectionIndex.find(Upper(name));
    if (it == FSectionIndex.end()) return -1;
    if (SameText(Sections[std::size_t(it->second)].Name, name)) return it->second;
    // Renamed in place: index again and look once more.
    Reindex();
    EnsureIndex();
    it = FSectionIndex.find(Upper(name));
    return it == FSectionIndex.end() ? -1 : it->second;
}

int TacSkinData::MaskIndexOfNoParent(const std::string& sectionName, const std::string& maskName) const {
    if (sectionName.empty()) return -1;
    EnsureIndex();
    const std::string key = MaskKey(sectionName, maskName);
    auto it = FMaskIndex.find(key);
    if (it == FMaskIndex.end()) return -1;
    const TsMaskData& m = Masks[std::size_t(it->second)];
    if (SameText(m.Name, maskName) && SameText(m.SectionName, sectionName)) return it->second;
    Reindex();
    EnsureIndex();
    it = FMaskIndex.find(key);
    return it == FMaskIndex.end() ? -1 : it->second;
}

int TacSkinData::MaskIndexOf(int sectionIndex, const std::string& sectionName, const std::string& maskName) const {
    if (sectionIndex < 0 || sectionName.empty()) return -1;
    int found = MaskIndexOfNoParent(sectionName, maskName);
    std::set<int> visited;
    int at = sectionIndex;
    while (found < 0 && at >= 0 && at < int(Sections.size()) && visited.insert(at).second) {
        const std::string& parent = Sections[at].ParentClass;
        if (parent.empty()) break;
        found = MaskIndexOfNoParent(parent, maskName);
        at = SectionIndexOf(parent);
    }
    return found;
}

const TacBmpImage* TacSkinData::MaskImage(int maskIndex) const {
    if (maskIndex < 0 || maskIndex >= int(Masks.size())) return nullptr;
    const TsMaskData& m = Masks[maskIndex];
    if (m.ImageIndex < 0 || m.ImageIndex >= int(Images.size()) || Images[m.ImageIndex].Image.Empty()) return nullptr;
    return &Images[m.ImageIndex].Image;
}

bool ParseSkinColor(const std::string& text, std::uint32_t& color) {
    std::string s = Upper(Trim(text));
    if (s == "NONE" || s == "CLNONE" || s == "-1") {
        color = acSkinNoColor;
        return true;
    }
    if (!s.empty() && s[0] == '#') s = "0X" + s.substr(1);
    if (s.empty() || s[0] == '-' || s[0] == '+') return false;
    long long v;
    if (!ParseInt(s, v) || v < 0 || v > 0xFFFFFF) return false;
    color = SwapRB(std::uint32_t(v));
    return true;
}

std::string NormalizeSkinPath(const std::string& name) {
    std::string s = Upper(Trim(name));
    std::replace(s.begin(), s.end(), '\\', '/');
    while (s.compare(0, 2, "./") == 0) s.erase(0, 2);
    if (s.empty() || s[0] == '/' || s.find(':') != std::string::npos) return {};
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t end = s.find('/', start);
        if (end == std::string::npos) end = s.size();
        const std::string part = s.substr(start, end - start);
        if (part == ".." || part.empty()) return {};
        start = end + 1;
    }
    return s;
}

bool ParseSkinOptions(const std::string& text, TacSkinData& skin, std::string& error) {
    skin.Clear();
    error.clear();
    Reader reader(skin);
    if (!reader.Read(text, error)) {
        skin.Clear();
        return false;
    }
    return true;
}

void ResolveSkinImages(TacSkinData& skin) {
    for (TsMaskData& m : skin.Masks) {
        if (m.ImageIndex < 0) continue;
        const std::string where = "mask [" + m.SectionName + "." + m.Name + "]";
        auto leaveOut = [&](const std::string& why) {
            m.ImageIndex = -1;
            m.Error = why;
            if (skin.Warnings.size() < kMaxWarnings) skin.Warnings.push_back(where + " left out: " + why);
        };
        if (m.ImageIndex >= int(skin.Images.size())) {
            leaveOut("its image is missing");
            continue;
        }
        const TacSkinImage& img = skin.Images[m.ImageIndex];
        if (img.Image.Empty()) {
            leaveOut("image \"" + img.FileName + "\" " + (img.Error.empty() ? "was not loaded" : img.Error));
            continue;
        }
        if (m.R.Empty()) {
            m.R.Left = m.R.Top = 0;
            m.R.Right = img.Image.Width;
            m.R.Bottom = img.Image.Height;
        }
        if (m.R.Left < 0 || m.R.Top < 0 || m.R.Right > img.Image.Width || m.R.Bottom > img.Image.Height) {
            leaveOut("RECT lies outside \"" + img.FileName + "\" (" + std::to_string(img.Image.Width) + " x " +
                     std::to_string(img.Image.Height) + ")");
            continue;
        }
        if (m.StateWidth() < 1 || m.StateHeight() < 1) {
            leaveOut(std::to_string(m.R.Width()) + " x " + std::to_string(m.R.Height()) + " pixels cannot hold " +
                     std::to_string(m.ImageCount) + " states" + (m.MaskType ? " with opacity rows" : ""));
            continue;
        }
        const int w = m.StateWidth(), h = m.StateHeight();
        if (m.WL + m.WR > w || m.WT + m.WB > h) {
            if (skin.Warnings.size() < kMaxWarnings)
                skin.Warnings.push_back(where + ": border widths larger than a state were reduced");
            m.WL = std::min(m.WL, w / 2);
            m.WR = std::min(m.WR, w - m.WL);
            m.WT = std::min(m.WT, h / 2);
            m.WB = std::min(m.WB, h - m.WT);
        }
    }
}

bool PackSkinImages(TacSkinData& skin) {
    std::vector<int> used;
    std::vector<char> isUsed(skin.Images.size(), 0);
    for (const TsMaskData& m : skin.Masks)
        if (skin.MaskImage(int(&m - skin.Masks.data())) && !isUsed[std::size_t(m.ImageIndex)]) {
            isUsed[std::size_t(m.ImageIndex)] = 1;
            used.push_back(m.ImageIndex);
        }
    std::stable_sort(used.begin(), used.end(),
                     [&](int a, int b) { return skin.Images[a].Image.Height > skin.Images[b].Image.Height; });

    // Shelves of pictures, tallest first, each shelf no wider than the widest picture or 1024.
    int limit = 1024;
    for (int i : used) limit = std::max(limit, skin.Images[i].Image.Width);
    std::vector<TacRect> place(skin.Images.size());
    long long x = 0, y = 0, shelf = 0, width = 0;
    for (int i : used) {
        const TacBmpImage& img = skin.Images[i].Image;
        if (x > 0 && x + img.Width > limit) {
            y += shelf;
            x = shelf = 0;
        }
        place[i] = TacRect{int(x), int(y), int(x + img.Width), int(y + img.Height)};
        x += img.Width;
        shelf = std::max<long long>(shelf, img.Height);
        width = std::max(width, x);
    }
    const long long height = y + shelf;
    if (width > acBmpMaxSide || height > acBmpMaxSide || std::size_t(width * height * 3) > acBmpMaxBytes) return false;

    TacSkinImage master;
    master.FileName = skin.MasterImage.empty() ? "(master)" : skin.MasterImage;
    master.Image.Resize(int(width), int(height), acSkinKeyColor);
    for (int i : used) {
        const TacBmpImage& img = skin.Images[i].Image;
        for (int row = 0; row < img.Height; ++row)
            std::memcpy(master.Image.Row(place[i].Top + row) + std::size_t(place[i].Left) * 3, img.Row(row),
                        std::size_t(img.Width) * 3);
    }
    for (TsMaskData& m : skin.Masks) {
        if (m.ImageIndex < 0) continue;
        if (std::size_t(m.ImageIndex) >= isUsed.size() || !isUsed[std::size_t(m.ImageIndex)]) {
            m.ImageIndex = -1;
            continue;
        }
        const TacRect at = place[m.ImageIndex];
        m.R.Left += at.Left;
        m.R.Right += at.Left;
        m.R.Top += at.Top;
        m.R.Bottom += at.Top;
        m.ImageIndex = 0;
    }
    skin.Images.clear();
    if (!used.empty()) skin.Images.push_back(std::move(master));
    return true;
}
