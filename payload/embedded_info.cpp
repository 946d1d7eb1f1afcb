#include "payload/embedded_info.h"

#include "base/format.h"

namespace gr {

bool FindEmbeddedInformation(const uint8_t* window, InfoBlock& block) {
    constexpr size_t kLastMarkerPosition = 4111;
    constexpr size_t kInformationEnd = 4111;  // six bytes before the end of the file
    for (size_t position = kLastMarkerPosition; position >= 1; --position) {
        if (window[position] != 'M' || window[position + 1] != 'R' || window[position + 2] != 'D' ||
            window[position + 3] != 'C')
            continue;
        size_t start = position + 4;
        if (start >= kInformationEnd) return false;
        block.offset = start;
        block.length = kInformationEnd - start;
        return true;
    }
    return false;
}

std::wstring InformationWrittenLine(bool whole, int32_t length, std::wstring_view outputPath) {
    return Format(whole ? L"Written out embedded information %ld byts to file %s\r\n"
                        : L"Write fail for embedded information %ld byts to file %s\r\n",
                  length, outputPath);
}

}  // namespace gr
