// Digests from the system's CNG (bcrypt), in the Windows tool.
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include "packer/digest.h"

namespace gr::pack {
namespace {

struct ProviderClose {
    void operator()(void* provider) const { ::BCryptCloseAlgorithmProvider(provider, 0); }
};
struct HashDestroy {
    void operator()(void* hash) const { ::BCryptDestroyHash(hash); }
};
using Provider = std::unique_ptr<void, ProviderClose>;
using Hash = std::unique_ptr<void, HashDestroy>;

const wchar_t* AlgorithmId(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Md5:
            return BCRYPT_MD5_ALGORITHM;
        case DigestAlgorithm::Sha1:
            return BCRYPT_SHA1_ALGORITHM;
        case DigestAlgorithm::Sha256:
            return BCRYPT_SHA256_ALGORITHM;
        case DigestAlgorithm::Sha384:
            return BCRYPT_SHA384_ALGORITHM;
        default:
            return BCRYPT_SHA512_ALGORITHM;
    }
}

bool Succeeded(NTSTATUS status) { return status >= 0; }

class CngDigest final : public Digest {
public:
    CngDigest(Provider provider, Hash hash, ULONG length)
        : provider_(std::move(provider)), hash_(std::move(hash)), length_(length) {}
    void Update(const uint8_t* data, size_t length) override {
        while (length > 0 && !failed_) {  // CNG takes at most 4 GB a call
            ULONG piece = length > 0x40000000 ? 0x40000000 : static_cast<ULONG>(length);
            failed_ = !Succeeded(::BCryptHashData(hash_.get(), const_cast<PUCHAR>(data), piece, 0));
            data += piece;
            length -= piece;
        }
    }
    bool Finish(Bytes& digest) override {
        digest.assign(length_, 0);
        return !failed_ && Succeeded(::BCryptFinishHash(hash_.get(), digest.data(), length_, 0));
    }

private:
    Provider provider_;  // outlives the hash: declared first, destroyed last
    Hash hash_;
    ULONG length_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<Digest> Digest::Start(DigestAlgorithm algorithm) {
    BCRYPT_ALG_HANDLE rawProvider = nullptr;
    if (!Succeeded(::BCryptOpenAlgorithmProvider(&rawProvider, AlgorithmId(algorithm), nullptr, 0))) return nullptr;
    Provider provider(rawProvider);
    ULONG length = 0, written = 0;
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    if (!Succeeded(::BCryptGetProperty(rawProvider, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length),
                                       sizeof length, &written, 0)) ||
        !Succeeded(::BCryptCreateHash(rawProvider, &rawHash, nullptr, 0, nullptr, 0, 0)))
        return nullptr;
    return std::make_unique<CngDigest>(std::move(provider), Hash(rawHash), length);
}

}  // namespace gr::pack
