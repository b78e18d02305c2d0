// The gallery as a user sees it: started as its own process on the same
// display, driven with real input (hover, press, release, Tab, a speed
// button's hover, drop-down menu and group, skin switch)
// and captured from the screen after each step, each picture compared with
// a reference kept in tests/e2e/reference.
//
// A missing reference is written and the test fails saying so, so that a
// person looks at it before it is kept. On a difference the actual picture is
// written and its path printed. Both go beside the test program: a run writes
// nothing outside its build folder, the source tree least of all.
#include <gtest/gtest.h>

#include "TestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

using testsupport::Picture;

namespace {

// Per channel, and how many pixels may be off by more than that.
constexpr int kTolerance = 8;
constexpr int kMaxDifferentPixels = 40;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1);
}

std::string Native(std::string p) {
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// The 32- and 64-bit programs render alike, so both share the references.
std::string ReferenceFolder() { return Native(ProgramFolder() + REFERENCE_RELATIVE_PATH); }

bool FileExists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

// References are kept as PNG (8-bit RGB, no interlace): a screen of flat
// colours compresses about fiftyfold, and any picture viewer opens them.
std::uint32_t BigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void PutBigEndian(std::string& out, std::uint32_t v) {
    for (int s : {24, 16, 8, 0}) out += char((v >> s) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

bool SavePng(const Picture& pic, const std::string& path) {
    // Each row: filter byte 1 (difference to the pixel on the left), then RGB.
    std::string raw;
    raw.reserve(std::size_t(pic.Width * 3 + 1) * pic.Height);
    for (int y = 0; y < pic.Height; ++y) {
        raw += char(1);
        std::uint8_t prev[3] = {0, 0, 0};
        for (int x = 0; x < pic.Width; ++x) {
            const std::uint8_t* bgr = &pic.Bits[std::size_t(y) * pic.Stride() + std::size_t(x) * 3];
            const std::uint8_t rgb[3] = {bgr[2], bgr[1], bgr[0]};
            for (int c = 0; c < 3; ++c) {
                raw += char(std::uint8_t(rgb[c] - prev[c]));
                prev[c] = rgb[c];
            }
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), 9) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(pic.Width));
    PutBigEndian(header, static_cast<std::uint32_t>(pic.Height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filters, no interlace
    std::string file = "\x89PNG\r\n\x1a\n";
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", "");
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Reads what SavePng writes, and any other 8-bit RGB PNG without interlace.
bool LoadPng(const std::string& path, Picture& pic) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<std::uint8_t> file;
    std::uint8_t buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) file.insert(file.end(), buf, buf + n);
    std::fclose(f);
    if (file.size() < 8 || std::memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return false;
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t len = BigEndian(&file[at]);
        if (len > file.size() - at - 12) return false;
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* data = &file[at + 8];
        if (type == "IHDR") {
            if (len != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
            width = BigEndian(data);
            height = BigEndian(data + 4);
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + len);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + len;
    }
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return false;
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::vector<std::uint8_t> raw((rowBytes + 1) * height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        rawSize != raw.size())
        return false;
    pic.Width = static_cast<int>(width);
    pic.Height = static_cast<int>(height);
    pic.Bits.assign(std::size_t(pic.Stride()) * height, 0);
    std::vector<std::uint8_t> prev(rowBytes, 0), row(rowBytes);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = &raw[y * (rowBytes + 1)];
        const int filter = in[0];
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
            int add = 0;
            switch (filter) {
                case 0: break;
                case 1: add = a; break;
                case 2: add = b; break;
                case 3: add = (a + b) / 2; break;
                case 4: add = Paeth(a, b, c); break;
                default: return false;
            }
            row[i] = std::uint8_t(in[1 + i] + add);
        }
        std::uint8_t* out = &pic.Bits[std::size_t(y) * pic.Stride()];
        for (std::uint32_t x = 0; x < width; ++x) {
            out[x * 3] = row[x * 3 + 2];
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
        prev.swap(row);
    }
    return true;
}

// Pixels that differ within Area (the whole pictures when it is empty).
int CountDifferences(const Picture& a, const Picture& b, RECT Area = RECT{}) {
    if (IsRectEmpty(&Area)) Area = RECT{0, 0, a.Width, a.Height};
    int n = 0;
    for (int y = std::max(0, int(Area.top)); y < std::min(a.Height, int(Area.bottom)); ++y)
        for (int x = std::max(0, int(Area.left)); x < std::min(a.Width, int(Area.right)); ++x) {
            const std::uint32_t p = a.Pixel(x, y), q = b.Pixel(x, y);
            for (int s : {0, 8, 16})
                if (std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF)) > kTolerance) {
                    ++n;
                    break;
                }
        }
    return n;
}

constexpr const char* kStartFolder = "C:\\gallery-files";

// The gallery process, closed whatever happens to the test.
class Gallery {
public:
    ~Gallery() { Quit(); }
    bool Start(const std::string& args, const char* Title = "Skin gallery") {
        // The open-file dialog lists the folder the gallery starts in: one the
        // test fills, so that its picture does not follow the build folder.
        CreateDirectoryA(kStartFolder, nullptr);
        CreateDirectoryA((std::string(kStartFolder) + "\\Pictures").c_str(), nullptr);
        if (FILE* f = std::fopen((std::string(kStartFolder) + "\\Notes.txt").c_str(), "wb")) std::fclose(f);
        const std::string exe = Native(ProgramFolder() + GALLERY_RELATIVE_PATH);
        std::string cmd = "\"" + exe + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, kStartFolder, &si, &Info)) {
            ADD_FAILURE() << "cannot start " << exe << " (error " << GetLastError() << ")";
            return false;
        }
        Started = true;
        const DWORD end = GetTickCount() + 20000;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            Window = FindWindowA(nullptr, Title);
            if (Window && IsWindowVisible(Window)) return true;
            Sleep(50);
        }
        ADD_FAILURE() << "the gallery window did not appear";
        return false;
    }
    void Quit() {
        if (!Started) return;
        Started = false;
        if (Window && IsWindow(Window)) PostMessageA(Window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(Info.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(Info.hProcess, 1);
            WaitForSingleObject(Info.hProcess, 5000);
        }
        CloseHandle(Info.hThread);
        CloseHandle(Info.hProcess);
    }
    HWND Window = nullptr;

private:
    PROCESS_INFORMATION Info{};
    bool Started = false;
};

