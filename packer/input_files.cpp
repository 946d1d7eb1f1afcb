#include "packer/input_files.h"

namespace gr::pack {

File InputFiles::Open(const fs::path& path, std::string& why) {
    FileKind found = FileKind::Missing;
    File file = File::OpenRead(path, found);
    if (!file) {
        why = NotReadable(found);
        return file;
    }
    files_.emplace_back(path, file.Facts());
    return file;
}

bool InputFiles::ReadWhole(const fs::path& path, Bytes& data, uint64_t largest, std::string& why) {
    File file = Open(path, why);
    if (!file) return false;
    return ReadWholeFile(file, data, largest, why);
}

std::vector<FileFacts> InputFiles::Facts() const {
    std::vector<FileFacts> facts;
    for (const auto& [path, noted] : files_) facts.push_back(noted);
    return facts;
}

const fs::path* InputFiles::Changed() const {
    for (const auto& [path, noted] : files_) {
        File now = File::OpenRead(path);
        if (!now || !noted.SameState(now.Facts())) return &path;
    }
    return nullptr;
}

}  // namespace gr::pack
