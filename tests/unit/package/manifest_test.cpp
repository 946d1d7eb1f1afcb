#include "package/manifest.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

ManifestMap Parsed(std::wstring_view text) {
    ManifestMap map;
    EXPECT_EQ(ParseManifest(text, map), 0u);
    return map;
}

TEST(Manifest, SeparatorRunsAndEndsVanish) {
    ManifestMap map = Parsed(L"102**install.bin*2951504*");
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map[102].name, L"install.bin");
    EXPECT_EQ(map[102].size, 2951504);
    EXPECT_EQ(Parsed(L"***102*a*1***103*b*2").size(), 2u);
    EXPECT_TRUE(Parsed(L"").empty());
    EXPECT_TRUE(Parsed(L"****").empty());
}

TEST(Manifest, NumbersReadLikeWcstol) {
    ManifestMap map = Parsed(L"12abc*a*7x*abc*b*-3* 104*c*99999999999");
    EXPECT_EQ(map[12].size, 7);
    EXPECT_EQ(map[0].name, L"b");  // an id without digits reads as 0
    EXPECT_EQ(map[0].size, -3);
    EXPECT_EQ(map[104].size, INT32_MAX);
}

TEST(Manifest, ShortRecordsAtTheEnd) {
    ManifestMap afterId = Parsed(L"102*a*1*110");
    EXPECT_EQ(afterId.size(), 1u);
    EXPECT_EQ(afterId.count(110), 0u);
    ManifestMap afterName = Parsed(L"102*a*1*110*b");  // kept, with no size
    ASSERT_EQ(afterName.count(110), 1u);
    EXPECT_EQ(afterName[110].size, 0);
}

TEST(Manifest, TheLaterOfTwoRecordsWins) {
    ManifestMap map = Parsed(L"102*first*1*102*second*2");
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map[102].name, L"second");
    EXPECT_EQ(map[102].size, 2);
}

// What the tool writes the program reads back record for record, whatever the ids, sizes
// and folder depth; and the text is the one the program has always read.
TEST(Manifest, WhatIsWrittenReadsBack) {
    const std::vector<CResourceFile> records = {
        {102, 2951504, L"install.bin"}, {65535, 0, L"Data\\Sub\\Items.xml"}, {1, INT32_MAX, L"a"},
        {7, -12, L"Setup.EXE"},         {104, 9, L"a b/c.txt"},
    };
    std::wstring text = WriteManifest(records);
    EXPECT_EQ(text.substr(0, 24), L"102*install.bin*2951504*");
    ManifestMap map = Parsed(text);
    ASSERT_EQ(map.size(), records.size()) << text;
    for (const CResourceFile& record : records) {
        const CResourceFile* read = map.Find(record.id);
        ASSERT_NE(read, nullptr) << record.id;
        EXPECT_EQ(read->name, record.name);
        EXPECT_EQ(read->size, record.size) << record.name;
    }
    EXPECT_EQ(WriteManifest({}), L"");
    EXPECT_TRUE(Parsed(WriteManifest({})).empty());
}

// The bytes are read one character each while they stay plain ASCII (a zero byte too); one
// byte beyond it refuses the whole manifest, wherever it stands, so that no machine reads it
// in its own way.
TEST(Manifest, BytesBeyondPlainAsciiRefuseTheManifest) {
    std::wstring text = L"left over";
    EXPECT_TRUE(DecodeManifest(std::string_view("102*a\\b.txt*1\0*\x7F", 16), text));
    EXPECT_EQ(text, std::wstring(L"102*a\\b.txt*1\0*\x7F", 16));
    EXPECT_TRUE(DecodeManifest("", text));
    EXPECT_TRUE(text.empty());
    for (const char* bytes : {"102*caf\xE9.txt*1", "\x80*a*1", "102*a*1\xFF", "102*\x83\\*1"}) {
        text = L"left over";
        EXPECT_FALSE(DecodeManifest(bytes, text)) << bytes;
        EXPECT_TRUE(text.empty()) << bytes;
    }
}

TEST(Manifest, ExecutableIsTheFirstDotExeAfterTheFirstCharacter) {
    struct Case {
        const wchar_t* name;
        const wchar_t* lowered;
        bool executable;
    };
    const Case cases[] = {
        {L"Setup.EXE", L"setup.exe", true},
        {L"Corvane.InstallerWizard.UI.exe.config", L"corvane.installerwizard.ui.exe.config", true},
        {L".exe", L".exe", false},
        {L".exeX.exe", L".exex.exe", false},  // only the first occurrence counts
        {L"install.bin", L"install.bin", false},
        {L"SUB\\Tool.Exe", L"sub\\tool.exe", true},
        {L"\u00c4PP.EXE", L"\u00c4pp.exe", true},  // only A to Z are lowered
    };
    for (const Case& c : cases) {
        std::wstring name = c.name;
        EXPECT_EQ(IsExecutableName(name), c.executable) << c.name;
        EXPECT_EQ(name, c.lowered);
    }
}

}  // namespace
}  // namespace gr
