#include "packer/payload_compression.h"

#include "packer/lzma_encoder.h"

namespace gr::pack {

bool CompressedPayload::Compress(const Definition& definition, const std::vector<uint64_t>& sizes,
                                 Progress& progress, std::string& error) {
    streams_.assign(definition.files.size(), std::nullopt);
    for (const PayloadFile& file : definition.files) ids_.push_back(file.id);
    spill_ = std::make_unique<Output>(output_, inputs_);
    File& spill = spill_->file();
    if (!spill) {
        error = PathText(output_) + ": " + spill_->error();
        return false;
    }
    uint64_t total = 0, before = 0, offset = 0;
    for (uint64_t size : sizes) total += size;
    for (size_t i = 0; i < definition.files.size(); ++i) {
        const PayloadFile& file = definition.files[i];
        if (!file.resourceName.empty()) continue;  // a test shape: kept as it is
        std::string shown = PathText(file.source);
        File source = File::OpenRead(file.source);
        Compressed compressed;
        std::string failure;
        auto show = [&](uint64_t done) { progress.Show(shown, before + done, total); };
        if (!source || !spill.Seek(offset) ||
            !CompressLzma(source, sizes[i], spill, compressed, show, failure)) {
            error = shown + ": " + (failure.empty() ? "cannot be read" : failure);
            return false;
        }
        before += sizes[i];
        if (compressed.size >= sizes[i]) continue;  // stored: its stream is written over
        streams_[i] = Stream{offset, compressed.size, compressed.checksum};
        offset += compressed.size;
    }
    progress.Finish();
    if (!spill.Close()) {
        error = PathText(spill_->temporary()) + ": cannot be written (the disk is full or failed)";
        return false;
    }
    return true;
}

ResourceData CompressedPayload::Data(size_t index, const fs::path& source, uint64_t size) const {
    if (index < streams_.size() && streams_[index])
        return ResourceData::InFile(spill_->temporary(), streams_[index]->offset, streams_[index]->size);
    return ResourceData::InFile(source, 0, size);
}

Bytes CompressedPayload::CodingTable() const {
    Bytes table;
    for (size_t i = 0; i < streams_.size(); ++i) {
        if (!streams_[i]) continue;
        for (uint32_t word : {ids_[i], kCodingLzma, streams_[i]->checksum}) Append32(table, word);
    }
    return table;
}

}  // namespace gr::pack
