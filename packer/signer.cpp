#include "packer/signer.h"

#include <algorithm>

#include "packer/der.h"
#include "packer/utf.h"

namespace gr::pack {
namespace {

using View = DerView;
using Element = DerElement;

constexpr uint8_t kInteger = kDerInteger, kOid = kDerOid, kSequence = kDerSequence, kSet = kDerSet,
                  kContext0 = kDerContext0;

bool Next(View& data, Element& element) { return DerNext(data, element); }
bool Expect(View& data, uint8_t tag, Element& element) { return DerExpect(data, tag, element); }

std::string OidName(View oid) {
    static const struct {
        uint8_t last;
        const char* name;
    } kNames[] = {{3, "CN"}, {6, "C"}, {7, "L"}, {8, "ST"}, {10, "O"}, {11, "OU"}};
    if (oid.size() == 3 && oid[0] == 0x55 && oid[1] == 0x04)  // 2.5.4.x
        for (const auto& known : kNames)
            if (oid[2] == known.last) return known.name;
    return DerOidText(oid);
}

std::string StringValue(const Element& value) {
    if (value.tag == 0x1E) {  // BMPString: UTF-16, big-endian
        std::wstring text;
        for (size_t i = 0; i + 1 < value.contents.size(); i += 2)
            text.push_back(static_cast<wchar_t>((value.contents[i] << 8) | value.contents[i + 1]));
        return EncodeUtf8(text);
    }
    return std::string(value.contents.begin(), value.contents.end());
}

// "TYPE=value, TYPE=value" of a Name, in its order.
bool NameText(const Element& name, std::string& text) {
    View sets = name.contents;
    text.clear();
    while (!sets.empty()) {
        Element set, pair, oid, value;
        if (!Expect(sets, kSet, set)) return false;
        View pairs = set.contents;
        while (!pairs.empty()) {
            if (!Expect(pairs, kSequence, pair)) return false;
            View fields = pair.contents;
            if (!Expect(fields, kOid, oid) || !Next(fields, value)) return false;
            text += (text.empty() ? "" : ", ") + OidName(oid.contents) + "=" + StringValue(value);
        }
    }
    return true;
}

// The issuer and serial number a certificate carries.
bool CertificateIssuer(const Element& certificate, Element& issuer, Element& serial, Element& subject) {
    View outer = certificate.contents;
    Element tbs, field;
    if (!Expect(outer, kSequence, tbs)) return false;
    View fields = tbs.contents;
    if (!Next(fields, field)) return false;
    if (field.tag == kContext0 && !Next(fields, field)) return false;  // the version
    serial = field;
    Element algorithm, validity;
    return serial.tag == kInteger && Expect(fields, kSequence, algorithm) && Expect(fields, kSequence, issuer) &&
           Expect(fields, kSequence, validity) && Expect(fields, kSequence, subject);
}

}  // namespace

bool SignerSubject(const Bytes& der, std::string& subject) {
    View data(der);
    Element contentInfo, oid, explicitContent, signedData, version, digests, content, certificates, item;
    if (!Expect(data, kSequence, contentInfo)) return false;
    View fields = contentInfo.contents;
    if (!Expect(fields, kOid, oid) || !Expect(fields, kContext0, explicitContent)) return false;
    View inner = explicitContent.contents;
    if (!Expect(inner, kSequence, signedData)) return false;
    fields = signedData.contents;
    if (!Expect(fields, kInteger, version) || !Expect(fields, kSet, digests) || !Expect(fields, kSequence, content) ||
        !Expect(fields, kContext0, certificates))
        return false;
    while (Next(fields, item) && item.tag != kSet) {
    }  // past the revocation lists, to the signers
    View signers = item.contents;
    Element signer, signerVersion, issuerAndSerial, issuer, serial;
    if (item.tag != kSet || !Expect(signers, kSequence, signer)) return false;
    View signerFields = signer.contents;
    if (!Expect(signerFields, kInteger, signerVersion) || !Expect(signerFields, kSequence, issuerAndSerial))
        return false;
    View names = issuerAndSerial.contents;
    if (!Expect(names, kSequence, issuer) || !Expect(names, kInteger, serial)) return false;
    View list = certificates.contents;
    Element certificate;
    while (Next(list, certificate)) {
        Element certificateIssuer, certificateSerial, certificateSubject;
        if (CertificateIssuer(certificate, certificateIssuer, certificateSerial, certificateSubject) &&
            std::ranges::equal(certificateIssuer.whole, issuer.whole) &&
            std::ranges::equal(certificateSerial.contents, serial.contents))
            return NameText(certificateSubject, subject);
    }
    return false;
}

}  // namespace gr::pack
