#include "app/failure_report.h"

#include "base/format.h"
#include "base/result_codes.h"
#include "res/resource_ids.h"

namespace gr {
namespace {

constexpr wchar_t kDownloadSite[] = L"https://www.microsoft.com";

std::wstring FrameworkMessage(const FailureFacts& facts, const TextSource& texts, const std::wstring& product) {
    const RequiredFramework& required = facts.requiredFramework;
    if (required.servicePack == 0) return Format(texts.Text(IDS_FRAMEWORK_MISSING), product, required.name);
    return Format(texts.Text(IDS_FRAMEWORK_SP_MISSING), product, required.name, required.servicePack);
}

std::wstring WizardMessage(const FailureFacts& facts, const TextSource& texts, const std::wstring& product) {
    if (facts.wizardExitCode == kRuntimeLoadFailed)
        return Format(texts.Text(IDS_FRAMEWORK_MISSING), product, L".NET 2") + L"\r\n(.NET 4 was detected.)";
    return Format(texts.Text(IDS_WIZARD_EXIT_CODE), product, facts.wizardExitCode);
}

}  // namespace

std::wstring RestartNotice(uint32_t result, uint32_t wizardExitCode) {
    if (result != 0 || !IsRestartCode(wizardExitCode)) return std::wstring();
    return Format(L"The wizard finished; a restart is needed (exit code %ld)\n", static_cast<int32_t>(wizardExitCode));
}

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
    const std::wstring& product = facts.product;
    FailureReport report;
    switch (facts.result) {
    case 0: report.message = WizardMessage(facts, texts, product); break;
    case kUsageError: report.message = Format(texts.Text(IDS_USAGE), facts.commandLineText); break;
    case kFrameworkMissing:
        report.message = FrameworkMessage(facts, texts, product);
        report.link = FrameworkDownloadLink(facts.requiredFramework);
        break;
    case kNotAdministrator: report.message = Format(texts.Text(IDS_NOT_ADMINISTRATOR), product); break;
    case kNotEnoughSpace:
        report.message = Format(texts.Text(IDS_DISK_SPACE), facts.freeSpace.drive,
                                static_cast<int32_t>(facts.freeSpace.requiredMegabytes & 0xFFFFFFFF));
        break;
    case kInstallerEngineTooOld: report.message = Format(texts.Text(IDS_INSTALLER_ENGINE), product); break;
    case kProcessorModeUnfit:
        report.message = Format(texts.Text(IDS_PROCESSOR_MODE), product, texts.Text(IDS_PROCESSOR_TYPE));
        break;
    case kFailed: report.message = Format(texts.Text(IDS_INCORRECT_BUILD), product); break;
    case kSizeMismatch: report.message = Format(texts.Text(IDS_FILE_CORRUPT), product); break;
    default: report.message = Format(texts.Text(IDS_RUN_FAILED), product, facts.result); break;
    }
    return report;
}

}  // namespace gr
