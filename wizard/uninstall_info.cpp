#include "wizard/uninstall_info.h"

namespace wiz {
namespace {

void Line(std::wstring& text, std::wstring_view key, std::wstring_view value) {
    text.append(key).append(L"=").append(value).append(L"\r\n");
}

}  // namespace

std::wstring UninstallInfo(const InstallFacts& facts, const InstallPlan& plan) {
    std::wstring text = L"[Uninstall]\r\n";
    Line(text, L"Product", facts.product);
    Line(text, L"Version", facts.version);
    Line(text, L"Program", facts.program);
    Line(text, L"Folder", facts.folder);
    for (const PlannedFile& file : plan.files) Line(text, L"File", file.target);
    for (const std::wstring& folder : plan.folders) Line(text, L"Subfolder", folder);
    return text;
}

}  // namespace wiz
