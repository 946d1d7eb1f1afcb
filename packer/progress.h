// The build's progress on a terminal: one line on standard error, rewritten in place, shown
// only when the build has taken more than a second and standard error is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace gr::pack {

class Progress {
public:
    // `quiet` (or standard error not being a terminal) shows nothing.
    explicit Progress(bool quiet);
    ~Progress() { Finish(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of `total` bytes, working on `what`.
    void Show(const std::string& what, uint64_t done, uint64_t total);
    // Clears the line, if one was shown.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_;
};

// The line Show writes: "packing 45% (30.1 of 66.8 MB): install.bin".
std::string ProgressLine(const std::string& what, uint64_t done, uint64_t total);

}  // namespace gr::pack
