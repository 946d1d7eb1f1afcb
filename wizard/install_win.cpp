#include "wizard/install_win.h"

#include "wizard/files_win.h"
#include "wizard/paths.h"
#include "wizard/text_win.h"
#include "wizard/texts.h"
#include "wizard/uninstall_info.h"

namespace wiz {
namespace {

std::wstring Failure(const wchar_t* what, const std::wstring& path, DWORD error) {
    return std::wstring(what) + L" " + path + L" (error " + std::to_wstring(error) + L")";
}

// Makes the install folder and the folders inside it; the failure, or empty.
std::wstring MakeFolders(const InstallRequest& request) {
    if (DWORD error = CreateFolderPath(request.folder); error != 0)
        return Failure(L"cannot create the folder", request.folder, error);
    for (const std::wstring& folder : request.package.plan.folders) {
        std::wstring path = JoinPath(request.folder, folder);
        if (DWORD error = CreateFolderPath(path); error != 0) return Failure(L"cannot create the folder", path, error);
    }
    return L"";
}

std::wstring WriteFiles(const InstallRequest& request, const WizardLog& log, InstallProgress* progress) {
    const std::vector<PlannedFile>& files = request.package.plan.files;
    for (size_t i = 0; i < files.size(); ++i) {
        if (progress) progress->Writing(files[i], i, files.size());
        std::wstring path = JoinPath(request.folder, files[i].target);
        std::string_view bytes = std::string_view(request.package.data).substr(files[i].offset, files[i].size);
        if (DWORD error = WriteWholeFile(path, bytes); error != 0) return Failure(L"cannot write", path, error);
        log.Line(L"installed " + files[i].target + L", " + Bytes(files[i].size));
    }
    return L"";
}

std::wstring WriteUninstallInfo(const InstallRequest& request, const WizardLog& log) {
    const WizardConfig& config = request.package.config;
    InstallFacts facts{config.product, config.version, request.program, request.folder};
    std::wstring path = JoinPath(request.folder, config.uninstallFile);
    if (DWORD error = WriteWholeFile(path, ToUtf8(UninstallInfo(facts, request.package.plan))); error != 0)
        return Failure(L"cannot write", path, error);
    log.Line(L"wrote the uninstall information " + config.uninstallFile);
    return L"";
}

}  // namespace

std::wstring Install(const InstallRequest& request, const WizardLog& log, InstallProgress* progress) {
    log.Line(L"installing " + request.package.config.product + L" into " + request.folder);
    std::wstring failure = MakeFolders(request);
    if (failure.empty()) failure = WriteFiles(request, log, progress);
    if (failure.empty()) failure = WriteUninstallInfo(request, log);
    log.Line(failure.empty() ? L"install complete" : L"install failed: " + failure);
    return failure;
}

}  // namespace wiz
