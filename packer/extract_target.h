// The folder `extract` writes the payload into, with the program's refusals: a file is
// created only where nothing (not even a link, dangling or not) has its name, and a
// subfolder that exists must be a real folder, never a link, so nothing is ever written
// through a link to somewhere else.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "packer/file_io.h"

namespace gr::pack {

class ExtractTarget {
public:
    // The folder is made (with the folders above it) when missing.
    explicit ExtractTarget(const fs::path& folder);
    ExtractTarget(const ExtractTarget&) = delete;
    ExtractTarget& operator=(const ExtractTarget&) = delete;
    ~ExtractTarget();
    // Why the folder cannot be written into; empty when it can.
    const std::string& error() const { return error_; }
    // Creates the file named by `elements` (subfolders, then the file's own name) below the
    // folder, making the subfolders; a closed File with `why` when something is in the way.
    File Create(const std::vector<fs::path>& elements, std::string& why);

private:
    fs::path folder_;
    int descriptor_ = -1;  // the folder, opened, where the system allows it
    std::string error_;
};

}  // namespace gr::pack
