#include "app/failure_report.h"

#include "base/format.h"

namespace gr {
namespace {

constexpr unsigned kProcessorType = 0, kProductName = 1, kDiskSpace = 102, kIncorrectBuild = 104,
                   kFrameworkMissing = 108, kNotAdministrator = 109, kInstallerEngine = 110, kFileCorrupt = 111,
                   kWizardExitCode = 112, kRunFailed = 113, kUsage = 114, kFrameworkServicePack = 115,
                   kProcessorMode = 135;
constexpr uint32_t kRuntimeLoadFailed = 0x80131700;  // the wizard could not load its .NET runtime
constexpr wchar_t kDownloadSite[] = L"https://www.microsoft.com";

std::wstring FrameworkMessage(const FailureFacts& facts, const TextSource& texts, const std::wstring& product) {
    const RequiredFramework& required = facts.requiredFramework;
    if (required.servicePack == 0) return Format(texts.Text(kFrameworkMissing), product, required.name);
    return Format(texts.Text(kFrameworkServicePack), product, required.name, required.servicePack);
}

std::wstring WizardMessage(const FailureFacts& facts, const TextSource& texts, const std::wstring& product) {
    if (facts.wizardExitCode == kRuntimeLoadFailed)
        return Format(texts.Text(kFrameworkMissing), product, L".NET 2") + L"\r\n(.NET 4 was detected.)";
    return Format(texts.Text(kWizardExitCode), product, facts.wizardExitCode);
}

}  // namespace

std::wstring FrameworkDownloadLink(const RequiredFramework& required) {
    switch (required.majorVersion) {
    case 2: return std::wstring(kDownloadSite) + L"/en-us/download/details.aspx?id=16614";
    case 3: return std::wstring(kDownloadSite) + L"/en-us/download/details.aspx?id=21";
    case 4:
        return std::wstring(kDownloadSite) + (required.servicePack <= 0 ? L"/en-us/download/details.aspx?id=17718"
                                                                        : L"/en-gb/download/details.aspx?id=30653");
    default: return std::wstring();
    }
}

FailureReport ComposeFailureReport(const FailureFacts& facts, const TextSource& texts) {
    const std::wstring product = texts.Text(kProductName);
    FailureReport report;
    switch (facts.result) {
    case 0: report.message = WizardMessage(facts, texts, product); break;
    case 0x80030057: report.message = Format(texts.Text(kUsage), facts.commandLineText); break;
    case 0x80110409:
        report.message = FrameworkMessage(facts, texts, product);
        report.link = FrameworkDownloadLink(facts.requiredFramework);
        break;
    case 0x80110413: report.message = Format(texts.Text(kNotAdministrator), product); break;
    case 0x80030070:
        report.message = Format(texts.Text(kDiskSpace), facts.freeSpace.drive,
                                static_cast<int32_t>(facts.freeSpace.requiredMegabytes & 0xFFFFFFFF));
        break;
    case 1613: report.message = Format(texts.Text(kInstallerEngine), product); break;
    case 0x80004004: report.message = Format(texts.Text(kProcessorMode), product, texts.Text(kProcessorType)); break;
    case 0x80004005: report.message = Format(texts.Text(kIncorrectBuild), product); break;
    case 0x80040167: report.message = Format(texts.Text(kFileCorrupt), product); break;
    default: report.message = Format(texts.Text(kRunFailed), product, facts.result); break;
    }
    return report;
}

}  // namespace gr
