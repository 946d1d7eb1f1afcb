#include "payload/resources_win.h"

#include <shlobj.h>

#include "base/log.h"
#include "framework/ansi_win.h"
#include "framework/handles_win.h"
#include "framework/resource_win.h"
#include "package/coding.h"
#include "package/format.h"
#include "package/names.h"
#include "payload/payload_file_win.h"
#include "payload/unpack_win.h"
#include "payload/working_folder.h"

namespace gr {
namespace {

// Windows can refuse one very large write, so big files go out in pieces of this size,
// each straight from the resource's memory.
constexpr size_t kWritePiece = 1024 * 1024;

BOOL CALLBACK AddResource(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR catalogueAddress) {
    if (!IS_INTRESOURCE(name)) return TRUE;  // string-named resources are not payload
    auto* catalogue = reinterpret_cast<ResourceCatalogue*>(catalogueAddress);
    CResource entry;
    entry.id = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(name));
    entry.type = IS_INTRESOURCE(type) ? std::wstring() : std::wstring(type);
    entry.module = module;
    catalogue->insert(catalogue->begin(), entry);
    LogFormat(L"Enumerate Resources %s %x\n", entry.type, entry.id);
    return TRUE;
}

// Writes `size` bytes in pieces; returns the count written before any failure.
uint64_t WriteAll(HANDLE file, const unsigned char* data, size_t size) {
    uint64_t done = 0;
    while (done < size) {
        DWORD piece = static_cast<DWORD>(size - done < kWritePiece ? size - done : kWritePiece);
        DWORD written = 0;
        if (!::WriteFile(file, data + done, piece, &written, nullptr) || written == 0) break;
        done += written;
    }
    return done;
}

// Creates every missing folder above `path`.
void CreateFoldersAbove(const std::wstring& path) {
    size_t last = path.find_last_of(L"\\/");
    if (last != std::wstring::npos && last > 0) ::SHCreateDirectoryExW(nullptr, path.substr(0, last).c_str(), nullptr);
}

}  // namespace

uint32_t EnumerateResources(HMODULE module, ResourceCatalogue& catalogue, const std::wstring& folder,
                            std::wstring& wizardPath) {
    if (!::EnumResourceNamesW(module, kPayloadType, AddResource, reinterpret_cast<LONG_PTR>(&catalogue)))
        return kFailed;
    LogText(L"Enumerate Resources OK \n");
    uint32_t result = WorkOutFileNames(catalogue, folder, wizardPath);
    if (result == 0) result = ReadCodingTable(module, catalogue);
    return result != 0 ? result : ExtractFiles(catalogue, folder);
}

uint32_t WorkOutFileNames(ResourceCatalogue& catalogue, const std::wstring& folder, std::wstring& wizardPath) {
    ManifestMap manifest;
    uint32_t result = 0;
    for (const CResource& entry : catalogue) {
        if (entry.id != kManifestId) continue;
        std::wstring text;
        result = LoadResourceText(entry, text);
        if (result == 0) result = ParseManifest(text, manifest);
        break;
    }
    if (result == 0) {
        std::wstring wizardFile;
        for (const std::wstring& line : AssignFileNames(catalogue, manifest, wizardFile)) LogText(line);
        if (!wizardFile.empty() && !JoinPath(folder, wizardFile, wizardPath)) wizardPath.clear();
    }
    LogFormat(L"WorkOutFileNames %x\n", result);
    return result;
}

uint32_t LoadResourceText(const CResource& resource, std::wstring& text) {
    LoadedResource bytes(static_cast<HMODULE>(resource.module), resource.type.c_str(), resource.id);
    if (!bytes) return kFailed;
    text.clear();
    if (bytes.Size() == 0) return 0;
    text = FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()));
    return 0;
}

uint32_t ExtractFile(const CResource& resource, const std::wstring& folder) {
    LoadedResource bytes(static_cast<HMODULE>(resource.module), resource.type.c_str(), resource.id);
    if (!bytes) return kFailed;
    std::wstring path;
    if (!IsContainedName(resource.fileName)) {
        LogFormat(L"Refused file name '%s': it leaves the working folder\n", resource.fileName);
        return kFailed;
    }
    if (folder.empty() || !JoinPath(folder, resource.fileName, path) || !FitsFolderLimit(path)) {
        LogFormat(L"Path too long for '%s'\n", resource.fileName);
        return kFailed;
    }
    CreateFoldersAbove(path);
    FileHandle file = OpenPayloadFile(path);
    if (!file) return kFailed;
    if (resource.coding != kCodingStored) return UnpackToFile(resource, bytes.Data(), bytes.Size(), file.Get());
    uint64_t written = WriteAll(file.Get(), bytes.Data(), bytes.Size());
    return ExtractionResult(written, bytes.Size(), resource.expectedSize);
}

uint32_t ExtractFiles(const ResourceCatalogue& catalogue, const std::wstring& folder) {
    uint32_t result = 0;
    for (auto entry = catalogue.begin(); entry != catalogue.end() && result == 0; ++entry) {
        if (entry->fileName.empty()) continue;
        result = ExtractFile(*entry, folder);
        LogFormat(L"Extract File %s %x\n", entry->fileName, result);
    }
    return result;
}

}  // namespace gr
