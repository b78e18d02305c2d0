#include "Skins.h"

#include "Paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace skingen {

namespace {

// Every colour one skin needs; the layout below is shared by both skins, so
// they stay alike in shape and differ only here.
struct Palette {
    const char* Name;
    bool Dark;
    std::uint32_t Bg, BgAlt1, BgAlt2, Text, TextSoft;
    std::uint32_t Edit, EditBorder, EditBorderHot, Focus;
    std::uint32_t Accent, AccentHot, AccentDark, AccentText;
    std::uint32_t Sel, SelBorder, SelPressed;
    std::uint32_t FaceTop[3], FaceBottom[3], FaceBorder[3];  // normal, hot, pressed
    std::uint32_t Highlight;
    double HighlightAlpha;
    std::uint32_t TitleTop[2], TitleBottom[2], TitleText[2], FrameLine[2];  // inactive, active
    std::uint32_t TitleGlyph, CloseHot, ClosePressed;
    std::uint32_t Track, TrackHot, Thumb[3], Arrow[3];
    std::uint32_t ProgressTrack, ProgressTop, ProgressBottom;
    std::uint32_t Tab[3], TabBorder, Page;
    std::uint32_t Popup, PopupBorder, Divider, DividerLight;
    std::uint32_t Line, PanelLow, LineLow, Mdi;
    std::uint32_t CheckBorder, CheckFill, Channel, ChannelBorder, Tick;
    std::uint32_t Shadow;
};

// clang-format off
const Palette kLight = {
    "Light", false,
    0xF0F2F5, 0xF7F8FA, 0xE7EAEE, 0x1E2329, 0x5A626E,
    0xFFFFFF, 0xA9B1BC, 0x7FA6EA, 0x2F6FEB,
    0x2F6FEB, 0x4A84F0, 0x2159C9, 0xFFFFFF,
    0xDCE7FB, 0xA8C4F5, 0xC4D7F7,
    {0xFFFFFF, 0xF6F9FF, 0xD6E2F7}, {0xE6E9EE, 0xDCE7FA, 0xE3EBF9}, {0xA9B1BC, 0x7FA6EA, 0x2F6FEB},
    0xFFFFFF, 0.9,
    {0xF8F9FB, 0xFFFFFF}, {0xEEF0F3, 0xE9EDF3}, {0x8A919C, 0x1E2329}, {0xAEB5BF, 0x2F6FEB},
    0x3A414B, 0xE5484D, 0xC23B40,
    0xE9ECF0, 0xE1E5EA, {0xC3C9D2, 0xA9B1BC, 0x8E98A6}, {0x7A828E, 0x4A525E, 0x2F6FEB},
    0xE1E5EA, 0x5C95F3, 0x2F6FEB,
    {0xE4E7EC, 0xEEF2F8, 0xFCFCFD}, 0xC3C9D2, 0xFCFCFD,
    0xFFFFFF, 0xB9C0CA, 0xDDE1E6, 0xFFFFFF,
    0xD3D8DF, 0xE6E9ED, 0xB9C0CA, 0xD5D9DF,
    0x9AA3AF, 0xFFFFFF, 0xD0D5DC, 0xAEB5BF, 0x9AA3AF,
    0xB8BEC7,
};
// clang-format on

// clang-format off
const Palette kDark = {
    "Dark", true,
    0x25272B, 0x2E3136, 0x272A2E, 0xE4E6EA, 0xA3A9B2,
    0x1C1E21, 0x4A4F57, 0x5B7FC7, 0x4C8DFF,
    0x4C8DFF, 0x6AA0FF, 0x3570E0, 0xFFFFFF,
    0x33415C, 0x4A6394, 0x2A3650,
    {0x3E4249, 0x484D56, 0x2B2E33}, {0x33363C, 0x3C4048, 0x313439}, {0x555A63, 0x6A8FD6, 0x4C8DFF},
    0xFFFFFF, 0.08,
    {0x2A2C30, 0x2F3238}, {0x25272A, 0x26292E}, {0x7E848D, 0xF0F2F5}, {0x44474D, 0x4C8DFF},
    0xD5D9DF, 0xE5484D, 0xC23B40,
    0x2A2D31, 0x31353A, {0x4A4F57, 0x5A606A, 0x6A717D}, {0x8D939C, 0xC4C9D0, 0x6AA0FF},
    0x1C1E21, 0x6AA0FF, 0x3570E0,
    {0x2E3136, 0x363A40, 0x303338}, 0x474B52, 0x303338,
    0x2B2E33, 0x474B52, 0x3A3E45, 0x24262A,
    0x3A3E45, 0x202225, 0x34373D, 0x1B1D20,
    0x60656E, 0x1C1E21, 0x3A3E45, 0x4A4F57, 0x6A707A,
    0x000000,
};
// clang-format on

std::string Hex(std::uint32_t c) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%06X", unsigned(c & 0xFFFFFF));
    return b;
}

struct MaskSpec {
    int Count = 1;
    bool Opacity = false;
    int WL = 0, WT = 0, WR = 0, WB = 0;
    int Border = -1;
    bool Centre = false, SkipNormal = false;
    int TileCentre = -1;
};

MaskSpec Nine(int count, int w, bool centre = false) {
    MaskSpec s;
    s.Count = count;
    s.WL = s.WT = s.WR = s.WB = w;
    s.Centre = centre;
    return s;
}

MaskSpec Glyph(int count) {
    MaskSpec s;
    s.Count = count;
    s.Opacity = true;
    return s;
}