class GalleryE2E : public ::testing::Test {
protected:
    void SetUp() override {
        Away();
        ASSERT_TRUE(App.Start(""));
        SetForegroundWindow(App.Window);
        Settle(1200);
        Previous = Capture();
    }

    // Screen point of a client point of the gallery.
    POINT At(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(App.Window, &p);
        return p;
    }
    static void MoveTo(POINT p) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = static_cast<LONG>(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        in.mi.dy = static_cast<LONG>(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
    }
    static void Button(bool down) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &in, sizeof in);
    }
    static void Key(WORD vk) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
    }
    // Far from the gallery, so that nothing is hot.
    static void Away() { MoveTo(POINT{1200, 1000}); }
    // Lets fades (tens of milliseconds) and repaints end.
    static void Settle(int ms = 600) { Sleep(ms); }
    void Click(POINT p) {
        MoveTo(p);
        Settle(300);
        Button(true);
        Settle(200);
        Button(false);
        Settle(300);
    }

    // The window's part on the screen: a maximized window's frame lies
    // beyond the screen's edges, and a capture cannot reach past them.
    RECT Captured() const {
        RECT r{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        GetWindowRect(App.Window, &r);
        IntersectRect(&r, &r, &screen);
        return r;
    }
    Picture Capture() const {
        const RECT r = Captured();
        HDC screen = GetDC(nullptr);
        Picture p = testsupport::CaptureDC(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
        ReleaseDC(nullptr, screen);
        return p;
    }

    // A place of the capture given in the gallery's client coordinates.
    RECT Client(int Left, int Top, int Right, int Bottom) const {
        const POINT a = At(Left, Top), b = At(Right, Bottom);
        return Screen(RECT{a.x, a.y, b.x, b.y});
    }
    RECT Screen(RECT r) const {
        const RECT w = Captured();
        OffsetRect(&r, -w.left, -w.top);
        return r;
    }
    static RECT ScreenRectOf(HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        return r;
    }
    // The whole capture: a step that changes everything.
    static constexpr RECT kWhole{0, 0, 16384, 16384};

    // Each step names the place its action changed: the capture must differ
    // there from the one before, so that a step whose state never came (a
    // menu that did not open, a skin not switched) fails even when its
    // reference was taken of the same stale screen.
    void Check(const std::string& name, RECT Changed) {
        const Picture actual = Capture();
        ASSERT_FALSE(actual.Empty()) << name;
        if (!IsRectEmpty(&Changed) && actual.Width == Previous.Width && actual.Height == Previous.Height) {
            EXPECT_GT(CountDifferences(Previous, actual, Changed), 20)
                << "step '" << name << "' shows no change at (" << Changed.left << ", " << Changed.top << ")-("
                << Changed.right << ", " << Changed.bottom << ") of the capture";
        }
        Previous = actual;
        const std::string folder = ReferenceFolder();
        const std::string ref = folder + "\\" + name + ".png";
        Picture expected;
        if (!FileExists(ref)) {
            const std::string written = SaveAside(actual, name + ".png");
            ADD_FAILURE() << "no reference picture for step '" << name << "': wrote " << written
                          << "; look at it and copy it into tests/e2e/reference if it is right";
            return;
        }
        ASSERT_TRUE(LoadPng(ref, expected)) << "unreadable reference " << ref;
        int diff = -1;
        if (expected.Width == actual.Width && expected.Height == actual.Height)
            diff = CountDifferences(expected, actual);
        if (diff >= 0 && diff <= kMaxDifferentPixels) return;
        const std::string written = SaveAside(actual, name + ".actual.png");
        ADD_FAILURE() << "step '" << name << "' differs from " << ref << " ("
                      << (diff < 0 ? std::string("size ") + std::to_string(actual.Width) + "x" +
                                         std::to_string(actual.Height) + " instead of " +
                                         std::to_string(expected.Width) + "x" + std::to_string(expected.Height)
                                   : std::to_string(diff) + " pixels)")
                      << "; actual picture: " << written;
    }
    static std::string SaveAside(const Picture& p, const std::string& file) {
        const std::string path = ProgramFolder() + file;
        return SavePng(p, path) ? path : std::string("(could not be written)");
    }

    void DropDown(const std::string& Name);
    void SwitchSkin();

    Gallery App;
    Picture Previous;
};

// The gallery's popup menu, when one is shown.
HWND VisibleMenu() {
    HWND m = FindWindowA("#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
}

bool WaitFor(bool want, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        if ((VisibleMenu() != nullptr) == want) return true;
        Sleep(20);
    }
    return (VisibleMenu() != nullptr) == want;
}

// Client points of the gallery's controls. The toolbar panel is at (16, 190)
// and its speed buttons start 5 pixels in: "Left" 70 wide, the drop-down
// "Menu" at 285 with its 16-pixel arrow part at the right end, the group
// "One", "Two", "Three" at 395, 455 and 515, each 56 wide, all 40 high.
constexpr int kToolbarY = 190 + 5 + 20;
constexpr POINT kSpeedLeft{16 + 5 + 35, kToolbarY};
constexpr POINT kDropArrow{16 + 285 + 60 + 8, kToolbarY};
constexpr POINT kGroupOne{16 + 395 + 28, kToolbarY};
constexpr POINT kGroupThree{16 + 515 + 28, kToolbarY};
// The skin switch at client (660, 10), 110 x 28.
constexpr POINT kSwitch{715, 24};

// A click on the skin switch, the new skin's repaint ended.
void GalleryE2E::SwitchSkin() {
    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
}

// The drop-down menu of the "Menu" speed button, opened by a click on its
// arrow part and captured open; Escape closes it. The menu runs its own loop
// in the gallery, so a menu left open is closed here whatever happens, never
// waited on.
void GalleryE2E::DropDown(const std::string& Name) {
    // The hot glow ends before the press: the look the open menu leaves on
    // the button would otherwise depend on how far it had come.
    MoveTo(At(kDropArrow.x, kDropArrow.y));
    Settle(1000);
    Button(true);
    Settle(200);
    Button(false);
    ASSERT_TRUE(WaitFor(true, 3000)) << "a click on the arrow part opened no menu";
    // The pointer stays on the arrow part, off the menu: the main part keeps
    // its hot look rather than fading out at a moment the menu's loop decides.
    Settle(1000);
    Check(Name, Screen(ScreenRectOf(VisibleMenu())));
    Key(VK_ESCAPE);
    if (!WaitFor(false, 3000)) {
        if (HWND m = VisibleMenu()) PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(App.Window, WM_CANCELMODE, 0, 0);
        ASSERT_TRUE(WaitFor(false, 3000)) << "the drop-down menu did not close";
        ADD_FAILURE() << "Escape did not close the drop-down menu";
    }
    Away();
    Settle(1000);
}

TEST_F(GalleryE2E, DrivenThroughHoverPressTabAndSkinSwitch) {
    Check("01-start", RECT{});

    // The "Normal" button at client (16, 48), 100 x 30.
    const RECT buttons = Client(16, 48, 650, 130), toolbar = Client(16, 190, 760, 240);
    const POINT normal = At(66, 63);
    MoveTo(normal);
    Settle();
    Check("02-hover", buttons);

    Button(true);
    Settle();
    Check("03-pressed", buttons);

    Button(false);
    Settle();
    Check("04-released", buttons);

    Away();
    Settle();
    Key(VK_TAB);
    Settle();
    Check("05-tab", buttons);

    // A speed button glows while hot; the glow has ended when captured.
    MoveTo(At(kSpeedLeft.x, kSpeedLeft.y));
    Settle(1000);
    Check("06-speed-hover", toolbar);

    Away();
    Settle();
    DropDown("07-speed-menu-open");

    // The group keeps one button down: "Three" goes down, "Two" up.
    Click(At(kGroupThree.x, kGroupThree.y));
    Away();
    Settle(1000);
    Check("08-group-three", toolbar);

    SwitchSkin();
    Check("09-dark", kWhole);

    MoveTo(At(kSpeedLeft.x, kSpeedLeft.y));
    Settle(1000);
    Check("10-dark-speed-hover", toolbar);

    Away();
    Settle();
    DropDown("11-dark-speed-menu-open");

    Click(At(kGroupOne.x, kGroupOne.y));
    Away();
    Settle(1000);
    Check("12-dark-group-one", toolbar);

    SwitchSkin();
    Check("13-light-again", kWhole);
}

// The system list box of the gallery is skinned by handle: a click on its
// skinned bottom arrow scrolls one line, a thumb dragged past the end shows
// the last lines, both by real input.
TEST_F(GalleryE2E, SkinnedScrollBarOfASystemListBoxScrolls) {
    HWND list = FindWindowExA(App.Window, nullptr, "ListBox", nullptr);
    ASSERT_NE(list, nullptr);
    RECT r{};
    GetWindowRect(list, &r);
    RECT client{};
    GetClientRect(list, &client);
    const int edge = 2;  // WS_EX_CLIENTEDGE
    const int barX = r.right - edge - GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int barTop = r.top + edge, barBottom = r.bottom - edge - GetSystemMetrics(SM_CYHSCROLL);
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    ASSERT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    Click(POINT{barX, barBottom - arrow / 2});
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);

    MoveTo(POINT{barX, barTop + arrow + 4});
    Settle(300);
    Button(true);
    Settle(200);
    for (int y = barTop + arrow + 20; y < r.bottom + 40; y += 20) {
        MoveTo(POINT{barX, y});
        Settle(50);
    }
    Button(false);
    Away();
    Settle(600);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    const LRESULT visible = client.bottom / SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), count - visible);
    Check("14-list-scrolled", Screen(r));
}

