// The sample package's program carries what every package must: settings, messages,
// manifest, version, icon and a payload whose manifest agrees with its resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/handles_win.h"
#include "framework/string_table_win.h"

namespace gr {
namespace {

class SampleProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = ::LoadLibraryExW(GEARRACK_SAMPLE_PROGRAM, nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { ::FreeLibrary(module_); }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << GEARRACK_SAMPLE_PROGRAM; }

    static std::string_view Resource(const wchar_t* type, const wchar_t* name) {
        HRSRC found = ::FindResourceW(module_, name, type);
        if (!found) return {};
        HGLOBAL loaded = ::LoadResource(module_, found);
        const char* data = static_cast<const char*>(::LockResource(loaded));
        return data ? std::string_view(data, ::SizeofResource(module_, found)) : std::string_view();
    }
    static std::wstring Text(UINT id) { return LoadStringResource(module_, id); }

    static HMODULE module_;
};
HMODULE SampleProgram::module_ = nullptr;

TEST_F(SampleProgram, CarriesTheShippedSettings) {
    EXPECT_EQ(Text(0), L"AnyCPU");
    EXPECT_EQ(Text(1), L"Oakcrest");
    EXPECT_EQ(Text(103), L"500");
    for (UINT id = 138; id <= 144; ++id) EXPECT_EQ(Text(id), L"0") << "entry " << id;
    EXPECT_EQ(Text(145), L"1");
    EXPECT_EQ(Text(201), L"Zava");
}

TEST_F(SampleProgram, CarriesEveryMessage) {
    EXPECT_EQ(Text(101), L"&About %s...");
    EXPECT_EQ(Text(102), L"Insufficient disk space on drive '%s'. %ld Mb of free disk space is required.");
    EXPECT_EQ(Text(104), L"Contact Technical Support. Incorrect %s build.");
    EXPECT_EQ(Text(105), L"%s Version %d.%d.%d.%d");
    EXPECT_EQ(Text(106), L"About %s");
    EXPECT_EQ(Text(108), L"%s requires %s. Please download from the Microsoft Download Center and retry.");
    EXPECT_EQ(Text(109), L"You need local administrator privileges to run %s.");
    EXPECT_EQ(Text(110), L"%s requires MSI Engine 2.0. This can be downloaded from the Microsoft Download Center.");
    EXPECT_EQ(Text(111), L"A file is corrupt. Download %s and retry.");
    EXPECT_EQ(Text(112), L"%s failed with exit code 0x%8x.");
    EXPECT_EQ(Text(113), L"Failed to run %s error 0x%8x.");
    EXPECT_EQ(Text(115), L"%s requires %s SP %d. Please download from the Microsoft Download Center and retry.");
    EXPECT_EQ(Text(135), L"%s failed to switch into processor mode (%s)");
    EXPECT_EQ(Text(137), L"Verification of %s failed. Do you wish continue?");
    std::wstring usage = Text(114);
    const std::wstring start =
        L"Command line '%s' incorrect.\nValid switches include:- \n\textract [path]\tlog [path]\ttemp [path]\n"
        L"\nExample\n\t log c:\\log.txt /IAgreeToTheEULA";
    EXPECT_EQ(usage.substr(0, start.size()), start);
    EXPECT_NE(usage.find(L"INSTALLDIR=\"C:\\Program Files\\Product\""), std::wstring::npos) << usage;
}

TEST_F(SampleProgram, ManifestAsksForAdministratorAndCommonControls) {
    std::string_view manifest = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    for (const char* needle : {"requireAdministrator", "Microsoft.Windows.Common-Controls", "6.0.0.0",
                               "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"})
        EXPECT_NE(manifest.find(needle), std::string_view::npos) << needle;
}

TEST_F(SampleProgram, IconFiveHasThreeSizesAtThreeDepths) {
    std::string_view group = Resource(MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(5));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    ASSERT_EQ(static_cast<unsigned char>(group[4]), 9u);  // entry count
    ASSERT_GE(group.size(), 6u + 9u * 14u);
    std::set<std::pair<int, int>> images;  // size in pixels, bits per pixel
    for (size_t i = 0; i < 9; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(group.data()) + 6 + i * 14;
        images.insert({entry[0], entry[6] | (entry[7] << 8)});
    }
    for (int size : {48, 32, 16})
        for (int bits : {4, 8, 32}) EXPECT_EQ(images.count({size, bits}), 1u) << size << " pixels, " << bits << " bits";
}

// The packaging tool names the sample's product and file in the version resource; without a
// version key the program's own version stays.
TEST_F(SampleProgram, VersionNamesTheProductAndTheFile) {
    std::string_view version = Resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1));  // RT_VERSION
    ASSERT_GT(version.size(), 0u);
    std::wstring_view text(reinterpret_cast<const wchar_t*>(version.data()), version.size() / 2);
    for (const wchar_t* needle : {L"Oakcrest Setup", L"GearRackInstaller.exe", L"1.8.2.372"})
        EXPECT_NE(text.find(needle), std::wstring_view::npos) << needle;
    EXPECT_EQ(text.find(L"ZavodeRidudezir"), std::wstring_view::npos);
    const auto* words = reinterpret_cast<const DWORD*>(version.data());
    const VS_FIXEDFILEINFO* fixed = nullptr;
    for (size_t i = 0; i + sizeof(VS_FIXEDFILEINFO) / 4 <= version.size() / 4; ++i)
        if (words[i] == 0xFEEF04BD) fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(&words[i]);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 8u);
    EXPECT_EQ(fixed->dwFileVersionLS, (2u << 16) | 372u);
}

