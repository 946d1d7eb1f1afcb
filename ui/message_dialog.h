// The plain decisions of the message dialog: its buttons, its system-menu command and where
// its icon goes while it is minimised.
#pragma once

#include <cstdint>

namespace gr {

// The command of the system menu's about entry; the system uses the low four bits itself.
constexpr uint32_t kAboutCommand = 0x0010;

inline bool IsAboutCommand(uint32_t command) { return (command & 0xFFF0) == kAboutCommand; }

// The two buttons: a question has "Yes" (OK, left) and "No" (Cancel, right); a message has
// only the right-hand button, which keeps its "Cancel".
struct DialogButtons {
    bool showOk;
    const wchar_t* okLabel;      // null: the template's text stays
    const wchar_t* cancelLabel;  // null: the template's text stays
};

inline DialogButtons ButtonsFor(bool questionMode) {
    if (questionMode) return {true, L"Yes", L"No"};
    return {false, nullptr, nullptr};
}

struct IconOrigin {
    int x;
    int y;
};

// The top-left corner of the icon drawn in a minimised dialog: centred in the client area,
// rounding up where the spare space is odd.
inline IconOrigin MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace gr
