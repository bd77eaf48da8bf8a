#include "app/manual_location.h"

#include <filesystem>

namespace tmx {

std::vector<std::string> manualCandidates(const std::string& currentDir, const std::string& programDir,
                                          const std::string& sourceDocsDir) {
  namespace fs = std::filesystem;
  std::vector<std::string> out;
  out.push_back((fs::path(currentDir) / kManualFileName).string());
  // bin/ -> share/doc/tachometrix/
  const fs::path installed = fs::path(programDir).parent_path() / "share" / "doc" / "tachometrix" / kManualFileName;
  out.push_back(installed.lexically_normal().string());
  const std::string system = std::string("/usr/share/doc/tachometrix/") + kManualFileName;
  if (out.back() != system) out.push_back(system);
  if (!sourceDocsDir.empty()) out.push_back((fs::path(sourceDocsDir) / kManualFileName).string());
  return out;
}

}  // namespace tmx