// Collects the text of "Options.dat" and the pictures, and the master picture
// that the skin-wide glyphs are cut from.
class Writer {
public:
    SkinFiles Out;
    TacBmpImage Master;

    void Comment(const std::string& text) { Out.Options += "; " + text + "\n"; }
    void Section(const std::string& name) { Out.Options += "\n[" + name + "]\n"; }
    void Key(const std::string& k, const std::string& v) { Out.Options += k + "=" + v + "\n"; }
    void Col(const std::string& k, std::uint32_t c) { Key(k, Hex(c)); }
    void Num(const std::string& k, int v) { Key(k, std::to_string(v)); }
    void Colors(std::uint32_t color, std::uint32_t hot, std::uint32_t font, std::uint32_t hotFont) {
        Col("COLOR", color);
        Col("HOTCOLOR", hot);
        Col("FONTCOLOR", font);
        Col("HOTFONTCOLOR", hotFont);
    }
    void Gradient(const std::string& key, std::uint32_t a, std::uint32_t b, bool vertical = true) {
        Key(key, Hex(a) + "," + Hex(b) + "," + (vertical ? "V" : "H"));
    }

    // A mask in a file of its own (written once however many masks share it).
    void Mask(const std::string& section, const std::string& name, const std::string& file, const TacBmpImage& picture,
              const MaskSpec& maskKeys) {
        if (std::none_of(Out.Images.begin(), Out.Images.end(), [&](const auto& i) { return i.first == file; }))
            Out.Images.push_back({file, picture});
        Section(section + "." + name);
        Key("IMAGE", file);
        Keys(maskKeys);
    }
    // A mask cut from the master picture: appended below what it holds.
    void MasterMask(const std::string& section, const std::string& name, const TacBmpImage& picture,
                    const MaskSpec& maskKeys) {
        const int top = Master.Height;
        TacBmpImage grown;
        grown.Resize(std::max(Master.Width, picture.Width), Master.Height + picture.Height, 0xFF00FF);
        for (int y = 0; y < Master.Height; ++y) std::memcpy(grown.Row(y), Master.Row(y), std::size_t(Master.Width) * 3);
        for (int y = 0; y < picture.Height; ++y)
            std::memcpy(grown.Row(top + y), picture.Row(y), std::size_t(picture.Width) * 3);
        Master = std::move(grown);
        Section(section + "." + name);
        Key("RECT",
            "0," + std::to_string(top) + "," + std::to_string(picture.Width) + "," + std::to_string(picture.Height));
        Keys(maskKeys);
    }

private:
    void Keys(const MaskSpec& s) {
        Num("IMAGECOUNT", s.Count);
        Num("MASKTYPE", s.Opacity ? 1 : 0);
        if (s.WL || s.WT || s.WR || s.WB) {
            Num("WL", s.WL);
            Num("WT", s.WT);
            Num("WR", s.WR);
            Num("WB", s.WB);
        }
        if (s.Border >= 0) Num("BORDERWIDTH", s.Border);
        if (s.Centre) Num("DRAWCENTRE", 1);
        if (s.SkipNormal) Num("SKIPNORMAL", 1);
        if (s.TileCentre >= 0) Num("TILECENTRE", s.TileCentre);
    }
};

// ---- Shapes shared by several sections -------------------------------------

// A raised face: border, vertical gradient, a highlight under the top edge.
Layer Raised(const Palette& p, int w, int h, double r, int s) {
    Layer l(w, h);
    l.Fill(RoundBox(0, 0, w, h, r), Solid(p.FaceBorder[s]));
    l.Fill(RoundBox(1, 1, w - 1, h - 1, r - 1), Vertical(p.FaceTop[s], p.FaceBottom[s], 1, h - 1));
    if (s < 2) l.Fill(Box(r, 1, w - r, 2), Solid(p.Highlight), p.HighlightAlpha);
    return l;
}

// A one-pixel rounded frame around an opaque inside.
Layer Frame(std::uint32_t border, std::uint32_t inside, int w, int h, double r) {
    Layer l(w, h);
    l.Fill(RoundBox(0, 0, w, h, r), Solid(border));
    l.Fill(RoundBox(1, 1, w - 1, h - 1, std::max(0.0, r - 1)), Solid(inside));
    return l;
}

// A flat highlight: state 0 clear, 1 hot, 2 pressed.
std::vector<Layer> Flat(const Palette& p, int w, int h, double r) {
    std::vector<Layer> states{Layer(w, h), Frame(p.SelBorder, p.Sel, w, h, r),
                              Frame(p.SelBorder, p.SelPressed, w, h, r)};
    return states;
}

std::vector<Layer> Three(const std::function<Layer(int)>& draw) { return {draw(0), draw(1), draw(2)}; }

Layer Chevron(int w, int h, std::uint32_t color, int direction /* 0 up 1 down 2 left 3 right */) {
    Layer l(w, h);
    const double m = 1.0;
    Points pts;
    if (direction < 2) {
        const double top = m, bottom = h - m;
        pts = {{m, bottom}, {w / 2.0, top}, {w - m, bottom}};
        if (direction == 1) pts = {{m, top}, {w / 2.0, bottom}, {w - m, top}};
    } else {
        const double left = m, right = w - m;
        pts = {{right, m}, {left, h / 2.0}, {right, h - m}};
        if (direction == 3) pts = {{left, m}, {right, h / 2.0}, {left, h - m}};
    }
    l.Fill(Stroke(pts, 1.6), Solid(color));
    return l;
}

// ---- Skin-wide glyphs ----------------------------------------------------------

