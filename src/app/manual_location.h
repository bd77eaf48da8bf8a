// Where the Documentation command looks for the manual, in order (the window
// opens the first that is a regular file): a tachometrixdoc.htm in
// the current directory first (as a user may keep a copy beside their
// results), then the installed one beside the program
// (<prefix>/share/doc/tachometrix/, found from the program's own directory, so
// an install under /usr/local or a scratch root works), then the system's,
// then the source tree's docs/ for a program run from its build tree.
#pragma once

#include <string>
#include <vector>

namespace tmx {

inline constexpr const char* kManualFileName = "tachometrixdoc.htm";

// The paths tried, in order. programDir is the directory of the executable;
// sourceDocsDir may be empty.
std::vector<std::string> manualCandidates(const std::string& currentDir, const std::string& programDir,
                                          const std::string& sourceDocsDir = {});

}  // namespace tmx
