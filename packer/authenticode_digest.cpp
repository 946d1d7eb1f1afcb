#include "packer/authenticode_digest.h"

#include <algorithm>

#include "packer/der.h"
#include "packer/digest.h"

namespace gr::pack {
namespace {

constexpr uint16_t kPkcsSignedData = 2;  // WIN_CERT_TYPE_PKCS_SIGNED_DATA
constexpr uint32_t kRecordHeader = 8;

// The digest algorithm's identifier and the digest in the signature's indirect data
// (SpcIndirectDataContent), and the length of the whole ContentInfo.
struct SignedDigest {
    std::string oid;
    Bytes digest;
    size_t length = 0;
};

bool ReadSignedDigest(DerView data, SignedDigest& signedDigest) {
    DerElement info, oid, explicitContent, signedData, version, algorithms, content, contentOid, wrapper, indirect,
        spcData, digestInfo, algorithm, algorithmOid, digest;
    if (!DerExpect(data, kDerSequence, info)) return false;
    signedDigest.length = info.whole.size();
    DerView fields = info.contents;
    if (!DerExpect(fields, kDerOid, oid) || !DerExpect(fields, kDerContext0, explicitContent)) return false;
    DerView inner = explicitContent.contents;
    if (!DerExpect(inner, kDerSequence, signedData)) return false;
    fields = signedData.contents;
    if (!DerExpect(fields, kDerInteger, version) || !DerExpect(fields, kDerSet, algorithms) ||
        !DerExpect(fields, kDerSequence, content))
        return false;
    fields = content.contents;
    if (!DerExpect(fields, kDerOid, contentOid) || !DerExpect(fields, kDerContext0, wrapper)) return false;
    inner = wrapper.contents;
    if (!DerExpect(inner, kDerSequence, indirect)) return false;
    fields = indirect.contents;
    if (!DerExpect(fields, kDerSequence, spcData) || !DerExpect(fields, kDerSequence, digestInfo)) return false;
    fields = digestInfo.contents;
    if (!DerExpect(fields, kDerSequence, algorithm) || !DerExpect(fields, kDerOctetString, digest)) return false;
    DerView algorithmFields = algorithm.contents;
    if (!DerExpect(algorithmFields, kDerOid, algorithmOid)) return false;
    signedDigest.oid = DerOidText(algorithmOid.contents);
    signedDigest.digest.assign(digest.contents.begin(), digest.contents.end());
    return true;
}

// Why the table holds more than one signature and its padding, or is not at the end.
std::string LayoutProblem(const PeImage& image, const Bytes& table, size_t signatureLength) {
    const DataDirectory& entry = image.directories[kSecurityDirectory];
    if (uint64_t{entry.address} + entry.size != image.fileSize)
        return "bytes follow the certificate table at the end of the file";
    uint32_t recordLength = Get32(&table[0]);
    size_t used = kRecordHeader + signatureLength;
    bool padded =
        recordLength >= used && recordLength <= table.size() && table.size() - used < 8 &&
        std::all_of(table.begin() + static_cast<ptrdiff_t>(used), table.end(), [](uint8_t b) { return b == 0; });
    return padded ? std::string() : "the certificate table holds more than the signature and its padding";
}

bool HashFile(File& file, const PeImage& image, Digest& digest) {
    const DataDirectory& entry = image.directories[kSecurityDirectory];
    uint64_t checksum = image.ChecksumOffset(), directory = image.DirectoryOffset(kSecurityDirectory);
    uint64_t tableEnd = std::min<uint64_t>(uint64_t{entry.address} + entry.size, image.fileSize);
    const std::pair<uint64_t, uint64_t> ranges[] = {
        {0, checksum}, {checksum + 4, directory}, {directory + 8, entry.address}, {tableEnd, image.fileSize}};
    for (auto [from, to] : ranges)
        if (to > from && !file.ReadPieces(from, to - from, [&](const uint8_t* data, size_t length) {
                digest.Update(data, length);
                return true;
            }))
            return false;
    return true;
}

}  // namespace

DigestCheck CheckSignedDigest(File& file, const PeImage& image, const Bytes& table) {
    DigestCheck check;
    SignedDigest signedDigest;
    if (table.size() < kRecordHeader || Get16(&table[6]) != kPkcsSignedData ||
        !ReadSignedDigest(DerView(table).subspan(kRecordHeader), signedDigest)) {
        check.problem = "the certificate table holds no Authenticode signature this tool can read";
        return check;
    }
    std::optional<DigestAlgorithm> algorithm = DigestAlgorithmOf(signedDigest.oid);
    if (!algorithm) {
        check.problem = "the signature names a digest algorithm this tool does not know (" + signedDigest.oid + ")";
        return check;
    }
    check.algorithm = DigestName(*algorithm);
    std::unique_ptr<Digest> digest = Digest::Start(*algorithm);
    Bytes computed;
    if (!digest || !HashFile(file, image, *digest) || !digest->Finish(computed)) {
        check.problem = "the file's digest could not be computed";
        return check;
    }
    check.problem = LayoutProblem(image, table, signedDigest.length);
    check.matches = check.problem.empty() && computed == signedDigest.digest;
    return check;
}

}  // namespace gr::pack
