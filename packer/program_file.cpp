#include "packer/program_file.h"

#include <algorithm>

#include "packer/string_table.h"
#include "res/resource_ids.h"

namespace gr::pack {
namespace {

// The start of the program's usage message: a package's version resource names its
// product, so the program is known by its own messages.
constexpr std::wstring_view kUsageStart = L"Command line '%s' incorrect.";

}  // namespace

bool IsOurProgram(const ResourceList& resources) {
    std::optional<std::wstring> usage = FindString(resources, IDS_USAGE);
    return usage && usage->starts_with(kUsageStart);
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
