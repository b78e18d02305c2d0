// Any bytes as a packed skin: the archive opens or fails with a reason, and
// every entry it lists unpacks within the reader's limits or fails the same way.
#include "acZipReader.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TacZipReader zip;
    std::string error;
    if (!zip.OpenMemory(data, size, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < zip.Count(); ++i) {
        const TacZipEntry entry = zip.Entry(i);
        if (zip.Find(entry.Name) < 0) std::abort();
        error.clear();
        if (zip.Extract(i, bytes, error)) {
            if (bytes.size() != entry.Size || bytes.size() > TacZipReader::MaxEntrySize) std::abort();
        } else if (error.empty()) {
            std::abort();
        }
    }
    return 0;
}
