// A small reader for the wizard's own XML files (configuration, items list): it lists the
// elements with their attributes and refuses text that is not well-formed. Text content,
// comments, processing instructions and the XML declaration are skipped; DOCTYPE and CDATA
// are refused. Attribute values come with their character and entity references resolved.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wiz {

struct XmlElement {
    std::wstring path;  // the element's name after its ancestors' names, joined by "/"
    std::vector<std::pair<std::wstring, std::wstring>> attributes;

    // The value of attribute `name`, or null.
    const std::wstring* Attribute(std::wstring_view name) const;
};

struct XmlDocument {
    std::vector<XmlElement> elements;  // in document order; empty when there is an error
    std::wstring error;                // "line <n>: <what is wrong>"; empty when well-formed
};

XmlDocument ScanXml(std::wstring_view text);

}  // namespace wiz
