#include "payload/manifest.h"

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

TEST(Manifest, NamesThatLeaveTheWorkingFolderOrNameNoFileAreRefused) {
    for (const wchar_t* name : {L"install.bin", L"sub\\file.txt", L"a\\b\\c", L"..name", L"a/b", L"sub/x.txt",
                                L".config", L"console.txt", L"nul1", L"com10", L"lpt", L"xcon", L"com1x.txt", L"conin",
                                L"a b"})
        EXPECT_TRUE(IsContainedName(name)) << name;
    const std::wstring_view refused[] = {
        L"", L"\\Windows\\x.dll", L"/etc", L"C:\\x", L"C:x", L"..", L"..\\x", L"a\\..\\..\\x", L"a/../x", L"a\\..",
        L"file:stream", L"\\\\server\\share\\x", L"a\\...\\x", L".. \\x",
        // Windows drops a final dot or blank, so two names could meet
        L"name..", L"name.", L"name ", L"sub.\\x", L"sub \\x", L".", L"./x",
        // empty elements and characters Windows reads specially
        L"sub\\", L"a\\\\b", L"a//b", L"x?.txt", L"a<b", L"a|b", L"a\"b", std::wstring_view(L"x\0.txt", 6),
        // devices, in any case, with any extension, in any element
        L"NUL", L"nul.txt", L"Con", L"prn.log.bak", L"aux", L"COM0", L"com9.bin", L"LPT1", L"lpt0.x", L"CONIN$",
        L"conout$.txt", L"sub\\nul", L"CON\\x.txt", L"a/Aux.dat/b", L"nul .txt", L"com\u00b9", L"LPT\u00b3.txt"};
    for (std::wstring_view name : refused) EXPECT_FALSE(IsContainedName(name)) << std::wstring(name);
}

}  // namespace
}  // namespace gr
