#include "packer/program_file.h"

#include <algorithm>

#include "packer/utf.h"

namespace gr::pack {

bool IsOurProgram(const ResourceList& resources) {
    const Resource* version = resources.Find(ResourceKey::Id(kTypeVersion), ResourceKey::Id(1));
    Bytes data, name;
    AppendUtf16(name, L"ZavodeRidudezir");
    return version != nullptr && version->data.Load(data) &&
           std::search(data.begin(), data.end(), name.begin(), name.end()) != data.end();
}

bool ReadProgramFile(const fs::path& path, ProgramFile& program, std::string& error) {
    program.path = path;
    FileKind found = FileKind::Missing;
    File file = File::OpenRead(path, found);
    if (!file) {
        error = NotReadable(found);
        return false;
    }
    if (!ReadPeImage(file, program.image, error) || !ReadResources(file, path, program.image, program.resources, error))
        return false;
    if (!IsOurProgram(program.resources)) {
        error = "is not the GearRack Installer program";
        return false;
    }
    if (const Resource* version = program.resources.Find(ResourceKey::Id(kTypeVersion), ResourceKey::Id(1)))
        program.language = version->language;
    return true;
}

}  // namespace gr::pack
