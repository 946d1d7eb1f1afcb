// Files for the tool: reading regular files at any offset and streaming copies in pieces.
// (Outputs: output_file.h.)
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "packer/bytes.h"
#include "packer/platform_files.h"

namespace gr::pack {

namespace fs = std::filesystem;

// Copies and checksums go in pieces of this size: the tool's memory stays small
// whatever the payload's size.
constexpr size_t kCopyPiece = 1024 * 1024;

// An open file, closed with its owner.
class File {
public:
    File() = default;
    // Takes `file` (opened at `path`) over.
    File(std::FILE* file, fs::path path) : file_(file), path_(std::move(path)) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept : file_(other.file_), path_(std::move(other.path_)) { other.file_ = nullptr; }
    File& operator=(File&& other) noexcept;
    ~File() { Close(); }

    // Opens `path` when it is a regular file, without waiting on a pipe or a device; a
    // closed File otherwise, with `found` saying what is there.
    static File OpenRead(const fs::path& path, FileKind& found);
    static File OpenRead(const fs::path& path) {
        FileKind ignored;
        return OpenRead(path, ignored);
    }
    explicit operator bool() const { return file_ != nullptr; }
    // False when the file cannot be read or has fewer bytes there.
    bool ReadAt(uint64_t offset, void* data, size_t length);
    bool Read(void* data, size_t length);
    bool Write(const void* data, size_t length);
    bool Seek(uint64_t offset);
    // Hands `length` bytes from `offset` to `use` in pieces of at most kCopyPiece bytes, in
    // order; false when the file has fewer bytes or `use` says no. Where the system can map
    // files, the pieces come straight from the system's cache of the file, not copied.
    bool ReadPieces(uint64_t offset, uint64_t length, const std::function<bool(const uint8_t*, size_t)>& use);
    // Byte count, or -1 when it cannot be told.
    int64_t Size();
    // Its identity and state now.
    FileFacts Facts() const { return FactsOf(file_); }
    const fs::path& path() const { return path_; }
    // Flushes and closes; false when anything written did not reach the file.
    bool Close();

private:
    bool ReadPiecesMapped(uint64_t offset, uint64_t length, const std::function<bool(const uint8_t*, size_t)>& use);

    std::FILE* file_ = nullptr;
    fs::path path_;
};

// Reads the whole of the regular file `file`, from its start, when it has at most `largest`
// bytes; false with `why` otherwise, or when it changes meanwhile.
bool ReadWholeFile(File& file, Bytes& data, uint64_t largest, std::string& why);
// Why a file of `kind` cannot be read: "cannot be read", "is a folder", ...
std::string NotReadable(FileKind kind);

// The path's text for messages, in UTF-8.
std::string PathText(const fs::path& path);

}  // namespace gr::pack
