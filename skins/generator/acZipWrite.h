// Writes ZIP archives (packed skins): entries stored, or deflated by a caller
// that brings its own compressed bytes. Platform-free and needs no zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TacZipInput {
    std::string Name;                // '/' separates folders
    std::vector<std::uint8_t> Data;  // the file's bytes
    // When not empty, the raw deflate stream of Data; the entry is then method 8.
    std::vector<std::uint8_t> Deflated;
};

std::uint32_t ZipCrc32(const std::uint8_t* data, std::size_t size);
// The whole archive: local headers and data, then the central directory.
std::vector<std::uint8_t> BuildZip(const std::vector<TacZipInput>& entries);
