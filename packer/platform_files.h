// What the tool asks of the file system beyond the standard library: what stands at a
// name without following a link, opening only regular files and without waiting, creating
// a file only where nothing (not even a dangling link) has its name, and replacing a file
// in one step. One implementation for Linux (platform_files.cpp), one for Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace gr::pack {

enum class FileKind { Missing, Regular, Folder, Link, Other /* a device, a pipe or a socket */, Unreadable };

// A file's identity (two names for one file have the same) and its state.
struct FileFacts {
    FileKind kind = FileKind::Missing;
    uint64_t volume = 0, index = 0;
    uint64_t size = 0;
    int64_t modified = 0;  // in the system's own units
    bool SameFile(const FileFacts& other) const {
        return kind == FileKind::Regular && other.kind == FileKind::Regular && volume == other.volume &&
               index == other.index;
    }
    bool SameState(const FileFacts& other) const {
        return SameFile(other) && size == other.size && modified == other.modified;
    }
};

// What stands at `path` itself: a link there is reported as a link, never followed.
FileFacts LookAt(const std::filesystem::path& path);
// The facts of an open file.
FileFacts FactsOf(std::FILE* file);
// Opens `path` for reading when it is a regular file (following links to it), without
// waiting on a pipe or a device; null otherwise, with `found` saying what is there.
std::FILE* OpenRegular(const std::filesystem::path& path, FileKind& found);
// Creates `path` for writing, only when nothing at all has that name; null otherwise. On
// Windows the file may be deleted while it is open (so an interruption can remove it).
std::FILE* CreateNew(const std::filesystem::path& path);
// Puts `from` in the place of `to` in one step, replacing a file there; false with `why`.
bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why);

}  // namespace gr::pack
