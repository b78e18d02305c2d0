#include "sSkinSource.h"

#include "acZipReader.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <new>

namespace {

constexpr std::size_t kMaxOptionsSize = std::size_t(4) << 20;
constexpr std::size_t kMaxImageFileSize = std::size_t(96) << 20;
const char* const kBuiltinSkins[] = {"Dark", "Light"};

using FetchFile = std::function<bool(const std::string& name, std::vector<std::uint8_t>& data, std::string& error)>;

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string rel = name;
    std::replace(rel.begin(), rel.end(), '/', '\\');
    if (folder.empty()) return rel;
    const char last = folder.back();
    return folder + (last == '\\' || last == '/' ? "" : "\\") + rel;
}

std::string LastPathPart(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFile(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& data, std::string& error) {
    data.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "is missing";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || std::uint64_t(size) > limit) {
        error = "is too large (" + std::to_string(limit >> 20) + " MB at most)";
        return false;
    }
    data.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size)) {
        data.clear();
        error = "cannot be read";
        return false;
    }
    return true;
}

// Reads "Options.dat" and every picture it names through Fetch.
bool LoadThrough(const FetchFile& fetch, const std::string& skinName, const std::string& where, TacSkinData& skin,
                 std::string& error) {
    skin.Clear();
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!fetch("Options.dat", bytes, why)) {
        error = where + ": Options.dat " + why;
        return false;
    }
    if (bytes.size() > kMaxOptionsSize) {
        error = where + ": Options.dat is larger than 4 MB; it is not a skin description";
        return false;
    }
    TacSkinData loaded;
    if (!ParseSkinOptions(std::string(bytes.begin(), bytes.end()), loaded, why)) {
        error = where + ": " + why;
        return false;
    }
    loaded.Name = skinName;
    // Small packed pictures may stand for large ones (a 1-bit picture grows
    // 24 times once decoded): the whole skin is held to a budget.
    std::size_t decoded = 0;
    for (TacSkinImage& image : loaded.Images) {
        if (!fetch(image.FileName, bytes, why)) {
            image.Error = why;
            continue;
        }
        if (!DecodeBmp(bytes, image.Image, why)) image.Error = "is not usable: " + why;
        decoded += image.Image.Pixels.size();
        if (decoded > acSkinMaxDecodedBytes) {
            error = where + ": its pictures take more than " + std::to_string(acSkinMaxDecodedBytes >> 20) +
                    " MB once decoded; \"" + image.FileName + "\" (" + std::to_string(image.Image.Width) + " x " +
                    std::to_string(image.Image.Height) + ") passes that limit";
            return false;
        }
    }
    ResolveSkinImages(loaded);
    skin = std::move(loaded);
    return true;
}

bool LoadFromZip(TacZipReader& zip, const std::string& skinName, const std::string& where, TacSkinData& skin,
                 std::string& error) {
    // An archive made by packing the skin's folder itself keeps everything under that folder's name.
    std::string prefix;
    if (zip.Find("Options.dat") < 0) {
        int found = 0;
        for (std::size_t i = 0; i < zip.Count(); ++i) {
            std::string name = zip.Entry(i).Name;
            std::replace(name.begin(), name.end(), '\\', '/');
            const std::size_t slash = name.find('/');
            if (slash != std::string::npos && name.find('/', slash + 1) == std::string::npos &&
                Upper(name.substr(slash + 1)) == "OPTIONS.DAT") {
                prefix = name.substr(0, slash + 1);
                ++found;
            }
        }
        if (found != 1) prefix.clear();
    }
    FetchFile fetch = [&](const std::string& name, std::vector<std::uint8_t>& data, std::string& why) {
        const int index = zip.Find(prefix + name);
        if (index < 0) {
            why = "is missing from the packed file";
            return false;
        }
        if (!zip.Extract(std::size_t(index), data, why)) {
            why = "could not be unpacked: " + why;
            return false;
        }
        return true;
    };
    return LoadThrough(fetch, skinName, where, skin, error);
}

HMODULE ModuleOf(void* module) { return module ? static_cast<HMODULE>(module) : GetModuleHandleA(nullptr); }

// Runs a loader; running out of memory on the way is a failed load like any other.
template <class Load>
bool Guarded(TacSkinData& skin, std::string& error, const std::string& what, Load&& load) {
    try {
        return load();
    } catch (const std::bad_alloc&) {
        skin.Clear();
        error = what + ": there is not enough memory to load it";
        return false;
    }
}

