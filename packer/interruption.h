// What the tool leaves when it is stopped from outside: a temporary output is removed when
// the tool is interrupted (SIGINT, SIGTERM or SIGHUP; Ctrl-C, Ctrl-Break or closing the
// console on Windows), and an input that shrinks under a mapped read ends the tool with a
// message naming it, never with a signal.
#pragma once

#include <filesystem>
#include <string>

namespace gr::pack {

// While it lives, an interruption removes `path` before the tool ends (as the
// interruption would have ended it). One at a time.
class RemovedOnInterruption {
public:
    explicit RemovedOnInterruption(const std::filesystem::path& path);
    RemovedOnInterruption(const RemovedOnInterruption&) = delete;
    RemovedOnInterruption& operator=(const RemovedOnInterruption&) = delete;
    ~RemovedOnInterruption();
};

// While it lives, an interruption waits and takes effect when it ends: a temporary file
// created and registered for removal within one is never left by an interruption that
// came between the two steps. One at a time, on the thread that registers.
class InterruptionsDeferred {
public:
    InterruptionsDeferred();
    InterruptionsDeferred(const InterruptionsDeferred&) = delete;
    InterruptionsDeferred& operator=(const InterruptionsDeferred&) = delete;
    ~InterruptionsDeferred();
};

// While it lives, a fault reading the mapped file `input` (it was cut short meanwhile)
// ends the tool with exit code 1 and "<input>: changed while it was read", after removing
// the temporary output. Only where the tool maps its inputs; elsewhere it does nothing.
class MappedReadGuard {
public:
    explicit MappedReadGuard(const std::filesystem::path& input);
    MappedReadGuard(const MappedReadGuard&) = delete;
    MappedReadGuard& operator=(const MappedReadGuard&) = delete;
    ~MappedReadGuard();
};

}  // namespace gr::pack
