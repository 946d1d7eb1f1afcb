// What a package must have before it ships, and what it probably should: checked after
// the definition and its pictures are read, before anything is written.
#pragma once

#include <optional>
#include <vector>

#include "packer/branding.h"
#include "packer/definition.h"

namespace gr::pack {

struct PictureSizes {
    std::optional<BitmapInfo> splash, banner;  // the definition's own pictures, when given
};

// The payload file the program runs as its wizard: the one with the lowest id whose name
// holds ".exe" (letter case aside); null when there is none.
const PayloadFile* WizardFile(const Definition& definition);

// Refusals: a payload with no file the program would run as its wizard.
std::vector<Refusal> ShippingRefusals(const Definition& definition);

// Warnings: pictures not the size their windows show, every .NET setting at its default
// or every version excluded, more than one program in the payload, a wizard that is no
// program by its name, and administrator rights required without the elevation prompt.
std::vector<Refusal> ShippingWarnings(const Definition& definition, const PictureSizes& pictures);

}  // namespace gr::pack