// The colour, 0xRRGGBB, that a bitmap resource gives its bottom-left pixel (the first of its
// bits): 24-bit plain, or an index into the palette, plain or run-length encoded.
uint32_t FirstPixel(std::string_view dib) {
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    const auto* colours = reinterpret_cast<const unsigned char*>(dib.data()) + header->biSize;
    if (header->biBitCount == 24) {
        const unsigned char* bits = colours + 4 * header->biClrUsed;
        return (bits[2] << 16) | (bits[1] << 8) | bits[0];
    }
    const unsigned char* bits = colours + 4 * (header->biClrUsed != 0 ? header->biClrUsed : 256);
    const unsigned char* entry = colours + 4 * (header->biCompression == BI_RLE8 ? bits[1] : bits[0]);
    return (entry[2] << 16) | (entry[1] << 8) | entry[0];
}

// The splash picture and the banner as the picture controls load them (a bitmap for the
// display): their own size, and the colours their files give, whether the file holds
// 24-bit pixels (the sample's) or 8-bit palette indices run-length encoded (the neutral
// pictures of the program with no package).
TEST_F(SampleProgram, PicturesLoadAsTheirFilesDrawThem) {
    HMODULE program = ::LoadLibraryExW(GEARRACK_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    struct Case {
        HMODULE module;
        WORD id;
        LONG width, height;
        WORD bits;
    } cases[] = {{module_, 133, 428, 211, 24}, {module_, 130, 634, 78, 24}, {program, 133, 428, 211, 8},
                 {program, 130, 634, 78, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bitmap " << c.id << ", " << c.bits << "-bit");
        HRSRC found = ::FindResourceW(c.module, MAKEINTRESOURCEW(c.id), MAKEINTRESOURCEW(2));
        ASSERT_NE(found, nullptr);
        std::string_view dib(static_cast<const char*>(::LockResource(::LoadResource(c.module, found))),
                             ::SizeofResource(c.module, found));
        EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biBitCount, c.bits);
        auto* bitmap = static_cast<HBITMAP>(::LoadImageW(c.module, MAKEINTRESOURCEW(c.id), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(bitmap, nullptr);
        BITMAP shape = {};
        ::GetObjectW(bitmap, sizeof shape, &shape);
        EXPECT_EQ(shape.bmWidth, c.width);
        EXPECT_EQ(shape.bmHeight, c.height);
        BITMAPINFO format = {};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), c.width, c.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint32_t> pixels(static_cast<size_t>(c.width * c.height));
        HDC screen = ::GetDC(nullptr);
        EXPECT_EQ(::GetDIBits(screen, bitmap, 0, static_cast<UINT>(c.height), pixels.data(), &format, DIB_RGB_COLORS),
                  c.height);
        ::ReleaseDC(nullptr, screen);
        EXPECT_EQ(pixels[0] & 0xFFFFFF, FirstPixel(dib));
        ::DeleteObject(bitmap);
    }
    ::FreeLibrary(program);
}

TEST_F(SampleProgram, PayloadManifestAgreesWithThePayload) {
    std::string_view manifest = Resource(L"TOOLKIT", MAKEINTRESOURCEW(101));
    ASSERT_FALSE(manifest.empty());
    EXPECT_EQ(manifest.find('\0'), std::string_view::npos);  // no terminator in the text
    size_t records = 0;
    size_t position = 0;
    while (position < manifest.size()) {
        auto field = [&]() {
            size_t end = manifest.find('*', position);
            if (end == std::string_view::npos) end = manifest.size();
            std::string value(manifest.substr(position, end - position));
            position = end + 1;
            return value;
        };
        unsigned id = static_cast<unsigned>(std::stoul(field()));
        std::string name = field();
        size_t size = std::stoul(field());
        std::string_view payload = Resource(L"TOOLKIT", MAKEINTRESOURCEW(id));
        EXPECT_EQ(payload.size(), size) << name;
        ++records;
    }
    EXPECT_EQ(records, 4u);
}

}  // namespace
}  // namespace gr
