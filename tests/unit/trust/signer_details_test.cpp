#include "trust/signer_details.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

TEST(LinkText, KeepsUrlsAndFilesOnly) {
    EXPECT_EQ(LinkText(kUrlLinkChoice, L"https://oakcrest.example/"), L"https://oakcrest.example/");
    EXPECT_EQ(LinkText(kFileLinkChoice, L"\\\\server\\share\\about.txt"), L"\\\\server\\share\\about.txt");
    EXPECT_EQ(LinkText(kMonikerLinkChoice, L"ignored"), std::nullopt);
    EXPECT_EQ(LinkText(0, L"ignored"), std::nullopt);
    EXPECT_EQ(LinkText(4, L"ignored"), std::nullopt);
    EXPECT_EQ(LinkText(kUrlLinkChoice, nullptr), std::nullopt);
    EXPECT_EQ(LinkText(kUrlLinkChoice, L""), L"");  // an empty text is still a text
}

TEST(SerialNumberText, ShowsTheMostSignificantByteFirst) {
    EXPECT_EQ(SerialNumberText(std::vector<uint8_t>{0x0F, 0xA0, 0x01}), L"01A00F");
    EXPECT_EQ(SerialNumberText(std::vector<uint8_t>{0x00}), L"00");
    EXPECT_EQ(SerialNumberText(std::vector<uint8_t>{}), L"");
    EXPECT_EQ(SerialNumberText(std::nullopt), L"null");
}

TEST(SignerDetailLines, NamesEachDetailOrNull) {
    SignerDetails details;
    details.subjectName = L"Oakcrest Software";
    details.programName = L"Oakcrest";
    details.publisherLink = L"https://publisher.example/";  // never logged
    details.serialNumber = std::vector<uint8_t>{0x34, 0x12};
    details.issuerName = L"Oakcrest Test Root";
    EXPECT_EQ(SignerDetailLines(details),
              L"Digital verification: SubjectName 'Oakcrest Software'\n"
              L"Digital verification: ProgramName 'Oakcrest'\n"
              L"Digital verification: MoreInfo    'null'\n"
              L"Digital verification: SerialNumber 1234\n"
              L"Digital verification: IssuerName 'Oakcrest Test Root'\n");

    EXPECT_EQ(SignerDetailLines(SignerDetails{}),
              L"Digital verification: SubjectName 'null'\n"
              L"Digital verification: ProgramName 'null'\n"
              L"Digital verification: MoreInfo    'null'\n"
              L"Digital verification: SerialNumber null\n"
              L"Digital verification: IssuerName 'null'\n");
}

TEST(SignerDetailLines, ShowsTextsAsTheyAre) {
    SignerDetails details;
    details.programName = L"100% %s 'quoted'";  // no formatting applied to the signer's texts
    details.moreInfoLink = L"";
    std::wstring lines = SignerDetailLines(details);
    EXPECT_NE(lines.find(L"ProgramName '100% %s 'quoted''\n"), std::wstring::npos) << lines.c_str();
    EXPECT_NE(lines.find(L"MoreInfo    ''\n"), std::wstring::npos);
}

}  // namespace
}  // namespace gr