bool FolderSkin(const std::string& folder, TacSkinData& skin, std::string& error) {
    FetchFile fetch = [&](const std::string& name, std::vector<std::uint8_t>& data, std::string& why) {
        return ReadWholeFile(JoinPath(folder, name), name == "Options.dat" ? kMaxOptionsSize + 1 : kMaxImageFileSize,
                             data, why);
    };
    return LoadThrough(fetch, LastPathPart(folder), "skin folder \"" + folder + "\"", skin, error);
}

bool PackedMemorySkin(const void* data, std::size_t size, const std::string& name, TacSkinData& skin,
                      std::string& error) {
    skin.Clear();
    const std::string where = "packed skin \"" + name + "\"";
    TacZipReader zip;
    std::string why;
    if (!zip.OpenMemory(data, size, why)) {
        error = where + " is not usable: " + why;
        return false;
    }
    return LoadFromZip(zip, name, where, skin, error);
}

bool PackedFileSkin(const std::string& path, TacSkinData& skin, std::string& error) {
    skin.Clear();
    const std::string where = "packed skin \"" + path + "\"";
    TacZipReader zip;
    std::string why;
    if (!zip.OpenFile(path, why)) {
        error = where + " is not usable: " + why;
        return false;
    }
    std::string name = LastPathPart(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return LoadFromZip(zip, name, where, skin, error);
}

}  // namespace

bool LoadSkinFromFolder(const std::string& folder, TacSkinData& skin, std::string& error) {
    return Guarded(skin, error, "skin folder \"" + folder + "\"", [&] { return FolderSkin(folder, skin, error); });
}

bool LoadSkinFromPackedMemory(const void* data, std::size_t size, const std::string& name, TacSkinData& skin,
                              std::string& error) {
    return Guarded(skin, error, "packed skin \"" + name + "\"",
                   [&] { return PackedMemorySkin(data, size, name, skin, error); });
}

bool LoadSkinFromPackedFile(const std::string& path, TacSkinData& skin, std::string& error) {
    return Guarded(skin, error, "packed skin \"" + path + "\"", [&] { return PackedFileSkin(path, skin, error); });
}

bool LoadSkinFromResource(const std::string& name, TacSkinData& skin, std::string& error, void* module) {
    skin.Clear();
    const std::string id = Upper(name);
    HMODULE handle = ModuleOf(module);
    HRSRC info = id.empty() ? nullptr : FindResourceA(handle, id.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = info ? LoadResource(handle, info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        error = "the program carries no built-in skin \"" + name + "\"";
        return false;
    }
    return LoadSkinFromPackedMemory(bytes, SizeofResource(handle, info), name, skin, error);
}

bool LoadSkinByName(const std::string& skinsFolder, const std::string& name, TacSkinData& skin, std::string& error) {
    if (!skinsFolder.empty() && !name.empty()) {
        const std::string folder = JoinPath(skinsFolder, name);
        if (IsFile(JoinPath(folder, "Options.dat"))) return LoadSkinFromFolder(folder, skin, error);
        const std::string packed = folder + ".asz";
        if (IsFile(packed)) return LoadSkinFromPackedFile(packed, skin, error);
    }
    for (const std::string& builtin : BuiltinSkinNames())
        if (Upper(builtin) == Upper(name)) return LoadSkinFromResource(builtin, skin, error);
    skin.Clear();
    error = "no skin \"" + name + "\"" + (skinsFolder.empty() ? "" : " in \"" + skinsFolder + "\"") +
            " and no built-in skin of that name";
    return false;
}

std::vector<std::string> BuiltinSkinNames(void* module) {
    std::vector<std::string> names;
    HMODULE handle = ModuleOf(module);
    for (const char* name : kBuiltinSkins)
        if (FindResourceA(handle, Upper(name).c_str(), MAKEINTRESOURCEA(10))) names.push_back(name);
    return names;
}

std::vector<TacSkinListItem> ListSkins(const std::string& skinsFolder, void* module) {
    std::vector<TacSkinListItem> items;
    for (const std::string& name : BuiltinSkinNames(module)) items.push_back({name, skInternal, ""});
    if (!skinsFolder.empty()) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(JoinPath(skinsFolder, "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = JoinPath(skinsFolder, name);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (IsFile(JoinPath(path, "Options.dat"))) items.push_back({name, skFolder, path});
                } else if (name.size() > 4 && Upper(name.substr(name.size() - 4)) == ".ASZ") {
                    items.push_back({name.substr(0, name.size() - 4), skPacked, path});
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    std::sort(items.begin(), items.end(), [](const TacSkinListItem& a, const TacSkinListItem& b) {
        const std::string ua = Upper(a.Name), ub = Upper(b.Name);
        return ua != ub ? ua < ub : a.Kind < b.Kind;
    });
    return items;
}
