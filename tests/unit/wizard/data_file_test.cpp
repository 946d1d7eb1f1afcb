#include "wizard/data_file.h"

#include <gtest/gtest.h>

namespace wiz {
namespace {

using namespace std::string_literals;

TEST(WizardDataFile, FindsEachBlockByItsSize) {
    std::string bytes = "WIZDATA 1\ncore 5\nhello\nbin_2 4\na\n\0b\nempty 0\n\n"s;
    DataFile data = ReadDataFile(bytes);
    ASSERT_EQ(data.error, L"");
    ASSERT_EQ(data.blocks.size(), 3u);
    EXPECT_EQ(data.blocks[0].name, L"core");
    EXPECT_EQ(bytes.substr(data.blocks[0].offset, data.blocks[0].size), "hello");
    EXPECT_EQ(data.blocks[1].name, L"bin_2");
    EXPECT_EQ(bytes.substr(data.blocks[1].offset, data.blocks[1].size), "a\n\0b"s);  // any bytes, line feeds too
    EXPECT_EQ(data.blocks[2].name, L"empty");
    EXPECT_EQ(data.blocks[2].size, 0u);
    EXPECT_EQ(data.blocks[2].offset, bytes.size() - 1);
}

TEST(WizardDataFile, NoBlocksAtAll) {
    DataFile data = ReadDataFile("WIZDATA 1\n");
    EXPECT_EQ(data.error, L"");
    EXPECT_TRUE(data.blocks.empty());
}

TEST(WizardDataFile, RefusedWithTheReason) {
    struct Case {
        std::string bytes;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"", L"data file: the first line is not WIZDATA 1"},
        {"WIZDATA 2\n", L"data file: the first line is not WIZDATA 1"},
        {"WIZDATA 1\r\ncore 1\na\n", L"data file: the first line is not WIZDATA 1"},
        {"WIZDATA 1\ncore 5", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\n 5\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore \nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore 5 \nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore -5\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore 5\r\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\nco.re 5\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\n" + std::string(33, 'n') + " 1\na\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore 1000000000\nhello\n", L"data file: the block at byte 10 has no line \"<name> <size>\""},
        {"WIZDATA 1\ncore 6\nhello\n", L"data file: the block at byte 10 is cut short"},
        {"WIZDATA 1\ncore 5\nhello", L"data file: the block at byte 10 is cut short"},
        {"WIZDATA 1\ncore 4\nhello\n", L"data file: the block at byte 10 does not end with a line feed"},
        {"WIZDATA 1\ncore 1\na\ncore 1\nb\n", L"data file: the block at byte 19 repeats the name core"},
        {"WIZDATA 1\ncore 1\na\n\n", L"data file: the block at byte 19 has no line \"<name> <size>\""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadDataFile(c.bytes).error, c.error) << c.bytes;
    EXPECT_EQ(ReadDataFile("WIZDATA 1\n" + std::string(32, 'n') + " 1\na\n").error, L"");
}

}  // namespace
}  // namespace wiz
