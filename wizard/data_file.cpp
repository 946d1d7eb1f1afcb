#include "wizard/data_file.h"

namespace wiz {
namespace {

constexpr std::string_view kFirstLine = "WIZDATA 1\n";
constexpr size_t kMaxName = 32;
constexpr size_t kMaxSizeDigits = 9;

bool IsNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

DataFile Refused(const std::wstring& why) {
    return DataFile{{}, L"data file: " + why};
}

// Reads "<name> <size>" into `block`; false when the line is not one.
bool ReadHeader(std::string_view line, DataBlock& block) {
    size_t blank = line.find(' ');
    if (blank == 0 || blank > kMaxName || blank == std::string_view::npos) return false;
    for (char c : line.substr(0, blank)) {
        if (!IsNameCharacter(c)) return false;
        block.name += static_cast<wchar_t>(c);
    }
    std::string_view digits = line.substr(blank + 1);
    if (digits.empty() || digits.size() > kMaxSizeDigits) return false;
    block.size = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        block.size = block.size * 10 + static_cast<size_t>(c - '0');
    }
    return true;
}

}  // namespace

DataFile ReadDataFile(std::string_view bytes) {
    if (!bytes.starts_with(kFirstLine)) return Refused(L"the first line is not WIZDATA 1");
    DataFile data;
    for (size_t at = kFirstLine.size(); at < bytes.size();) {
        std::wstring where = L"the block at byte " + std::to_wstring(at);
        size_t end = bytes.find('\n', at);
        DataBlock block;
        if (end == std::string_view::npos || !ReadHeader(bytes.substr(at, end - at), block))
            return Refused(where + L" has no line \"<name> <size>\"");
        block.offset = end + 1;
        if (bytes.size() - block.offset < block.size + 1) return Refused(where + L" is cut short");
        if (bytes[block.offset + block.size] != '\n') return Refused(where + L" does not end with a line feed");
        for (const DataBlock& earlier : data.blocks)
            if (earlier.name == block.name) return Refused(where + L" repeats the name " + block.name);
        at = block.offset + block.size + 1;
        data.blocks.push_back(std::move(block));
    }
    return data;
}

}  // namespace wiz
