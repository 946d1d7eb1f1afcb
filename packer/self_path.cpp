#include "packer/self_path.h"

#include <system_error>

namespace gr::pack {

std::filesystem::path SelfPath(const char* argument0) {
    std::error_code failure;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (!failure) return self;
    self = std::filesystem::absolute(argument0 != nullptr ? argument0 : "", failure);
    return failure ? std::filesystem::path() : self;
}

}  // namespace gr::pack
