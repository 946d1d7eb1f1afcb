// The program's texts from a module's string table.
#pragma once

#include <windows.h>

#include "app/text_source.h"
#include "framework/string_table_win.h"

namespace gr {

class StringTableTexts : public TextSource {
public:
    explicit StringTableTexts(HINSTANCE module) : module_(module) {}
    std::wstring Text(unsigned entry) const override { return LoadStringResource(module_, entry); }

private:
    HINSTANCE module_;
};

}  // namespace gr
