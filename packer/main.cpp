// gearrack-pack: turns the program with no package and a package definition into a
// package, and looks into packages.
//
//   gearrack-pack build DEFINITION -o OUT.exe [--program PROGRAM.exe] [--with NAME=PATH]... [--strict]
//   gearrack-pack inspect PACKAGE.exe [--json]
//   gearrack-pack extract PACKAGE.exe FOLDER
//   gearrack-pack embed PACKAGE.exe INFO.xml
//   gearrack-pack needs DEFINITION [--allow-test-shapes]
//
// Exit codes: 0 done, 1 refused or failed (each reason one line on standard error),
// 2 the command line is wrong.
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "packer/file_io.h"
#include "packer/package_builder.h"
#include "packer/self_path.h"
#include "packer/verbs.h"

namespace gr::pack {
namespace {

constexpr char kUsage[] =
    "usage: gearrack-pack build DEFINITION -o OUT.exe [--program PROGRAM.exe] [--with NAME=PATH]... [--strict]\n"
    "       gearrack-pack inspect PACKAGE.exe [--json]\n"
    "       gearrack-pack extract PACKAGE.exe FOLDER\n"
    "       gearrack-pack embed PACKAGE.exe INFO.xml\n"
    "       gearrack-pack needs DEFINITION\n"
    "build writes a package: the program (by default the one beside this tool) with the\n"
    "definition's settings, payload and pictures; a file written @NAME in the definition is\n"
    "the PATH given by --with NAME=PATH; --strict refuses a package that draws a warning.\n"
    "Sign the package after building it; embed puts INFO.xml (the wizard's information, at\n"
    "most 4105 bytes) into the signed package's signature, replacing an earlier block.\n"
    "needs prints, as JSON, the files a definition names, its @NAME programs and its signing.\n";

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "gearrack-pack: %s\n", problem);
    std::fputs(kUsage, problem != nullptr ? stderr : stdout);
    return problem != nullptr ? 2 : 0;
}

// A path as the command line gives it (in the system's own encoding of file names).
fs::path ArgumentPath(const char* text) { return fs::path(text); }

// The program with no package that ships beside the tool.
fs::path ProgramBesideTool(const char* argument0) {
    fs::path folder = SelfPath(argument0).parent_path();
    std::error_code ignored;
    for (const fs::path& candidate : {folder / "program" / "GearRackInstaller.exe", folder / "GearRackInstaller.exe"})
        if (fs::is_regular_file(candidate, ignored)) return candidate;
    return folder / "GearRackInstaller.exe";
}

int Build(const std::vector<const char*>& arguments, const char* argument0) {
    BuildRequest request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if ((argument == "-o" || argument == "--output") && hasValue) {
            request.output = ArgumentPath(arguments[++i]);
        } else if (argument == "--program" && hasValue) {
            request.program = ArgumentPath(arguments[++i]);
        } else if (argument == "--with" && hasValue) {
            std::string_view given = arguments[++i];
            size_t equals = given.find('=');
            if (equals == std::string_view::npos || equals == 0) return Usage("--with takes NAME=PATH");
            request.options.inputs[std::string(given.substr(0, equals))] = ArgumentPath(arguments[i] + equals + 1);
        } else if (argument == "--strict") {
            request.strict = true;
        } else if (argument == "--allow-test-shapes") {
            request.options.allowTestShapes = true;
        } else if (!argument.empty() && argument[0] != '-' && request.definition.empty()) {
            request.definition = ArgumentPath(arguments[i]);
        } else {
            return Usage(("unexpected argument: " + std::string(argument)).c_str());
        }
    }
    if (request.definition.empty() || request.output.empty()) return Usage("build needs a DEFINITION and -o OUT.exe");
    if (request.program.empty()) request.program = ProgramBesideTool(argument0);
    return BuildPackage(request);
}

int Run(int count, char** values) {
    std::vector<const char*> arguments(values + (count > 0 ? 1 : 0), values + count);
    if (arguments.empty()) return Usage("a verb is missing");
    std::string_view verb = arguments[0];
    arguments.erase(arguments.begin());
    if (verb == "--help" || verb == "-h" || verb == "help") return Usage(nullptr);
    if (verb == "build") return Build(arguments, count > 0 ? values[0] : nullptr);
    if (verb == "inspect") {
        bool json = arguments.size() == 2 && std::strcmp(arguments[1], "--json") == 0;
        if (arguments.size() != 1 && !json) return Usage("inspect takes PACKAGE.exe [--json]");
        return InspectPackage(ArgumentPath(arguments[0]), json);
    }
    if (verb == "extract") {
        if (arguments.size() != 2) return Usage("extract takes PACKAGE.exe FOLDER");
        return ExtractPackage(ArgumentPath(arguments[0]), ArgumentPath(arguments[1]));
    }
    if (verb == "embed") {
        if (arguments.size() != 2) return Usage("embed takes PACKAGE.exe INFO.xml");
        return EmbedInformation(ArgumentPath(arguments[0]), ArgumentPath(arguments[1]));
    }
    if (verb == "needs") {
        bool shapes = arguments.size() == 2 && std::strcmp(arguments[1], "--allow-test-shapes") == 0;
        if (arguments.size() != 1 && !shapes) return Usage("needs takes DEFINITION");
        return PrintNeeds(ArgumentPath(arguments[0]), shapes);
    }
    return Usage(("unknown verb: " + std::string(verb)).c_str());
}

}  // namespace
}  // namespace gr::pack

int main(int count, char** values) { return gr::pack::Run(count, values); }
