#include "trust/signer_details.h"

#include "base/format.h"

namespace gr {
namespace {

const wchar_t* OrNull(const std::optional<std::wstring>& text) {
    return text ? text->c_str() : L"null";
}

}  // namespace

std::optional<std::wstring> CopyText(const wchar_t* text) {
    if (!text) return std::nullopt;
    return std::wstring(text);
}

std::optional<std::wstring> LinkText(uint32_t choice, const wchar_t* text) {
    if (choice != kUrlLinkChoice && choice != kFileLinkChoice) return std::nullopt;
    return CopyText(text);
}

std::wstring SerialNumberText(const std::optional<std::vector<uint8_t>>& serialNumber) {
    if (!serialNumber) return L"null";
    std::wstring text;
    for (auto byte = serialNumber->rbegin(); byte != serialNumber->rend(); ++byte) {
        text.push_back(kUpperHexDigits[*byte >> 4]);
        text.push_back(kUpperHexDigits[*byte & 0xF]);
    }
    return text;
}

std::wstring SignerDetailLines(const SignerDetails& details) {
    std::wstring lines = Format(L"Digital verification: SubjectName '%s'\n", OrNull(details.subjectName));
    lines += Format(L"Digital verification: ProgramName '%s'\n", OrNull(details.programName));
    lines += Format(L"Digital verification: MoreInfo    '%s'\n", OrNull(details.moreInfoLink));
    // The serial number is shown as its digits rather than as where its bytes lie.
    lines += Format(L"Digital verification: SerialNumber %s\n", SerialNumberText(details.serialNumber));
    lines += Format(L"Digital verification: IssuerName '%s'\n", OrNull(details.issuerName));
    return lines;
}

}  // namespace gr
