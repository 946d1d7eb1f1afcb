#include "package/names.h"

#include <gtest/gtest.h>

#include <string>

namespace gr {
namespace {

TEST(Names, NamesThatLeaveTheWorkingFolderOrNameNoFileAreRefused) {
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


// One name alone: a separator makes it two, so it is refused here though a path may hold it.
TEST(Names, APlainNameHoldsNoSeparator) {
    for (const wchar_t* name : {L"a", L"readme.txt", L".hidden", L"CONSOLE", L"COM10", L"\u00e9t\u00e9"})
        EXPECT_TRUE(IsPlainName(name)) << name;
    for (const wchar_t* name : {L"a\\b", L"a/b", L"a:b", L"", L"..", L"com\u00b2.txt", L"a\tb"})
        EXPECT_FALSE(IsPlainName(name)) << name;
}

}  // namespace
}  // namespace gr
