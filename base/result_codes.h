// The program's result codes: 0 for success, otherwise an HRESULT or a Win32 error number.
// The one table of them; every file uses them by these names. A code travels up unchanged
// to the failure report and becomes the process exit code.
#pragma once

#include <cstdint>

namespace gr {

constexpr uint32_t kFailed = 0x80004005;                // E_FAIL: extraction, working folder root, prompt cancelled
constexpr uint32_t kProcessorModeUnfit = 0x80004004;    // E_ABORT: the wizard's processor type does not fit
constexpr uint32_t kUnexpected = 0x8000FFFF;            // E_UNEXPECTED: the standard library refused an argument
constexpr uint32_t kUsageError = 0x80030057;            // STG_E_INVALIDPARAMETER: the command line is wrong
constexpr uint32_t kNotEnoughSpace = 0x80030070;        // STG_E_MEDIUMFULL: too little free space
constexpr uint32_t kRootNotFolder = 0x8007010B;         // ERROR_DIRECTORY: the working folder's root is a file or a device
constexpr uint32_t kSizeMismatch = 0x80040167;          // a payload file's size differs from the manifest
constexpr uint32_t kOutOfMemory = 0x8007000E;           // E_OUTOFMEMORY: memory exhausted
constexpr uint32_t kWizardNotStarted = 0x80070057;      // E_INVALIDARG: the wizard's process could not start
constexpr uint32_t kNotVerified = 0x800B0100;           // TRUST_E_NOSIGNATURE, whatever the provider said
constexpr uint32_t kFrameworkMissing = 0x80110409;      // no acceptable .NET Framework
constexpr uint32_t kNotAdministrator = 0x80110413;      // rights required and the user lacks them
constexpr uint32_t kInstallerEngineTooOld = 1613;       // ERROR_INSTALL_PACKAGE_VERSION: Windows Installer < 2.0

// The result code of a Win32 error (as HRESULT_FROM_WIN32 makes it; a value that is an
// HRESULT already stays); never 0, so that a failure can never pass for success.
constexpr uint32_t ResultFromWin32Error(uint32_t error) {
    if (error == 0) return kFailed;
    if ((error & 0x80000000u) != 0) return error;
    return (error & 0xFFFFu) | 0x80070000u;
}

// A wizard exit code the report knows: the wizard could not load its .NET runtime.
constexpr uint32_t kRuntimeLoadFailed = 0x80131700;

}  // namespace gr
