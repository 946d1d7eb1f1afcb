#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <system_error>

#include "packer/extract_target.h"

namespace gr::pack {
namespace {

std::string Quoted(const fs::path& element) { return "'" + PathText(element) + "'"; }

}  // namespace

ExtractTarget::ExtractTarget(const fs::path& folder) : folder_(folder) {
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (!fs::is_directory(folder, failure)) error_ = "cannot be made or opened as a folder";
}

ExtractTarget::~ExtractTarget() = default;

File ExtractTarget::Create(const std::vector<fs::path>& elements, std::string& why) {
    fs::path path = folder_;
    for (size_t i = 0; i + 1 < elements.size(); ++i) {
        path /= elements[i];
        if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            why = "the folder " + Quoted(elements[i]) + " cannot be made";
            return File();
        }
        // Windows cannot open a level from the one above; each is checked as it stands.
        DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            why = "the folder " + Quoted(elements[i]) + " is a link or a file, not a folder";
            return File();
        }
    }
    path /= elements.back();
    std::FILE* file = CreateNew(path);
    if (file == nullptr) {
        DWORD error = ::GetLastError();
        why = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                  ? Quoted(elements.back()) + " exists already (a file or a link): nothing is written over"
                  : Quoted(elements.back()) + " cannot be created";
    }
    return File(file, path);
}

}  // namespace gr::pack
