#include "packer/file_io.h"

#include <algorithm>

#include "packer/interruption.h"

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace gr::pack {
namespace {

bool SeekTo(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
    return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = other.file_;
        path_ = std::move(other.path_);
        other.file_ = nullptr;
    }
    return *this;
}

File File::OpenRead(const fs::path& path, FileKind& found) { return File(OpenRegular(path, found), path); }

bool File::ReadAt(uint64_t offset, void* data, size_t length) { return Seek(offset) && Read(data, length); }

bool File::Read(void* data, size_t length) { return file_ != nullptr && std::fread(data, 1, length, file_) == length; }

bool File::Write(const void* data, size_t length) {
    return file_ != nullptr && std::fwrite(data, 1, length, file_) == length;
}

bool File::Seek(uint64_t offset) { return file_ != nullptr && SeekTo(file_, offset); }

bool File::ReadPieces(uint64_t offset, uint64_t length, const std::function<bool(const uint8_t*, size_t)>& use) {
    if (ReadPiecesMapped(offset, length, use)) return true;
    Bytes piece(static_cast<size_t>(std::min<uint64_t>(length, kCopyPiece)));
    if (!Seek(offset)) return false;
    while (length > 0) {
        size_t size = static_cast<size_t>(std::min<uint64_t>(length, kCopyPiece));
        if (!Read(piece.data(), size) || !use(piece.data(), size)) return false;
        length -= size;
    }
    return true;
}

#if defined(__unix__)
// Maps the file a window at a time (and lets each go before the next, so the memory the
// tool holds stays small): each piece is read once, by `use`, from the system's cache.
bool File::ReadPiecesMapped(uint64_t offset, uint64_t length, const std::function<bool(const uint8_t*, size_t)>& use) {
    constexpr uint64_t kWindow = 8 * kCopyPiece;
    const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    int64_t size = Size();
    if (file_ == nullptr || length == 0 || size < 0 || !Within(offset, length, static_cast<uint64_t>(size)))
        return false;
    int descriptor = ::fileno(file_);
    // The file may be cut short under the mapping by someone else: the fault that brings
    // ends the tool with this file's name.
    MappedReadGuard guard(path_);
    while (length > 0) {
        uint64_t start = offset / page * page, skip = offset - start;
        uint64_t span = std::min<uint64_t>(length, kWindow);
        void* window = ::mmap(nullptr, skip + span, PROT_READ, MAP_SHARED, descriptor, static_cast<off_t>(start));
        if (window == MAP_FAILED) return false;
        ::madvise(window, skip + span, MADV_SEQUENTIAL | MADV_WILLNEED);
        const uint8_t* data = static_cast<const uint8_t*>(window) + skip;
        bool used = true;
        for (uint64_t done = 0; used && done < span; done += kCopyPiece)
            used = use(data + done, static_cast<size_t>(std::min<uint64_t>(span - done, kCopyPiece)));
        ::munmap(window, skip + span);
        if (!used) return false;
        offset += span;
        length -= span;
    }
    return true;
}
#else
bool File::ReadPiecesMapped(uint64_t, uint64_t, const std::function<bool(const uint8_t*, size_t)>&) { return false; }
#endif

int64_t File::Size() {
    if (file_ == nullptr) return -1;
#ifdef _WIN32
    if (::_fseeki64(file_, 0, SEEK_END) != 0) return -1;
    return ::_ftelli64(file_);
#else
    if (::fseeko(file_, 0, SEEK_END) != 0) return -1;
    return ::ftello(file_);
#endif
}

bool File::Close() {
    if (file_ == nullptr) return true;
    bool written = std::ferror(file_) == 0;
    written = std::fclose(file_) == 0 && written;
    file_ = nullptr;
    return written;
}

bool ReadWholeFile(File& file, Bytes& data, uint64_t largest, std::string& why) {
    FileFacts before = file.Facts();
    if (before.size > largest) {
        why = "is larger than " + std::to_string(largest / (1024 * 1024)) + " MB";
        return false;
    }
    data.resize(static_cast<size_t>(before.size));
    uint8_t beyond = 0;
    if (!file.ReadAt(0, data.data(), data.size()) || file.Read(&beyond, 1) || !before.SameState(file.Facts())) {
        why = "changed while it was read";
        return false;
    }
    return true;
}

std::string NotReadable(FileKind kind) {
    switch (kind) {
        case FileKind::Missing: return "does not exist";
        case FileKind::Folder: return "is a folder, not a file";
        case FileKind::Link:
        case FileKind::Other: return "is not a regular file (a device, a pipe or a socket)";
        default: return "cannot be read";
    }
}

std::string PathText(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace gr::pack
