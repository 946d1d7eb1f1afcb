#include "launch/redirection_guard_win.h"

#include "base/log.h"
#include "launch/processor_mode.h"
#include "launch/wow64_win.h"

namespace gr {

bool RedirectionGuard::Apply(const std::wstring& programType) {
    LogFormat(L"ProgramType '%s'\n", programType);
    const wchar_t* modeLine = L"";
    ProcessorMode mode = ParseProcessorMode(programType, modeLine);
    LogText(modeLine);
    RedirectionDecision decision = DecideRedirection(mode, IsRunningUnderWow64());
    if (!decision.fits) {
        LogText(L"Incorrect processor mode with installation type\n");
        return false;
    }
    if (decision.redirectionOff) {
        LogText(L"Enabling 64Bit spawned processes\n");
        DisableFsRedirection();
        switched_ = true;
    }
    return true;
}

bool RedirectionGuard::Restore() {
    if (switched_) {
        LogText(L"Restoring 32Bit spawned processes\n");
        RevertFsRedirection();
        switched_ = false;
    }
    return true;
}

}  // namespace gr
