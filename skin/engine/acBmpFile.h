// Platform-free reading and writing of BMP files: any 1/4/8-bit palettised,
// 24-bit or 32-bit picture decoded into a top-down 24-bit BGR buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: rows top-down, 3 bytes per pixel in B, G, R order, rows
// packed with no padding.
struct TacBmpImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    // Allocates a Width x Height picture filled with one colour (0x00RRGGBB).
    void Resize(int width, int height, std::uint32_t rgb = 0);
    std::uint8_t* Row(int y) { return Pixels.data() + std::size_t(y) * std::size_t(Width) * 3; }
    const std::uint8_t* Row(int y) const { return Pixels.data() + std::size_t(y) * std::size_t(Width) * 3; }
    // 0x00RRGGBB; 0 outside the picture.
    std::uint32_t Pixel(int x, int y) const;
    // Ignored outside the picture.
    void SetPixel(int x, int y, std::uint32_t rgb);
};

// Largest picture accepted on either side, and in bytes once decoded.
constexpr int acBmpMaxSide = 16384;
constexpr std::size_t acBmpMaxBytes = std::size_t(64) << 20;

// Decodes a BMP file held in memory. On failure returns false, leaves Image
// empty and says why in Error, in words a skin author can act on.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, TacBmpImage& image, std::string& error);
inline bool DecodeBmp(const std::vector<std::uint8_t>& data, TacBmpImage& image, std::string& error) {
    return DecodeBmp(data.data(), data.size(), image, error);
}

// A 24-bit bottom-up BMP file of the picture (empty for an empty picture).
std::vector<std::uint8_t> EncodeBmp24(const TacBmpImage& image);
