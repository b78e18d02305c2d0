// Loading each built-in skin from the program's resources, from its folder
// and from its packed file (the folders and .asz files the build draws).
// Usage: skinload_bench <folder holding Light, Light.asz, Dark, Dark.asz>
#include "BenchTimer.h"
#include "sSkinSource.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int runs = 10;
    std::printf("Loading the built-in skins, best of %d runs (ms):\n", runs);
    std::printf("  %-8s %10s %10s %10s\n", "skin", "resource", "folder", "packed");
    int failures = 0;
    for (const std::string& name : BuiltinSkinNames()) {
        auto timeOf = [&](const std::function<bool(TacSkinData&, std::string&)>& load) {
            bool ok = true;
            std::string error;
            const double us = BestMicroseconds(runs, [&] {
                TacSkinData skin;
                if (!load(skin, error)) ok = false;
            });
            if (!ok) {
                std::printf("  %s: %s\n", name.c_str(), error.c_str());
                ++failures;
                return -1.0;
            }
            return us / 1000.0;
        };
        const double res = timeOf([&](TacSkinData& s, std::string& e) { return LoadSkinFromResource(name, s, e); });
        const double folder =
            timeOf([&](TacSkinData& s, std::string& e) { return LoadSkinFromFolder(dir + "\\" + name, s, e); });
        const double packed = timeOf(
            [&](TacSkinData& s, std::string& e) { return LoadSkinFromPackedFile(dir + "\\" + name + ".asz", s, e); });
        std::printf("  %-8s %10.2f %10.2f %10.2f\n", name.c_str(), res, folder, packed);
    }
    return failures ? 1 : 0;
}
