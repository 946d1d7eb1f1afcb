// What the user-interface thread does with the splash while it waits for the run: it
// follows the worker's open prompt count, so that no splash covers the drive prompt.
#pragma once

#include <cstdint>

namespace gr {

enum class SplashChange { None, Show, Hide };

// The change due when the open prompt count goes from `lastSeen` to `now`: shown again
// when no prompt is open; hidden when the first prompt opens.
inline SplashChange SplashChangeFor(int32_t lastSeen, int32_t now) {
    if (now == lastSeen) return SplashChange::None;
    if (now == 0) return SplashChange::Show;
    if (lastSeen == 0 && now == 1) return SplashChange::Hide;
    return SplashChange::None;
}

}  // namespace gr