// The system combo box, list view and tree view of the gallery are skinned
// by handle: a click on the combo's button opens its skinned list, a second
// one closes it (Escape would reach the form's Cancel button first), and the
// list view's skinned thumb dragged down scrolls it.
TEST_F(GalleryE2E, SkinnedComboOpensAndListViewScrolls) {
    HWND combo = FindWindowExA(App.Window, nullptr, "ComboBox", nullptr);
    HWND view = FindWindowExA(App.Window, nullptr, "SysListView32", nullptr);
    ASSERT_TRUE(combo && view);
    RECT r{};
    GetWindowRect(combo, &r);
    const POINT button{r.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2, (r.top + r.bottom) / 2};
    Click(button);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the click opened no list";
    Settle();
    Check("15-combo-open", Screen(RECT{r.left, r.bottom, r.right, r.bottom + 60}));
    Click(button);
    Settle();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));

    GetWindowRect(view, &r);
    const int edge = 2;  // WS_EX_CLIENTEDGE
    const int barX = r.right - edge - GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int thumbY = r.top + edge + GetSystemMetrics(SM_CYVSCROLL) + 4;
    ASSERT_EQ(SendMessageA(view, LVM_GETTOPINDEX, 0, 0), 0);
    MoveTo(POINT{barX, thumbY});
    Settle(300);
    Button(true);
    Settle(200);
    for (int dy = 10; dy <= 40; dy += 10) {
        MoveTo(POINT{barX, thumbY + dy});
        Settle(50);
    }
    Button(false);
    Away();
    Settle(600);
    const LRESULT top = SendMessageA(view, LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(top, 5);
    Check("16-listview-scrolled", Screen(r));
}

