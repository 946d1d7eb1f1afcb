#include "packer/der.h"

namespace gr::pack {

bool DerNext(DerView& data, DerElement& element) {
    if (data.size() < 2) return false;
    size_t length = data[1], header = 2;
    if ((length & 0x80) != 0) {
        size_t bytes = length & 0x7F;
        if (bytes == 0 || bytes > 4 || data.size() < 2 + bytes) return false;
        length = 0;
        for (size_t i = 0; i < bytes; ++i) length = (length << 8) | data[2 + i];
        header += bytes;
    }
    if (length > data.size() - header) return false;
    element.tag = data[0];
    element.contents = data.subspan(header, length);
    element.whole = data.subspan(0, header + length);
    data = data.subspan(header + length);
    return true;
}

bool DerExpect(DerView& data, uint8_t tag, DerElement& element) { return DerNext(data, element) && element.tag == tag; }

void DerAppend(std::vector<uint8_t>& out, uint8_t tag, DerView contents) {
    out.push_back(tag);
    size_t length = contents.size();
    if (length < 0x80) {
        out.push_back(static_cast<uint8_t>(length));
    } else {
        uint8_t bytes = 0;
        for (size_t rest = length; rest != 0; rest >>= 8) ++bytes;
        out.push_back(static_cast<uint8_t>(0x80 | bytes));
        for (uint8_t i = bytes; i-- > 0;) out.push_back(static_cast<uint8_t>(length >> (8 * i)));
    }
    out.insert(out.end(), contents.begin(), contents.end());
}

std::string DerOidText(DerView oid) {
    std::string dotted;
    uint64_t value = 0;
    for (size_t i = 0; i < oid.size(); ++i) {
        value = (value << 7) | (oid[i] & 0x7F);
        if ((oid[i] & 0x80) != 0) continue;
        if (dotted.empty())
            dotted = std::to_string(value < 80 ? value / 40 : 2) + "." +
                     std::to_string(value < 80 ? value % 40 : value - 80);
        else
            dotted += "." + std::to_string(value);
        value = 0;
    }
    return dotted;
}

}  // namespace gr::pack
