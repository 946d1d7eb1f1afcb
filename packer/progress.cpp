#include "packer/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define GR_IS_TERMINAL(stream) (::_isatty(::_fileno(stream)) != 0)
#else
#include <unistd.h>
#define GR_IS_TERMINAL(stream) (::isatty(::fileno(stream)) != 0)
#endif

namespace gr::pack {

Progress::Progress(bool quiet) : enabled_(!quiet && GR_IS_TERMINAL(stderr)) {}

std::string ProgressLine(const std::string& what, uint64_t done, uint64_t total) {
    char figures[96];
    std::snprintf(figures, sizeof figures, "packing %3u%% (%.1f of %.1f MB): ",
                  static_cast<unsigned>(total == 0 ? 100 : done * 100 / total), static_cast<double>(done) / 1048576.0,
                  static_cast<double>(total) / 1048576.0);
    return figures + what;
}

void Progress::Show(const std::string& what, uint64_t done, uint64_t total) {
    if (!enabled_) return;
    Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || (shown_ && now - last_ < std::chrono::milliseconds(100))) return;
    last_ = now;
    shown_ = true;
    std::string line = ProgressLine(what, done, total);
    if (line.size() > 78) line = line.substr(0, 75) + "...";
    std::fprintf(stderr, "\r%-78s", line.c_str());
    std::fflush(stderr);
}

void Progress::Finish() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%78s\r", "");
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace gr::pack
