// How the link control reads the style of its static window: which styles it colours as a
// link, and where it draws the focus frame around the text.
#pragma once

#include <cstdint>

namespace gr {

// The text alignments of a static control, in its style's type bits (0 to 4).
constexpr uint32_t kStaticLeft = 0x0;
constexpr uint32_t kStaticCentre = 0x1;
constexpr uint32_t kStaticRight = 0x2;
constexpr uint32_t kStaticTypeMask = 0x1F;

// Whether the link colours and underlines its text: only a plain left, centred or right
// text, judged on the low 8 bits, so that a style bit such as "no prefix" (0x80) opts out.
inline bool ColoursAsLink(uint32_t style) { return (style & 0xFF) <= kStaticRight; }

// Whether the focus frame goes around the text rather than around the whole control.
inline bool FramesText(uint32_t style) { return (style & kStaticTypeMask) <= kStaticRight; }

// How far right of the client's left edge the text starts, in pixels: none for left text,
// half the spare width for centred text, all of it for right-aligned text. Negative when
// the text is wider than the client.
inline int TextShift(uint32_t style, int clientWidth, int textWidth) {
    uint32_t type = style & kStaticTypeMask;
    if (type == kStaticCentre) return (clientWidth - textWidth) / 2;
    if (type == kStaticRight) return clientWidth - textWidth;
    return 0;
}

}  // namespace gr
