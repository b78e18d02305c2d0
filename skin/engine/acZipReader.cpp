#include "acZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

namespace {

std::uint32_t U16(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;

std::string Comparable(const std::string& name) {
    std::string s;
    s.reserve(name.size());
    for (char c : name) s += c == '\\' ? '/' : char(std::toupper(static_cast<unsigned char>(c)));
    while (s.compare(0, 2, "./") == 0) s.erase(0, 2);
    while (!s.empty() && s[0] == '/') s.erase(0, 1);
    return s;
}

// Ends the inflate stream on every way out.
struct Inflater {
    z_stream Stream{};
    bool Ready = false;
    Inflater() { Ready = inflateInit2(&Stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (Ready) inflateEnd(&Stream);
    }
};

}  // namespace

void TacZipReader::Close() {
    Bytes.clear();
    Bytes.shrink_to_fit();
    Entries.clear();
    Names.clear();
    CentralOffset = 0;
    TotalExtracted = 0;
}

bool TacZipReader::OpenMemory(const void* data, std::size_t size, std::string& error) {
    Close();
    if (size > MaxArchiveSize) {
        error = "the packed file is larger than 256 MB";
        return false;
    }
    if (data && size)
        Bytes.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    if (Parse(error)) return true;
    Close();
    return false;
}

bool TacZipReader::OpenFile(const std::string& path, std::string& error) {
    Close();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || std::uint64_t(size) > MaxArchiveSize) {
        error = "\"" + path + "\" is larger than 256 MB";
        return false;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size)) {
        error = "cannot read \"" + path + "\"";
        return false;
    }
    return OpenMemory(data.data(), data.size(), error);
}

bool TacZipReader::Parse(std::string& error) {
    const std::size_t size = Bytes.size();
    const std::uint8_t* b = Bytes.data();
    if (size < 22) {
        error = "the packed file is too short to be a ZIP archive";
        return false;
    }
    // The end record lies within the last 64 KB + 22 bytes; prefer one whose comment ends the file.
    std::size_t end = SIZE_MAX, loose = SIZE_MAX;
    const std::size_t lowest = size > 22 + 0xFFFF ? size - 22 - 0xFFFF : 0;
    for (std::size_t p = size - 22 + 1; p-- > lowest;) {
        if (U32(b + p) != kEndSignature) continue;
        const std::size_t tail = p + 22 + U16(b + p + 20);
        if (tail == size) {
            end = p;
            break;
        }
        if (tail < size && loose == SIZE_MAX) loose = p;
    }
    if (end == SIZE_MAX) end = loose;
    if (end == SIZE_MAX) {
        error = "not a ZIP archive, or a truncated one (no end of central directory record)";
        return false;
    }
    const std::uint8_t* e = b + end;
    const std::uint32_t disk = U16(e + 4), centralDisk = U16(e + 6), onDisk = U16(e + 8), total = U16(e + 10);
    const std::uint32_t centralSize = U32(e + 12), centralOffset = U32(e + 16);
    if (total == 0xFFFF || centralSize == 0xFFFFFFFF || centralOffset == 0xFFFFFFFF ||
        (end >= 20 && U32(b + end - 20) == kZip64LocatorSignature)) {
        error = "ZIP64 archives are not supported; packed skins are small ZIP files";
        return false;
    }
    if (disk != 0 || centralDisk != 0 || onDisk != total) {
        error = "multi-disk (spanned) ZIP archives are not supported";
        return false;
    }
    if (std::uint64_t(centralOffset) + centralSize > end) {
        error = "the central directory lies outside the archive (truncated or damaged file)";
        return false;
    }
    if (std::uint64_t(total) * 46 > centralSize) {
        error = "the central directory is too small for the " + std::to_string(total) + " entries it claims";
        return false;
    }
    CentralOffset = centralOffset;
    const std::size_t limit = std::size_t(centralOffset) + centralSize;
    std::size_t p = centralOffset;
    for (std::uint32_t i = 0; i < total; ++i) {
        if (p + 46 > limit || U32(b + p) != kCentralSignature) {
            error = "the central directory is damaged at entry " + std::to_string(i + 1);
            return false;
        }
        const std::uint8_t* c = b + p;
        const std::size_t nameLen = U16(c + 28), extraLen = U16(c + 30), commentLen = U16(c + 32);
        if (p + 46 + nameLen + extraLen + commentLen > limit) {
            error = "the central directory is damaged at entry " + std::to_string(i + 1) + " (its name runs past it)";
            return false;
        }
        TacZipEntry entry;
        entry.Flags = std::uint16_t(U16(c + 8));
        entry.Method = std::uint16_t(U16(c + 10));
        entry.Crc = U32(c + 16);
        entry.CompressedSize = U32(c + 20);
        entry.Size = U32(c + 24);
        entry.LocalOffset = U32(c + 42);
        if (U16(c + 34) != 0) {
            error = "multi-disk (spanned) ZIP archives are not supported";
            return false;
        }
        entry.Name.assign(reinterpret_cast<const char*>(c + 46), nameLen);
        if (!entry.IsFolder()) Names.emplace(Comparable(entry.Name), int(Entries.size()));
        Entries.push_back(entry);
        p += 46 + nameLen + extraLen + commentLen;
    }
    return true;
}

