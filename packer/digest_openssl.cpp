// Digests from OpenSSL's libcrypto (the Linux tool), by its digest functions proper: they
// stand alone, so the statically linked tool carries only them and not the library's
// provider machinery (which would bring in loading of shared libraries and name lookups).
#define OPENSSL_API_COMPAT 10101  // these functions are kept; only marked old since 3.0
#include <openssl/md5.h>
#include <openssl/sha.h>

#include "packer/digest.h"

namespace gr::pack {
namespace {

template <typename Context, int (*Init)(Context*), int (*Add)(Context*, const void*, size_t),
          int (*Final)(unsigned char*, Context*), size_t kLength>
class LibcryptoDigest final : public Digest {
public:
    bool Start() { return Init(&context_) == 1; }
    void Update(const uint8_t* data, size_t length) override { failed_ = failed_ || Add(&context_, data, length) != 1; }
    bool Finish(Bytes& digest) override {
        digest.assign(kLength, 0);
        return !failed_ && Final(digest.data(), &context_) == 1;
    }

private:
    Context context_{};
    bool failed_ = false;
};

template <typename Kind>
std::unique_ptr<Digest> Started() {
    auto digest = std::make_unique<Kind>();
    if (!digest->Start()) return nullptr;
    return digest;
}

}  // namespace

std::unique_ptr<Digest> Digest::Start(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Md5:
            return Started<LibcryptoDigest<MD5_CTX, MD5_Init, MD5_Update, MD5_Final, MD5_DIGEST_LENGTH>>();
        case DigestAlgorithm::Sha1:
            return Started<LibcryptoDigest<SHA_CTX, SHA1_Init, SHA1_Update, SHA1_Final, SHA_DIGEST_LENGTH>>();
        case DigestAlgorithm::Sha256:
            return Started<
                LibcryptoDigest<SHA256_CTX, SHA256_Init, SHA256_Update, SHA256_Final, SHA256_DIGEST_LENGTH>>();
        case DigestAlgorithm::Sha384:
            return Started<
                LibcryptoDigest<SHA512_CTX, SHA384_Init, SHA384_Update, SHA384_Final, SHA384_DIGEST_LENGTH>>();
        default:
            return Started<
                LibcryptoDigest<SHA512_CTX, SHA512_Init, SHA512_Update, SHA512_Final, SHA512_DIGEST_LENGTH>>();
    }
}

}  // namespace gr::pack
