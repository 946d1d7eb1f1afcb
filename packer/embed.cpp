#include "packer/embed.h"

#include <algorithm>
#include <array>
#include <vector>

namespace gr::pack {
namespace {

constexpr std::array<uint8_t, 4> kMarker = {'M', 'R', 'D', 'C'};
constexpr size_t kTail = 6;  // bytes between the block's end and the end of the file
// The attribute's type, 2.25.38648481568883298200357844439841261812: a UUID-based
// identifier of this program's own.
constexpr std::array<uint8_t, 21> kInformationOid = {0x06, 0x13, 0x69, 0xBA, 0x93, 0xB6, 0xD0, 0xCF, 0xE5, 0xCA, 0xA5,
                                                     0xC5, 0xA2, 0xC7, 0xB1, 0xFC, 0xE8, 0x87, 0xD9, 0x91, 0x74};

Bytes Wrap(uint8_t tag, const Bytes& contents) {
    Bytes out;
    DerAppend(out, tag, contents);
    return out;
}

void Append(Bytes& out, DerView data) { out.insert(out.end(), data.begin(), data.end()); }

// The attribute carrying `information`: `lead` zero bytes to align it, the marker, the
// block, then the tail, so that the block ends kTail bytes before the attribute does.
Bytes InformationAttribute(const Bytes& information, size_t lead) {
    Bytes value(lead, 0);
    Append(value, kMarker);
    Append(value, information);
    value.insert(value.end(), kTail, 0);
    Bytes type(kInformationOid.begin(), kInformationOid.end());
    Append(type, Wrap(kDerSet, Wrap(kDerOctetString, value)));
    return Wrap(kDerSequence, type);
}

bool IsInformation(const DerElement& attribute) {
    DerView fields = attribute.contents;
    DerElement type;
    return DerExpect(fields, kDerOid, type) && std::ranges::equal(type.whole, kInformationOid);
}

// The parts of a signature that stay: the ContentInfo's type, SignedData's elements
// before its signers, the signer's elements up to its signature value, and its
// unauthenticated attributes other than an information block.
struct SignatureParts {
    DerView contentType;
    std::vector<DerView> head, signerHead, otherAttributes;
};

bool ReadSigner(DerView signerInfos, SignatureParts& parts) {
    DerElement signer, field, extra;
    if (!DerExpect(signerInfos, kDerSequence, signer) || !signerInfos.empty()) return false;
    DerView fields = signer.contents;
    std::vector<DerElement> all;
    while (DerNext(fields, field)) all.push_back(field);
    auto authenticated =
        std::find_if(all.begin(), all.end(), [](const DerElement& element) { return element.tag == kDerContext0; });
    size_t index = static_cast<size_t>(authenticated - all.begin());
    if (!fields.empty() || authenticated == all.end() || all.size() < index + 3 || all.size() > index + 4) return false;
    for (size_t i = 0; i < index + 3; ++i) parts.signerHead.push_back(all[i].whole);
    if (all.size() == index + 4) {
        if (all.back().tag != kDerContext1) return false;
        DerView attributes = all.back().contents;
        while (DerNext(attributes, extra))
            if (!IsInformation(extra)) parts.otherAttributes.push_back(extra.whole);
        if (!attributes.empty()) return false;
    }
    return true;
}

bool ReadParts(DerView der, SignatureParts& parts) {
    DerElement info, type, explicitContent, signedData, field;
    if (!DerExpect(der, kDerSequence, info)) return false;
    DerView fields = info.contents;
    if (!DerExpect(fields, kDerOid, type) || !DerExpect(fields, kDerContext0, explicitContent)) return false;
    parts.contentType = type.whole;
    DerView inner = explicitContent.contents;
    if (!DerExpect(inner, kDerSequence, signedData)) return false;
    fields = signedData.contents;
    std::vector<DerElement> all;
    while (DerNext(fields, field)) all.push_back(field);
    if (!fields.empty() || all.empty() || all.back().tag != kDerSet) return false;
    for (size_t i = 0; i + 1 < all.size(); ++i) parts.head.push_back(all[i].whole);
    return ReadSigner(all.back().contents, parts);
}

Bytes Encode(const SignatureParts& parts, const Bytes& attribute) {
    Bytes signer, attributes, signedData;
    for (DerView part : parts.signerHead) Append(signer, part);
    for (DerView part : parts.otherAttributes) Append(attributes, part);
    Append(attributes, attribute);
    DerAppend(signer, kDerContext1, attributes);
    for (DerView part : parts.head) Append(signedData, part);
    Append(signedData, Wrap(kDerSet, Wrap(kDerSequence, signer)));
    Bytes info(parts.contentType.begin(), parts.contentType.end());
    Append(info, Wrap(kDerContext0, Wrap(kDerSequence, signedData)));
    return Wrap(kDerSequence, info);
}

}  // namespace

std::string InformationProblem(const Bytes& information) {
    if (information.empty()) return "the information is empty";
    if (information.size() > kLargestInformation)
        return "the information has " + std::to_string(information.size()) + " bytes; at most " +
               std::to_string(kLargestInformation) + " fit";
    if (std::search(information.begin(), information.end(), kMarker.begin(), kMarker.end()) != information.end())
        return "the information contains the marker MRDC";
    return {};
}

bool SignatureWithInformation(DerView der, const Bytes& information, Bytes& out, std::string& error) {
    SignatureParts parts;
    if (!ReadParts(der, parts)) {
        error = "the signature is not one signer's PKCS #7 signed data";
        return false;
    }
    // Eight leads cover every length: the record then needs no padding.
    for (size_t lead = 0; lead < 16; ++lead) {
        out = Encode(parts, InformationAttribute(information, lead));
        if ((8 + out.size()) % 8 == 0) return true;
    }
    error = "the information cannot be aligned";
    return false;
}

}  // namespace gr::pack
