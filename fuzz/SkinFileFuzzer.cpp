// Any bytes as a skin file ("Options.dat"): parsed, every picture it names
// given a small picture drawn from the input, masks checked against them,
// looked up by name and packed into one master picture, as a skin load does.
#include "sSkinFile.h"

#include <cstdlib>
#include <string>

namespace {

// A picture of a size and colour chosen by the input, so that masks both fit
// and miss their pictures.
TacBmpImage PictureFor(std::size_t index, const std::uint8_t* data, std::size_t size) {
    TacBmpImage image;
    const std::uint8_t a = size ? data[index % size] : 0, b = size ? data[(index * 7 + 3) % size] : 0;
    if (a % 5 == 0) return image;  // a picture that could not be read
    image.Resize(1 + a % 96, 1 + b % 96, std::uint32_t(a) << 16 | std::uint32_t(b) << 8 | std::uint8_t(index));
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TacSkinData skin;
    std::string error;
    if (!ParseSkinOptions(text, skin, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (skin.Sections.empty() || skin.Sections[0].Name != acGlobalInfoName) std::abort();
    for (std::size_t i = 0; i < skin.Images.size(); ++i) skin.Images[i].Image = PictureFor(i, data, size);
    ResolveSkinImages(skin);
    for (std::size_t i = 0; i < skin.Masks.size(); ++i) {
        const TsMaskData& mask = skin.Masks[i];
        if (skin.MaskIndexOfNoParent(mask.SectionName, mask.Name) < 0) std::abort();
        if (mask.Valid() && !skin.MaskImage(int(i))) std::abort();
    }
    PackSkinImages(skin);
    return 0;
}
