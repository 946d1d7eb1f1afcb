// The files a build is made from (definition, program, payload and pictures), each a
// regular file, noted as it was when first opened: the output may be none of them, and a
// file that is not the same, unchanged, when the package is complete is refused by name.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "packer/file_io.h"

namespace gr::pack {

class InputFiles {
public:
    // Opens `path` (a regular file) and notes it; a closed File, with `why`, otherwise.
    File Open(const fs::path& path, std::string& why);
    // Reads the whole of `path` (at most `largest` bytes) and notes it; false with `why`.
    bool ReadWhole(const fs::path& path, Bytes& data, uint64_t largest, std::string& why);
    // Each input's identity and state, as first opened.
    std::vector<FileFacts> Facts() const;
    // The first input that is no longer the file it was, as it was; null when none.
    const fs::path* Changed() const;

private:
    std::vector<std::pair<fs::path, FileFacts>> files_;
};

}  // namespace gr::pack
