// The processor-mode decision and the redirection switch around one wizard creation.
#pragma once

#include <windows.h>

namespace gr {

class RedirectionGuard {
public:
    RedirectionGuard() = default;
    ~RedirectionGuard() { Restore(); }
    RedirectionGuard(const RedirectionGuard&) = delete;
    RedirectionGuard& operator=(const RedirectionGuard&) = delete;

    // Reads the program type (string-table entry 0 of `module`); false when the wizard's
    // target does not fit this system. Otherwise switches redirection off where needed.
    bool Apply(HINSTANCE module);
    // Turns redirection back on when this guard turned it off. Always true.
    bool Restore();

private:
    bool switched_ = false;
};

}  // namespace gr
