// The readable summary of an analysed project that `tarnwick-cli analyze` prints.
#pragma once

#include <string>

namespace tw {
class TTWData;
}

namespace tw::cli {

// Several lines of text (UTF-8): the wall, the embedment, the maxima and every check that
// applies with PASS or FAIL, and a last line saying whether all of them pass.
std::string AnalysisSummary(const TTWData& project);

// Whether every check that applies to the project passes.
bool AllChecksPass(const TTWData& project);

} // namespace tw::cli