int TacZipReader::Find(const std::string& name) const {
    const std::string key = Comparable(name);
    if (key.empty()) return -1;
    const auto it = Names.find(key);
    return it == Names.end() ? -1 : it->second;
}

bool TacZipReader::Extract(const std::string& name, std::vector<std::uint8_t>& data, std::string& error) {
    const int index = Find(name);
    if (index < 0) {
        data.clear();
        error = "\"" + name + "\" is not in the packed file";
        return false;
    }
    return Extract(std::size_t(index), data, error);
}

bool TacZipReader::Extract(std::size_t index, std::vector<std::uint8_t>& data, std::string& error) {
    data.clear();
    if (index >= Entries.size()) {
        error = "no such entry in the packed file";
        return false;
    }
    const TacZipEntry& e = Entries[index];
    auto fail = [&](const std::string& why) {
        data.clear();
        data.shrink_to_fit();
        error = "entry \"" + e.Name + "\" " + why;
        return false;
    };
    if (e.Flags & 0x41) return fail("is encrypted; packed skins must not be encrypted");
    if (e.Method != 0 && e.Method != 8)
        return fail("uses compression method " + std::to_string(e.Method) +
                    "; only stored and deflated entries are read");
    if (e.Size == 0xFFFFFFFF || e.CompressedSize == 0xFFFFFFFF || e.LocalOffset == 0xFFFFFFFF)
        return fail("needs ZIP64, which is not supported");
    if (e.Size > MaxEntrySize)
        return fail("claims " + std::to_string(e.Size) + " bytes; entries above 64 MB are refused");
    if (TotalExtracted + e.Size > MaxTotalSize) return fail("would take the packed skin past 256 MB unpacked");

    const std::uint8_t* b = Bytes.data();
    const std::uint64_t local = e.LocalOffset;
    if (local + 30 > CentralOffset || U32(b + local) != kLocalSignature)
        return fail("has a local header offset outside the archive or no local header there");
    const std::uint64_t start = local + 30 + U16(b + local + 26) + U16(b + local + 28);
    if (start + e.CompressedSize > CentralOffset)
        return fail("claims " + std::to_string(e.CompressedSize) + " bytes of data, more than the archive holds there");
    const std::uint8_t* src = b + start;

    if (e.Method == 0) {
        if (e.CompressedSize != e.Size)
            return fail("is stored but claims " + std::to_string(e.Size) + " bytes while holding " +
                        std::to_string(e.CompressedSize));
        data.assign(src, src + e.Size);
    } else {
        Inflater z;
        if (!z.Ready) return fail("could not be unpacked (zlib failed to start)");
        // One byte more than claimed shows an entry (or a deflate bomb) that inflates past its size.
        data.resize(std::size_t(e.Size) + 1);
        z.Stream.next_in = const_cast<Bytef*>(src);
        z.Stream.avail_in = e.CompressedSize;
        z.Stream.next_out = data.data();
        z.Stream.avail_out = uInt(data.size());
        for (;;) {
            const int rc = inflate(&z.Stream, Z_NO_FLUSH);
            if (z.Stream.total_out > e.Size)
                return fail("inflates past the " + std::to_string(e.Size) +
                            " bytes it claims (a damaged entry or a deflate bomb)");
            if (rc == Z_STREAM_END) break;
            if (rc == Z_OK) continue;
            if (rc == Z_BUF_ERROR && z.Stream.avail_in == 0) return fail("has truncated compressed data");
            if (rc == Z_MEM_ERROR) return fail("could not be unpacked (out of memory)");
            return fail(std::string("has damaged compressed data") +
                        (z.Stream.msg ? " (" + std::string(z.Stream.msg) + ")" : ""));
        }
        if (z.Stream.total_out < e.Size)
            return fail("inflates to " + std::to_string(z.Stream.total_out) + " bytes, fewer than the " +
                        std::to_string(e.Size) + " it claims");
        if (z.Stream.avail_in != 0)
            return fail("claims " + std::to_string(e.CompressedSize) + " compressed bytes but its data ends after " +
                        std::to_string(e.CompressedSize - z.Stream.avail_in));
        data.resize(e.Size);
    }
    const uLong crc = crc32(crc32(0, Z_NULL, 0), data.data(), uInt(data.size()));
    if (crc != e.Crc) return fail("fails its CRC check (the archive is damaged)");
    TotalExtracted += data.size();
    return true;
}
