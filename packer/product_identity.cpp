#include "packer/product_identity.h"

#include <algorithm>

#include "packer/file_io.h"
#include "packer/resource_tree.h"
#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint32_t kTypeManifest = 24;
constexpr uint32_t kProgramManifest = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr uint32_t kVersionResource = 1;

std::string Narrow(std::wstring_view text) { return EncodeUtf8(text); }

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    DecodeUtf8(text, wide);
    return wide;
}

// The version resource as the product's, from the program's.
void ApplyToVersion(VersionInfo& info, const ProductIdentity& identity, const std::wstring& product,
                    const std::filesystem::path& output) {
    if (identity.version) {
        info.fileVersion = info.productVersion = *identity.version;
        info.Set(L"FileVersion", identity.versionText);
        info.Set(L"ProductVersion", identity.versionText);
    }
    if (identity.company) info.Set(L"CompanyName", *identity.company);
    if (identity.description)
        info.Set(L"FileDescription", *identity.description);
    else if (!product.empty())
        info.Set(L"FileDescription", product + L" Setup");
    if (identity.copyright) info.Set(L"LegalCopyright", *identity.copyright);
    if (!product.empty()) info.Set(L"ProductName", product);
    info.Set(L"InternalName", Wide(PathText(output.stem())));
    info.Set(L"OriginalFilename", Wide(PathText(output.filename())));
}

}  // namespace

bool IsIdentityKey(std::string_view key) {
    return key == "version" || key == "company" || key == "description" || key == "copyright" || key == "elevation";
}

std::string ReadIdentityKey(std::string_view key, std::string_view value, size_t line, ProductIdentity& identity) {
    std::wstring text;
    if (value.empty()) return std::string(key) + " needs a value";
    if (!DecodeUtf8(value, text)) return std::string(key) + " is not UTF-8 text";
    if (key == "version") {
        VersionNumbers numbers;
        if (!ParseVersion(value, numbers))
            return "version must be one to four dotted whole numbers, each 0 to 65535: '" + std::string(value) + "'";
        identity.version = numbers;
        identity.versionText.clear();
        for (size_t parts = 1 + std::count(value.begin(), value.end(), '.'), i = 0; i < parts; ++i)
            identity.versionText += (i == 0 ? L"" : L".") + std::to_wstring(numbers[i]);
    } else if (key == "elevation") {
        if (!ParseElevation(value, identity.elevation))
            return "elevation must be administrator, highest or invoker: '" + std::string(value) + "'";
        identity.elevationLine = line;
    } else {
        (key == "company" ? identity.company : key == "description" ? identity.description : identity.copyright) = text;
    }
    return {};
}

bool ApplyProductIdentity(ResourceList& resources, const ProductIdentity& identity, const std::wstring& product,
                          const std::filesystem::path& output, std::string& error) {
    const Resource* version = resources.Find(ResourceKey::Id(kTypeVersion), ResourceKey::Id(kVersionResource));
    const Resource* manifest = resources.Find(ResourceKey::Id(kTypeManifest), ResourceKey::Id(kProgramManifest));
    Bytes data, manifestData;
    VersionInfo info;
    if (version == nullptr || !version->data.Load(data) || !DecodeVersionInfo(data, info) || manifest == nullptr ||
        !manifest->data.Load(manifestData)) {
        error = "has no version resource or application manifest the tool can read";
        return false;
    }
    ApplyToVersion(info, identity, product, output);
    std::string text(manifestData.begin(), manifestData.end());
    const std::wstring* description = info.Find(L"FileDescription");
    ManifestIdentity written{AssemblyName(product), Narrow(VersionText(info.fileVersion)),
                             description != nullptr ? Narrow(*description) : std::string(), identity.elevation};
    if (!RewriteManifest(text, written, error)) return false;
    Resource versionOut = *version, manifestOut = *manifest;
    versionOut.data = ResourceData::Held(EncodeVersionInfo(info));
    manifestOut.data = ResourceData::Held(Bytes(text.begin(), text.end()));
    resources.Put(std::move(versionOut));
    resources.Put(std::move(manifestOut));
    return true;
}

}  // namespace gr::pack