Layer CheckGlyph(const Palette& p, int state, int kind /* 0 off, 1 on, 2 grayed, 3 radio off, 4 radio on */) {
    Layer l(16, 16);
    const std::uint32_t ring = state == 0 ? p.CheckBorder : state == 1 ? p.Accent : p.AccentDark;
    const std::uint32_t on = state == 0 ? p.Accent : state == 1 ? p.AccentHot : p.AccentDark;
    switch (kind) {
        case 0:
            l.Fill(RoundBox(1, 1, 15, 15, 3), Solid(ring));
            l.Fill(RoundBox(2, 2, 14, 14, 2), Solid(state == 2 ? p.Sel : p.CheckFill));
            break;
        case 1:
            l.Fill(RoundBox(1, 1, 15, 15, 3), Solid(on));
            l.Fill(Stroke({{4.3, 8.2}, {6.9, 10.8}, {11.8, 5.4}}, 1.9), Solid(p.AccentText));
            break;
        case 2:
            l.Fill(RoundBox(1, 1, 15, 15, 3), Solid(on));
            l.Fill(Box(4.5, 7, 11.5, 9), Solid(p.AccentText));
            break;
        case 3:
            l.Fill(Circle(8, 8, 7), Solid(ring));
            l.Fill(Circle(8, 8, 6), Solid(state == 2 ? p.Sel : p.CheckFill));
            break;
        default: l.Fill(Circle(8, 8, 7), Solid(on)); l.Fill(Circle(8, 8, 3), Solid(p.AccentText));
    }
    return l;
}

enum TitleKind { tkClose, tkMax, tkMin, tkNorm, tkHelp, tkNone };

Layer TitleButton(const Palette& p, int w, int h, int state, TitleKind kind) {
    Layer l(w, h);
    const bool close = kind == tkClose;
    if (state > 0) {
        if (close) l.Fill(RoundBox(1, 1, w - 1, h - 1, 3), Solid(state == 1 ? p.CloseHot : p.ClosePressed));
        else l.Fill(RoundBox(1, 1, w - 1, h - 1, 3), Solid(p.Dark ? 0xFFFFFF : 0x000000), state == 1 ? 0.10 : 0.20);
    }
    const std::uint32_t c = close && state > 0 ? 0xFFFFFF : p.TitleGlyph;
    const int g = h <= 14 ? 3 : 4;  // half the glyph's size
    const int cx = w / 2, cy = h / 2;
    const double x0 = cx - g, y0 = cy - g, x1 = cx + g + 1, y1 = cy + g + 1;
    switch (kind) {
        case tkClose:
            l.Fill(Either(Stroke({{x0 + 0.5, y0 + 0.5}, {x1 - 0.5, y1 - 0.5}}, 1.3),
                          Stroke({{x1 - 0.5, y0 + 0.5}, {x0 + 0.5, y1 - 0.5}}, 1.3)),
                   Solid(c));
            break;
        case tkMax: l.Fill(Minus(Box(x0, y0, x1, y1), Box(x0 + 1, y0 + 1, x1 - 1, y1 - 1)), Solid(c)); break;
        case tkMin: l.Fill(Box(x0, cy, x1, cy + 1), Solid(c)); break;
        case tkNorm: {
            const Shape front = Box(x0, y0 + 2, x1 - 2, y1);
            l.Fill(Minus(front, Box(x0 + 1, y0 + 3, x1 - 3, y1 - 1)), Solid(c));
            l.Fill(Minus(Minus(Box(x0 + 2, y0, x1, y1 - 2), Box(x0 + 3, y0 + 1, x1 - 1, y1 - 3)), front), Solid(c));
            break;
        }
        case tkHelp: {
            Points arc;
            const double r = g * 0.62;
            for (int a = 200; a >= -70; a -= 10) {
                const double rad = a * 3.14159265 / 180;
                arc.push_back({cx + 0.5 + r * std::cos(rad), cy - g * 0.35 - r * std::sin(rad)});
            }
            arc.push_back({cx + 0.5, cy + g * 0.35});
            l.Fill(Stroke(arc, 1.3), Solid(c));
            l.Fill(Circle(cx + 0.5, cy + g * 0.85, 0.85), Solid(c));
            break;
        }
        case tkNone: break;
    }
    return l;
}

// A corner image: the arc of a window's or bar's rounded corner (top left; the
// others are mirrored). Outside the arc: clear, or Outside when given.
Layer Corner(int size, std::uint32_t line, std::uint32_t inside, bool withLine) {
    Layer l(size, size);
    l.Fill(RoundBox(0, 0, size * 2, size * 2, size), Solid(withLine ? line : inside));
    if (withLine) l.Fill(RoundBox(1, 1, size * 2, size * 2, size - 1), Solid(inside));
    return l;
}

Layer Stripes(int size, std::uint32_t a, std::uint32_t b, bool rising) {
    Layer l(size, size);
    l.Fill(Box(0, 0, size, size), Solid(b));
    l.Fill([=](double x, double y) { return std::fmod((rising ? x + y : x - y + size), size) < size / 2.0; }, Solid(a));
    return l;
}

// ---- The skin ---------------------------------------------------------------------

