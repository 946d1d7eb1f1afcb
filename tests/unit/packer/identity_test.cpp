// The product's identity in its file (version resource, application manifest) and the
// information block put into a signature: the decisions the packing tool makes, natively.
#include <gtest/gtest.h>

#include <algorithm>

#include "packer/app_manifest.h"
#include "packer/embed.h"
#include "packer/version_info.h"

namespace gr::pack {
namespace {

TEST(PackerIdentity, VersionsAndTheVersionResourceReadBack) {
    const std::pair<const char*, VersionNumbers> valid[] = {{"3", {3, 0, 0, 0}},
                                                            {"3.1", {3, 1, 0, 0}},
                                                            {"1.2.3.4", {1, 2, 3, 4}},
                                                            {"65535.0.00007.65535", {65535, 0, 7, 65535}}};
    for (const auto& [text, numbers] : valid) {
        VersionNumbers parsed;
        EXPECT_TRUE(ParseVersion(text, parsed)) << text;
        EXPECT_EQ(parsed, numbers) << text;
    }
    for (const char* text : {"", ".", "1.", ".1", "1..2", "1.2.3.4.5", "65536", "1.-2", "v1", "1.2a", "000001"}) {
        VersionNumbers parsed;
        EXPECT_FALSE(ParseVersion(text, parsed)) << text;
    }
    VersionInfo info;
    info.fileVersion = {4, 2, 7, 0};
    info.productVersion = {4, 2, 0, 1};
    info.Set(L"CompanyName", L"Fernwood & S\u00f6hne");
    info.Set(L"FileDescription", L"");  // an empty value stays a value
    info.Set(L"ProductName", L"Fernwood Tools");
    info.Set(L"CompanyName", L"Fernwood");  // replaced in place
    Bytes data = EncodeVersionInfo(info);
    EXPECT_EQ(data.size() % 4, 0u);
    VersionInfo back;
    ASSERT_TRUE(DecodeVersionInfo(data, back));
    EXPECT_EQ(back.fileVersion, info.fileVersion);
    EXPECT_EQ(back.productVersion, info.productVersion);
    EXPECT_EQ(back.strings, info.strings);
    EXPECT_EQ(VersionText(back.fileVersion), L"4.2.7.0");
    for (size_t cut : {size_t{0}, size_t{5}, size_t{40}, data.size() / 2}) {
        Bytes shorter(data.begin(), data.begin() + static_cast<ptrdiff_t>(cut));
        EXPECT_FALSE(DecodeVersionInfo(shorter, back)) << cut;
    }
}

TEST(PackerIdentity, TheManifestNamesTheProductAndItsElevation) {
    const std::pair<const wchar_t*, const char*> names[] = {
        {L"Halvard Survey 3", "HalvardSurvey3"}, {L"..Caf\u00e9-Tools_2..", "Caf-Tools_2"}, {L"\u65e5\u672c", "Setup"}};
    for (const auto& [product, name] : names) EXPECT_EQ(AssemblyName(product), name);
    std::string manifest =
        "<assembly><assemblyIdentity type=\"win32\" name=\"Old.Name\" version=\"1.8.2.372\"/>"
        "<description>Old</description><requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"
        "<dependency><assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/></dependency>"
        "</assembly>";
    std::string error;
    ASSERT_TRUE(RewriteManifest(manifest, {"Halvard", "3.1.0.0", "H & \"Co\" <Setup>", Elevation::Invoker}, error));
    EXPECT_EQ(manifest,
              "<assembly><assemblyIdentity type=\"win32\" name=\"Halvard\" version=\"3.1.0.0\"/>"
              "<description>H &amp; &quot;Co&quot; &lt;Setup&gt;</description>"
              "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
              "<dependency><assemblyIdentity name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"/>"
              "</dependency></assembly>");
    std::string withoutLevel = "<assemblyIdentity name=\"a\" version=\"1\"/><description>d</description>";
    EXPECT_FALSE(RewriteManifest(withoutLevel, {"b", "2.0.0.0", "e", Elevation::Highest}, error));
    Elevation elevation;
    EXPECT_TRUE(ParseElevation("highest", elevation) && elevation == Elevation::Highest);
    EXPECT_STREQ(ExecutionLevel(elevation), "highestAvailable");
    EXPECT_FALSE(ParseElevation("Invoker", elevation));
}

// A ContentInfo of SignedData with one signer and `unsigned` as its unauthenticated
// attributes (none when empty).
Bytes Signature(const Bytes& unauthenticated) {
    auto wrap = [](uint8_t tag, const Bytes& contents) {
        Bytes out;
        DerAppend(out, tag, contents);
        return out;
    };
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
        return out;
    };
    Bytes signer =
        join({wrap(kDerInteger, {1}), wrap(kDerSequence, {}), wrap(kDerSequence, {}),
              wrap(kDerContext0, Bytes(30, 0x11)), wrap(kDerSequence, {}), wrap(kDerOctetString, Bytes(256, 0x22))});
    if (!unauthenticated.empty()) signer = join({signer, wrap(kDerContext1, unauthenticated)});
    Bytes signedData = join({wrap(kDerInteger, {1}), wrap(kDerSet, {}), wrap(kDerSequence, {0x06, 0x01, 0x2A}),
                             wrap(kDerSet, wrap(kDerSequence, signer))});
    return wrap(kDerSequence,
                join({Bytes{0x06, 0x03, 0x2A, 0x86, 0x48}, wrap(kDerContext0, wrap(kDerSequence, signedData))}));
}

TEST(PackerIdentity, AnInformationBlockEndsTheSignatureAndReplacesAnEarlierOne) {
    Bytes other = {0x30, 0x05, 0x06, 0x01, 0x2A, 0x31, 0x00};  // someone else's attribute stays
    Bytes first, second;
    std::string error;
    for (size_t length : {size_t{1}, size_t{2}, size_t{7}, size_t{200}, kLargestInformation}) {
        Bytes information(length, 'i');
        ASSERT_TRUE(SignatureWithInformation(DerView(Signature(other)), information, first, error)) << error;
        EXPECT_EQ((8 + first.size()) % 8, 0u) << length;  // the record needs no padding
        EXPECT_TRUE(std::equal(information.begin(), information.end(), first.end() - 6 - length)) << length;
        EXPECT_TRUE(std::equal(first.end() - 10 - length, first.end() - 6 - length, "MRDC")) << length;
        EXPECT_EQ(std::count(first.end() - 6, first.end(), 0), 6) << length;
    }
    ASSERT_TRUE(SignatureWithInformation(DerView(Signature(other)), Bytes(5, 'a'), first, error));
    ASSERT_TRUE(SignatureWithInformation(DerView(first), Bytes(9, 'b'), second, error));
    const Bytes marker = {'M', 'R', 'D', 'C'};
    EXPECT_EQ(std::search(second.begin(), second.end(), marker.begin(), marker.end()) + 4 + 9 + 6, second.end());
    EXPECT_NE(std::search(second.begin(), second.end(), other.begin(), other.end()), second.end());
    EXPECT_TRUE(SignatureWithInformation(DerView(Signature({})), Bytes(3, 'c'), first, error));
    Bytes broken = Signature({});
    broken.pop_back();
    EXPECT_FALSE(SignatureWithInformation(DerView(broken), Bytes(3, 'c'), first, error));
    EXPECT_EQ(InformationProblem({}), "the information is empty");
    EXPECT_EQ(InformationProblem(Bytes(kLargestInformation + 1, 'x')),
              "the information has 4106 bytes; at most 4105 fit");
    EXPECT_EQ(InformationProblem({'<', 'M', 'R', 'D', 'C', '>'}), "the information contains the marker MRDC");
}

}  // namespace
}  // namespace gr::pack
