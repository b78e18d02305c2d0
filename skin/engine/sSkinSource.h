// Where skins come from: a folder holding "Options.dat" and its pictures, a
// packed ".asz" file of the same, or a skin built into the program as a resource.
#pragma once

#include "sSkinFile.h"

#include <cstddef>
#include <string>
#include <vector>

enum TacSkinKind { skInternal, skFolder, skPacked };

struct TacSkinListItem {
    std::string Name;  // what a user picks: folder name, file name without ".asz", or built-in name
    TacSkinKind Kind = skFolder;
    std::string Path;  // folder or packed file; "" for a built-in skin
};

// Each loader fills Skin and returns true when "Options.dat" was read; pictures
// that could not be used only leave their masks out (see Skin.Warnings). On
// failure Skin is empty and Error says why, in words a skin author can act on.
bool LoadSkinFromFolder(const std::string& folder, TacSkinData& skin, std::string& error);
bool LoadSkinFromPackedFile(const std::string& path, TacSkinData& skin, std::string& error);
bool LoadSkinFromPackedMemory(const void* data, std::size_t size, const std::string& name, TacSkinData& skin,
                              std::string& error);
// A built-in skin: the RCDATA resource named after it (upper-case) in Module
// (nullptr: the program file), holding the packed file's bytes.
bool LoadSkinFromResource(const std::string& name, TacSkinData& skin, std::string& error, void* module = nullptr);
// A skin by name: the folder SkinsFolder\Name, else the packed file
// SkinsFolder\Name.asz, else the built-in skin of that name.
bool LoadSkinByName(const std::string& skinsFolder, const std::string& name, TacSkinData& skin, std::string& error);

// The skins built into the library, by display name ("Dark", "Light"), that the
// program (Module, nullptr: the program file) actually carries.
std::vector<std::string> BuiltinSkinNames(void* module = nullptr);
// Every skin available: the built-in ones, the sub-folders of SkinsFolder that
// hold "Options.dat" and its "*.asz" files; sorted by name (any case), then kind.
std::vector<TacSkinListItem> ListSkins(const std::string& skinsFolder, void* module = nullptr);
