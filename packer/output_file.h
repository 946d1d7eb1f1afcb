// An output the tool writes (a package): refused when something other than a regular file
// stands at its name or when it is one of the tool's own inputs; written under a fresh,
// unpredictable temporary name beside it, created where nothing had that name; put in the
// output's place by one rename when complete. A failed or interrupted write removes the
// temporary file and leaves whatever was at the output's name as it was.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "packer/file_io.h"
#include "packer/interruption.h"

namespace gr::pack {

class Output {
public:
    // Checks `path` against `inputs` (the facts of every file the output is made from) and
    // creates the temporary file; see error() when file() is closed.
    Output(fs::path path, const std::vector<FileFacts>& inputs);
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output();
    File& file() { return file_; }
    // Why the output is refused or cannot be written, for "<output>: <error>".
    const std::string& error() const { return error_; }
    const fs::path& temporary() const { return temporary_; }
    // Closes the temporary file and renames it to the output; false with `error`.
    bool Commit(std::string& error);

private:
    bool Refused(const std::vector<FileFacts>& inputs);
    void CreateTemporary();

    fs::path path_;
    fs::path temporary_;
    std::unique_ptr<RemovedOnInterruption> cleanup_;
    File file_;
    std::string error_;
    bool committed_ = false;
};

}  // namespace gr::pack
