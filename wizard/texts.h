// The words the wizard shows, made from the product, the program and the package.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/items.h"
#include "wizard/page_flow.h"

namespace wiz {

// "<product> Setup - <program>", or "<product> Setup" without a program name.
std::wstring WindowTitle(std::wstring_view product, std::wstring_view program);

struct Heading {
    std::wstring title;
    std::wstring subtitle;
};

// The heading over the page that shows in `flow`.
Heading PageHeading(const PageFlow& flow, std::wstring_view product, std::wstring_view program);

// The welcome page's text.
std::wstring WelcomeText(std::wstring_view product, std::wstring_view version, std::wstring_view program);

// "1 byte", "52 bytes".
std::wstring Bytes(uint64_t count);

// One line per component with its size, then the total (lines end with CR LF).
std::wstring ComponentsText(const std::vector<Item>& items);

// What the last page says once the install has ended.
std::wstring ResultText(bool succeeded, std::wstring_view product, std::wstring_view folder, std::wstring_view error);

// The text of a button that moves on.
const wchar_t* CaptionText(NextCaption caption);

}  // namespace wiz
