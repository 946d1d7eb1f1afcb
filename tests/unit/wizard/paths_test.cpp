#include "wizard/paths.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

TEST(WizardPaths, GoodNames) {
    for (const wchar_t* name : {L"a", L"readme.txt", L"Samples", L"cone.txt", L"icon", L"LPT10", L"my file", L".hidden",
                                L"CONSOLE", L"\u00e9t\u00e9"})
        EXPECT_TRUE(IsGoodName(name)) << name;
    for (const wchar_t* name : {L"", L".", L"..", L"a.", L"a ", L"a:b", L"a/b", L"a\\b", L"a*", L"a?", L"a|b",
                                L"a\"b", L"<a>", L"a\tb", L"CON", L"con.txt", L"Nul", L"aux.tar.gz", L"COM1", L"COM0", L"lpt9.log", L"com\u00b9",
                                L"PRN .txt", L"CONIN$"})
        EXPECT_FALSE(IsGoodName(name)) << name;
}

TEST(WizardPaths, RelativePathsStayInsideTheirFolder) {
    EXPECT_TRUE(IsSafeRelativePath(L"a"));
    EXPECT_TRUE(IsSafeRelativePath(L"Samples\\sample.txt"));
    EXPECT_TRUE(IsSafeRelativePath(L"a\\b\\c"));
    for (const wchar_t* path : {L"", L"..\\a", L"a\\..\\..\\b", L"a\\.\\b", L"\\a", L"a\\", L"a\\\\b", L"C:\\a", L"C:a",
                                L"a/b", L"\\\\server\\share\\a", L"a\\NUL\\b"})
        EXPECT_FALSE(IsSafeRelativePath(path)) << path;
    EXPECT_TRUE(IsSafeRelativePath(std::wstring(120, L'a')));
    EXPECT_FALSE(IsSafeRelativePath(std::wstring(121, L'a')));
}

TEST(WizardPaths, InstallFoldersAreFullPathsBelowARoot) {
    struct Case {
        const wchar_t* text;
        const wchar_t* folder;
    };
    const Case good[] = {
        {L"C:\\Oakcrest", L"C:\\Oakcrest"}, {L"d:\\Apps\\Oakcrest\\", L"d:\\Apps\\Oakcrest"},
        {L"  C:\\Program Files\\X  ", L"C:\\Program Files\\X"}, {L"C:/Apps//", L"C:\\Apps"},
        {L"\\\\server\\share\\Oakcrest", L"\\\\server\\share\\Oakcrest"},
    };
    for (const Case& c : good) {
        FolderCheck check = CheckInstallFolder(c.text);
        EXPECT_EQ(check.error, L"") << c.text;
        EXPECT_EQ(check.folder, c.folder) << c.text;
    }
}

TEST(WizardPaths, InstallFoldersRefusedWithTheReason) {
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    const wchar_t* full = L"The folder must be a full path, such as C:\\Folder.";
    const wchar_t* root = L"The folder cannot be the root of a drive or share.";
    const wchar_t* names = L"The folder's path holds a name that Windows does not allow.";
    const Case bad[] = {
        {L"", L"No folder was given."}, {L"   ", L"No folder was given."}, {L"Oakcrest", full}, {L"\\Oakcrest", full},
        {L"C:Oakcrest", full}, {L"1:\\Oakcrest", full}, {L"C:", full}, {L"\\\\server", full},
        {L"\\\\?\\C:\\Oakcrest", full}, {L"\\\\.\\C:\\Oakcrest", full}, {L"C:\\", root}, {L"c:\\\\\\", root},
        {L"\\\\server\\share", root}, {L"\\\\server\\share\\", root}, {L"C:\\a\\..\\..\\Windows", names},
        {L"C:\\a:b", names}, {L"C:\\Apps\\CON", names}, {L"C:\\Apps\\x?", names}, {L"C:\\a\\\\b", names},
    };
    for (const Case& c : bad) EXPECT_EQ(CheckInstallFolder(c.text).error, c.error) << c.text;
    EXPECT_EQ(CheckInstallFolder(L"C:\\" + std::wstring(177, L'a')).error, L"");
    EXPECT_EQ(CheckInstallFolder(L"C:\\" + std::wstring(178, L'a')).error, L"The folder's path is too long.");
}

TEST(WizardPaths, JoinAndCompare) {
    EXPECT_EQ(JoinPath(L"C:\\A", L"b.txt"), L"C:\\A\\b.txt");
    EXPECT_EQ(JoinPath(L"C:\\A\\", L"b.txt"), L"C:\\A\\b.txt");
    EXPECT_EQ(JoinPath(L"", L"b.txt"), L"b.txt");
    EXPECT_TRUE(EqualsIgnoringCase(L"Samples\\A.TXT", L"samples\\a.txt"));
    EXPECT_FALSE(EqualsIgnoringCase(L"a", L"ab"));
    EXPECT_FALSE(EqualsIgnoringCase(L"[", L"{"));  // only letters fold
}

}  // namespace
}  // namespace wiz
