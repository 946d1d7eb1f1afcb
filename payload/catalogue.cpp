#include "payload/catalogue.h"

#include "base/format.h"

namespace gr {

std::vector<std::wstring> AssignFileNames(ResourceCatalogue& catalogue, const ManifestMap& manifest,
                                          std::wstring& wizardFile) {
    std::vector<std::wstring> lines;
    for (CResource& entry : catalogue) {
        const CResourceFile* record = manifest.Find(entry.id);
        if (record == nullptr) continue;
        entry.fileName = record->name;
        entry.expectedSize = record->size;
        if (entry.IsExecutable()) wizardFile = entry.fileName;
        lines.push_back(Format(L"Work Out FileName %s, Bytes %ld\n", record->name, record->size));
    }
    return lines;
}

uint32_t ExtractionResult(uint64_t written, uint64_t resourceSize, int32_t expectedSize) {
    if (written != resourceSize) return kFailed;
    return expectedSize >= 0 && resourceSize == static_cast<uint64_t>(expectedSize) ? 0 : kSizeMismatch;
}

}  // namespace gr
