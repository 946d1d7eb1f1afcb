#include "trust/signer_details_win.h"

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstring>
#include <vector>

#include "base/log.h"
#include "framework/system_library_win.h"

namespace gr {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// The certificate and message services, looked up at run time. The pointer types are
// spelled out: the platform's declarations are DLL imports, which the whole-program
// optimiser must not see taken apart.
struct Crypt32 {
    using QueryObjectFn = BOOL(WINAPI*)(DWORD, const void*, DWORD, DWORD, DWORD, DWORD*, DWORD*, DWORD*,
                                        HCERTSTORE*, HCRYPTMSG*, const void**);
    using GetParamFn = BOOL(WINAPI*)(HCRYPTMSG, DWORD, DWORD, void*, DWORD*);
    using CloseMessageFn = BOOL(WINAPI*)(HCRYPTMSG);
    using CloseStoreFn = BOOL(WINAPI*)(HCERTSTORE, DWORD);
    using DecodeFn = BOOL(WINAPI*)(DWORD, LPCSTR, const BYTE*, DWORD, DWORD, void*, DWORD*);
    using FindCertificateFn = PCCERT_CONTEXT(WINAPI*)(HCERTSTORE, DWORD, DWORD, DWORD, const void*, PCCERT_CONTEXT);
    using NameStringFn = DWORD(WINAPI*)(PCCERT_CONTEXT, DWORD, DWORD, void*, LPWSTR, DWORD);
    using FreeCertificateFn = BOOL(WINAPI*)(PCCERT_CONTEXT);

    Crypt32()
        : library(L"crypt32.dll"),
          queryObject(library.Find<QueryObjectFn>("CryptQueryObject")),
          getParam(library.Find<GetParamFn>("CryptMsgGetParam")),
          closeMessage(library.Find<CloseMessageFn>("CryptMsgClose")),
          closeStore(library.Find<CloseStoreFn>("CertCloseStore")),
          decode(library.Find<DecodeFn>("CryptDecodeObject")),
          findCertificate(library.Find<FindCertificateFn>("CertFindCertificateInStore")),
          nameString(library.Find<NameStringFn>("CertGetNameStringW")),
          freeCertificate(library.Find<FreeCertificateFn>("CertFreeCertificateContext")) {}

    bool Usable() const {
        return queryObject && getParam && closeMessage && closeStore && decode && findCertificate && nameString &&
               freeCertificate;
    }

    SystemLibrary library;
    QueryObjectFn queryObject;
    GetParamFn getParam;
    CloseMessageFn closeMessage;
    CloseStoreFn closeStore;
    DecodeFn decode;
    FindCertificateFn findCertificate;
    NameStringFn nameString;
    FreeCertificateFn freeCertificate;
};

// The signed message, its certificate store and a certificate found in it, each released
// through the library that handed it out, on every path.
struct SignedMessage {
    explicit SignedMessage(const Crypt32& library) : crypt(library) {}
    SignedMessage(const SignedMessage&) = delete;
    SignedMessage& operator=(const SignedMessage&) = delete;
    ~SignedMessage() {
        if (store) crypt.closeStore(store, 0);
        if (message) crypt.closeMessage(message);
    }

