// The installation data: the components' bytes, in blocks. The file starts with the line
// "WIZDATA 1"; each block is a line "<name> <size>", then exactly <size> bytes, then a line
// feed. Names are 1 to 32 letters, digits, "-" or "_"; lines end with a line feed alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wiz {

struct DataBlock {
    std::wstring name;
    size_t offset = 0;  // of the block's first byte in the file
    size_t size = 0;
};

struct DataFile {
    std::vector<DataBlock> blocks;
    std::wstring error;  // why the data cannot be used; empty when it can
};

DataFile ReadDataFile(std::string_view bytes);

}  // namespace wiz
