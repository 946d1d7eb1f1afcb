// An information block for the wizard inside a signed package's signature: the program
// finds it behind the marker "MRDC", ending six bytes before the end of its file, and
// writes it to info.xml beside the payload.
//
// Bytes added behind a signature make machines that check the signature's padding treat
// the file as unsigned, so the block goes inside it: as the signer's last unauthenticated
// attribute, which neither the file's digest nor the signature value covers. Embedding
// again replaces the block; signing again removes it.
#pragma once

#include <string>

#include "packer/bytes.h"
#include "packer/der.h"

namespace gr::pack {

// At most this many bytes fit: the marker must start inside the program's scan window.
constexpr size_t kLargestInformation = 4105;

// Why `information` cannot be embedded, or an empty text.
std::string InformationProblem(const Bytes& information);

// The signature `der` (a ContentInfo holding SignedData with one signer) with `information`
// as the signer's last unauthenticated attribute, replacing an earlier block, and aligned
// so that the record holding it (8 bytes of header and the signature) fills whole 8-byte
// units. False with `error` when `der` is not such a signature.
bool SignatureWithInformation(DerView der, const Bytes& information, Bytes& out, std::string& error);

}  // namespace gr::pack
