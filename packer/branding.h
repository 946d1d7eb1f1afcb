// The package's pictures: the icon group (icon 5) from a .ico file, and the splash and
// banner bitmaps from .bmp files, each checked before it goes in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packer/resource_tree.h"
#include "res/resource_ids.h"

namespace gr::pack {

constexpr uint32_t kIconGroup = IDR_MAINFRAME;  // what Explorer and the dialogs show
constexpr uint32_t kBannerBitmap = IDB_BANNER;  // the message dialog's banner
constexpr uint32_t kSplashBitmap = IDB_SPLASH;  // the splash picture

struct IconImage {
    uint8_t width = 0, height = 0, colours = 0;  // 0 for 256 pixels, 0 colours for 8 bits and more
    uint16_t planes = 0, bitCount = 0;
    Bytes data;  // the image: a bitmap header and its bits, or a PNG
};

struct BitmapInfo {
    int32_t width = 0, height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // 0 plain, 1 run-length encoded (8 bits)
};

// The images of a .ico file; false with `error` when it is not a valid one.
bool ReadIconFile(const Bytes& file, std::vector<IconImage>& images, std::string& error);
// The resource a .bmp file becomes (its header, palette and bits, without the file
// header); false with `error` when it is not an 8-bit or 24-bit bitmap the program draws.
bool ReadBitmapFile(const Bytes& file, Bytes& resource, BitmapInfo& info, std::string& error);
// The size and depth of a bitmap resource; false when its header is not a bitmap's.
bool DescribeBitmap(const uint8_t* header, size_t length, BitmapInfo& info);

// Replaces icon group `group` and its images in `resources` with `images`.
void PutIcon(ResourceList& resources, uint32_t group, const std::vector<IconImage>& images, uint16_t language);
// The images' count and sizes of icon group `group`, as text ("48x48 32-bit, ...").
std::string DescribeIconGroup(const Bytes& group);

}  // namespace gr::pack