// The skinned edit takes real typing, and the skinned rich edit scrolls by a
// click on its skinned bottom arrow.
TEST_F(GalleryE2E, SkinnedEditTakesTypingAndRichEditScrolls) {
    HWND edit = FindWindowExA(App.Window, nullptr, "TsEdit", nullptr);
    HWND rich = FindWindowExA(App.Window, nullptr, "TsRichEdit", nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(rich, nullptr);
    RECT r{};
    GetWindowRect(edit, &r);
    Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    for (WORD vk : {'O', 'S', 'L', 'O'}) Key(vk);
    Settle(300);
    char text[32] = {};
    // Another process's edit: its text by message, not its window caption.
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "oslo");

    GetWindowRect(rich, &r);
    const int edge = 2;  // WS_EX_CLIENTEDGE
    Click(POINT{r.right - edge - GetSystemMetrics(SM_CXVSCROLL) / 2,
                r.bottom - edge - GetSystemMetrics(SM_CYVSCROLL) / 2});
    Away();
    Settle(600);
    EXPECT_GT(SendMessageA(rich, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    Check("17-edit-typed", Screen(ScreenRectOf(edit)));
}

}  // namespace

// The row of range controls at client y 682: the track bar (16, 682), its
// thumb at position 2 near (63, 694); the up-down arrows at (222, 686),
// 17 x 36; the splitter at x 540 of the panels' host (420, 682), 6 wide.
TEST_F(GalleryE2E, RangeRowDrivenWithTheMouse) {
    auto drag = [this](POINT from, POINT to) {
        MoveTo(from);
        Settle(300);
        Button(true);
        Settle(200);
        MoveTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
        Settle(100);
        MoveTo(to);
        Settle(200);
        Button(false);
        Settle(300);
    };
    // The thumb dragged right: the gauges follow it.
    drag(At(63, 694), At(180, 694));
    Away();
    Settle();
    Check("18-range-thumb-dragged", Client(16, 682, 210, 730));

    // The upper arrow steps the bar once more.
    Click(At(230, 694));
    Away();
    Settle();
    Check("19-range-arrow-up", Client(16, 682, 410, 760));

    drag(At(543, 707), At(603, 707));
    Away();
    Settle();
    Check("20-range-split", Client(420, 682, 760, 760));

    SwitchSkin();
    Check("21-range-dark", kWhole);
}
namespace {

// The form's background at client (500, 110): a right click there opens the
// gallery's popup menu. "File" on the menu line just above the client area.
constexpr POINT kBackground{500, 110};
constexpr POINT kFileMenu{20, -9};

void RightClick() {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof in[0]);
}

// A point of the window's title band where its hit test answers Code,
// searched from the right as the title buttons stand there; (-1, -1) if none.
POINT FindHit(HWND Window, LRESULT Code, bool FromLeft = false) {
    RECT r{};
    GetWindowRect(Window, &r);
    for (int y = r.top + 2; y < r.top + GetSystemMetrics(SM_CYCAPTION) + 8; ++y)
        for (int i = 2; i < 200; ++i) {
            const int x = FromLeft ? r.left + i : r.right - i;
            if (SendMessageA(Window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == Code)
                return POINT{FromLeft ? x + 3 : x - 3, y + 3};
        }
    return POINT{-1, -1};
}

// Per skin: the form's popup menu, the "Edit" drop-down of its menu line and
// the window menu opened from the title icon, which lists the skins.
TEST_F(GalleryE2E, MenusOpenedByRealInput) {
    int n = 22;
    auto step = [&](const std::string& skin, const char* name) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d-", n++);
        return number + skin + name;
    };
    // Each Escape closes one level; one more would reach the form's Cancel
    // button (the window menu leaves no menu line active behind it).
    auto close = [this](int escapes) {
        for (int i = 0; i < escapes; ++i) Key(VK_ESCAPE);
        if (!WaitFor(false, 3000)) {
            PostMessageA(App.Window, WM_CANCELMODE, 0, 0);
            ASSERT_TRUE(WaitFor(false, 3000)) << "the menu did not close";
        }
        Away();
        Settle();
    };
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            SwitchSkin();
            Previous = Capture();
        }
        MoveTo(At(kBackground.x, kBackground.y));
        Settle(300);
        RightClick();
        EXPECT_TRUE(WaitFor(true, 3000)) << "a right click on the background opened no menu";
        // The cursor, off the menu, selects nothing of it: the keys alone do.
        Away();
        Settle(300);
        Key(VK_DOWN);
        Key(VK_DOWN);
        Settle();
        Check(step(skin, "menu-popup"), Screen(ScreenRectOf(VisibleMenu())));
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitFor(false, 3000)) << "Escape did not close the popup menu";

        // "File" opens its drop-down; Right moves to "Edit", which holds every kind of item.
        Click(At(kFileMenu.x, kFileMenu.y));
        EXPECT_TRUE(WaitFor(true, 3000)) << "a click on the menu line opened no menu";
        Away();
        Settle(300);
        Key(VK_RIGHT);
        Settle();
        Check(step(skin, "menu-main-edit"), Screen(ScreenRectOf(VisibleMenu())));
        close(2);

        const POINT icon = FindHit(App.Window, HTSYSMENU, true);
        ASSERT_GE(icon.x, 0) << "no window menu icon on the title bar";
        Click(icon);
        EXPECT_TRUE(WaitFor(true, 3000)) << "a click on the title icon opened no menu";
        Away();
        Settle(300);
        // Its first item, "Available skins", opened on the skin list.
        Key(VK_DOWN);
        Key(VK_RIGHT);
        Settle();
        Check(step(skin, "system-menu"), Screen(ScreenRectOf(VisibleMenu())));
        close(2);
    }
}

}  // namespace

