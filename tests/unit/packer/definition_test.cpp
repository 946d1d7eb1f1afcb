#include "packer/definition.h"

#include <gtest/gtest.h>

namespace gr::pack {
namespace {

const fs::path kPath = "/team/package.txt";

std::vector<Refusal> Read(std::string_view text, Definition& definition, bool testShapes = false) {
    ReadOptions options;
    options.allowTestShapes = testShapes;
    options.inputs["wizard"] = "/build/wizard.exe";
    std::vector<Refusal> refusals;
    ReadDefinition(kPath, text, options, definition, refusals);
    return refusals;
}

// Every refusal the reader makes, each from the smallest definition that draws it: the
// message is what a product team reads, so it is compared whole.
TEST(PackerDefinition, Refusals) {
    struct Case {
        const char* text;
        bool testShapes;
        const char* refusal;
    };
    const Case cases[] = {
        {"processor", false, "/team/package.txt:1: processor needs a value (or @none to leave it out)"},
        {"product \xff", false, "/team/package.txt:1: product is not UTF-8 text"},
        {"product A\n\nproduct B", false, "/team/package.txt:3: product is given twice (first at line 1)"},
        {"required-space -1", false,
         "/team/package.txt:1: required-space must be a whole number of megabytes, 0 or more: '-1'"},
        {"required-space 2147483648", false,
         "/team/package.txt:1: required-space must be a whole number of megabytes, 0 or more: '2147483648'"},
        {"dotnet-4.5-full 1.0", false,
         "/team/package.txt:1: dotnet-4.5-full must be a whole number (negative excludes the version): '1.0'"},
        {"administrator yes", false, "/team/package.txt:1: administrator must be 1 (required) or 0: 'yes'"},
        {"file 102 a.bin", false, "/team/package.txt:1: file needs an id, a file and the name it is extracted as"},
        {"file 0 a.bin a.bin", false, "/team/package.txt:1: id '0' is not a number from 1 to 65535"},
        {"file 65536 a.bin a.bin", false, "/team/package.txt:1: id '65536' is not a number from 1 to 65535"},
        {"file 101 a.bin a.bin", false, "/team/package.txt:1: id 101 is the manifest's"},
        {"file 102 a a\nfile 102 b b", false, "/team/package.txt:2: id 102 is used twice (first at line 1)"},
        {"file 102 @probe p.exe", false,
         "/team/package.txt:1: '@probe' names no file (give it with --with probe=PATH)"},
        {"file 102 a \xc3\xa9t\xc3\xa9.txt", false,
         "/team/package.txt:1: name '\xc3\xa9t\xc3\xa9.txt' is not plain ASCII (the program reads names in the "
         "machine's code page)"},
        {"file 102 a x?.txt", false,
         "/team/package.txt:1: name 'x?.txt' holds a character no file name can (< > \" | ? * or a control "
         "character)"},
        {"file 102 a ..\\x", false,
         "/team/package.txt:1: name '..\\x' is refused by the program: it must stay inside the working folder (no "
         "absolute path, drive, ':' or '..'), name no device and not end with a dot or a blank"},
        {"file 102 a COM0.txt", false,
         "/team/package.txt:1: name 'COM0.txt' is refused by the program: it must stay inside the working folder (no "
         "absolute path, drive, ':' or '..'), name no device and not end with a dot or a blank"},
        {"file 102 a Data\\A.txt\nfile 103 b data/a.TXT", false,
         "/team/package.txt:2: name 'data/a.TXT' is the same file as line 1's 'Data\\A.txt' (letter case aside)"},
        {"icon", false, "/team/package.txt:1: icon needs a file"},
        {"splash a.bmp\nsplash b.bmp", false, "/team/package.txt:2: splash is given twice (first at line 1)"},
        {"frobnicate 1", false, "/team/package.txt:1: unknown key 'frobnicate'"},
        {"manifest none", false,
         "/team/package.txt:1: unknown key 'manifest' (it shapes a broken payload, for the tool's own tests only)"},
        {"resource 300 a.bin", false,
         "/team/package.txt:1: unknown key 'resource' (it shapes a broken payload, for the tool's own tests only)"},
        {"manifest maybe", true, "/team/package.txt:1: manifest takes only 'none'"},
        {"manifest-size 102", true, "/team/package.txt:1: manifest-size needs an id and a size"},
        {"named-resource 9x a.bin", true, "/team/package.txt:1: resource name '9x' is not a plain name"},
        {"resource 300", true, "/team/package.txt:1: resource needs a name and a file"},
        {"product P\nversion 1.2.3.4.5", false,
         "/team/package.txt:2: version must be one to four dotted whole numbers, each 0 to 65535: '1.2.3.4.5'"},
        {"version 1.65536", false,
         "/team/package.txt:1: version must be one to four dotted whole numbers, each 0 to 65535: '1.65536'"},
        {"version 1.", false,
         "/team/package.txt:1: version must be one to four dotted whole numbers, each 0 to 65535: '1.'"},
        {"elevation admin", false, "/team/package.txt:1: elevation must be administrator, highest or invoker: 'admin'"},
        {"company A\ncompany B", false, "/team/package.txt:2: company is given twice (first at line 1)"},
        {"description", false, "/team/package.txt:1: description needs a value"},
        {"file 104 a a.exe", false,
         "/team/package.txt: product is missing: every caption and message names it (add 'product <name>')"},
    };
    for (const Case& c : cases) {
        Definition definition;
        std::vector<Refusal> refusals = Read(c.text, definition, c.testShapes);
        ASSERT_FALSE(refusals.empty()) << "definition: " << c.text;
        EXPECT_EQ(refusals[0].Text(), c.refusal) << "definition: " << c.text;
    }
}

TEST(PackerDefinition, WhatIsReadFromAGoodDefinition) {
    Definition definition;
    std::vector<Refusal> refusals = Read(
        "# a comment\r\n  product  Corvane Suite \r\nrequired-space 0\nprogram-name @none\n"
        "\tfile 104 @wizard   Setup Tool.exe\nfile 102 files/install.bin sub\\install.bin\nsigning-program Zava\n",
        definition);
    ASSERT_TRUE(refusals.empty()) << refusals[0].Text();
    EXPECT_EQ(definition.settings[static_cast<size_t>(Setting::Product)], L"Corvane Suite");
    EXPECT_EQ(definition.settings[static_cast<size_t>(Setting::RequiredSpace)], L"0");
    EXPECT_EQ(definition.settings[static_cast<size_t>(Setting::ProgramName)], L"");  // left out
    EXPECT_EQ(definition.settings[static_cast<size_t>(Setting::Processor)], L"AnyCPU");  // shipped
    ASSERT_EQ(definition.files.size(), 2u);  // an indented line counts like any other
    EXPECT_EQ(definition.files[0].source, fs::path("/build/wizard.exe"));
    EXPECT_EQ(definition.files[0].name, L"Setup Tool.exe");
    EXPECT_EQ(definition.files[1].source, fs::path("/team/files/install.bin"));
    EXPECT_EQ(ManifestText(definition, {227720, 2951504}), "104*Setup Tool.exe*227720*102*sub\\install.bin*2951504");
}

// What the build reads through the tool: the signing keys, and the "@name" programs, which
// are then no refusal.
TEST(PackerDefinition, SigningAndTheBuildsOwnPrograms) {
    struct Case {
        const char* text;
        bool sign;
        const char* program;
        const char* link;
    };
    const Case cases[] = {
        {"", true, "", ""},
        {"signing off \r\nsigning-program  Zava Studio \nsigning-link https://a.example/x y", false, "Zava Studio",
         "https://a.example/x"},
        {"  signing  off", false, "", ""},
        {"signing on\nsigning-program A\nsigning-program B", true, "B", ""},
    };
    for (const Case& c : cases) {
        Definition definition;
        ASSERT_TRUE(Read("product P\n" + std::string(c.text), definition).empty()) << c.text;
        EXPECT_EQ(definition.signing.sign, c.sign) << c.text;
        EXPECT_EQ(definition.signing.program, c.program) << c.text;
        EXPECT_EQ(definition.signing.link, c.link) << c.text;
    }
    ReadOptions options;
    options.anyInput = true;
    Definition definition;
    std::vector<Refusal> refusals;
    ReadDefinition(kPath, "product P\nfile 104 @probe a.exe\nfile 105 @probe b.exe\nsplash @art\nfile 106 c c", options,
                   definition, refusals);
    ASSERT_TRUE(refusals.empty()) << refusals[0].Text();
    EXPECT_EQ(definition.inputNames, (std::vector<std::string>{"probe", "art"}));
    EXPECT_TRUE(definition.files[0].source.empty());
    EXPECT_EQ(definition.files[2].source, fs::path("/team/c"));
}

// The product's identity: its keys as read, and the program name that defaults to the
// product unless a test package keeps the shipped names.
TEST(PackerDefinition, TheProductsIdentity) {
    Definition definition;
    ASSERT_TRUE(Read("product Halvard Survey 3\nversion 03.1\nelevation highest\ncompany H & Co\ncopyright (C) H",
                     definition)
                    .empty());
    const ProductIdentity& identity = definition.identity;
    EXPECT_EQ(identity.version, (VersionNumbers{3, 1, 0, 0}));
    EXPECT_EQ(identity.versionText, L"3.1");
    EXPECT_EQ(identity.elevation, Elevation::Highest);
    EXPECT_EQ(identity.elevationLine, 3u);
    EXPECT_EQ(identity.company, L"H & Co");
    EXPECT_EQ(identity.copyright, L"(C) H");
    EXPECT_FALSE(identity.description);
    EXPECT_EQ(SettingText(definition, Setting::ProgramName), L"Halvard Survey 3");
    Definition shipped;
    ASSERT_TRUE(Read("file 102 a a.txt", shipped, true).empty());
    EXPECT_EQ(SettingText(shipped, Setting::Product), L"Oakcrest");
    EXPECT_EQ(SettingText(shipped, Setting::ProgramName), L"Zava");
    EXPECT_EQ(shipped.identity.elevation, Elevation::Administrator);
}

TEST(PackerDefinition, TestShapesBendTheManifest) {
    Definition definition;
    ASSERT_TRUE(Read("file 103 a a.txt\nmanifest-size 103 12\nmanifest-extra 107*ghost.txt*5\nresource 300 b",
                     definition, true)
                    .empty());
    EXPECT_EQ(ManifestText(definition, {10, 4}), "103*a.txt*12*107*ghost.txt*5");  // resource 300 has no record
}

TEST(PackerDefinition, EveryFrameworkExcludedOnlyWhenEveryLevelIsNegative) {
    std::string all = "product P\n";
    for (const PackageSetting& setting : kSettings)
        if (setting.kind == SettingKind::Level) all += std::string(setting.key) + " -1\n";
    const std::pair<std::string, std::string> accepting[] = {{"-1", "0"}, {"-1", "-0"}, {"-1", "@none"}};
    Definition excluded;
    ASSERT_TRUE(Read(all, excluded).empty());
    EXPECT_TRUE(ExcludesEveryFramework(excluded));
    for (const auto& [from, to] : accepting) {
        std::string text = all;
        text.replace(text.rfind(from), from.size(), to);  // the last version accepted, or left out
        Definition definition;
        ASSERT_TRUE(Read(text, definition).empty()) << text;
        EXPECT_FALSE(ExcludesEveryFramework(definition)) << text;
    }
}

}  // namespace
}  // namespace gr::pack
