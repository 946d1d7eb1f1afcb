// Writing the embedded information block of the program file to "info.xml".
#pragma once

#include <string>

namespace gr {

// Looks for the block in the last bytes of `programPath` and writes it to `outputPath`.
// Every failure is only logged: the run goes on whatever happens here.
void ScanForEmbeddedInformation(const std::wstring& programPath, const std::wstring& outputPath);

}  // namespace gr
