// The wizard's exit codes, as the bootstrapper and deployment scripts read them.
#pragma once

namespace wiz {

constexpr int kSucceeded = 0;
constexpr int kBadArguments = 87;  // a word on the command line that cannot be used
constexpr int kCancelled = 1602;   // the user left before installing
constexpr int kFailed = 1603;      // the package or the install went wrong: the log says why

}  // namespace wiz
