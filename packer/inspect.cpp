#include <cstdio>
#include <string>

#include "packer/definition.h"
#include "packer/package_contents.h"
#include "packer/shown_text.h"
#include "packer/verbs.h"

namespace gr::pack {
namespace {

// Bytes shown as text: their printable ASCII, anything else as a dot.
std::string Printable(const Bytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    return text;
}

// A payload resource's name: its string name, or its id.
std::wstring ResourceName(const Resource& resource) {
    return resource.name.IsName() ? resource.name.name : std::to_wstring(resource.name.id);
}

std::string RecordState(const PayloadEntry& record) {
    if (record.resource == nullptr) return "missing";
    uint64_t size = record.resource->data.Size();
    if (record.statedSize >= 0 && size == static_cast<uint64_t>(record.statedSize)) return "present, size agrees";
    return "present, " + std::to_string(size) + " bytes: size differs";
}

std::string BitmapText(const std::optional<BitmapInfo>& info) {
    if (!info) return "none";
    return std::to_string(info->width) + "x" + std::to_string(info->height < 0 ? -info->height : info->height) + " " +
           std::to_string(info->bitCount) + "-bit" + (info->compression == 1 ? " run-length" : "");
}

constexpr char kTrustNote[] =
    "whether the certificate is trusted is for Windows to decide on each machine; this tool does not judge it";

std::string DigestText(const DigestCheck& digest) {
    std::string algorithm = digest.algorithm.empty() ? "" : " (" + digest.algorithm + ")";
    if (digest.matches) return "digest" + algorithm + " matches: the file is unchanged since signing";
    if (!digest.problem.empty()) return "changed since signing, or not checkable: " + digest.problem;
    return "digest" + algorithm + " does not match: the file was changed after signing";
}

void PrintText(const PackageContents& contents) {
    std::printf("settings:\n");
    for (size_t i = 0; i < kSettings.size(); ++i)
        std::printf("  %-18s %3u  %s\n", kSettings[i].key, kSettings[i].entry,
                    contents.settings[i] ? TerminalText(*contents.settings[i]).c_str() : "(not set)");
    if (contents.hasManifest)
        std::printf("payload:\n");
    else
        std::printf("payload: no manifest (resource %s %u): nothing is extracted\n", PayloadType().Text().c_str(),
                    kManifestId);
    for (const PayloadEntry& record : contents.records)
        std::printf("  %5u  %s  %d bytes: %s\n", record.id, TerminalText(record.name).c_str(), record.statedSize,
                    RecordState(record).c_str());
    for (const Resource* resource : contents.unrecorded)
        std::printf("  %5s  (no manifest record: not extracted)  %llu bytes\n", TerminalText(ResourceName(*resource)).c_str(),
                    static_cast<unsigned long long>(resource->data.Size()));
    std::printf("branding:\n  icon 5: %s\n  splash 133: %s\n  banner 130: %s\n",
                contents.icon.empty() ? "none" : contents.icon.c_str(), BitmapText(contents.splash).c_str(),
                BitmapText(contents.banner).c_str());
    std::printf("signature: %s\n", !contents.isSigned        ? "none"
                                   : contents.signer.empty() ? "present (signer not readable)"
                                                             : ("present, signer " + TerminalText(contents.signer)).c_str());
    if (contents.isSigned) std::printf("  %s\n  %s\n", DigestText(contents.digest).c_str(), kTrustNote);
    if (contents.information)
        std::printf("embedded information: %zu bytes: %s\n", contents.information->size(),
                    Printable(*contents.information).c_str());
    else
        std::printf("embedded information: none\n");
}

void PrintJson(const PackageContents& contents) {
    std::string out = "{\n  \"settings\": {";
    for (size_t i = 0; i < kSettings.size(); ++i)
        out += std::string(i == 0 ? "\n" : ",\n") + "    " + JsonString(std::string_view(kSettings[i].key)) + ": " +
               (contents.settings[i] ? JsonString(*contents.settings[i]) : "null");
    out += "\n  },\n  \"manifest\": " + std::string(contents.hasManifest ? "true" : "false") + ",\n  \"payload\": [";
    for (size_t i = 0; i < contents.records.size(); ++i) {
        const PayloadEntry& record = contents.records[i];
        out += std::string(i == 0 ? "\n" : ",\n") + "    {\"id\": " + std::to_string(record.id) +
               ", \"name\": " + JsonString(record.name) + ", \"size\": " + std::to_string(record.statedSize) +
               ", \"present\": " + (record.resource ? "true" : "false") +
               ", \"resource_size\": " + (record.resource ? std::to_string(record.resource->data.Size()) : "null") +
               ", \"size_agrees\": " + (RecordState(record) == "present, size agrees" ? "true" : "false") + "}";
    }
    out += "\n  ],\n  \"unrecorded\": [";
    for (size_t i = 0; i < contents.unrecorded.size(); ++i)
        out += std::string(i == 0 ? "" : ", ") + JsonString(ResourceName(*contents.unrecorded[i]));
    auto bitmap = [](const std::optional<BitmapInfo>& info) {
        return info ? "{\"width\": " + std::to_string(info->width) +
                          ", \"height\": " + std::to_string(info->height < 0 ? -info->height : info->height) +
                          ", \"bits\": " + std::to_string(info->bitCount) +
                          ", \"run_length\": " + (info->compression == 1 ? "true" : "false") + "}"
                    : std::string("null");
    };
    out += "],\n  \"branding\": {\"icon\": " + (contents.icon.empty() ? std::string("null") : JsonString(contents.icon)) +
           ", \"splash\": " + bitmap(contents.splash) + ", \"banner\": " + bitmap(contents.banner) + "},\n";
    std::string signer = contents.signer.empty() ? "null" : JsonString(contents.signer);
    const DigestCheck& digest = contents.digest;
    out += "  \"signature\": " +
           (contents.isSigned
                ? "{\"present\": true, \"digest_matches\": " + std::string(digest.matches ? "true" : "false") +
                      ", \"algorithm\": " + (digest.algorithm.empty() ? "null" : JsonString(digest.algorithm)) +
                      ", \"problem\": " + (digest.problem.empty() ? "null" : JsonString(digest.problem)) +
                      ", \"signer\": " + signer + "}"
                : std::string("null")) +
           ",\n";
    out += "  \"embedded_information\": " +
           (contents.information ? JsonString(Printable(*contents.information)) : std::string("null")) + "\n}\n";
    std::fputs(out.c_str(), stdout);
}

}  // namespace

int InspectPackage(const std::filesystem::path& package, bool json) {
    PackageContents contents;
    std::string error;
    if (!ReadPackageContents(package, contents, error)) {
        std::fprintf(stderr, "%s: %s\n", PathText(package).c_str(), error.c_str());
        return 1;
    }
    if (json)
        PrintJson(contents);
    else
        PrintText(contents);
    return 0;
}

}  // namespace gr::pack
