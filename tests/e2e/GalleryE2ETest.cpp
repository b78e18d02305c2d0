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

int CountDifferences(const Picture& a, const Picture& b) {
    int n = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            const std::uint32_t p = a.Pixel(x, y), q = b.Pixel(x, y);
            for (int s : {0, 8, 16})
                if (std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF)) > kTolerance) {
                    ++n;
                    break;
                }
        }
    return n;
}

// The gallery process, closed whatever happens to the test.
class Gallery {
public:
    ~Gallery() { Quit(); }
    bool Start(const std::string& args, const char* Title = "Skin gallery") {
        const std::string exe = Native(ProgramFolder() + GALLERY_RELATIVE_PATH);
        std::string cmd = "\"" + exe + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &Info)) {
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

    Picture Capture() const {
        RECT r{};
        GetWindowRect(App.Window, &r);
        HDC screen = GetDC(nullptr);
        Picture p = testsupport::CaptureDC(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
        ReleaseDC(nullptr, screen);
        return p;
    }

    void Check(const std::string& name) {
        const Picture actual = Capture();
        ASSERT_FALSE(actual.Empty()) << name;
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

    Gallery App;
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

TEST_F(GalleryE2E, DrivenThroughHoverPressTabAndSkinSwitch) {
    Check("01-start");

    // The "Normal" button at client (16, 48), 100 x 30.
    const POINT normal = At(66, 63);
    MoveTo(normal);
    Settle();
    Check("02-hover");

    Button(true);
    Settle();
    Check("03-pressed");

    Button(false);
    Settle();
    Check("04-released");

    Away();
    Settle();
    Key(VK_TAB);
    Settle();
    Check("05-tab");

    // A speed button glows while hot; the glow has ended when captured.
    MoveTo(At(kSpeedLeft.x, kSpeedLeft.y));
    Settle(1000);
    Check("06-speed-hover");

    // The arrow part opens the drop-down menu; Escape closes it. The menu
    // runs its own loop in the gallery, so a menu left open is closed here
    // whatever happens, never waited on.
    Away();
    Settle();
    Click(At(kDropArrow.x, kDropArrow.y));
    const bool opened = WaitFor(true, 3000);
    EXPECT_TRUE(opened) << "a click on the arrow part opened no menu";
    Key(VK_ESCAPE);
    if (!WaitFor(false, 3000)) {
        if (HWND m = VisibleMenu()) PostMessageA(m, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(App.Window, WM_CANCELMODE, 0, 0);
        ASSERT_TRUE(WaitFor(false, 3000)) << "the drop-down menu did not close";
        ADD_FAILURE() << "Escape did not close the drop-down menu";
    }
    Away();
    Settle(1000);
    Check("07-menu-closed");

    // The group keeps one button down: "Three" goes down, "Two" up.
    Click(At(kGroupThree.x, kGroupThree.y));
    Away();
    Settle(1000);
    Check("08-group-three");

    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
    Check("09-dark");

    MoveTo(At(kSpeedLeft.x, kSpeedLeft.y));
    Settle(1000);
    Check("10-dark-speed-hover");

    Click(At(kGroupOne.x, kGroupOne.y));
    Away();
    Settle(1000);
    Check("11-dark-group-one");

    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
    Check("12-light-again");
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
    Check("scroll-01-list");
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
    Check("17-combo-open");
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
    Check("18-listview-scrolled");
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
    Check("14-edit-typed");
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
    Check("range-01-thumb-dragged");

    // The upper arrow steps the bar once more.
    Click(At(230, 694));
    Away();
    Settle();
    Check("range-02-arrow-up");

    drag(At(543, 707), At(603, 707));
    Away();
    Settle();
    Check("range-03-split");

    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
    Check("range-04-dark");
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

TEST_F(GalleryE2E, MenusOpenedByRealInput) {
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            Click(At(kSwitch.x, kSwitch.y));
            Away();
            Settle(1000);
        }
        const std::string step = skin.empty() ? "menu-01-" : "menu-03-";
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
        Check(step + skin + "popup");
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitFor(false, 3000)) << "Escape did not close the popup menu";

        // "File" opens its drop-down; Right moves to "Edit", which holds every kind of item.
        Click(At(kFileMenu.x, kFileMenu.y));
        EXPECT_TRUE(WaitFor(true, 3000)) << "a click on the menu line opened no menu";
        Away();
        Settle(300);
        Key(VK_RIGHT);
        Settle();
        Check((skin.empty() ? "menu-02-" : "menu-04-") + skin + "main-menu-edit");
        Key(VK_ESCAPE);
        Key(VK_ESCAPE);
        if (!WaitFor(false, 3000)) {
            PostMessageA(App.Window, WM_CANCELMODE, 0, 0);
            ASSERT_TRUE(WaitFor(false, 3000)) << "the drop-down menu did not close";
        }
        Away();
        Settle();
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
    Check("20-check-clicked");
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
    Check("21-radio-chosen");

    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
    Check("22-checks-dark");
    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
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
    Check("23-list-combo-open");
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
    Check("24-list-combo-chosen");
}
// The page control at client (790, 730): its tabs "Buttons", "Gauges" and
// "Closable" from x 794 on, 20 high; the close cross near the right end of the
// "Closable" tab. A click on "Gauges" shows that page; a click on the cross
// closes the last page, in both skins.
TEST_F(GalleryE2E, PagesSwitchedAndClosedByClicks) {
    HWND pages = FindWindowExA(App.Window, nullptr, "TsPageControl", nullptr);
    ASSERT_NE(pages, nullptr);
    const POINT gauges = At(790 + 85, 730 + 11), cross = At(790 + 181, 730 + 11);
    Click(gauges);
    Away();
    Settle();
    EXPECT_EQ(SendMessageA(pages, TCM_GETCURSEL, 0, 0), 1);
    Check("17-pages-gauges");

    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
    Click(cross);
    Away();
    Settle();
    EXPECT_EQ(SendMessageA(pages, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(pages, TCM_GETCURSEL, 0, 0), 1) << "closing another page keeps the one shown";
    Check("18-pages-dark-closed");
}
namespace {

// The gallery's message box, when one is shown.
HWND VisibleDialog() {
    HWND d = FindWindowA("#32770", "Skin gallery");
    return d && IsWindowVisible(d) ? d : nullptr;
}

bool WaitForDialog(bool want, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0 && (VisibleDialog() != nullptr) != want) Sleep(20);
    return (VisibleDialog() != nullptr) == want;
}

// The "Message box..." button of the dialog row at client (790, 900), 138 x 28.
constexpr POINT kMessageBoxButton{790 + 69, 900 + 14};

}  // namespace

TEST_F(GalleryE2E, MessageBoxOpenedFromTheGalleryIsSkinnedOnBothSkins) {
    for (const std::string skin : {"", "dark-"}) {
        if (!skin.empty()) {
            Click(At(kSwitch.x, kSwitch.y));
            Away();
            Settle(1000);
        }
        Click(At(kMessageBoxButton.x, kMessageBoxButton.y));
        ASSERT_TRUE(WaitForDialog(true, 3000)) << "the button opened no message box";
        Away();
        Settle();
        Check((skin.empty() ? "dialogs-01-" : "dialogs-02-") + skin + "message-box");
        Key(VK_RETURN);
        ASSERT_TRUE(WaitForDialog(false, 3000)) << "Enter did not close the message box";
        Settle();
    }
    Click(At(kSwitch.x, kSwitch.y));
    Away();
    Settle(1000);
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
    auto find = [&](LRESULT code) {
        const RECT r = window();
        for (int y = r.top + 2; y < r.top + GetSystemMetrics(SM_CYCAPTION) + 8; ++y)
            for (int x = r.right - 2; x > r.right - 200; --x)
                if (SendMessageA(App.Window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == code) return POINT{x - 3, y + 3};
        return POINT{-1, -1};
    };
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

    const POINT max = find(HTMAXBUTTON);
    ASSERT_GE(max.x, 0) << "no maximize button on the title bar";
    Click(max);
    Away();
    Settle();
    EXPECT_TRUE(IsZoomed(App.Window));
    const POINT restore = find(HTMAXBUTTON);
    ASSERT_GE(restore.x, 0);
    Click(restore);
    Away();
    Settle();
    EXPECT_FALSE(IsZoomed(App.Window));
    const RECT back = window();
    EXPECT_EQ(back.left, moved.left);
    EXPECT_EQ(back.right - back.left, before.right - before.left);
    Check("18-frame-restored");
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
        Check(skin == "Light" ? "mdi-01-frame" : "mdi-02-dark-frame");
    }
}
