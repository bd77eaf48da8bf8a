#include "cli/save_errors.h"

#include <cstring>

namespace tmx::cli {
namespace {

constexpr std::string_view kCauseSeparator = "\r\n\n";

}  // namespace

std::string fileStatusText(const FileStatus& status) {
  if (status.ok() || status.errorNumber == 0 || status.error.find(kCauseSeparator) != std::string::npos) {
    return status.error;
  }
  return status.error + std::string(kCauseSeparator) + std::strerror(status.errorNumber);
}

std::string saveFailureText(const std::filesystem::path& path, int errorNumber) {
  return fileStatusText({saveErrorMessage(path, errorNumber), errorNumber});
}

}  // namespace tmx::cli
