// The payload resources of the program file: enumeration into the catalogue, naming from
// the manifest, and extraction into the working folder.
#pragma once

#include <windows.h>

#include <string>

#include "payload/catalogue.h"

namespace gr {

// Fills `catalogue` with the module's payload resources (kPayloadType), names them from the manifest and
// extracts them into `folder`. `wizardPath` receives the wizard's full path. Returns 0, or
// the first failure.
uint32_t EnumerateResources(HMODULE module, ResourceCatalogue& catalogue, const std::wstring& folder,
                            std::wstring& wizardPath);

// Names the catalogued resources from the manifest (resource kManifestId).
uint32_t WorkOutFileNames(ResourceCatalogue& catalogue, const std::wstring& folder, std::wstring& wizardPath);

// The resource's bytes as text, converted from the thread's ANSI code page.
uint32_t LoadResourceText(const CResource& resource, std::wstring& text);

// Writes the resource into the working folder under its file name.
uint32_t ExtractFile(const CResource& resource, const std::wstring& folder);

// Extracts every named resource, head first, stopping at the first failure.
uint32_t ExtractFiles(const ResourceCatalogue& catalogue, const std::wstring& folder);

}  // namespace gr
