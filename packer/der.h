// Reading DER, the encoding of a signature's PKCS #7 structures: one element at a time,
// each checked to lie within what holds it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gr::pack {

using DerView = std::span<const uint8_t>;

constexpr uint8_t kDerInteger = 0x02, kDerOctetString = 0x04, kDerOid = 0x06, kDerSequence = 0x30, kDerSet = 0x31,
                  kDerContext0 = 0xA0, kDerContext1 = 0xA1;

// One DER element: its tag, its contents and the whole encoding.
struct DerElement {
    uint8_t tag = 0;
    DerView contents;
    DerView whole;
};

// Reads the element at the start of `data` and moves `data` past it.
bool DerNext(DerView& data, DerElement& element);
// The same, when the element has tag `tag`.
bool DerExpect(DerView& data, uint8_t tag, DerElement& element);
// The encoding of an element of `tag` holding `contents`, appended to `out`.
void DerAppend(std::vector<uint8_t>& out, uint8_t tag, DerView contents);
// An object identifier's contents as dotted text: "2.16.840.1.101.3.4.2.1".
std::string DerOidText(DerView oid);

}  // namespace gr::pack
