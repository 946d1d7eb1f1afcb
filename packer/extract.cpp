#include <cstdio>
#include <string>
#include <vector>

#include "packer/coded_payload.h"
#include "packer/extract_target.h"
#include "packer/image_writer.h"
#include "packer/package_contents.h"
#include "packer/shown_text.h"
#include "packer/utf.h"
#include "packer/verbs.h"
#include "package/manifest.h"
#include "package/names.h"

namespace gr::pack {
namespace {

// The elements of a payload name: "\" (and "/") separate its folders.
std::vector<fs::path> ElementsOf(std::wstring_view name) {
    std::vector<fs::path> elements;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = name.size();
        std::string element = EncodeUtf8(name.substr(start, end - start));
        if (!element.empty()) elements.emplace_back(std::u8string(element.begin(), element.end()));
        start = end + 1;
    }
    return elements;
}

// Writes one resource into `out`; false when it cannot be written whole.
bool WriteResource(const Resource& resource, File& out, uint64_t& written) {
    ImageWriter writer(out);
    bool copied = writer.Copy(resource.data);
    written = writer.position();
    return out.Close() && copied;
}

// Unpacks a compressed resource into `out` as the program does; false, with the reason on
// standard error, when the program would stop there.
bool UnpackInto(const Resource& resource, const CResource& entry, File& out, const std::string& shown,
                uint64_t& written) {
    UnpackFault fault = UnpackResource(resource.data, entry, out, written);
    if (!out.Close() && fault == UnpackFault::None) fault = UnpackFault::Write;
    if (fault == UnpackFault::None) return true;
    std::fprintf(stderr, "%s: payload %u '%s' cannot be unpacked: %s: the program stops here\n", shown.c_str(),
                 entry.id, EncodeUtf8(entry.fileName).c_str(), EncodeUtf8(UnpackFaultText(fault)).c_str());
    return false;
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
    Bytes codings;
    if (!ReadCodingTable(contents.program.resources, codings)) {
        std::fprintf(stderr, "%s: its coding table (CODING 101) is damaged: the program extracts nothing\n",
                     shown.c_str());
        return 1;
    }
    AssignCodings(catalogue, codings.data(), codings.size());  // checked when read
    if (!contents.hasManifest) std::printf("%s: no manifest: the program extracts nothing\n", shown.c_str());
    ExtractTarget target(folder);
    if (!target.error().empty()) {
        std::fprintf(stderr, "%s: %s\n", PathText(folder).c_str(), target.error().c_str());
        return 1;
    }
    for (const CResource& entry : catalogue) {
        if (entry.fileName.empty()) continue;
        const Resource* resource = contents.program.resources.Find(PayloadType(), ResourceKey::Id(entry.id));
        std::string name = TerminalText(entry.fileName);
        if (!IsContainedName(entry.fileName)) {
            std::fprintf(stderr,
                         "%s: payload %u '%s' is refused: the program writes no such file (it leaves the "
                         "working folder, names a device or ends with a dot or a blank)\n",
                         shown.c_str(), entry.id, name.c_str());
            return 1;
        }
        std::string why;
        File out = target.Create(ElementsOf(entry.fileName), why);
        if (!out) {
            std::fprintf(stderr, "%s: payload %u '%s' is refused: %s\n", shown.c_str(), entry.id, name.c_str(),
                         why.c_str());
            return 1;
        }
        uint64_t written = 0;
        if (entry.coding != kCodingStored) {
            if (!UnpackInto(*resource, entry, out, shown, written)) return 1;
            std::printf("%5u  %s  %llu bytes (lzma)\n", entry.id, name.c_str(), static_cast<unsigned long long>(written));
            continue;
        }
        bool whole = WriteResource(*resource, out, written);
        uint32_t result = whole ? ExtractionResult(written, resource->data.Size(), entry.expectedSize) : 1;
        if (result == kSizeMismatch) {
            std::fprintf(stderr, "%s: payload %u '%s' holds %llu bytes, the manifest says %d: the program stops here\n",
                         shown.c_str(), entry.id, name.c_str(), static_cast<unsigned long long>(written),
                         entry.expectedSize);
            return 1;
        }
        if (result != 0) {
            std::fprintf(stderr, "%s: payload %u '%s' cannot be written to %s\n", shown.c_str(), entry.id, name.c_str(),
                         PathText(out.path()).c_str());
            return 1;
        }
        std::printf("%5u  %s  %llu bytes\n", entry.id, name.c_str(), static_cast<unsigned long long>(written));
    }
    return 0;
}

}  // namespace gr::pack
