// The coding table applied to the resource catalogue: which payload resources are
// compressed, and the checksum of each one's extracted bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/coding.h"
#include "payload/catalogue.h"

namespace gr {

// Gives each catalogued resource with a record in the coding table its coding and
// checksum (of two records for one id, the later counts). False when the table does not
// hold whole records or names a coding this program does not know: the package is damaged.
bool AssignCodings(ResourceCatalogue& catalogue, const uint8_t* table, size_t size);

}  // namespace gr
