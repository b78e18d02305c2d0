// Any bytes as a packed skin: the archive opens or fails with a reason, every
// entry it lists is found by its name and unpacks within the reader's limits
// or fails the same way.
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
        // Found by its own name (the first entry of that name), unless a
        // folder or a name of nothing but "./" and slashes.
        const int found = zip.Find(entry.Name);
        if (found > int(i)) std::abort();
        if (found < 0 && !entry.IsFolder() && entry.Name.find_first_not_of("./\\") != std::string::npos) std::abort();
        error.clear();
        if (zip.Extract(i, bytes, error)) {
            if (bytes.size() != entry.Size || bytes.size() > TacZipReader::MaxEntrySize) std::abort();
        } else if (error.empty()) {
            std::abort();
        }
    }
    return 0;
}
