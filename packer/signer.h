// The signer of a signed package: the subject of the certificate that the signature's
// first signer names, read from the certificate table's PKCS #7 signed data.
#pragma once

#include <string>

#include "packer/bytes.h"

namespace gr::pack {

// The subject ("O=Oakcrest Software, CN=Oakcrest Software") of the signer of the DER
// signed data `der`; false when the structure is not one this reading understands.
bool SignerSubject(const Bytes& der, std::string& subject);

}  // namespace gr::pack
