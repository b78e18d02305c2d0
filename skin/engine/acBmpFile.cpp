#include "acBmpFile.h"

#include <cstring>

void TacBmpImage::Resize(int width, int height, std::uint32_t rgb) {
    if (width <= 0 || height <= 0) {
        Width = Height = 0;
        Pixels.clear();
        return;
    }
    Width = width;
    Height = height;
    Pixels.assign(std::size_t(width) * std::size_t(height) * 3, 0);
    const std::uint8_t b = rgb & 0xFF, g = (rgb >> 8) & 0xFF, r = (rgb >> 16) & 0xFF;
    for (std::size_t i = 0; i < Pixels.size(); i += 3) {
        Pixels[i] = b;
        Pixels[i + 1] = g;
        Pixels[i + 2] = r;
    }
}

std::uint32_t TacBmpImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
    const std::uint8_t* p = Row(y) + std::size_t(x) * 3;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

void TacBmpImage::SetPixel(int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return;
    std::uint8_t* p = Row(y) + std::size_t(x) * 3;
    p[0] = rgb & 0xFF;
    p[1] = (rgb >> 8) & 0xFF;
    p[2] = (rgb >> 16) & 0xFF;
}

namespace {

std::uint32_t U16(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// One colour channel described by a bit mask of a 32-bit pixel.
struct Channel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;
    explicit Channel(std::uint32_t mask) : Mask(mask) {
        if (!mask) return;
        while (!((mask >> Shift) & 1)) ++Shift;
        Max = mask >> Shift;
    }
    std::uint8_t Get(std::uint32_t px) const {
        if (!Max) return 0;
        const std::uint64_t v = (px & Mask) >> Shift;
        return std::uint8_t(v * 255 / Max);
    }
};

bool Fail(TacBmpImage& image, std::string& error, const std::string& why) {
    image = TacBmpImage();
    error = why;
    return false;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TacBmpImage& image, std::string& error) {
    image = TacBmpImage();
    error.clear();
    if (!data || size < 18) return Fail(image, error, "the file is too short to be a BMP picture");
    if (data[0] != 'B' || data[1] != 'M')
        return Fail(image, error, "not a BMP picture (it does not start with \"BM\")");
    const std::uint64_t pixelOffset = U32(data + 10);
    const std::uint32_t headerSize = U32(data + 14);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 1024))
        return Fail(image, error, "unknown BMP header size " + std::to_string(headerSize));
    if (14 + std::uint64_t(headerSize) > size) return Fail(image, error, "the BMP header is truncated");

    const std::uint8_t* h = data + 14;
    std::int64_t width, height;
    std::uint32_t bpp, compression = 0, colorsUsed = 0;
    if (core) {
        width = U16(h + 4);
        height = U16(h + 6);
        bpp = U16(h + 10);
    } else {
        width = std::int32_t(U32(h + 4));
        height = std::int32_t(U32(h + 8));
        bpp = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0)
        return Fail(
            image, error,
            "the picture is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; it has no pixels");
    if (width > acBmpMaxSide || height > acBmpMaxSide)
        return Fail(image, error,
                    "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels; the largest accepted is " + std::to_string(acBmpMaxSide) + " on a side");
    if (std::uint64_t(width) * std::uint64_t(height) * 3 > acBmpMaxBytes)
        return Fail(image, error,
                    "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels; pictures above 64 MB are refused");

    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return Fail(image, error, std::to_string(bpp) + "-bit BMP pictures are not supported; save it as 24-bit");
    if (compression == 1 || compression == 2)
        return Fail(image, error, "run-length compressed BMP pictures are not supported; save it as 24-bit");
    const bool bitfields = compression == 3 || compression == 6;
    if (compression != 0 && !(bitfields && bpp == 32))
        return Fail(image, error, "unsupported BMP compression " + std::to_string(compression) + "; save it as 24-bit");

    // Where the header ends: a version-1 header with bit fields keeps its masks after it.
    std::uint64_t tableOffset = 14 + std::uint64_t(headerSize);
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bitfields) {
        std::uint64_t maskAt = headerSize >= 52 ? 14 + 40 : tableOffset;
        if (headerSize < 52) tableOffset += compression == 6 ? 16 : 12;
        if (maskAt + 12 > size) return Fail(image, error, "the BMP colour masks are truncated");
        for (int i = 0; i < 3; ++i) masks[i] = U32(data + maskAt + 4 * i);
    }

    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        const std::uint32_t most = 1u << bpp;
        std::uint32_t count = colorsUsed == 0 ? most : colorsUsed;
        if (count > most)
            return Fail(image, error, "the BMP palette claims " + std::to_string(colorsUsed) + " colours");
        const std::uint32_t entry = core ? 3 : 4;
        if (tableOffset + std::uint64_t(count) * entry > size)
            return Fail(image, error, "the BMP palette is truncated");
        palette.resize(most, 0);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* p = data + tableOffset + std::uint64_t(i) * entry;
            palette[i] = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
        tableOffset += std::uint64_t(count) * entry;
    }

    const std::uint64_t stride = ((std::uint64_t(width) * bpp + 31) / 32) * 4;
    if (pixelOffset < 14 + std::uint64_t(headerSize) || pixelOffset >= size)
        return Fail(image, error,
                    "the BMP pixel data offset " + std::to_string(pixelOffset) + " lies outside the file");
    if (pixelOffset + stride * std::uint64_t(height) > size)
        return Fail(image, error,
                    "the BMP pixel data is truncated (the file holds " + std::to_string(size) + " bytes, " +
                        std::to_string(pixelOffset + stride * std::uint64_t(height)) + " are needed)");

    image.Resize(int(width), int(height));
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < image.Height; ++y) {
        const int fileRow = topDown ? y : image.Height - 1 - y;
        const std::uint8_t* src = data + pixelOffset + stride * std::uint64_t(fileRow);
        std::uint8_t* dst = image.Row(y);
        for (int x = 0; x < image.Width; ++x, dst += 3) {
            switch (bpp) {
                case 24: std::memcpy(dst, src + 3 * std::size_t(x), 3); break;
                case 32: {
                    const std::uint32_t px = U32(src + 4 * std::size_t(x));
                    dst[0] = blue.Get(px);
                    dst[1] = green.Get(px);
                    dst[2] = red.Get(px);
                    break;
                }
                default: {
                    const std::size_t bit = std::size_t(x) * bpp;
                    const unsigned shift = 8 - bpp - unsigned(bit % 8);
                    const std::uint32_t index = (src[bit / 8] >> shift) & ((1u << bpp) - 1);
                    const std::uint32_t c = palette[index];
                    dst[0] = c & 0xFF;
                    dst[1] = (c >> 8) & 0xFF;
                    dst[2] = (c >> 16) & 0xFF;
                }
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> EncodeBmp24(const TacBmpImage& image) {
    if (image.Empty() || image.Pixels.size() < std::size_t(image.Width) * std::size_t(image.Height) * 3) return {};
    const std::size_t stride = (std::size_t(image.Width) * 3 + 3) & ~std::size_t(3);
    const std::size_t bits = stride * std::size_t(image.Height);
    std::vector<std::uint8_t> out(54 + bits, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, std::uint32_t(out.size()));
    Put32(out, 10, 54);
    Put32(out, 14, 40);
    Put32(out, 18, std::uint32_t(image.Width));
    Put32(out, 22, std::uint32_t(image.Height));
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    Put32(out, 34, std::uint32_t(bits));
    Put32(out, 38, 2835);  // 72 dpi
    Put32(out, 42, 2835);
    for (int y = 0; y < image.Height; ++y)
        std::memcpy(out.data() + 54 + stride * std::size_t(image.Height - 1 - y), image.Row(y),
                    std::size_t(image.Width) * 3);
    return out;
}
