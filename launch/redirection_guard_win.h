// The processor-mode decision and the redirection switch around one wizard creation.
#pragma once

#include <string>

namespace gr {

class RedirectionGuard {
public:
    RedirectionGuard() = default;
    ~RedirectionGuard() { Restore(); }
    RedirectionGuard(const RedirectionGuard&) = delete;
    RedirectionGuard& operator=(const RedirectionGuard&) = delete;

    // False when the wizard's `programType` (the package's entry 0) does not fit this
    // system. Otherwise switches redirection off where needed.
    bool Apply(const std::wstring& programType);
    // Turns redirection back on when this guard turned it off. Always true.
    bool Restore();

private:
    bool switched_ = false;
};

}  // namespace gr
