// Where the running tool's own file is, to find the program beside it.
#pragma once

#include <filesystem>

namespace gr::pack {

// The full path of the running tool; empty when it cannot be told.
std::filesystem::path SelfPath(const char* argument0);

}  // namespace gr::pack
