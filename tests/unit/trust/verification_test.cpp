#include "trust/verification.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

const std::wstring kPath = L"C:\\Downloads\\GearRackInstaller.exe";

struct Case {
    uint32_t result;
    uint32_t lastError;
    std::wstring text;
};

class VerificationTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(VerificationTextTest, NamesTheVerdict) {
    const Case& c = GetParam();
    EXPECT_EQ(VerificationText(static_cast<int32_t>(c.result), c.lastError, kPath), c.text)
        << std::hex << "result 0x" << c.result << ", last error 0x" << c.lastError;
}

const std::wstring kUnsigned = L"The file \"" + kPath + L"\" is not signed.\n";
const std::wstring kUnknown =
    L"An unknown error occurred trying to verify the signature of the \"" + kPath + L"\" file.\n";

INSTANTIATE_TEST_SUITE_P(
    EveryRow, VerificationTextTest,
    ::testing::Values(
        // The last error only matters for "no signature"; a verified file ignores it.
        Case{0, 0x800B0100, L"The file \"" + kPath + L"\" is signed and the signature was verified.\n"},
        Case{0x800B0100, 0x800B0100, kUnsigned},
        Case{0x800B0100, 0x800B0003, kUnsigned},
        Case{0x800B0100, 0x800B0001, kUnsigned},
        Case{0x800B0100, 0, kUnknown},
        Case{0x800B0100, 2, kUnknown},
        Case{0x800B0100, 0x800B0004, kUnknown},
        Case{0x800B0111, 0, L"The signature is present, but specifically disallowed.\n"},
        Case{0x800B0004, 0x800B0100, L"The signature is present, but not trusted.\n"},
        Case{0x80092026, 0,
             L"The subject or the publisher wasn't explicitly trusted by the admin and admin policy has disabled "
             L"user trust. No signature, publisher or timestamp errors.\n"},
        // Codes without a text of their own are shown in hexadecimal, without leading zeros.
        Case{0x80096010, 0x800B0100, L"Error is: 0x80096010.\n"},
        Case{0x800B0001, 0x800B0001, L"Error is: 0x800b0001.\n"},
        Case{0x800B0003, 0, L"Error is: 0x800b0003.\n"},
        Case{1, 0, L"Error is: 0x1.\n"},
        Case{0xFFFFFFFF, 0, L"Error is: 0xffffffff.\n"}));

}  // namespace
}  // namespace gr
