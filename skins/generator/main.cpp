// Writes the built-in skins: for each, a folder (Options.dat and its BMP files)
// and a packed .asz file of the same entries, stored.
//   skingen OUTPUT_FOLDER
#include "Skins.h"
#include "acZipWrite.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

void MakeFolder(const std::string& path) {
#ifdef _WIN32
    mkdir(path.c_str());
#else
    mkdir(path.c_str(), 0755);
#endif
}

bool Write(const skingen::SkinFiles& skin, const std::string& root) {
    const std::string folder = root + "/" + skin.Name;
    MakeFolder(folder);
    std::vector<TacZipInput> entries;
    entries.push_back({"Options.dat", std::vector<std::uint8_t>(skin.Options.begin(), skin.Options.end()), {}});
    for (const auto& image : skin.Images) entries.push_back({image.first, EncodeBmp24(image.second), {}});
    for (const TacZipInput& e : entries)
        if (!WriteFile(folder + "/" + e.Name, e.Data)) return false;
    return WriteFile(root + "/" + skin.Name + ".asz", BuildZip(entries));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    MakeFolder(root);
    for (const skingen::SkinFiles& skin : {skingen::BuildLightSkin(), skingen::BuildDarkSkin()}) {
        if (!Write(skin, root)) {
            std::fprintf(stderr, "skingen: cannot write skin %s under %s\n", skin.Name.c_str(), root.c_str());
            return 1;
        }
    }
    return 0;
}
