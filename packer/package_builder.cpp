#include "packer/package_builder.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "packer/branding.h"
#include "packer/image_layout.h"
#include "packer/program_file.h"
#include "packer/shipping_checks.h"
#include "packer/string_table.h"
#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint64_t kLargestPayload = 0x7FFFFFFF;    // 2 GB in all: sizes are signed 32-bit
constexpr uint64_t kPageAlignedFrom = 1024 * 1024;  // a payload this large is mapped, not read
constexpr uint64_t kLargestPicture = 16 * 1024 * 1024;

class Builder {
public:
    explicit Builder(const BuildRequest& request) : request_(request) {}
    int Run();

private:
    void Refuse(size_t line, std::string message) {
        refusals_.push_back({PathText(request_.definition), line, std::move(message)});
    }
    bool ReadTheDefinition();
    void MeasurePayload();
    void ReadPicture(const std::optional<Picture>& picture, const char* key, uint32_t bitmap);
    bool AddPayload(std::string& error);
    bool Refused();
    bool Warned();

    const BuildRequest& request_;
    Definition definition_;
    std::vector<Refusal> refusals_;
    std::vector<uint64_t> sizes_;
    uint64_t total_ = 0;
    ProgramFile program_;
    std::vector<IconImage> icon_;
    std::vector<std::pair<uint32_t, Bytes>> bitmaps_;
    PictureSizes pictures_;
};

bool Builder::ReadTheDefinition() {
    Bytes text;
    if (!ReadWholeFile(request_.definition, text)) {
        Refuse(0, "cannot be read");
        return false;
    }
    ReadDefinition(request_.definition, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                   request_.options, definition_, refusals_);
    return true;
}

void Builder::MeasurePayload() {
    for (const PayloadFile& file : definition_.files) {
        std::error_code failure;
        bool regular = fs::is_regular_file(file.source, failure);
        uint64_t size = regular ? fs::file_size(file.source, failure) : 0;
        if (!regular || failure || !File::OpenRead(file.source)) {
            Refuse(file.line, "cannot read the file '" + PathText(file.source) + "'");
            size = 0;
        }
        sizes_.push_back(size);
        bool over = total_ <= kLargestPayload && total_ + size > kLargestPayload;
        total_ += size;
        if (over) Refuse(file.line, "the payload is over 2 GB in all from this file on");
    }
}

void Builder::ReadPicture(const std::optional<Picture>& picture, const char* key, uint32_t bitmap) {
    if (!picture) return;
    std::string shown = std::string(key) + " '" + PathText(picture->source) + "'";
    std::error_code failure;
    Bytes file;
    if (!fs::is_regular_file(picture->source, failure) || fs::file_size(picture->source, failure) > kLargestPicture ||
        failure || !ReadWholeFile(picture->source, file))
        return Refuse(picture->line, "cannot read the " + shown);
    std::string error;
    if (bitmap == 0) {
        if (!ReadIconFile(file, icon_, error)) Refuse(picture->line, shown + " " + error);
        return;
    }
    Bytes resource;
    BitmapInfo info;
    if (!ReadBitmapFile(file, resource, info, error)) return Refuse(picture->line, shown + " " + error);
    (bitmap == kSplashBitmap ? pictures_.splash : pictures_.banner) = info;
    bitmaps_.emplace_back(bitmap, std::move(resource));
}

bool Builder::Refused() {
    for (const Refusal& refusal : refusals_) std::fprintf(stderr, "%s\n", refusal.Text().c_str());
    return !refusals_.empty();
}

// Prints the warnings; under --strict they are refusals. Our test packages are odd on
// purpose, so they draw none.
bool Builder::Warned() {
    if (request_.options.allowTestShapes) return false;
    std::vector<Refusal> warnings = ShippingWarnings(definition_, pictures_);
    for (const Refusal& warning : warnings)
        std::fprintf(stderr, "%s%s\n", request_.strict ? "" : "warning: ", warning.Text().c_str());
    return request_.strict && !warnings.empty();
}

bool Builder::AddPayload(std::string& error) {
    ResourceList& resources = program_.resources;
    const uint16_t language = program_.language;
    for (size_t i = 0; i < kSettings.size(); ++i)
        SetString(resources, kSettings[i].entry, definition_.settings[i], language);
    const ResourceKey type = ResourceKey::Name(kPayloadType);
    if (definition_.manifest) {
        std::string manifest = ManifestText(definition_, sizes_);
        resources.Put(
            {type, ResourceKey::Id(101), language, 0, ResourceData::Held(Bytes(manifest.begin(), manifest.end()))});
    }
    for (size_t i = 0; i < definition_.files.size(); ++i) {
        const PayloadFile& file = definition_.files[i];
        ResourceKey name = file.resourceName.empty() ? ResourceKey::Id(file.id) : ResourceKey::Name(file.resourceName);
        resources.Put({type, name, language, 0, ResourceData::InFile(file.source, 0, sizes_[i])});
    }
    if (!icon_.empty()) PutIcon(resources, kIconGroup, icon_, language);
    for (auto& [id, bitmap] : bitmaps_)
        resources.Put({ResourceKey::Id(kTypeBitmap), ResourceKey::Id(id), language, 0, ResourceData::Held(bitmap)});
    return ApplyProductIdentity(resources, definition_.identity, definition_.settings[SettingIndex(IDS_PRODUCT_NAME)],
                                request_.output, error);
}

int Builder::Run() {
    if (!ReadTheDefinition()) return 1;
    if (!request_.options.allowTestShapes && refusals_.empty()) refusals_ = ShippingRefusals(definition_);
    if (Refused()) return 1;
    MeasurePayload();
    ReadPicture(definition_.icon, "icon", 0);
    ReadPicture(definition_.splash, "splash", kSplashBitmap);
    ReadPicture(definition_.banner, "banner", kBannerBitmap);
    std::string error;
    if (!ReadProgramFile(request_.program, program_, error)) {
        refusals_.push_back({PathText(request_.program), 0, error});
    } else if (program_.image.directories[kSecurityDirectory].size != 0) {
        refusals_.push_back({PathText(request_.program), 0,
                             "is signed: packing breaks a signature, so pack the "
                             "unsigned program and sign the package"});
    } else if (std::any_of(program_.resources.items().begin(), program_.resources.items().end(),
                           [](const Resource& r) { return r.type == ResourceKey::Name(kPayloadType); })) {
        refusals_.push_back({PathText(request_.program), 0, "is a package already: pack the program with no package"});
    }
    if (Refused() || Warned()) return 1;
    if (!AddPayload(error)) {
        std::fprintf(stderr, "%s: %s\n", PathText(request_.program).c_str(), error.c_str());
        return 1;
    }
    Output output(request_.output);
    if (!output.file()) {
        std::fprintf(stderr, "%s: cannot be written\n", PathText(request_.output).c_str());
        return 1;
    }
    if (!WriteImage(program_, program_.resources, total_ >= kPageAlignedFrom, output.file(), error)) {
        std::fprintf(stderr, "%s: %s\n", PathText(request_.output).c_str(), error.c_str());
        return 1;
    }
    if (!output.Commit(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (const PayloadFile* wizard = WizardFile(definition_))
        std::printf("wizard: %s (id %u)\n", EncodeUtf8(wizard->name).c_str(), wizard->id);
    return 0;
}

}  // namespace

int BuildPackage(const BuildRequest& request) { return Builder(request).Run(); }

}  // namespace gr::pack