namespace {

struct ChildSearch {
    const char* Class;
    const char* Text;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    char cls[64] = {}, text[128] = {};
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, text, sizeof text);
    if (std::strcmp(cls, s->Class) != 0 || (s->Text && std::strcmp(text, s->Text) != 0)) return TRUE;
    s->Found = h;
    return FALSE;
}

// A window of the gallery found by class and caption at any depth, so that
// the step finds its controls wherever the gallery's rows are arranged.
HWND FindGalleryChild(HWND Root, const char* Class, const char* Text) {
    ChildSearch s{Class, Text, nullptr};
    EnumChildWindows(Root, MatchChild, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

}  // namespace

TEST_F(GalleryE2E, CheckBoxesRadioButtonsAndGroupsTakeClicksAndSpace) {
    HWND box = FindGalleryChild(App.Window, "TsCheckBox", "Unchecked");
    HWND radio = FindGalleryChild(App.Window, "TsRadioButton", "Radio two");
    HWND item = FindGalleryChild(App.Window, "TsGroupButton", "Third");
    ASSERT_TRUE(box && radio && item) << "the row of check boxes is missing";
    RECT r{};
    GetWindowRect(box, &r);
    // The glyph stands at the left of the caption.
    auto glyph = [&] {
        HDC screen = GetDC(nullptr);
        Picture p = testsupport::CaptureDC(screen, r.left, r.top, 18, r.bottom - r.top);
        ReleaseDC(nullptr, screen);
        return p;
    };
    const Picture unchecked = glyph();
    const POINT boxAt{r.left + 8, (r.top + r.bottom) / 2};
    Click(boxAt);
    Away();
    Settle();
    const Picture checked = glyph();
    EXPECT_GT(CountDifferences(unchecked, checked), 10) << "a click did not check the box";
    Check("28-check-clicked", Screen(r));
    // The space key on the focused box unchecks it again; once the focus has
    // gone on, it looks as it did at the start.
    Key(VK_SPACE);
    Settle();
    Key(VK_TAB);
    Settle();
    EXPECT_EQ(CountDifferences(unchecked, glyph()), 0) << "space did not uncheck the box";

    for (HWND h : {radio, item}) {
        GetWindowRect(h, &r);
        Click(POINT{r.left + 8, (r.top + r.bottom) / 2});
    }
    Away();
    Settle(1000);
    Check("29-radio-chosen", Screen(ScreenRectOf(radio)));

    SwitchSkin();
    Check("30-checks-dark", kWhole);
    SwitchSkin();
}

// The row of list controls: the fruit combo opened with the mouse and its
// fourth fruit clicked in the open list.
TEST_F(GalleryE2E, ListRowComboOpenedAndAnItemClicked) {
    HWND combo = FindGalleryChild(App.Window, "TsComboBox", nullptr);
    ASSERT_TRUE(combo) << "the row of list controls is missing";
    RECT r{};
    GetWindowRect(combo, &r);
    Click(POINT{r.right - 8, (r.top + r.bottom) / 2});
    Settle(400);
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the click did not open the list";
    Check("31-list-combo-open", Screen(RECT{r.left, r.bottom, r.right, r.bottom + 60}));
    // The open list is the top-most list window of a combo (the gallery is
    // another process, so GetComboBoxInfo cannot reach it).
    HWND open = FindWindowA("ComboLBox", nullptr);
    ASSERT_TRUE(open && IsWindowVisible(open));
    RECT first{};
    GetClientRect(open, &first);
    MapWindowPoints(open, nullptr, reinterpret_cast<POINT*>(&first), 2);
    const int h = static_cast<int>(SendMessageA(open, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageA(open, LB_GETTOPINDEX, 0, 0));
    Click(POINT{first.left + 20, first.top + (3 - top) * h + h / 2});
    Away();
    Settle(600);
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3);
    Check("32-list-combo-chosen", Screen(r));

    // The list view's "Fruit" column header hot under the cursor, then
    // pressed. Then the same on Dark, with the combo's list open there too.
    HWND view = FindGalleryChild(App.Window, "TsListView", nullptr);
    ASSERT_TRUE(view);
    RECT v{};
    GetWindowRect(view, &v);
    const POINT fruit{v.left + 25, v.top + 10};
    const RECT header = Screen(RECT{v.left, v.top, v.right, v.top + 20});
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            SwitchSkin();
            Previous = Capture();
            Click(POINT{r.right - 8, (r.top + r.bottom) / 2});
            Settle(400);
            ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the click did not open the list";
            Check("35-dark-list-combo-open", Screen(RECT{r.left, r.bottom, r.right, r.bottom + 60}));
            Click(POINT{r.right - 8, (r.top + r.bottom) / 2});
            Away();
            Settle(600);
            EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
            Previous = Capture();
        }
        MoveTo(fruit);
        Settle();
        Check(skin.empty() ? "33-header-hot" : "36-dark-header-hot", header);
        Button(true);
        Settle();
        Check(skin.empty() ? "34-header-pressed" : "37-dark-header-pressed", header);
        Button(false);
        Away();
        Settle();
    }
}
// The page control at client (790, 730): its tabs "Buttons", "Gauges" and
// "Closable" from x 794 on, 20 high; the close cross near the right end of the
// "Closable" tab. Each state on both skins: "Gauges" shown by a click (which
// gives the page control the focus), the control narrowed until its tabs no
// longer fit, and the same after a click on the cross closed the last page.
TEST_F(GalleryE2E, PagesSwitchedAndClosedByClicks) {
    HWND pages = FindWindowExA(App.Window, nullptr, "TsPageControl", nullptr);
    ASSERT_NE(pages, nullptr);
    const POINT gauges = At(790 + 85, 730 + 11), cross = At(790 + 181, 730 + 11);
    const RECT whole = Client(790, 730, 1226, 880), tabRow = Client(790, 726, 1226, 754);
    auto showGauges = [&] {
        Click(gauges);
        Away();
        Settle();
        EXPECT_EQ(SendMessageA(pages, TCM_GETCURSEL, 0, 0), 1);
    };
    // Narrowed as a form's anchored page control is: the scroll arrows shown
    // at the tab row's right end, the visible one of the page control's up-downs.
    auto narrow = [&](int width) {
        SetWindowPos(pages, nullptr, 0, 0, width, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle();
        HWND h = nullptr;
        while ((h = FindWindowExA(pages, h, "TsUpDown", nullptr)) != nullptr && !IsWindowVisible(h)) {
        }
        return h;
    };
    auto narrowed = [&](const std::string& Name) {
        EXPECT_TRUE(narrow(110)) << "no scroll arrows on the narrowed page control: " << Name;
        Check(Name, tabRow);
        narrow(436);
    };
    const struct {
        const char *Gauges, *Arrows;
    } open[] = {{"38-pages-gauges", "39-pages-tab-arrows"}, {"40-dark-pages-gauges", "41-dark-pages-tab-arrows"}};
    for (const auto& step : open) {
        if (&step != &open[0]) SwitchSkin();
        showGauges();
        Check(step.Gauges, whole);
        narrowed(step.Arrows);
    }
    Click(cross);
    EXPECT_EQ(SendMessageA(pages, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(pages, TCM_GETCURSEL, 0, 0), 1) << "closing another page keeps the one shown";
    showGauges();
    Check("42-dark-pages-closed", whole);
    narrowed("43-dark-pages-closed-arrows");
    SwitchSkin();
    showGauges();
    Check("44-pages-closed", whole);
    narrowed("45-pages-closed-arrows");
}
namespace {

// The gallery's message box, when one is shown.
// Any dialog of the gallery, when one is shown (the test's display is its own).
HWND VisibleDialog() {
    HWND d = FindWindowA("#32770", nullptr);
    return d && IsWindowVisible(d) ? d : nullptr;
}

bool WaitForDialog(bool want, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0 && (VisibleDialog() != nullptr) != want) Sleep(20);
    return (VisibleDialog() != nullptr) == want;
}

// The buttons of the dialog row at client (790, 900), 138 x 28, 146 apart:
// "Message box...", "Open a file..." and "Choose a colour...".
constexpr int kDialogButtonY = 900 + 14;
constexpr int kDialogButtonX[] = {790 + 69, 790 + 146 + 69, 790 + 292 + 69};

}  // namespace

// The message box, the open-file dialog and the colour dialog, opened from
// the gallery's buttons on each skin and closed with Escape (Cancel).
TEST_F(GalleryE2E, SystemDialogsOpenedFromTheGalleryAreSkinnedOnBothSkins) {
    int n = 46;
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            SwitchSkin();
        }
        for (int i = 0; i < 3; ++i) {
            Previous = Capture();
            Click(At(kDialogButtonX[i], kDialogButtonY));
            ASSERT_TRUE(WaitForDialog(true, 10000)) << "button " << i << " opened no dialog";
            Away();
            Settle(1000);
            char name[64];
            std::snprintf(name, sizeof name, "%02d-%s%s", n++, skin.c_str(),
                          i == 0   ? "message-box"
                          : i == 1 ? "open-file"
                                   : "colour");
            Check(name, Screen(ScreenRectOf(VisibleDialog())));
            Key(VK_ESCAPE);
            ASSERT_TRUE(WaitForDialog(false, 3000)) << "Escape did not close " << name;
            Settle();
        }
    }
}

