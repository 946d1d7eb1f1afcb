#include "packer/output_file.h"

#include <random>
#include <system_error>

namespace gr::pack {
namespace {

constexpr int kAttempts = 8;  // fresh names tried before giving up

// 16 hexadecimal digits from the system's random source.
std::string RandomText() {
    std::random_device source;
    std::string text;
    for (int i = 0; i < 2; ++i) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(source() & 0xFFFFFFFFu));
        text += digits;
    }
    return text;
}

}  // namespace

Output::Output(fs::path path, const std::vector<FileFacts>& inputs) : path_(std::move(path)) {
    if (!Refused(inputs)) CreateTemporary();
}

bool Output::Refused(const std::vector<FileFacts>& inputs) {
    FileFacts found = LookAt(path_);
    if (found.kind == FileKind::Missing) return false;
    if (found.kind == FileKind::Link) {
        // The rename replaces the link itself; what it names must still be no input, and a
        // link to a device or a folder is refused as they are.
        FileKind target = FileKind::Missing;
        File followed = File::OpenRead(path_, target);
        if (followed) found = followed.Facts();
        found.kind = followed || target == FileKind::Missing ? FileKind::Regular : target;
    }
    if (found.kind == FileKind::Folder) {
        error_ = "is a folder: the package is written only as a file";
        return true;
    }
    if (found.kind != FileKind::Regular) {
        error_ = "exists and is not a regular file (a device, a pipe or a socket): the package is written only as a file";
        return true;
    }
    for (const FileFacts& input : inputs)
        if (found.SameFile(input)) {
            error_ = "is one of the files the package is made from: it would be overwritten";
            return true;
        }
    return false;
}

void Output::CreateTemporary() {
    fs::path folder = path_.parent_path();
    InterruptionsDeferred deferred;  // created and registered as one step
    for (int attempt = 0; attempt < kAttempts && !file_; ++attempt) {
        fs::path name = path_.filename();
        name += "." + RandomText() + ".partial";
        temporary_ = folder / name;
        file_ = File(CreateNew(temporary_), temporary_);
    }
    // Registered once it is ours: a name that was taken is never removed.
    if (file_) cleanup_ = std::make_unique<RemovedOnInterruption>(temporary_);
    if (!file_) {
        temporary_.clear();
        error_ = "cannot be written (its folder is missing or cannot take a new file)";
    }
}

Output::~Output() {
    if (committed_ || temporary_.empty()) return;
    file_.Close();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

bool Output::Commit(std::string& error) {
    if (!file_.Close()) {
        error = PathText(path_) + ": cannot be written (the disk is full or failed)";
        return false;
    }
    std::string why;
    if (!ReplaceWith(temporary_, path_, why)) {
        error = PathText(path_) + ": cannot be replaced: " + why;
        return false;
    }
    committed_ = true;
    cleanup_.reset();
    return true;
}

}  // namespace gr::pack
