// Read-only reader of the ZIP archives that packed skins (".asz") are made of:
// stored and deflated entries, checked against every size and CRC they claim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct TacZipEntry {
    std::string Name;          // as stored in the archive
    std::uint16_t Method = 0;  // 0 stored, 8 deflated
    std::uint16_t Flags = 0;
    std::uint32_t Crc = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t Size = 0;  // uncompressed, as claimed
    std::uint32_t LocalOffset = 0;
    bool IsFolder() const { return !Name.empty() && (Name.back() == '/' || Name.back() == '\\'); }
};

class TacZipReader {
public:
    // Largest entry and largest total that one reader inflates.
    static constexpr std::size_t MaxEntrySize = std::size_t(64) << 20;
    static constexpr std::size_t MaxTotalSize = std::size_t(256) << 20;
    // Largest archive file read.
    static constexpr std::size_t MaxArchiveSize = std::size_t(256) << 20;

    // Opens an archive held in memory (the bytes are copied) or in a file.
    // False, with Error, when its central directory cannot be trusted.
    bool OpenMemory(const void* data, std::size_t size, std::string& error);
    bool OpenFile(const std::string& path, std::string& error);
    void Close();

    std::size_t Count() const { return Entries.size(); }
    const TacZipEntry& Entry(std::size_t index) const { return Entries[index]; }
    // Index of a file by name: any case, '/' and '\\' alike; -1 when absent.
    int Find(const std::string& name) const;
    // Unpacks one entry, checking its sizes and CRC. False, with Error naming
    // the entry, when the entry lies about itself or passes the limits.
    bool Extract(std::size_t index, std::vector<std::uint8_t>& data, std::string& error);
    bool Extract(const std::string& name, std::vector<std::uint8_t>& data, std::string& error);

private:
    std::vector<std::uint8_t> Bytes;
    std::vector<TacZipEntry> Entries;
    // Comparable names of the files (not folders) to their first entry.
    std::unordered_map<std::string, int> Names;
    std::size_t CentralOffset = 0;
    std::size_t TotalExtracted = 0;
    bool Parse(std::string& error);
};
