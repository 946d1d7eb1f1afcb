// Character and entity references of XML ("&amp;", "&#65;", "&#x41;").
#pragma once

#include <string>
#include <string_view>

namespace wiz {

// Appends the character that reference `name` (the text between "&" and ";") stands for;
// false when it is not one of the five predefined entities or a valid character number.
bool AppendReference(std::wstring_view name, std::wstring& out);

}  // namespace wiz
