// The built-in skins drawn by code: one layout, two palettes ("Light", "Dark").
#pragma once

#include "acBmpFile.h"

#include <string>
#include <utility>
#include <vector>

namespace skingen {

struct SkinFiles {
    std::string Name;
    std::string Options;                                      // text of "Options.dat"
    std::vector<std::pair<std::string, TacBmpImage>> Images;  // file name, picture
};

SkinFiles BuildLightSkin();
SkinFiles BuildDarkSkin();

}  // namespace skingen
