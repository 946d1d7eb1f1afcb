#include "packer/shipping_checks.h"

#include "packer/utf.h"
#include "package/manifest.h"

namespace gr::pack {
namespace {

// The windows' sizes in pixels at 96 dpi: the splash dialog (285 x 130 dialog units) and
// the message dialog's banner strip (410 x 48 dialog units).
constexpr int32_t kSplashWidth = 428, kSplashHeight = 211;
constexpr int32_t kBannerWidth = 634, kBannerHeight = 78;

std::string PathOf(const Definition& definition) { return PathText(definition.path); }

bool EndsWithExe(std::wstring name) {
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return name.size() > 4 && name.ends_with(L".exe");
}

void CheckPicture(const Definition& definition, const std::optional<Picture>& picture,
                  const std::optional<BitmapInfo>& info, const char* what, int32_t width, int32_t height,
                  std::vector<Refusal>& warnings) {
    if (!picture || !info) return;
    int32_t shownHeight = info->height < 0 ? -info->height : info->height;
    if (info->width == width && shownHeight == height) return;
    warnings.push_back({PathOf(definition), picture->line,
                        std::string("the ") + what + " is " + std::to_string(info->width) + " x " +
                            std::to_string(shownHeight) + " pixels; its window shows " + std::to_string(width) + " x " +
                            std::to_string(height)});
}

bool FrameworksAtDefault(const Definition& definition) {
    for (size_t i = 0; i < kSettings.size(); ++i)
        if (kSettings[i].kind == SettingKind::Level && definition.settings[i] != L"0") return false;
    return true;
}

void CheckPrograms(const Definition& definition, std::vector<Refusal>& warnings) {
    const PayloadFile* wizard = WizardFile(definition);
    if (wizard == nullptr) return;
    std::string wizardName = "'" + EncodeUtf8(wizard->name) + "'";
    if (!EndsWithExe(wizard->name))
        warnings.push_back({PathOf(definition), wizard->line,
                            "the program runs " + wizardName +
                                " as its wizard (the lowest id whose name holds "
                                "'.exe'), and that name is no program"});
    std::string programs;
    size_t count = 0;
    for (const PayloadFile& file : definition.files)
        if (file.inManifest && EndsWithExe(file.name))
            programs += (count++ == 0 ? "'" : ", '") + EncodeUtf8(file.name) + "'";
    if (count > 1)
        warnings.push_back({PathOf(definition), wizard->line,
                            "the payload holds " + std::to_string(count) + " programs (" + programs +
                                "); the program runs " + wizardName + ", the lowest id, as its wizard"});
}

}  // namespace

const PayloadFile* WizardFile(const Definition& definition) {
    const PayloadFile* wizard = nullptr;
    for (const PayloadFile& file : definition.files) {
        std::wstring name = file.name;
        if (file.inManifest && IsExecutableName(name) && (wizard == nullptr || file.id < wizard->id)) wizard = &file;
    }
    return wizard;
}

std::vector<Refusal> ShippingRefusals(const Definition& definition) {
    if (WizardFile(definition) != nullptr) return {};
    return {{PathOf(definition), 0,
             "no payload file is one the program can run as its wizard: the wizard is the file with the lowest id "
             "whose name holds '.exe'"}};
}

std::vector<Refusal> ShippingWarnings(const Definition& definition, const PictureSizes& pictures) {
    std::vector<Refusal> warnings;
    CheckPicture(definition, definition.splash, pictures.splash, "splash", kSplashWidth, kSplashHeight, warnings);
    CheckPicture(definition, definition.banner, pictures.banner, "banner", kBannerWidth, kBannerHeight, warnings);
    if (FrameworksAtDefault(definition))
        warnings.push_back({PathOf(definition), 0,
                            "every dotnet- setting is at its default (0), so a machine without .NET is told to "
                            "install .NET 2.0: give the versions the wizard runs on (negative excludes one)"});
    else if (ExcludesEveryFramework(definition))
        warnings.push_back(
            {PathOf(definition), 0, "every .NET version is excluded, so the package refuses every machine"});
    CheckPrograms(definition, warnings);
    const ProductIdentity& identity = definition.identity;
    if (identity.elevation == Elevation::Invoker && SettingText(definition, Setting::Administrator) == L"1")
        warnings.push_back({PathOf(definition), identity.elevationLine,
                            "elevation invoker with administrator 1: a user without administrator rights gets the "
                            "rights message instead of the elevation prompt"});
    return warnings;
}

}  // namespace gr::pack
