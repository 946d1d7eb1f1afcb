#include "packer/digest.h"

namespace gr::pack {

std::optional<DigestAlgorithm> DigestAlgorithmOf(std::string_view oid) {
    if (oid == "1.2.840.113549.2.5") return DigestAlgorithm::Md5;
    if (oid == "1.3.14.3.2.26") return DigestAlgorithm::Sha1;
    if (oid == "2.16.840.1.101.3.4.2.1") return DigestAlgorithm::Sha256;
    if (oid == "2.16.840.1.101.3.4.2.2") return DigestAlgorithm::Sha384;
    if (oid == "2.16.840.1.101.3.4.2.3") return DigestAlgorithm::Sha512;
    return std::nullopt;
}

const char* DigestName(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Md5:
            return "md5";
        case DigestAlgorithm::Sha1:
            return "sha1";
        case DigestAlgorithm::Sha256:
            return "sha256";
        case DigestAlgorithm::Sha384:
            return "sha384";
        default:
            return "sha512";
    }
}

}  // namespace gr::pack