    const Crypt32& crypt;
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
};

class Certificate {
public:
    Certificate(const Crypt32& crypt, PCCERT_CONTEXT context) : crypt_(crypt), context_(context) {}
    Certificate(const Certificate&) = delete;
    Certificate& operator=(const Certificate&) = delete;
    ~Certificate() {
        if (context_) crypt_.freeCertificate(context_);
    }
    PCCERT_CONTEXT Get() const { return context_; }

private:
    const Crypt32& crypt_;
    PCCERT_CONTEXT context_;
};

// A certificate's simple display name: the issuer's with CERT_NAME_ISSUER_FLAG, else the subject's.
std::optional<std::wstring> DisplayName(const Crypt32& crypt, PCCERT_CONTEXT certificate, DWORD flags) {
    DWORD length = crypt.nameString(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring name(length, L'\0');
    length = crypt.nameString(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name.data(), length);
    if (length == 0) return std::nullopt;
    name.resize(length - 1);  // the count includes the terminator
    return name;
}

// The signing certificate's serial number and names, found in the message's store by the
// issuer and serial number that the signer information gives.
void GetCertificateDetails(const Crypt32& crypt, HCERTSTORE store, const CMSG_SIGNER_INFO& signer,
                           SignerDetails& details) {
    CERT_INFO wanted = {};
    wanted.Issuer = signer.Issuer;
    wanted.SerialNumber = signer.SerialNumber;
    Certificate certificate(crypt, crypt.findCertificate(store, kEncoding, 0, CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
    if (!certificate.Get()) return;
    const CRYPT_INTEGER_BLOB& serial = certificate.Get()->pCertInfo->SerialNumber;
    details.serialNumber.emplace(serial.pbData, serial.pbData + serial.cbData);
    details.issuerName = DisplayName(crypt, certificate.Get(), CERT_NAME_ISSUER_FLAG);
    details.subjectName = DisplayName(crypt, certificate.Get(), 0);
}

// A link of the signer's opus information; logs its choice, or that it is absent.
std::optional<std::wstring> ReadLink(const SPC_LINK* link, const wchar_t* switchLine, const wchar_t* absentLine) {
    if (!link) {
        LogText(absentLine);
        return std::nullopt;
    }
    LogFormat(switchLine, static_cast<int32_t>(link->dwLinkChoice));
    if (link->dwLinkChoice == kMonikerLinkChoice) return std::nullopt;  // its union member is no text
    return LinkText(link->dwLinkChoice, link->pwszUrl);
}

// The program name and links that the signer attached: the first opus-information
// attribute among the signed attributes, if any.
void GetProgAndPublisherInfo(const Crypt32& crypt, const CMSG_SIGNER_INFO& signer, SignerDetails& details) {
    const CRYPT_ATTRIBUTE* opus = nullptr;
    for (DWORD i = 0; i < signer.AuthAttrs.cAttr && !opus; ++i) {
        const CRYPT_ATTRIBUTE& attribute = signer.AuthAttrs.rgAttr[i];
        if (attribute.pszObjId && std::strcmp(attribute.pszObjId, SPC_SP_OPUS_INFO_OBJID) == 0) opus = &attribute;
    }
    if (!opus || opus->cValue == 0) return;
    const CRYPT_ATTR_BLOB& value = opus->rgValue[0];
    DWORD size = 0;
    if (!crypt.decode(kEncoding, SPC_SP_OPUS_INFO_OBJID, value.pbData, value.cbData, 0, nullptr, &size)) {
        LogText(L"GetProgAndPublisherInfo failed CryptDecodeObject\n");
        return;
    }
    std::vector<uint64_t> block((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));  // aligned for the record
    if (!crypt.decode(kEncoding, SPC_SP_OPUS_INFO_OBJID, value.pbData, value.cbData, 0, block.data(), &size)) {
        LogText(L"GetProgAndPublisherInfo failed CryptoDecodeObject\n");
        return;
    }
    const auto& info = *reinterpret_cast<const SPC_SP_OPUS_INFO*>(block.data());
    details.programName = CopyText(info.pwszProgramName);
    if (!details.programName) LogText(L"GetProgAndPublisherInfo failed pwszProgramName\n");
    details.publisherLink = ReadLink(info.pPublisherInfo, L"GetProgAndPublisherInfo switch 1 %d\n",
                                     L"GetProgAndPublisherInfo pPublisheInfo = null\n");
    details.moreInfoLink = ReadLink(info.pMoreInfo, L"GetProgAndPublisherInfo switch MoreInfo %d\n",
                                    L"GetProgAndPublisherInfo pMoreInfo = null\n");
}

// Reads the first signer's information from the message and the details it leads to.
bool ReadSigner(const Crypt32& crypt, const SignedMessage& signedMessage, SignerDetails& details) {
    DWORD size = 0;
    if (!crypt.getParam(signedMessage.message, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size)) {
        LogText(L"GetAuthenticodeInformation failed CryptMsgGetParam\n");
        return false;
    }
    std::vector<uint64_t> block((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    if (!crypt.getParam(signedMessage.message, CMSG_SIGNER_INFO_PARAM, 0, block.data(), &size)) {
        LogText(L"GetAuthenticodeInformation failed SignerInfo \n");
        return false;
    }
    const auto& signer = *reinterpret_cast<const CMSG_SIGNER_INFO*>(block.data());
    GetProgAndPublisherInfo(crypt, signer, details);
    GetCertificateDetails(crypt, signedMessage.store, signer, details);
    return true;
}

}  // namespace

bool GetAuthenticodeInformation(const std::wstring& path, SignerDetails& details) {
    LogText(L"GetAuthenticodeInformation \n");
    bool read = false;
    Crypt32 crypt;
    SignedMessage signedMessage(crypt);
    DWORD encoding = 0, content = 0, format = 0;
    if (crypt.Usable() &&
        crypt.queryObject(CERT_QUERY_OBJECT_FILE, path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                          CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &content, &format, &signedMessage.store,
                          &signedMessage.message, nullptr))
        read = ReadSigner(crypt, signedMessage, details);
    LogText(L"GetAuthenticodeInformation Fininshed\n");
    return read;
}

void LogSignerDetails(const std::wstring& path, std::wstring& programName) {
    SignerDetails details;
    if (!GetAuthenticodeInformation(path, details)) {
        LogText(L"Digital verification: Failed\n");
        return;
    }
    LogText(SignerDetailLines(details));
    if (details.programName) programName = *details.programName;
}

}  // namespace gr
