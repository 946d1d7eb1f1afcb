// Digests from OpenSSL's libcrypto (the Linux tool).
#include <openssl/evp.h>

#include "packer/digest.h"

namespace gr::pack {
namespace {

struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

const EVP_MD* Method(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Md5: return EVP_md5();
        case DigestAlgorithm::Sha1: return EVP_sha1();
        case DigestAlgorithm::Sha256: return EVP_sha256();
        case DigestAlgorithm::Sha384: return EVP_sha384();
        default: return EVP_sha512();
    }
}

class OpenSslDigest final : public Digest {
public:
    explicit OpenSslDigest(std::unique_ptr<EVP_MD_CTX, ContextFree> context) : context_(std::move(context)) {}
    void Update(const uint8_t* data, size_t length) override {
        failed_ = failed_ || EVP_DigestUpdate(context_.get(), data, length) != 1;
    }
    bool Finish(Bytes& digest) override {
        unsigned char value[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (failed_ || EVP_DigestFinal_ex(context_.get(), value, &length) != 1) return false;
        digest.assign(value, value + length);
        return true;
    }

private:
    std::unique_ptr<EVP_MD_CTX, ContextFree> context_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<Digest> Digest::Start(DigestAlgorithm algorithm) {
    std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), Method(algorithm), nullptr) != 1) return nullptr;
    return std::make_unique<OpenSslDigest>(std::move(context));
}

}  // namespace gr::pack
