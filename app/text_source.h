// The program's texts by string-table entry: the resources in the program, a table in a test.
#pragma once

#include <string>

namespace gr {

class TextSource {
public:
    virtual ~TextSource() = default;
    // The text of `entry`; empty when the entry is missing or empty.
    virtual std::wstring Text(unsigned entry) const = 0;
};

}  // namespace gr
