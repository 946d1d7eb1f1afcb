// The payload of a package built with `compression lzma`: each file compressed into a
// spill file beside the package (so the tool's memory stays small and the sizes are known
// before the package is laid out), or kept as it is when compressing does not make it
// smaller; and the coding table that tells the program which is which. The spill file is a
// temporary output beside the package, never put in place: it goes when the build ends,
// however it ends.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "packer/definition.h"
#include "packer/output_file.h"
#include "packer/progress.h"
#include "packer/resource_tree.h"
#include "package/coding.h"

namespace gr::pack {

class CompressedPayload {
public:
    // The spill file goes beside `output`, which is made from `inputs`; it is made only when
    // something is compressed.
    CompressedPayload(fs::path output, std::vector<FileFacts> inputs)
        : output_(std::move(output)), inputs_(std::move(inputs)) {}
    CompressedPayload(const CompressedPayload&) = delete;
    CompressedPayload& operator=(const CompressedPayload&) = delete;

    // Compresses each file of `definition` with an integer id (`sizes` are the files' own).
    // False with `error` naming the file that failed.
    bool Compress(const Definition& definition, const std::vector<uint64_t>& sizes, Progress& progress,
                  std::string& error);
    // The bytes of file `index` as the package carries them.
    ResourceData Data(size_t index, const fs::path& source, uint64_t size) const;
    // The coding table (resource CODING 101); empty when no file was made smaller.
    Bytes CodingTable() const;

private:
    struct Stream {
        uint64_t offset = 0;
        uint64_t size = 0;
        uint32_t checksum = 0;
    };
    fs::path output_;
    std::vector<FileFacts> inputs_;
    std::unique_ptr<Output> spill_;
    std::vector<std::optional<Stream>> streams_;  // one per definition file
    std::vector<uint32_t> ids_;                   // the files' resource ids
};

}  // namespace gr::pack
