// Fuzzes what gearrack-pack reads from a package it is given to inspect or extract, which
// may come from anywhere: the program headers, the resource directory (the input taken as
// the resource section of an image, so that every byte steers the directory walk), the
// string tables and icon groups found there, the signature's signed data (read, and given
// an information block), and a version resource. Nothing may
// read out of bounds, loop without end or load more than the tool's limit.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include "packer/branding.h"
#include "packer/embed.h"
#include "packer/pe_image.h"
#include "packer/resource_tree.h"
#include "packer/signer.h"
#include "packer/string_table.h"
#include "packer/version_info.h"

namespace {

using namespace gr::pack;

// The input goes through a file, as the tool reads it: one in memory where there is such a
// folder, each run writing over the last.
class ScratchFile {
public:
    ScratchFile()
        : path_((fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                ("package_fuzz." + std::to_string(::getpid()))) {}
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

const ScratchFile scratch;

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& path = scratch.path();
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        Check(out != nullptr && std::fwrite(data, 1, size, out) == size);
        Check(std::fclose(out) == 0);
    }
    File file = File::OpenRead(path);
    PeImage headers;
    std::string error;
    ResourceList fromHeaders;
    if (ReadPeImage(file, headers, error)) ReadResources(file, path, headers, fromHeaders, error);

    // The same bytes as the resource section of an image that has nothing else.
    PeImage image;
    image.fileSize = size;
    image.sections.push_back({".rsrc", static_cast<uint32_t>(size), 0x1000, static_cast<uint32_t>(size), 0, 0});
    image.directories.resize(16);
    image.directories[kResourceDirectory] = {0x1000, static_cast<uint32_t>(size)};
    ResourceList resources;
    if (ReadResources(file, path, image, resources, error)) {
        for (const Resource& resource : resources.items()) {
            Check(resource.data.offset + resource.data.size <= size);
            Bytes loaded;
            if (resource.data.Load(loaded)) Check(loaded.size() == resource.data.size);
            if (resource.type == ResourceKey::Id(kTypeGroupIcon)) DescribeIconGroup(loaded);
            if (resource.type == ResourceKey::Id(kTypeString) && !resource.name.IsName())
                FindString(resources, (resource.name.id - 1) * 16);
        }
    }
    std::string subject;
    Bytes bytes(data, data + size), edited;
    SignerSubject(bytes, subject);
    // The same bytes as a signature to carry an information block, and as a version resource.
    if (SignatureWithInformation(DerView(bytes), Bytes{'<', 'i', '/', '>'}, edited, error))
        Check((8 + edited.size()) % 8 == 0 && SignerSubject(edited, subject) == SignerSubject(bytes, subject));
    VersionInfo version;
    if (DecodeVersionInfo(bytes, version)) {
        VersionInfo again;
        Check(DecodeVersionInfo(EncodeVersionInfo(version), again) && again.strings.size() >= version.strings.size());
    }
    return 0;
}
