#include "packer/package_builder.h"

#include <algorithm>
#include <cstdio>

#include "packer/branding.h"
#include "packer/image_layout.h"
#include "packer/input_files.h"
#include "packer/output_file.h"
#include "packer/program_file.h"
#include "packer/shipping_checks.h"
#include "packer/string_table.h"
#include "packer/utf.h"

namespace gr::pack {
namespace {

// The program, a 32-bit process, maps its whole file and needs room beside it: under Wine a
// signed package of 1,900 MB of payload ran and extracted it, one of 1,950 MB started but
// could not make its worker thread, one of 2 GB did not start at all; Windows places its
// own libraries less predictably. 1.5 GB keeps a margin.
constexpr uint64_t kLargestPayload = 1536ull * 1024 * 1024;
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
    void ReadProgram();
    bool AddPayload(std::string& error);
    bool Refused();
    bool Warned();
    int Write();

    const BuildRequest& request_;
    Definition definition_;
    std::vector<Refusal> refusals_;
    std::vector<uint64_t> sizes_;
    uint64_t total_ = 0;
    InputFiles inputs_;
    ProgramFile program_;
    std::vector<IconImage> icon_;
    std::vector<std::pair<uint32_t, Bytes>> bitmaps_;
    PictureSizes pictures_;
};

bool Builder::ReadTheDefinition() {
    Bytes text;
    std::string why;
    if (!inputs_.ReadWhole(request_.definition, text, kLargestDefinition, why)) {
        Refuse(0, why);
        return false;
    }
    ReadDefinition(request_.definition, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                   request_.options, definition_, refusals_);
    return true;
}

void Builder::MeasurePayload() {
    for (const PayloadFile& file : definition_.files) {
        std::string why;
        File opened = inputs_.Open(file.source, why);
        uint64_t size = opened ? opened.Facts().size : 0;
        if (!opened) Refuse(file.line, "cannot read the file '" + PathText(file.source) + "': it " + why);
        sizes_.push_back(size);
        bool over = total_ <= kLargestPayload && total_ + size > kLargestPayload;
        total_ += size;
        if (over)
            Refuse(file.line, "the payload is over 1.5 GB in all from this file on: the program, a 32-bit process, "
                              "cannot map a larger package");
    }
}

void Builder::ReadPicture(const std::optional<Picture>& picture, const char* key, uint32_t bitmap) {
    if (!picture) return;
    std::string shown = std::string(key) + " '" + PathText(picture->source) + "'";
    Bytes file;
    std::string error;
    if (!inputs_.ReadWhole(picture->source, file, kLargestPicture, error))
        return Refuse(picture->line, "cannot read the " + shown + ": it " + error);
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
        resources.Put({type, ResourceKey::Id(kManifestId), language, 0,
                       ResourceData::Held(Bytes(manifest.begin(), manifest.end()))});
    }
    for (size_t i = 0; i < definition_.files.size(); ++i) {
        const PayloadFile& file = definition_.files[i];
        ResourceKey name = file.resourceName.empty() ? ResourceKey::Id(file.id) : ResourceKey::Name(file.resourceName);
        resources.Put({type, name, language, 0, ResourceData::InFile(file.source, 0, sizes_[i])});
    }
    if (!icon_.empty()) PutIcon(resources, kIconGroup, icon_, language);
    for (auto& [id, bitmap] : bitmaps_)
        resources.Put({ResourceKey::Id(kTypeBitmap), ResourceKey::Id(id), language, 0, ResourceData::Held(bitmap)});
    return ApplyProductIdentity(resources, definition_.identity, SettingText(definition_, Setting::Product),
                                request_.output, error);
}

void Builder::ReadProgram() {
    std::string error;
    const std::string shown = PathText(request_.program);
    if (!inputs_.Open(request_.program, error)) {
        refusals_.push_back({shown, 0, error});
    } else if (!ReadProgramFile(request_.program, program_, error)) {
        refusals_.push_back({shown, 0, error});
    } else if (program_.image.directories[kSecurityDirectory].size != 0) {
        refusals_.push_back({shown, 0,
                             "is signed: packing breaks a signature, so pack the "
                             "unsigned program and sign the package"});
    } else if (std::any_of(program_.resources.items().begin(), program_.resources.items().end(),
                           [](const Resource& r) { return r.type == ResourceKey::Name(kPayloadType); })) {
        refusals_.push_back({shown, 0, "is a package already: pack the program with no package"});
    }
}

// Writes the package under a temporary name and puts it in place once every input is
// found as it was when measured.
int Builder::Write() {
    const std::string shown = PathText(request_.output);
    Output output(request_.output, inputs_.Facts());
    if (!output.file()) {
        std::fprintf(stderr, "%s: %s\n", shown.c_str(), output.error().c_str());
        return 1;
    }
    std::string error;
    bool written = WriteImage(program_, program_.resources, total_ >= kPageAlignedFrom, output.file(), error);
    if (const fs::path* changed = inputs_.Changed()) {
        std::fprintf(stderr, "%s: changed while it was read\n", PathText(*changed).c_str());
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "%s: %s\n", shown.c_str(), error.c_str());
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

int Builder::Run() {
    bool read = ReadTheDefinition();
    if (read && !request_.options.allowTestShapes && refusals_.empty()) refusals_ = ShippingRefusals(definition_);
    if (Refused() || !read) return 1;
    MeasurePayload();
    ReadPicture(definition_.icon, "icon", 0);
    ReadPicture(definition_.splash, "splash", kSplashBitmap);
    ReadPicture(definition_.banner, "banner", kBannerBitmap);
    ReadProgram();
    std::string error;
    if (Refused() || Warned()) return 1;
    if (!AddPayload(error)) {
        std::fprintf(stderr, "%s: %s\n", PathText(request_.program).c_str(), error.c_str());
        return 1;
    }
    return Write();
}

}  // namespace

int BuildPackage(const BuildRequest& request) { return Builder(request).Run(); }

}  // namespace gr::pack
