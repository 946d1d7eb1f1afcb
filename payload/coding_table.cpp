#include "payload/coding_table.h"

namespace gr {

bool AssignCodings(ResourceCatalogue& catalogue, const uint8_t* table, size_t size) {
    if (size % kCodingRecordBytes != 0) return false;
    for (size_t at = 0; at < size; at += kCodingRecordBytes) {
        uint32_t coding = CodingWord(table + at + 4);
        if (coding != kCodingStored && coding != kCodingLzma) return false;
        for (CResource& entry : catalogue) {
            if (entry.id != CodingWord(table + at)) continue;
            entry.coding = coding;
            entry.checksum = CodingWord(table + at + 8);
        }
    }
    return true;
}

}  // namespace gr
