#include "payload/unpack_win.h"

#include "base/log.h"
#include "framework/resource_win.h"
#include "payload/coding_table.h"
#include "payload/lzma_decoder.h"

namespace gr {
namespace {

bool WritePiece(void* file, const uint8_t* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(static_cast<HANDLE>(file), data, static_cast<DWORD>(size), &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

uint32_t ReadCodingTable(HMODULE module, ResourceCatalogue& catalogue) {
    if (!::FindResourceW(module, MAKEINTRESOURCEW(kCodingTableId), kCodingType)) return 0;
    LoadedResource table(module, kCodingType, kCodingTableId);
    if (table && AssignCodings(catalogue, table.Data(), table.Size())) return 0;
    LogText(L"Coding table damaged\n");
    return kFailed;
}

uint32_t UnpackToFile(const CResource& resource, const unsigned char* data, size_t size, HANDLE file) {
    UnpackFault fault = resource.expectedSize < 0
                            ? UnpackFault::Size
                            : UnpackLzma(data, size, static_cast<uint32_t>(resource.expectedSize), resource.checksum,
                                         WritePiece, file);
    if (fault == UnpackFault::None) return 0;
    LogFormat(L"Cannot unpack '%s': %s\n", resource.fileName, UnpackFaultText(fault));
    return kFailed;
}

}  // namespace gr
