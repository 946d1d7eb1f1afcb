#include "ui/static_styles.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

// Type bits: 0 left, 1 centred, 2 right, 0xB simple, 0xC left without wrapping, 0xE bitmap.
// Flags: 0x80 no prefix (in the low 8 bits, so no link colours), 0x100 notify.
TEST(StaticStyles, LinkColoursOnlyPlainTextButFramesTextWhateverItsFlags) {
    struct Case {
        uint32_t style;
        bool coloured, framesText;
    } const cases[] = {{0x0, true, true},   {0x2, true, true},   {0x100, true, true}, {0x80, false, true},
                       {0x82, false, true}, {0xB, false, false}, {0xC, false, false}, {0xE, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(ColoursAsLink(c.style), c.coloured) << std::hex << "style 0x" << c.style;
        EXPECT_EQ(FramesText(c.style), c.framesText) << std::hex << "style 0x" << c.style;
    }
}

TEST(StaticStyles, TextStartsWhereItsAlignmentPutsIt) {
    struct Case {
        uint32_t style;
        int client, text, shift;
    } const cases[] = {{0x0, 200, 50, 0}, {0x1, 200, 50, 75}, {0x2, 200, 50, 150}, {0x1, 201, 50, 75},
                       {0x81, 200, 50, 75}, {0x2, 40, 50, -10}, {0x1, 40, 50, -5}, {0x0, 40, 50, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(TextShift(c.style, c.client, c.text), c.shift)
            << std::hex << "style 0x" << c.style << std::dec << ", client " << c.client << ", text " << c.text;
}

}  // namespace
}  // namespace gr
