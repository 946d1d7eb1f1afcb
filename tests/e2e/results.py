"""The program's result codes (its exit codes when a run fails), as the tests expect them:
the same values as the program's own table, base/result_codes.h, under the same names."""

FAILED = 0x80004005                # E_FAIL
PROCESSOR_MODE_UNFIT = 0x80004004  # E_ABORT
USAGE_ERROR = 0x80030057
NOT_ENOUGH_SPACE = 0x80030070
ROOT_NOT_FOLDER = 0x8007010B       # ERROR_DIRECTORY as a result code
SIZE_MISMATCH = 0x80040167
WIZARD_NOT_STARTED = 0x80070057    # E_INVALIDARG
NOT_VERIFIED = 0x800B0100
FRAMEWORK_MISSING = 0x80110409
NOT_ADMINISTRATOR = 0x80110413
INSTALLER_ENGINE_TOO_OLD = 1613

# A wizard exit code the report knows: the wizard could not load its .NET runtime.
RUNTIME_LOAD_FAILED = 0x80131700

# A verdict of the signature check that is not a result code of its own: the file changed
# after signing (TRUST_E_BAD_DIGEST).
BAD_DIGEST = 0x80096010
