#include "packer/platform_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace gr::pack {
namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Folder;
    if (S_ISLNK(mode)) return FileKind::Link;
    return FileKind::Other;
}

FileFacts FactsFrom(const struct stat& status) {
    FileFacts facts;
    facts.kind = KindOf(status.st_mode);
    facts.volume = static_cast<uint64_t>(status.st_dev);
    facts.index = static_cast<uint64_t>(status.st_ino);
    facts.size = static_cast<uint64_t>(status.st_size);
    facts.modified = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return facts;
}

}  // namespace

FileFacts LookAt(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) return FactsFrom(status);
    FileFacts facts;
    facts.kind = errno == ENOENT ? FileKind::Missing : FileKind::Unreadable;
    return facts;
}

FileFacts FactsOf(std::FILE* file) {
    struct stat status {};
    if (file != nullptr && ::fstat(::fileno(file), &status) == 0) return FactsFrom(status);
    FileFacts facts;
    facts.kind = FileKind::Unreadable;
    return facts;
}

std::FILE* OpenRegular(const std::filesystem::path& path, FileKind& found) {
    // Without waiting: opening a pipe with no writer, or some devices, would wait for ever.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        found = errno == ENOENT ? FileKind::Missing : FileKind::Unreadable;
        return nullptr;
    }
    struct stat status {};
    found = ::fstat(descriptor, &status) == 0 ? KindOf(status.st_mode) : FileKind::Unreadable;
    int flags = ::fcntl(descriptor, F_GETFL);
    std::FILE* file = nullptr;
    if (found == FileKind::Regular && flags >= 0 && ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0)
        file = ::fdopen(descriptor, "rb");
    if (file == nullptr) ::close(descriptor);
    return file;
}

std::FILE* CreateNew(const std::filesystem::path& path) {
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) ::close(descriptor);
    return file;
}

bool ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    why = std::strerror(errno);
    return false;
}

}  // namespace gr::pack