// The gallery's skinned frame by real input: its caption drag moves it, its
// painted maximize button maximizes it and, drawn as restore, restores it.
// The title buttons are found by asking the window's hit test along its band.
TEST_F(GalleryE2E, SkinnedFrameMovedMaximizedAndRestored) {
    auto window = [this] {
        RECT r{};
        GetWindowRect(App.Window, &r);
        return r;
    };
    auto find = [this](LRESULT code) { return FindHit(App.Window, code); };
    const RECT before = window();
    const POINT grab{before.left + 300, before.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    ASSERT_EQ(SendMessageA(App.Window, WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), HTCAPTION);
    MoveTo(grab);
    Settle(300);
    Button(true);
    Settle(200);
    MoveTo(POINT{grab.x + 20, grab.y + 10});
    Settle(100);
    // Moved so that the whole window stays on the screen for its picture.
    MoveTo(POINT{grab.x - 15, grab.y + 10});
    Settle(200);
    Button(false);
    Settle(400);
    const RECT moved = window();
    EXPECT_EQ(moved.left - before.left, -15);
    EXPECT_EQ(moved.top - before.top, 10);

    // Maximized on each skin; restored, it takes its place and size back.
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            SwitchSkin();
        }
        const POINT max = find(HTMAXBUTTON);
        ASSERT_GE(max.x, 0) << "no maximize button on the title bar";
        Click(max);
        Away();
        Settle();
        EXPECT_TRUE(IsZoomed(App.Window));
        Check(skin.empty() ? "52-frame-maximized" : "53-dark-frame-maximized", kWhole);
        const POINT restore = find(HTMAXBUTTON);
        ASSERT_GE(restore.x, 0);
        Click(restore);
        Away();
        Settle();
        EXPECT_FALSE(IsZoomed(App.Window));
        const RECT back = window();
        EXPECT_EQ(back.left, moved.left);
        EXPECT_EQ(back.right - back.left, before.right - before.left);
        Previous = Capture();
    }
}

// The gallery's MDI example, started on each skin: the frame's skinned menu
// line shows the maximized document's icon, its menu merged between the
// frame's File and Window, and its buttons; the other document lies under it.
class GalleryMDIE2E : public GalleryE2E {
protected:
    void SetUp() override { Away(); }
};

TEST_F(GalleryMDIE2E, FrameWithAMaximizedDocumentAndMergedMenusOnBothSkins) {
    for (const std::string skin : {"Light", "Dark"}) {
        App.Quit();
        ASSERT_TRUE(App.Start("--mdi --skin " + skin, "Skin gallery MDI"));
        SetForegroundWindow(App.Window);
        Settle(1200);
        Check(skin == "Light" ? "mdi-01-frame" : "mdi-02-dark-frame", RECT{});
    }
}
