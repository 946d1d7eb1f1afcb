#include <algorithm>
#include <cstdio>
#include <string>

#include "packer/definition.h"
#include "packer/file_io.h"
#include "packer/input_files.h"
#include "packer/utf.h"
#include "packer/verbs.h"

namespace gr::pack {
namespace {

std::string JsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i == 0 ? "" : ", ") + JsonText(items[i]);
    return out + "]";
}

// The files a definition names (payload and pictures), each once, in the order given.
std::vector<std::string> NamedFiles(const Definition& definition) {
    std::vector<std::string> inputs;
    auto add = [&](const fs::path& source) {
        std::string text = PathText(source);
        if (!source.empty() && std::find(inputs.begin(), inputs.end(), text) == inputs.end()) inputs.push_back(text);
    };
    for (const PayloadFile& file : definition.files) add(file.source);
    for (const std::optional<Picture>* picture : {&definition.icon, &definition.splash, &definition.banner})
        if (*picture) add((*picture)->source);
    return inputs;
}

}  // namespace

int PrintNeeds(const fs::path& path, bool allowTestShapes) {
    Bytes text;
    std::string why;
    InputFiles inputs;
    if (!inputs.ReadWhole(path, text, kLargestDefinition, why)) {
        std::fprintf(stderr, "%s: %s\n", PathText(path).c_str(), why.c_str());
        return 1;
    }
    ReadOptions options;
    options.allowTestShapes = allowTestShapes;
    options.anyInput = true;
    Definition definition;
    std::vector<Refusal> refusals;
    ReadDefinition(path, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), options,
                   definition, refusals);
    for (const Refusal& refusal : refusals) std::fprintf(stderr, "%s\n", refusal.Text().c_str());
    if (!refusals.empty()) return 1;
    const Signing& signing = definition.signing;
    std::string out = "{\n  \"inputs\": " + JsonList(NamedFiles(definition)) +
                      ",\n  \"programs\": " + JsonList(definition.inputNames) + ",\n  \"signing\": {\"sign\": " +
                      (signing.sign ? "true" : "false") + ", \"program\": " + JsonText(signing.program) +
                      ", \"link\": " + JsonText(signing.link) + "}\n}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace gr::pack
