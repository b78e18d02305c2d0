#include "acZipWrite.h"

namespace {

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

}  // namespace

std::uint32_t ZipCrc32(const std::uint8_t* data, std::size_t size) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> BuildZip(const std::vector<TacZipInput>& entries) {
    std::vector<std::uint8_t> out, central;
    // A fixed time stamp (1 January 2020) keeps the build reproducible.
    const std::uint32_t dosTime = 0, dosDate = ((2020 - 1980) << 9) | (1 << 5) | 1;
    for (const TacZipInput& e : entries) {
        const bool deflated = !e.Deflated.empty();
        const std::vector<std::uint8_t>& body = deflated ? e.Deflated : e.Data;
        const std::uint32_t crc = ZipCrc32(e.Data.data(), e.Data.size());
        const std::uint32_t offset = std::uint32_t(out.size());
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, 0);
        Put16(out, deflated ? 8 : 0);
        Put16(out, dosTime);
        Put16(out, dosDate);
        Put32(out, crc);
        Put32(out, std::uint32_t(body.size()));
        Put32(out, std::uint32_t(e.Data.size()));
        Put16(out, std::uint32_t(e.Name.size()));
        Put16(out, 0);
        out.insert(out.end(), e.Name.begin(), e.Name.end());
        out.insert(out.end(), body.begin(), body.end());

        Put32(central, 0x02014b50);
        Put16(central, 20);
        Put16(central, 20);
        Put16(central, 0);
        Put16(central, deflated ? 8 : 0);
        Put16(central, dosTime);
        Put16(central, dosDate);
        Put32(central, crc);
        Put32(central, std::uint32_t(body.size()));
        Put32(central, std::uint32_t(e.Data.size()));
        Put16(central, std::uint32_t(e.Name.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, 0);
        Put32(central, offset);
        central.insert(central.end(), e.Name.begin(), e.Name.end());
    }
    const std::uint32_t centralOffset = std::uint32_t(out.size());
    out.insert(out.end(), central.begin(), central.end());
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, std::uint32_t(entries.size()));
    Put16(out, std::uint32_t(entries.size()));
    Put32(out, std::uint32_t(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}
