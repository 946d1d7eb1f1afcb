#include "launch/processor_mode.h"

#include "base/text.h"

namespace gr {

ProcessorMode ParseProcessorMode(std::wstring_view programType, const wchar_t*& logLine) {
    if (EqualsIgnoreCase(programType, L"x86")) {
        logLine = L"Swapping to x86\n";
        return ProcessorMode::X86;
    }
    if (EqualsIgnoreCase(programType, L"x64")) {
        logLine = L"Swapping to x64\n";
        return ProcessorMode::X64;
    }
    if (EqualsIgnoreCase(programType, L"x32Only")) {
        logLine = L"Swapping to 32Bit only\n";
        return ProcessorMode::X32Only;
    }
    logLine = L"Staying on Any\n";
    return ProcessorMode::Any;
}

RedirectionDecision DecideRedirection(ProcessorMode mode, bool underWow64) {
    RedirectionDecision decision;
    if ((mode == ProcessorMode::X64 && !underWow64) || (mode == ProcessorMode::X32Only && underWow64)) {
        decision.fits = false;
        return decision;
    }
    decision.redirectionOff = underWow64 && (mode == ProcessorMode::X64 || mode == ProcessorMode::Any);
    return decision;
}

}  // namespace gr
