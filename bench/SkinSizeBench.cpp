// Skin files of growing size: each is loaded by a skin manager in a process of
// its own, which reports the load's time and the most memory it held.
// Generated here: "Options.dat" texts of about 100 KB, 1 MB and 4 MB (the
// largest a skin may have), their sections inheriting from a parent of many
// keys and each with a mask cut from one shared picture.
#include "BenchTimer.h"
#include "sSkinManager.h"

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::size_t PrivateBytes(bool peak) {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof(c);
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof(c));
    return peak ? c.PeakPagefileUsage : c.PagefileUsage;
}

bool WriteFileBytes(const std::string& path, const void* data, std::size_t size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, data, DWORD(size), &written, nullptr) && written == size;
    CloseHandle(f);
    return ok;
}

// A skin folder whose Options.dat is about Bytes long.
bool WriteSkin(const std::string& folder, std::size_t bytes) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string text = "[GLOBALINFO]\nCOLOR=0xF0F0F0\n[BASE]\nCOLOR=0x808080\nFADING=1\n";
    for (int k = 0; k < 300; ++k) text += "KEY" + std::to_string(k) + "=value number " + std::to_string(k) + "\n";
    for (int i = 0; text.size() < bytes - 200; ++i) {
        const std::string name = "SECTION" + std::to_string(i);
        text += "[" + name + "]\nPARENTCLASS=" + (i % 50 ? "SECTION" + std::to_string(i - 1) : std::string("BASE")) +
                "\nHOTCOLOR=" + std::to_string(i % 0xFFFFFF) + "\n[" + name +
                ".BORDERSMASK]\nIMAGE=border.bmp\nIMAGECOUNT=3\nBORDERWIDTH=3\n";
    }
    TacBmpImage border;
    border.Resize(36, 12, 0x4080C0);
    const std::vector<std::uint8_t> bmp = EncodeBmp24(border);
    return WriteFileBytes(folder + "\\Options.dat", text.data(), text.size()) &&
           WriteFileBytes(folder + "\\border.bmp", bmp.data(), bmp.size());
}

int LoadOne(const std::string& folder) {
    const std::size_t base = PrivateBytes(false);
    auto* m = new TsSkinManager(nullptr);
    String error;
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    const bool ok = m->LoadSkin(folder, error);
    QueryPerformanceCounter(&b);
    const double ms = double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
    const double peakMb = double(PrivateBytes(true) - base) / (1 << 20);
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    GetFileAttributesExA((folder + "\\Options.dat").c_str(), GetFileExInfoStandard, &attr);
    const double fileMb = double(attr.nFileSizeLow) / (1 << 20);
    if (!ok) {
        std::printf("  %8.0f KB  failed: %s\n", fileMb * 1024, error.c_str());
    } else {
        std::printf("  %8.0f KB %9.1f ms %9.1f MB  %6zu sections  %7.1f ms/MB  %5.1f MB held per MB of file\n",
                    fileMb * 1024, ms, peakMb, m->gd().size(), ms / fileMb, peakMb / fileMb);
    }
    std::fflush(stdout);
    m->Free();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--load") return LoadOne(argv[2]);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "skinsize_bench";
    CreateDirectoryA(root.c_str(), nullptr);
    std::printf("Loading generated skins by a skin manager, one process each (time, peak private memory):\n");
    std::fflush(stdout);
    int failures = 0;
    for (const std::size_t kb : {100, 1024, 4000}) {
        const std::string folder = root + "\\Skin" + std::to_string(kb);
        if (!WriteSkin(folder, kb * 1024)) {
            std::printf("  cannot write %s\n", folder.c_str());
            return 1;
        }
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string cmd = "\"" + std::string(self) + "\" --load \"" + folder + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            std::printf("  cannot start %s\n", cmd.c_str());
            return 1;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        failures += code != 0;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        for (const char* file : {"\\Options.dat", "\\border.bmp"}) DeleteFileA((folder + file).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    RemoveDirectoryA(root.c_str());
    return failures ? 1 : 0;
}
