#include "packer/extract_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace gr::pack {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Closes a descriptor it owns.
struct Descriptor {
    int value;
    ~Descriptor() {
        if (value >= 0) ::close(value);
    }
};

std::string Quoted(const fs::path& element) { return "'" + PathText(element) + "'"; }

}  // namespace

ExtractTarget::ExtractTarget(const fs::path& folder) : folder_(folder) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    // The folder itself is the one asked for, wherever a link given there leads.
    descriptor_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor_ < 0) error_ = "cannot be made or opened as a folder";
}

ExtractTarget::~ExtractTarget() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

File ExtractTarget::Create(const std::vector<fs::path>& elements, std::string& why) {
    // Each level is opened from the one above without following a link, so a link swapped
    // in meanwhile is refused as well.
    Descriptor level{::dup(descriptor_)};
    for (size_t i = 0; i + 1 < elements.size(); ++i) {
        const char* name = elements[i].c_str();
        if (::mkdirat(level.value, name, 0777) != 0 && errno != EEXIST) {
            why = "the folder " + Quoted(elements[i]) + " cannot be made";
            return File();
        }
        Descriptor next{::openat(level.value, name, kFolderFlags)};
        if (next.value < 0) {
            why = "the folder " + Quoted(elements[i]) +
                  (errno == ELOOP || errno == ENOTDIR ? " is a link or a file, not a folder" : " cannot be opened");
            return File();
        }
        std::swap(level.value, next.value);
    }
    const fs::path& leaf = elements.back();
    int descriptor = ::openat(level.value, leaf.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        why = errno == EEXIST ? Quoted(leaf) + " exists already (a file or a link): nothing is written over"
                              : Quoted(leaf) + " cannot be created";
        return File();
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) ::close(descriptor);
    fs::path path = folder_;
    for (const fs::path& element : elements) path /= element;
    return File(file, path);
}

}  // namespace gr::pack
