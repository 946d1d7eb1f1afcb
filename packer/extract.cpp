#include <cstdio>
#include <string>
#include <system_error>

#include "packer/image_writer.h"
#include "packer/package_contents.h"
#include "packer/utf.h"
#include "packer/verbs.h"
#include "package/manifest.h"
#include "package/names.h"

namespace gr::pack {
namespace {

// The path of a payload name under `folder`: its "\" (and "/") separate folders.
fs::path PathIn(const fs::path& folder, std::wstring_view name) {
    fs::path path = folder;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = name.size();
        std::string element = EncodeUtf8(name.substr(start, end - start));
        if (!element.empty()) path /= fs::path(std::u8string(element.begin(), element.end()));
        start = end + 1;
    }
    return path;
}

// Writes one resource to `path`, creating the folders above it; false when the file
// cannot be created or written whole.
bool WriteResource(const Resource& resource, const fs::path& path, uint64_t& written) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    File out = File::Create(path);
    if (!out) return false;
    ImageWriter writer(out);
    bool copied = writer.Copy(resource.data);
    written = writer.position();
    return out.Close() && copied;
}

}  // namespace

int ExtractPackage(const std::filesystem::path& package, const std::filesystem::path& folder) {
    PackageContents contents;
    ResourceCatalogue catalogue;
    std::string error;
    const std::string shown = PathText(package);
    if (!ReadPackageContents(package, contents, error) || !PayloadCatalogue(contents, catalogue, error)) {
        std::fprintf(stderr, "%s: %s\n", shown.c_str(), error.c_str());
        return 1;
    }
    if (!contents.hasManifest) std::printf("%s: no manifest: the program extracts nothing\n", shown.c_str());
    for (const CResource& entry : catalogue) {
        if (entry.fileName.empty()) continue;
        const Resource* resource = contents.program.resources.Find(PayloadType(), ResourceKey::Id(entry.id));
        std::string name = EncodeUtf8(entry.fileName);
        if (!IsContainedName(entry.fileName)) {
            std::fprintf(stderr,
                         "%s: payload %u '%s' is refused: the program writes no such file (it leaves the "
                         "working folder, names a device or ends with a dot or a blank)\n",
                         shown.c_str(), entry.id, name.c_str());
            return 1;
        }
        uint64_t written = 0;
        bool whole = WriteResource(*resource, PathIn(folder, entry.fileName), written);
        uint32_t result = whole ? ExtractionResult(written, resource->data.Size(), entry.expectedSize) : 1;
        if (result == kSizeMismatch) {
            std::fprintf(stderr, "%s: payload %u '%s' holds %llu bytes, the manifest says %d: the program stops here\n",
                         shown.c_str(), entry.id, name.c_str(), static_cast<unsigned long long>(written),
                         entry.expectedSize);
            return 1;
        }
        if (result != 0) {
            std::fprintf(stderr, "%s: payload %u '%s' cannot be written to %s\n", shown.c_str(), entry.id, name.c_str(),
                         PathText(PathIn(folder, entry.fileName)).c_str());
            return 1;
        }
        std::printf("%5u  %s  %llu bytes\n", entry.id, name.c_str(), static_cast<unsigned long long>(written));
    }
    return 0;
}

}  // namespace gr::pack
