#include "payload/embedded_info.h"

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

}  // namespace gr
