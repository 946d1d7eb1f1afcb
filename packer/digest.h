// Message digests for checking a signature, from the system's well-kept implementations:
// OpenSSL's libcrypto where the tool runs on Linux, CNG (bcrypt) on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "packer/bytes.h"

namespace gr::pack {

enum class DigestAlgorithm { Md5, Sha1, Sha256, Sha384, Sha512 };

// The algorithm an object identifier ("2.16.840.1.101.3.4.2.1") names, if it is one of these.
std::optional<DigestAlgorithm> DigestAlgorithmOf(std::string_view oid);
// "md5", "sha1", "sha256", "sha384", "sha512".
const char* DigestName(DigestAlgorithm algorithm);

class Digest {
public:
    // A fresh digest; null when the system cannot give one.
    static std::unique_ptr<Digest> Start(DigestAlgorithm algorithm);
    virtual ~Digest() = default;
    virtual void Update(const uint8_t* data, size_t length) = 0;
    // The digest of everything given; false when the system failed.
    virtual bool Finish(Bytes& digest) = 0;
};

}  // namespace gr::pack