SkinFiles Build(const Palette& p) {
    Writer w;
    w.Out.Name = p.Name;
    w.Comment(std::string(p.Name) + ": a built-in skin of the skinning library, drawn by skins/generator.");
    w.Comment("Format: docs/skin-format.md. Colours are 0xRRGGBB.");

    // GLOBALINFO: skin-wide values and the glyphs cut from the master picture.
    w.Section("GLOBALINFO");
    w.Key("SKINNAME", p.Name);
    w.Key("VERSION", "1");
    w.Key("DESCRIPTION", std::string(p.Dark ? "Dark" : "Light") + " built-in skin");
    w.Colors(p.Bg, p.Track, p.Text, p.Text);
    // Shadow labels take their text colour from the left contour here: on the
    // light skin the default white would hardly show on the background.
    if (!p.Dark) w.Col("TCLEFT", p.Text);
    w.Col("SHADOW1COLOR", p.Shadow);
    w.Num("SHADOW1OFFSET", 1);
    w.Num("SHADOW1BLUR", 2);
    w.Num("BISPACE", 2);
    w.Key("MASTERBITMAP", "glyphs.bmp");
    const char* boxNames[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED"};
    for (int kind = 0; kind < 5; ++kind)
        w.MasterMask("GLOBALINFO", boxNames[kind], Strip(Three([&](int s) { return CheckGlyph(p, s, kind); }), true),
                     Glyph(3));
    w.MasterMask(
        "GLOBALINFO", "CHECK",
        Strip(Three([&](int s) {
                  Layer l(16, 16);
                  l.Fill(Stroke({{4.3, 8.2}, {6.9, 10.8}, {11.8, 5.4}}, 1.8), Solid(s == 2 ? p.Accent : p.Text));
                  return l;
              }),
              true),
        Glyph(3));
    {
        Layer grip(12, 12);
        for (int y = 3; y <= 9; y += 3)
            for (int x = 3; x <= 9; x += 3)
                if (x + y >= 12) grip.Fill(Box(x, y, x + 2, y + 2), Solid(p.TextSoft), 0.7);
        w.MasterMask("GLOBALINFO", "GRIPIMAGE", Strip({grip}, true), Glyph(1));
    }
    const char* big[] = {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP"};
    const char* small[] = {"SICONCLOSE", "SICONMAX", "SICONMIN", "SICONNORM", "SICONHELP"};
    for (int k = 0; k < 5; ++k) {
        w.MasterMask("GLOBALINFO", big[k],
                     Strip(Three([&](int s) { return TitleButton(p, 28, 18, s, TitleKind(k)); }), true), Glyph(3));
        w.MasterMask("GLOBALINFO", small[k],
                     Strip(Three([&](int s) { return TitleButton(p, 20, 14, s, TitleKind(k)); }), true), Glyph(3));
    }
    w.MasterMask("GLOBALINFO", "TITLEBUTTON",
                 Strip(Three([&](int s) { return TitleButton(p, 24, 18, s, tkNone); }), true), Glyph(3));
    {
        // The tray behind the title buttons: inactive and active, a third of a state per corner.
        std::vector<Layer> states;
        for (int s = 0; s < 2; ++s) {
            Layer l(18, 16);
            const std::uint32_t shade = p.Dark ? 0x000000 : 0x1E2329;
            l.Fill(RoundBox(0, -8, 26, 16, 6),
                   Vertical(Mix(p.TitleTop[s], shade, 0.05), Mix(p.TitleBottom[s], shade, 0.07), 0, 16));
            states.push_back(l);
        }
        MaskSpec tray = Nine(2, 6, true);
        w.MasterMask("GLOBALINFO", "TITLEBAR", Strip(states, false, p.TitleBottom[1]), tray);
    }

    // Forms and dialogs: the frame (inactive, active) with rounded top corners,
    // the title band, its corners and top line.
    const TacBmpImage frame = [&] {
        std::vector<Layer> states;
        for (int s = 0; s < 2; ++s) {
            Layer l(16, 16);
            l.Fill(Either(RoundBox(0, 0, 16, 12, 6), RoundBox(0, 4, 16, 16, 3)), Solid(p.FrameLine[s]));
            l.Fill(Either(RoundBox(1, 1, 15, 12, 5), RoundBox(1, 4, 15, 15, 2)), Solid(p.TitleBottom[s]));
            states.push_back(l);
        }
        return Strip(states, false, p.Bg);
    }();
    MaskSpec frameSpec = Nine(2, 4);
    frameSpec.WT = 6;
    for (const char* name : {"FORM", "DIALOG"}) {
        w.Section(name);
        w.Colors(p.Bg, p.Bg, p.Text, p.Text);
        // A form's frame under its title is kept: a caption change repaints only the title.
        if (std::strcmp(name, "FORM") == 0) w.Num("RESERVEDBOOLEAN", 1);
        w.Mask(name, "BORDERSMASK", "frame.bmp", frame, frameSpec);
    }
    w.Section("FORMTITLE");
    w.Colors(p.TitleBottom[0], p.TitleBottom[1], p.TitleText[0], p.TitleText[1]);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.TitleTop[0], p.TitleBottom[0]);
    w.Gradient("HOTGRADIENT", p.TitleTop[1], p.TitleBottom[1]);
    {
        std::vector<Layer> left, right, line;
        for (int s = 0; s < 2; ++s) {
            left.push_back(Corner(6, p.FrameLine[s], p.TitleTop[s], true));
            right.push_back(left.back().FlipH());
            Layer l(4, 3);
            l.Fill(Box(0, 0, 4, 1), Solid(p.FrameLine[s]));
            l.Fill(Either(Box(0, 0, 1, 3), Box(3, 0, 4, 3)), Solid(p.FrameLine[s]));
            line.push_back(l);
        }
        w.Mask("FORMTITLE", "IMGTOPLEFT", "titlecornerl.bmp", Strip(left, false, p.Bg), Nine(2, 0));
        w.Mask("FORMTITLE", "IMGTOPRIGHT", "titlecornerr.bmp", Strip(right, false, p.Bg), Nine(2, 0));
        MaskSpec top = Nine(2, 1);
        top.WB = 0;
        w.Mask("FORMTITLE", "BORDERSMASK", "titleline.bmp", Strip(line, false, p.Bg), top);
    }
    w.Section("MDIAREA");
    w.Colors(p.Mdi, p.Mdi, p.Text, p.Text);

    // Menus.
    w.Section("MENULINE");
    w.Colors(p.BgAlt1, p.Sel, p.Text, p.Dark ? p.Text : p.AccentDark);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.BgAlt1, p.BgAlt2);
    w.Section("MAINMENU");
    w.Colors(p.Popup, p.Popup, p.Text, p.Text);
    {
        MaskSpec maskKeys = Nine(1, 4);
        maskKeys.Border = 3;
        w.Mask("MAINMENU", "BORDERSMASK", "popup.bmp", Keyed(Frame(p.PopupBorder, p.Popup, 12, 12, 4), p.Bg), maskKeys);
    }
    w.Section("MENUITEM");
    w.Colors(p.Popup, p.Sel, p.Text, p.Dark ? 0xFFFFFF : p.Text);
    w.Num("TRANSPARENCY", 100);
    w.Num("HOTTRANSPARENCY", 100);
    {
        MaskSpec maskKeys = Nine(3, 4, true);
        maskKeys.SkipNormal = true;
        w.Mask("MENUITEM", "BORDERSMASK", "menuitem.bmp", Strip(Flat(p, 12, 12, 3), false, p.Popup), maskKeys);
    }
    w.Section("EXTRALINE");
    w.Colors(p.Accent, p.Accent, p.AccentText, p.AccentText);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.AccentHot, p.AccentDark);
    w.Section("DIVIDERV");
    w.Colors(p.Popup, p.Popup, p.TextSoft, p.TextSoft);
    {
        Layer l(6, 2);
        l.Fill(Box(0, 0, 6, 1), Solid(p.Divider));
        l.Fill(Box(0, 1, 6, 2), Solid(p.DividerLight));
        w.Mask("DIVIDERV", "BORDERSMASK", "dividerv.bmp", Keyed(l, p.Popup), Nine(1, 1, true));
    }

    // Buttons.
    w.Section("BUTTON");
    w.Colors(Mix(p.FaceTop[0], p.FaceBottom[0], 0.5), Mix(p.FaceTop[1], p.FaceBottom[1], 0.5), p.Text, p.Text);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.FaceTop[0], p.FaceBottom[0]);
    w.Gradient("HOTGRADIENT", p.FaceTop[1], p.FaceBottom[1]);
    w.Num("SHOWFOCUS", 1);
    w.Num("FADING", 1);
    w.Num("FADINGITERATIONS", 6);
    w.Mask("BUTTON", "BORDERSMASK", "button.bmp",
           Strip(Three([&](int s) { return Raised(p, 14, 24, 4, s); }), false, p.Bg), Nine(3, 5, true));
    w.Section("BUTTON_BIG");
    w.Key("PARENTCLASS", "BUTTON");
    w.Section("WEBBUTTON");
    w.Colors(p.Bg, p.Bg, p.Accent, p.AccentHot);
    w.Num("TRANSPARENCY", 100);
    w.Num("HOTTRANSPARENCY", 100);
    for (const char* name : {"SPEEDBUTTON", "TOOLBUTTON"}) {
        w.Section(name);
        w.Colors(p.Bg, p.Sel, p.Text, p.Text);
        w.Num("TRANSPARENCY", 100);
        w.Num("HOTTRANSPARENCY", 100);
        w.Num("FADING", 1);
        w.Num("FADINGITERATIONS", 5);
        MaskSpec maskKeys = Nine(3, 4, true);
        maskKeys.SkipNormal = true;
        w.Mask(name, "BORDERSMASK", "flatbutton.bmp", Strip(Flat(p, 12, 12, 3), false, p.Bg), maskKeys);
    }
    w.Section("SPEEDBUTTON_SMALL");
    w.Key("PARENTCLASS", "SPEEDBUTTON");
    w.Section("DIVIDER");
    w.Colors(p.Bg, p.Bg, p.TextSoft, p.TextSoft);
    w.Num("TRANSPARENCY", 100);
    {
        Layer l(2, 10);
        l.Fill(Box(0, 0, 1, 10), Vertical(p.Bg, p.Line, 0, 3));
        l.Fill(Box(0, 3, 1, 10), Vertical(p.Line, p.Bg, 7, 10));
        l.Fill(Box(1, 0, 2, 10), Solid(p.DividerLight), p.Dark ? 0.3 : 1.0);
        MaskSpec maskKeys = Nine(1, 0, true);
        maskKeys.WT = maskKeys.WB = 3;
        w.Mask("DIVIDER", "BORDERSMASK", "divider.bmp", Keyed(l, p.Bg), maskKeys);
    }
    w.Section("UPDOWNBTN");
    w.Colors(Mix(p.FaceTop[0], p.FaceBottom[0], 0.5), Mix(p.FaceTop[1], p.FaceBottom[1], 0.5), p.Text, p.Text);
    w.Mask("UPDOWNBTN", "BORDERSMASK", "updown.bmp",
           Strip(Three([&](int s) { return Raised(p, 12, 12, 2.5, s); }), false, p.Bg), Nine(3, 3, true));

    // Containers.
    w.Section("PANEL");
    w.Colors(p.Bg, p.Bg, p.Text, p.Text);
    w.Mask("PANEL", "BORDERSMASK", "panel.bmp", Keyed(Frame(p.Line, p.Bg, 12, 12, 4), p.Bg), Nine(1, 4));
    w.Section("PANEL_LOW");
    w.Colors(p.PanelLow, p.PanelLow, p.Text, p.Text);
    w.Mask("PANEL_LOW", "BORDERSMASK", "panellow.bmp", Keyed(Frame(p.LineLow, p.PanelLow, 12, 12, 4), p.Bg),
           Nine(1, 4));
    w.Section("GROUPBOX");
    w.Colors(p.Bg, p.Bg, p.Text, p.Text);
    w.Mask("GROUPBOX", "BORDERSMASK", "groupbox.bmp", Keyed(Frame(p.Line, p.Bg, 12, 12, 5), p.Bg), Nine(1, 5));
    w.Section("TABSHEET");
    w.Colors(p.Page, p.Page, p.Text, p.Text);
    w.Section("TOOLBAR");
    w.Colors(p.BgAlt1, p.BgAlt1, p.Text, p.Text);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.BgAlt1, p.BgAlt2);
    w.Num("IMAGEPERCENT", 6);
    {
        Layer grain(4, 4);
        grain.Fill(Box(0, 0, 4, 4), Solid(p.BgAlt1));
        grain.Fill(Either(Box(0, 0, 1, 1), Box(2, 2, 3, 3)), Solid(p.Dark ? 0x000000 : 0xFFFFFF));
        w.Mask("TOOLBAR", "PATTERN", "grain.bmp", Keyed(grain, p.Bg), MaskSpec());
    }
    w.Section("STATUSBAR");
    w.Colors(p.BgAlt2, p.BgAlt2, p.TextSoft, p.TextSoft);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.BgAlt1, p.BgAlt2);
    {
        Layer l(4, 2);
        l.Fill(Box(0, 0, 4, 1), Solid(p.Line));
        MaskSpec maskKeys;
        maskKeys.WT = 1;
        w.Mask("STATUSBAR", "BORDERSMASK", "statusbar.bmp", Keyed(l, p.Bg), maskKeys);
    }
    w.Section("BAR");
    w.Colors(p.BgAlt2, p.BgAlt2, p.Text, p.Text);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.BgAlt1, p.BgAlt2, false);
    w.Section("BARTITLE");
    w.Colors(p.Accent, p.AccentHot, p.AccentText, p.AccentText);
    w.Num("GRADIENTPERCENT", 100);
    w.Gradient("GRADIENT", p.AccentHot, p.AccentDark);
    {
        // Corners rounded against the usual background.
        Layer tl(4, 4);
        tl.Fill(Box(0, 0, 4, 4), Solid(p.Bg));
        tl.Fill(RoundBox(0, 0, 8, 8, 4), Solid(p.AccentHot));
        Layer bl(4, 4);
        bl.Fill(Box(0, 0, 4, 4), Solid(p.Bg));
        bl.Fill(RoundBox(0, -4, 8, 4, 4), Solid(p.AccentDark));
        w.Mask("BARTITLE", "IMGTOPLEFT", "barcornertl.bmp", Keyed(tl, p.Bg), MaskSpec());
        w.Mask("BARTITLE", "IMGTOPRIGHT", "barcornertr.bmp", Keyed(tl.FlipH(), p.Bg), MaskSpec());
        w.Mask("BARTITLE", "IMGBTMLEFT", "barcornerbl.bmp", Keyed(bl, p.Bg), MaskSpec());
        w.Mask("BARTITLE", "IMGBTMRIGHT", "barcornerbr.bmp", Keyed(bl.FlipH(), p.Bg), MaskSpec());
    }
    w.Section("DRAGBAR");
    w.Colors(p.Sel, p.Sel, p.Text, p.Text);
    w.Mask("DRAGBAR", "BORDERSMASK", "dragbar.bmp",
           Keyed(
               [&] {
                   Layer l(12, 16);
                   l.Fill(RoundBox(0, 0, 12, 16, 3), Solid(p.SelBorder));
                   l.Fill(RoundBox(1, 1, 11, 15, 2),
                          Vertical(Mix(p.Sel, p.Dark ? p.Accent : 0xFFFFFF, 0.4), p.Sel, 1, 15));
                   return l;
               }(),
               p.Bg),
           Nine(1, 4, true));
    w.Section("SPLITTER");
    w.Colors(p.Bg, p.Sel, p.Text, p.Text);

    // Text input and lists.
    const TacBmpImage editBorder = Strip({Frame(p.EditBorder, p.Edit, 8, 8, 2.5),
                                          Frame(p.EditBorderHot, p.Edit, 8, 8, 2.5), Frame(p.Focus, p.Edit, 8, 8, 2.5)},
                                         false, p.Bg);
    for (const char* name : {"EDIT", "COMBOBOX"}) {
        w.Section(name);
        w.Colors(p.Edit, p.Edit, p.Text, p.Text);
        w.Mask(name, "BORDERSMASK", "edit.bmp", editBorder, Nine(3, 3));
    }
    w.Mask("COMBOBOX", "GLYPHMASK", "comboarrow.bmp",
           Strip(Three([&](int s) {
                     return Chevron(10, 6, s == 0 ? p.Arrow[0] : s == 1 ? p.Arrow[1] : p.Accent, 1);
                 }),
                 true),
           Glyph(3));
    w.Section("COMBOBTN");
    w.Colors(p.Edit, p.Sel, p.Text, p.Text);
    w.Num("TRANSPARENCY", 100);
    w.Num("HOTIMAGEPERCENT", 50);
    {
        Layer shine(1, 16);
        shine.Fill(Box(0, 0, 1, 16), Vertical(p.Dark ? p.SelBorder : 0xFFFFFF, p.Sel, 0, 16));
        MaskSpec maskKeys;
        maskKeys.TileCentre = 0;
        w.Mask("COMBOBTN", "HOTPATTERN", "combohot.bmp", Keyed(shine, p.Bg), maskKeys);
    }
    w.Section("COLHEADER");
    w.Colors(Mix(p.FaceTop[0], p.FaceBottom[0], 0.5), p.Sel, p.Text, p.Text);
    w.Mask("COLHEADER", "BORDERSMASK", "colheader.bmp",
           Strip(Three([&](int s) {
                     Layer l(10, 20);
                     // Light's pressed face is nearly its hot one, so a pressed
                     // section takes the selection's pressed colour there.
                     const bool pressedSel = s == 2 && !p.Dark;
                     const std::uint32_t top = s == 1 ? p.Sel : pressedSel ? p.SelPressed : p.FaceTop[s == 2 ? 2 : 0];
                     const std::uint32_t bottom = pressedSel ? p.SelPressed : p.FaceBottom[s];
                     l.Fill(Box(0, 0, 10, 20), Vertical(top, bottom, 0, 20));
                     l.Fill(Box(9, 4, 10, 16), Solid(p.Line));
                     l.Fill(Box(0, 19, 10, 20), Solid(p.FaceBorder[0]));
                     return l;
                 }),
                 false, p.Bg),
           Nine(3, 3, true));
    for (const char* name : {"CHECKBOX", "RADIOBUTTON"}) {
        w.Section(name);
        w.Colors(p.Bg, p.Bg, p.Text, p.Text);
        w.Num("TRANSPARENCY", 100);
        w.Num("HOTTRANSPARENCY", 100);
        w.Num("SHOWFOCUS", 1);
        w.Num("FADING", 1);
        w.Num("FADINGITERATIONS", 5);
    }

    // Track bar and progress bar.
    w.Section("TRACKBAR");
    w.Colors(p.Bg, p.Bg, p.Text, p.Text);
    w.Num("TRANSPARENCY", 100);
    w.Num("HOTTRANSPARENCY", 100);
    w.Num("FADING", 1);
    w.Num("FADINGITERATIONS", 5);
    {
        MaskSpec channel = Nine(2, 3, true);
        channel.WT = channel.WB = 2;
        w.Mask("TRACKBAR", "SLIDERCHANNEL", "channel.bmp",
               Strip({Frame(p.ChannelBorder, p.Channel, 8, 6, 2.5), Frame(p.AccentDark, p.Accent, 8, 6, 2.5)}, false,
                     p.Bg),
               channel);
        auto thumb = [&](int s) {
            Layer l(11, 21);
            l.Fill(RoundBox(0.5, 0.5, 10.5, 20.5, 4), Solid(s == 2 ? p.AccentDark : p.Accent));
            l.Fill(RoundBox(1.5, 1.5, 9.5, 19.5, 3),
                   Vertical(s == 0 ? p.Accent : p.AccentHot, s == 2 ? p.AccentDark : p.Accent, 1, 19));
            l.Fill(Box(3, 2, 8, 3), Solid(0xFFFFFF), 0.35);
            return l;
        };
        std::vector<Layer> h = Three(thumb), v;
        for (const Layer& l : h) v.push_back(l.Transpose());
        w.Mask("TRACKBAR", "SLIDERMASK", "slider.bmp", Strip(h, true), Glyph(3));
        w.Mask("TRACKBAR", "SLIDERVMASK", "sliderv.bmp", Strip(v, true), Glyph(3));
        std::vector<Layer> th, tv;
        for (int s = 0; s < 3; ++s) {
            Layer l(1, 4);
            l.Fill(Box(0, 0, 1, 4), Solid(s == 2 ? p.Accent : p.Tick));
            th.push_back(l);
            tv.push_back(l.Transpose());
        }
        w.Mask("TRACKBAR", "TICKHORZ", "tickh.bmp", Strip(th, false, p.Bg), Nine(3, 0));
        w.Mask("TRACKBAR", "TICKVERT", "tickv.bmp", Strip(tv, false, p.Bg), Nine(3, 0));
    }
    w.Section("GAUGE");
    w.Colors(p.ProgressTrack, p.ProgressTrack, p.Text, p.Text);
    w.Mask("GAUGE", "BORDERSMASK", "gauge.bmp", Keyed(Frame(p.Line, p.ProgressTrack, 8, 8, 3), p.Bg), Nine(1, 3));
    for (int vertical = 0; vertical < 2; ++vertical) {
        const std::string name = vertical ? "PROGRESSV" : "PROGRESSH";
        w.Section(name);
        w.Colors(p.ProgressBottom, p.ProgressTop, p.AccentText, p.AccentText);
        w.Num("GRADIENTPERCENT", 100);
        w.Gradient("GRADIENT", p.ProgressTop, p.ProgressBottom, !vertical);
        w.Num("IMAGEPERCENT", 15);
        w.Mask(name, "PATTERN", vertical ? "stripesv.bmp" : "stripesh.bmp",
               Keyed(Stripes(12, 0xFFFFFF, p.ProgressBottom, !vertical), p.Bg), MaskSpec());
    }

    // Scroll bars: arrow buttons, thumbs and the two parts of the track.
    const char* arrows[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    const TacBmpImage arrowButton =
        Strip(Three([&](int s) {
                  Layer l(16, 16);
                  if (s > 0)
                      l.Fill(RoundBox(2, 2, 14, 14, 3), Solid(s == 1 ? Mix(p.Track, p.Thumb[0], 0.6) : p.Thumb[0]));
                  return l;
              }),
              false, p.Track);
    for (int d = 0; d < 4; ++d) {
        w.Section(arrows[d]);
        w.Colors(p.Track, p.TrackHot, p.Arrow[0], p.Arrow[1]);
        if (d == 2) w.Num("RESERVEDBOOLEAN", 0);
        MaskSpec maskKeys = Nine(3, 4, true);
        maskKeys.SkipNormal = true;
        w.Mask(arrows[d], "BORDERSMASK", "scrollbtn.bmp", arrowButton, maskKeys);
        const bool horizontal = d >= 2;
        w.Mask(
            arrows[d], "GLYPHMASK", std::string("arrow") + "udlr"[d] + ".bmp",
            Strip(Three([&](int s) { return Chevron(horizontal ? 6 : 9, horizontal ? 9 : 6, p.Arrow[s], d); }), true),
            Glyph(3));
    }
    {
        std::vector<Layer> h, v, gh, gv;
        for (int s = 0; s < 3; ++s) {
            Layer l(16, 16);
            l.Fill(RoundBox(1, 4, 15, 12, 4), Solid(p.Thumb[s]));
            h.push_back(l);
            v.push_back(l.Transpose());
            Layer g(5, 4);
            for (int x = 0; x < 5; x += 2)
                g.Fill(Box(x, 0, x + 1, 4), Solid(p.Dark ? 0xFFFFFF : 0x000000), s == 0 ? 0.18 : 0.28);
            gh.push_back(g);
            gv.push_back(g.Transpose());
        }
        MaskSpec sh = Nine(3, 5, true);
        w.Section("SCROLLSLIDERH");
        w.Colors(p.Track, p.TrackHot, p.Arrow[0], p.Arrow[1]);
        w.Mask("SCROLLSLIDERH", "BORDERSMASK", "sliderh.bmp", Strip(h, false, p.Track), sh);
        w.Mask("SCROLLSLIDERH", "GLYPHMASK", "griph.bmp", Strip(gh, true), Glyph(3));
        w.Section("SCROLLSLIDERV");
        w.Colors(p.Track, p.TrackHot, p.Arrow[0], p.Arrow[1]);
        w.Mask("SCROLLSLIDERV", "BORDERSMASK", "sliderv2.bmp", Strip(v, false, p.Track), sh);
        w.Mask("SCROLLSLIDERV", "GLYPHMASK", "gripv.bmp", Strip(gv, true), Glyph(3));
    }
    for (const char* name : {"SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V"}) {
        w.Section(name);
        w.Colors(p.Track, p.TrackHot, p.Arrow[0], p.Arrow[1]);
    }

    // Page control: the page frame for each tab position and the tabs.
    const TacBmpImage page = Keyed(Frame(p.TabBorder, p.Page, 12, 12, 3), p.Bg);
    for (const char* name : {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}) {
        w.Section(name);
        w.Colors(p.Page, p.Page, p.Text, p.Text);
        w.Mask(name, "BORDERSMASK", "page.bmp", page, Nine(1, 4));
    }
    {
        std::vector<Layer> top;
        for (int s = 0; s < 3; ++s) {
            Layer l(14, 22);
            l.Fill(RoundBox(0, 0, 14, 30, 4), Solid(p.TabBorder));
            l.Fill(RoundBox(1, 1, 13, 30, 3),
                   s == 2 ? Solid(p.Page) : Vertical(p.Tab[s], Mix(p.Tab[s], p.Bg, 0.5), 1, 22));
            if (s == 2) l.Fill(RoundBox(1, 1, 13, 6, 3), Solid(p.Accent)).Fill(Box(1, 3, 13, 6), Solid(p.Page));
            top.push_back(l);
        }
        std::vector<Layer> bottom, left, right;
        for (const Layer& l : top) {
            bottom.push_back(l.FlipV());
            left.push_back(l.Transpose());
            right.push_back(l.Transpose().FlipH());
        }
        struct Tab {
            const char* Name;
            const char* File;
            std::vector<Layer>* States;
            int WL, WT, WR, WB;
        } tabs[] = {{"TABTOP", "tabtop.bmp", &top, 5, 5, 5, 2},
                    {"TABBOTTOM", "tabbottom.bmp", &bottom, 5, 2, 5, 5},
                    {"TABLEFT", "tableft.bmp", &left, 5, 5, 2, 5},
                    {"TABRIGHT", "tabright.bmp", &right, 2, 5, 5, 5}};
        for (const Tab& t : tabs) {
            w.Section(t.Name);
            w.Colors(p.Tab[0], p.Tab[1], p.TextSoft, p.Text);
            MaskSpec maskKeys = Nine(3, 0, true);
            maskKeys.WL = t.WL;
            maskKeys.WT = t.WT;
            maskKeys.WR = t.WR;
            maskKeys.WB = t.WB;
            w.Mask(t.Name, "BORDERSMASK", t.File, Strip(*t.States, false, p.Bg), maskKeys);
        }
    }

    w.Out.Images.push_back({"glyphs.bmp", w.Master});
    return w.Out;
}

}  // namespace

SkinFiles BuildLightSkin() { return Build(kLight); }
SkinFiles BuildDarkSkin() { return Build(kDark); }

}  // namespace skingen
