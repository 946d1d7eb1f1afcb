#include "checks/framework.h"

#include "base/decimal.h"
#include "base/format.h"

namespace gr {
namespace {

constexpr wchar_t kV20[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
constexpr wchar_t kV30[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v3.0";
constexpr wchar_t kV30Setup[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v3.0\\Setup";
constexpr wchar_t kV35[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v3.5";
constexpr wchar_t kV4Client[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client";
constexpr wchar_t kV4Full[] = L"Software\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";

// .NET 4.5 and every later 4.x release mark themselves by this "Release" value.
constexpr uint32_t kRelease45 = 378389;
// The lowest versions of 3.0 and 3.5 that count as installed. Named constants, read-only
// data: as temporaries in the calls they were copied in from writable data.
constexpr std::array<int32_t, 4> kV30Lowest = {3, 0, 4506, 26};
constexpr std::array<int32_t, 4> kV35Lowest = {3, 5, 21022, 8};

enum class Detection { V20, V30, V35, V40Client, V40Full, V45Client, V45Full };

struct Row {
    Detection detection;
    const wchar_t* logLabel;
    const wchar_t* detectedLine;
    const wchar_t* requiredName;
    int32_t majorVersion;
};

constexpr Row kRows[kFrameworkCount] = {
    {Detection::V20, L".NET 2.0 %s\n", L".NET 2.0 Detected SP %ld\n", L".NET 2", 2},
    {Detection::V30, L".NET 3.0 %s\n", L".NET 3.0 Detected SP %ld\n", L".NET 3.0", 3},
    {Detection::V35, L".NET 3.5 %s\n", L".NET 3.5 Detected SP %ld\n", L".NET 3.5", 3},
    {Detection::V40Client, L".NET 4.0 Client %s\n", L".NET 4.0 Client Detected SP %ld\n", L".NET (client) 4.0", 4},
    {Detection::V40Full, L".NET 4.0 Full %s\n", L".NET 4.0 Full Detected SP %ld\n", L".NET (full) 4.0", 4},
    {Detection::V45Client, L".NET 4.5 Client %s\n", L".NET 4.5 Client Detected SP %ld\n", L".NET (client) 4.5", 4},
    {Detection::V45Full, L".NET 4.5 Full %s\n", L".NET 4.5 Full Detected SP %ld\n", L".NET (full) 4.5", 4},
};

// A number value, or -1 when it cannot be read.
int32_t ReadLevel(const RegistryReader& registry, const wchar_t* key, const wchar_t* value) {
    uint32_t number = 0;
    return registry.ReadNumber(key, value, number) ? static_cast<int32_t>(number) : -1;
}

bool ValueIsOne(const RegistryReader& registry, const wchar_t* key, const wchar_t* value) {
    uint32_t number = 0;
    return registry.ReadNumber(key, value, number) && number == 1;
}

bool CompareRegistryVersion(const RegistryReader& registry, const wchar_t* key, const wchar_t* value,
                            const std::array<int32_t, 4>& threshold) {
    std::wstring text;
    if (!registry.ReadText(key, value, text)) text.clear();
    return VersionAtLeast(text, threshold);
}

// 4.5 counts as present from "Servicing" 5 on, or from the "Release" value of 4.5.
bool Is45(const RegistryReader& registry, const wchar_t* key, int32_t servicing) {
    uint32_t release = 0;
    return servicing >= 5 || (registry.ReadNumber(key, L"Release", release) && release >= kRelease45);
}

// Whether the version is present, and its level when it is.
bool Detect(Detection detection, const RegistryReader& registry, int32_t& level) {
    switch (detection) {
    case Detection::V20:
        if (!ValueIsOne(registry, kV20, L"Install")) return false;
        level = ReadLevel(registry, kV20, L"SP");
        return true;
    case Detection::V30:
        if (!ValueIsOne(registry, kV20, L"Install") || !ValueIsOne(registry, kV30Setup, L"InstallSuccess") ||
            !CompareRegistryVersion(registry, kV30Setup, L"Version", kV30Lowest))
            return false;
        level = ReadLevel(registry, kV30, L"SP");
        return true;
    case Detection::V35:
        if (!ValueIsOne(registry, kV20, L"Install") || !ValueIsOne(registry, kV35, L"Install") ||
            !CompareRegistryVersion(registry, kV35, L"Version", kV35Lowest))
            return false;
        level = ReadLevel(registry, kV35, L"SP");
        return true;
    case Detection::V40Client:
    case Detection::V45Client:
    case Detection::V40Full:
    case Detection::V45Full: {
        bool client = detection == Detection::V40Client || detection == Detection::V45Client;
        const wchar_t* key = client ? kV4Client : kV4Full;
        if (!ValueIsOne(registry, key, L"Install")) return false;
        level = ReadLevel(registry, key, L"Servicing");
        bool is45 = detection == Detection::V45Client || detection == Detection::V45Full;
        return !is45 || Is45(registry, key, level);
    }
    }
    return false;
}

}  // namespace

bool VersionAtLeast(const std::wstring& text, const std::array<int32_t, 4>& threshold) {
    std::array<int32_t, 4> version = {0, 0, 0, 0};
    size_t count = 0;
    size_t position = 0;
    while (count < version.size() && position < text.size()) {
        size_t end = text.find(L'.', position);
        if (end == std::wstring::npos) end = text.size();
        if (end > position) version[count++] = ParseDecimal(std::wstring_view(text).substr(position, end - position));
        position = end + 1;
    }
    for (size_t i = 0; i < version.size(); ++i)
        if (version[i] != threshold[i]) return version[i] > threshold[i];
    return true;
}

void DescribeRequiredFramework(const FrameworkEntries& entries, RequiredFramework& required) {
    for (size_t i = 0; i < kFrameworkCount; ++i) {
        int32_t level = ParseDecimal(entries[i]);
        if (level < 0) continue;
        required.name = kRows[i].requiredName;
        required.majorVersion = kRows[i].majorVersion;
        required.servicePack = level;
        return;
    }
}

FrameworkCheck CheckFrameworkRequirement(const FrameworkEntries& entries, const RegistryReader& registry,
                                         RequiredFramework& required) {
    FrameworkCheck check;
    for (size_t i = 0; i < kFrameworkCount; ++i) check.logLines.push_back(Format(kRows[i].logLabel, entries[i]));
    for (size_t i = 0; i < kFrameworkCount && !check.satisfied; ++i) {
        int32_t wanted = ParseDecimal(entries[i]);
        int32_t level = -1;
        if (wanted < 0 || !Detect(kRows[i].detection, registry, level)) continue;
        check.logLines.push_back(Format(kRows[i].detectedLine, level));
        check.satisfied = wanted <= level;
    }
    if (check.satisfied) {
        check.logLines.push_back(L".NET Version OK\n");
    } else {
        DescribeRequiredFramework(entries, required);
        check.logLines.push_back(Format(L".NET Version Not OK %s %ld\n", required.name, required.servicePack));
    }
    return check;
}

}  // namespace gr
