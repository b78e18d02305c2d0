// The gallery as a user sees it: started as its own process on the same
// display, driven with real input (hover, press, release, Tab, a speed
// button's hover, drop-down menu and group, skin switch)
// and captured from the screen after each step, each picture compared with
// a reference kept in tests/e2e/reference.
//
// A missing reference is written and the test fails saying so, so that a
// person looks at it before it is kept. On a difference the actual picture is
// written beside the reference (or beside the test program when the source
// tree cannot be written) and its path printed.
#include <gtest/gtest.h>

#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

bool LoadBmp(const std::string& path, Picture& pic) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    bool ok = std::fread(&fh, sizeof fh, 1, f) == 1 && std::fread(&ih, sizeof ih, 1, f) == 1 && fh.bfType == 0x4D42 &&
              ih.biBitCount == 24 && ih.biCompression == BI_RGB && ih.biWidth > 0 && ih.biHeight != 0;
    if (ok) {
        pic.Width = ih.biWidth;
        pic.Height = ih.biHeight < 0 ? -ih.biHeight : ih.biHeight;
        const int stride = pic.Stride();
        std::vector<std::uint8_t> raw(std::size_t(stride) * pic.Height);
        ok = std::fseek(f, static_cast<long>(fh.bfOffBits), SEEK_SET) == 0 &&
             std::fread(raw.data(), raw.size(), 1, f) == 1;
        pic.Bits.assign(raw.size(), 0);
        for (int y = 0; y < pic.Height && ok; ++y) {
            const int src = ih.biHeight > 0 ? pic.Height - 1 - y : y;
            std::copy(raw.begin() + std::ptrdiff_t(src) * stride, raw.begin() + std::ptrdiff_t(src + 1) * stride,
                      pic.Bits.begin() + std::ptrdiff_t(y) * stride);
        }
    }
    std::fclose(f);
    return ok;
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
    bool Start(const std::string& args) {
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
            Window = FindWindowA(nullptr, "Skin gallery");
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
        const std::string ref = folder + "\\" + name + ".bmp";
        Picture expected;
        if (!FileExists(ref)) {
            CreateDirectoryA(folder.c_str(), nullptr);
            const std::string written = SaveAside(actual, ref, name + ".bmp");
            ADD_FAILURE() << "no reference picture for step '" << name << "': wrote " << written
                          << "; look at it and keep it in tests/e2e/reference if it is right";
            return;
        }
        ASSERT_TRUE(LoadBmp(ref, expected)) << "unreadable reference " << ref;
        int diff = -1;
        if (expected.Width == actual.Width && expected.Height == actual.Height) diff = CountDifferences(expected, actual);
        if (diff >= 0 && diff <= kMaxDifferentPixels) return;
        const std::string written = SaveAside(actual, folder + "\\" + name + ".actual.bmp", name + ".actual.bmp");
        ADD_FAILURE() << "step '" << name << "' differs from " << ref << " ("
                      << (diff < 0 ? std::string("size ") + std::to_string(actual.Width) + "x" +
                                         std::to_string(actual.Height) + " instead of " +
                                         std::to_string(expected.Width) + "x" + std::to_string(expected.Height)
                                   : std::to_string(diff) + " pixels)")
                      << "; actual picture: " << written;
    }
    // Beside the reference, or beside the test program when that fails.
    static std::string SaveAside(const Picture& p, const std::string& path, const std::string& file) {
        if (p.SaveBmp(path)) return path;
        const std::string fallback = ProgramFolder() + file;
        return p.SaveBmp(fallback) ? fallback : std::string("(could not be written)");
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

}  // namespace
