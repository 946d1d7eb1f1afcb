// Whether a signed program is unchanged since it was signed: its Authenticode digest,
// computed with the algorithm its signature names, against the digest the signature holds.
// Whether the certificate is trusted is not decided here: that is Windows' to decide.
#pragma once

#include <string>

#include "packer/bytes.h"
#include "packer/file_io.h"
#include "packer/pe_image.h"

namespace gr::pack {

struct DigestCheck {
    std::string algorithm;  // "sha256", as the signature names it; empty when it is none we know
    bool matches = false;   // the file's digest is the signed one and nothing was added around it
    std::string problem;    // why it does not match, when it is more than the digest
};

// Checks `file` (its headers in `image`), whose certificate table holds `table`. The digest
// covers every byte of the file but the checksum, the certificate table's entry and the
// table itself; bytes after the table, or more in the table than the signature and its
// padding, mean a change too.
DigestCheck CheckSignedDigest(File& file, const PeImage& image, const Bytes& table);

}  // namespace gr::pack
