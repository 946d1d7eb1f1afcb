#include "packer/app_manifest.h"

namespace gr::pack {
namespace {

std::string XmlText(std::string_view text) {
    std::string out;
    for (char c : text) {
        const char* entity = c == '&'    ? "&amp;"
                             : c == '<'  ? "&lt;"
                             : c == '>'  ? "&gt;"
                             : c == '"'  ? "&quot;"
                             : c == '\'' ? "&apos;"
                                         : nullptr;
        if (entity != nullptr)
            out += entity;
        else
            out += c;
    }
    return out;
}

// Sets attribute `name` of the element that starts at `tag` to `value`.
bool SetAttribute(std::string& text, size_t tag, std::string_view name, std::string_view value) {
    size_t end = text.find('>', tag);
    if (end == std::string::npos) return false;
    std::string pattern = " " + std::string(name) + "=\"";
    size_t at = text.find(pattern, tag);
    if (at == std::string::npos || at > end) return false;
    size_t start = at + pattern.size();
    size_t close = text.find('"', start);
    if (close == std::string::npos || close > end) return false;
    text.replace(start, close - start, XmlText(value));
    return true;
}

bool SetElementText(std::string& text, std::string_view element, std::string_view value) {
    std::string open = "<" + std::string(element) + ">", close = "</" + std::string(element) + ">";
    size_t start = text.find(open);
    size_t end = start == std::string::npos ? start : text.find(close, start);
    if (end == std::string::npos) return false;
    start += open.size();
    text.replace(start, end - start, XmlText(value));
    return true;
}

}  // namespace

bool ParseElevation(std::string_view text, Elevation& elevation) {
    if (text == "administrator")
        elevation = Elevation::Administrator;
    else if (text == "highest")
        elevation = Elevation::Highest;
    else if (text == "invoker")
        elevation = Elevation::Invoker;
    else
        return false;
    return true;
}

const char* ExecutionLevel(Elevation elevation) {
    switch (elevation) {
        case Elevation::Highest:
            return "highestAvailable";
        case Elevation::Invoker:
            return "asInvoker";
        default:
            return "requireAdministrator";
    }
}

std::string AssemblyName(std::wstring_view product) {
    std::string name;
    for (wchar_t c : product)
        if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'.' ||
            c == L'-' || c == L'_')
            name += static_cast<char>(c);
    while (!name.empty() && name.front() == '.') name.erase(name.begin());
    while (!name.empty() && name.back() == '.') name.pop_back();
    return name.empty() ? "Setup" : name;
}

bool RewriteManifest(std::string& text, const ManifestIdentity& identity, std::string& error) {
    size_t assembly = text.find("<assemblyIdentity");
    size_t level = text.find("<requestedExecutionLevel");
    bool done =
        assembly != std::string::npos && level != std::string::npos &&
        SetAttribute(text, assembly, "name", identity.name) &&
        SetAttribute(text, assembly, "version", identity.version) &&
        SetAttribute(text, text.find("<requestedExecutionLevel"), "level", ExecutionLevel(identity.elevation)) &&
        SetElementText(text, "description", identity.description);
    if (!done)
        error = "has an application manifest without the identity, description and execution level the tool sets";
    return done;
}

}  // namespace gr::pack
