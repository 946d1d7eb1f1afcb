// Files for the tool: reading at any offset, streaming copies in pieces, and an output
// that appears under its name only when it is complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "packer/bytes.h"

namespace gr::pack {

namespace fs = std::filesystem;

// Copies and checksums go in pieces of this size: the tool's memory stays small
// whatever the payload's size.
constexpr size_t kCopyPiece = 1024 * 1024;

// An open file, closed with its owner.
class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
    File& operator=(File&& other) noexcept;
    ~File() { Close(); }

    static File OpenRead(const fs::path& path);
    static File Create(const fs::path& path);
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
    // Flushes and closes; false when anything written did not reach the file.
    bool Close();

private:
    bool ReadPiecesMapped(uint64_t offset, uint64_t length, const std::function<bool(const uint8_t*, size_t)>& use);

    std::FILE* file_ = nullptr;
};

// Reads the whole of a (small) file; false when it cannot be read.
bool ReadWholeFile(const fs::path& path, Bytes& data);

// An output file written under a temporary name beside `path` and renamed to `path` by
// Commit. Until then nothing is at `path`'s own name; an uncommitted output is removed.
class Output {
public:
    explicit Output(fs::path path);
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output();
    File& file() { return file_; }
    const fs::path& temporary() const { return temporary_; }
    bool Commit(std::string& error);

private:
    fs::path path_;
    fs::path temporary_;
    File file_;
    bool committed_ = false;
};

// The path's text for messages, in UTF-8.
std::string PathText(const fs::path& path);

}  // namespace gr::pack
