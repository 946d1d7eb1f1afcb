#include "packer/package_contents.h"

#include "packer/definition.h"
#include "packer/signer.h"
#include "packer/string_table.h"
#include "payload/embedded_info.h"
#include "package/manifest.h"

namespace gr::pack {

const ResourceKey& PayloadType() {
    static const ResourceKey type = ResourceKey::Name(kPayloadType);
    return type;
}

namespace {

constexpr uint32_t kLargestCertificateTable = 16 * 1024 * 1024;

void ReadSignature(File& file, const PeImage& image, PackageContents& contents) {
    const DataDirectory& table = image.directories[kSecurityDirectory];
    contents.isSigned = table.size != 0;
    if (!contents.isSigned) return;
    contents.digest.problem = "the certificate table cannot be read";
    if (table.size < 8 || table.size > kLargestCertificateTable || !Within(table.address, table.size, image.fileSize))
        return;
    Bytes certificate(table.size);
    if (!file.ReadAt(table.address, certificate.data(), certificate.size())) return;
    contents.digest = CheckSignedDigest(file, image, certificate);
    uint32_t length = Get32(&certificate[0]);
    if (length < 8 || length > certificate.size()) return;
    Bytes der(certificate.begin() + 8, certificate.begin() + length);
    SignerSubject(der, contents.signer);
}

void ReadInformation(File& file, const PeImage& image, PackageContents& contents) {
    if (image.fileSize <= kInfoWindowBytes) return;
    Bytes window(kInfoWindowBytes);
    InfoBlock block;
    if (!file.ReadAt(image.fileSize - kInfoWindowFromEnd, window.data(), window.size()) ||
        !FindEmbeddedInformation(window.data(), block))
        return;
    contents.information = Bytes(window.begin() + static_cast<ptrdiff_t>(block.offset),
                                 window.begin() + static_cast<ptrdiff_t>(block.offset + block.length));
}

void ReadPictures(PackageContents& contents) {
    const ResourceList& resources = contents.program.resources;
    Bytes data;
    if (const Resource* group = resources.Find(ResourceKey::Id(kTypeGroupIcon), ResourceKey::Id(kIconGroup));
        group != nullptr && group->data.Load(data))
        contents.icon = DescribeIconGroup(data);
    for (auto [id, picture] :
         {std::pair{kSplashBitmap, &contents.splash}, std::pair{kBannerBitmap, &contents.banner}}) {
        const Resource* bitmap = resources.Find(ResourceKey::Id(kTypeBitmap), ResourceKey::Id(id));
        BitmapInfo info;
        if (bitmap != nullptr && bitmap->data.Load(data) && DescribeBitmap(data.data(), data.size(), info))
            *picture = info;
    }
}

}  // namespace

bool ReadManifest(const Resource& manifest, ManifestMap& map, std::string& why) {
    Bytes bytes;
    if (manifest.data.Size() > kLargestManifest || !manifest.data.Load(bytes)) {
        why = "has a manifest that cannot be read or is over 1 MB";
        return false;
    }
    std::wstring text;
    if (!DecodeManifest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text)) {
        why = "has a manifest with a byte beyond plain ASCII, whose names the program reads in each machine's code page: which files it names cannot be told";
        return false;
    }
    size_t fields = 0;
    for (size_t i = 0; i < text.size(); ++i) fields += text[i] != L'*' && (i == 0 || text[i - 1] == L'*') ? 1 : 0;
    if (fields > 3 * kMostManifestRecords) {
        why = "has a manifest of more than 4,096 records";
        return false;
    }
    ParseManifest(text, map);
    return true;
}

bool ReadPackageContents(const fs::path& path, PackageContents& contents, std::string& error) {
    if (!ReadProgramFile(path, contents.program, error)) return false;
    const ResourceList& resources = contents.program.resources;
    for (const PackageSetting& setting : kSettings) contents.settings.push_back(FindString(resources, setting.entry));
    ManifestMap manifest;
    if (const Resource* found = resources.Find(PayloadType(), ResourceKey::Id(kManifestId))) {
        if (!ReadManifest(*found, manifest, error)) return false;
        contents.hasManifest = true;
    }
    for (const Resource& resource : resources.items()) {
        if (!(resource.type == PayloadType()) || resource.name == ResourceKey::Id(kManifestId)) continue;
        if (resource.name.IsName() || manifest.Find(resource.name.id) == nullptr)
            contents.unrecorded.push_back(&resource);
    }
    // Payload ids are below 65536: a record with another id can name no resource.
    for (uint32_t id = 0; id <= 0xFFFF && contents.records.size() < manifest.size(); ++id) {
        const CResourceFile* record = manifest.Find(id);
        if (record == nullptr) continue;
        contents.records.push_back(
            {id, record->name, record->size, resources.Find(PayloadType(), ResourceKey::Id(id))});
    }
    File file = File::OpenRead(path);
    ReadSignature(file, contents.program.image, contents);
    ReadInformation(file, contents.program.image, contents);
    ReadPictures(contents);
    return true;
}

bool PayloadCatalogue(const PackageContents& contents, ResourceCatalogue& catalogue, std::string& error) {
    // As the program enumerates them (integer ids only), each put at the head: the last first.
    const std::vector<Resource>& items = contents.program.resources.items();
    for (auto resource = items.rbegin(); resource != items.rend(); ++resource) {
        if (!(resource->type == PayloadType()) || resource->name.IsName()) continue;
        CResource entry;
        entry.id = resource->name.id;
        entry.type = kPayloadType;
        catalogue.push_back(entry);
    }
    if (catalogue.empty()) {
        error = "carries no payload";
        return false;
    }
    ManifestMap manifest;
    if (const Resource* found = contents.program.resources.Find(PayloadType(), ResourceKey::Id(kManifestId)))
        if (!ReadManifest(*found, manifest, error)) return false;
    std::wstring wizard;
    AssignFileNames(catalogue, manifest, wizard);
    return true;
}

}  // namespace gr::pack
