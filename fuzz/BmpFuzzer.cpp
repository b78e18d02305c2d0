// Any bytes as a BMP file: decoding either fails with a reason or gives a
// picture within the limits, which encodes and decodes back to itself.
#include "acBmpFile.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TacBmpImage image;
    std::string error;
    if (!DecodeBmp(data, size, image, error)) {
        if (!image.Empty() || error.empty()) std::abort();
        return 0;
    }
    if (image.Width > acBmpMaxSide || image.Height > acBmpMaxSide ||
        image.Pixels.size() != std::size_t(image.Width) * std::size_t(image.Height) * 3)
        std::abort();
    TacBmpImage again;
    if (!DecodeBmp(EncodeBmp24(image), again, error) || again.Width != image.Width || again.Height != image.Height ||
        again.Pixels != image.Pixels)
        std::abort();
    return 0;
}
