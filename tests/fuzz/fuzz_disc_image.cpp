// Feeds arbitrary bytes to the disc image reader as an image file: every folder it lists (to a
// bounded depth and count) is walked and every file read whole and at an odd offset. A file
// never reads more bytes than its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_scratch_file.h"
#include "platform/disc/disc_image.h"

namespace {

void Walk(const CDiscImage& image, const std::string& folder, int depth, int& budget) {
    if (depth > 8) return;
    for (const CDiscImage::Entry& entry : image.List(folder)) {
        if (--budget < 0) return;
        std::string path = folder + "/" + entry.name;
        if (entry.folder) {
            Walk(image, path, depth + 1, budget);
            continue;
        }
        std::optional<CDiscImage::File> file = image.OpenFile(path);
        if (!file) continue;
        std::vector<unsigned char> buffer(8192);
        long long read = image.Read(*file, 0, buffer.data(), buffer.size());
        if (read > static_cast<long long>(std::min<std::uint64_t>(file->size, buffer.size()))) std::abort();
        image.Read(*file, 3000, buffer.data(), 100);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("vx_fuzz_disc_image", ".iso");
    if (!WriteScratch(path, data, size)) return 0;
    std::string error;
    std::unique_ptr<CDiscImage> image = CDiscImage::Open(path, error);
    if (!image) return 0;
    int budget = 200;
    Walk(*image, "", 0, budget);
    return 0;
}
