// Who signed the program file: the signing certificate's names and serial number, and the
// program name and links the signer attached to the signature.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gr {

struct SignerDetails {
    std::optional<std::wstring> programName;
    std::optional<std::wstring> publisherLink;
    std::optional<std::wstring> moreInfoLink;
    std::optional<std::vector<uint8_t>> serialNumber;  // least significant byte first
    std::optional<std::wstring> issuerName;
    std::optional<std::wstring> subjectName;
};

// How a signature gives a link: as a URL, as a moniker (which carries no text), or as a file.
constexpr uint32_t kUrlLinkChoice = 1;
constexpr uint32_t kMonikerLinkChoice = 2;
constexpr uint32_t kFileLinkChoice = 3;

// A copy of a platform text, or none when there is no text.
std::optional<std::wstring> CopyText(const wchar_t* text);

// The text of a link given as `choice`: kept for a URL or a file, none for anything else.
std::optional<std::wstring> LinkText(uint32_t choice, const wchar_t* text);

// The serial number in hexadecimal, most significant byte first, as a certificate viewer
// shows it; "null" when there is none.
std::wstring SerialNumberText(const std::optional<std::vector<uint8_t>>& serialNumber);

// The five log lines naming the signer, with "null" for each detail that is missing.
std::wstring SignerDetailLines(const SignerDetails& details);

}  // namespace gr
