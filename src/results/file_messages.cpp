#include "results/file_messages.h"

#include <cerrno>
#include <system_error>

#include "platform/regular_file.h"

namespace tmx {
namespace {

const char* openCause(int errorNumber) {
  switch (errorNumber) {
    case ENOENT: return "No such file or directory";
    case EACCES:
    case EPERM: return "Access denied";
    case EMFILE:
    case ENFILE: return "Too many open files";
    case kNotRegularFile: return "Not a regular file";
    default: return nullptr;
  }
}

// A save meets two more causes worth naming: a read-only medium, a full disc.
const char* saveCause(int errorNumber) {
  switch (errorNumber) {
    case EROFS: return "Access denied";
    case ENOSPC:
    case EDQUOT: return "No space left on device";
    case ELOOP: return "Too many levels of symbolic links";
    case ECANCELED: return "Not written: interrupted";
    case ETIMEDOUT: return "Nothing could be written for 10 s";
    default: return openCause(errorNumber);
  }
}

std::string message(const char* verb, const std::filesystem::path& path, const char* cause) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  std::string text = std::string("Error ") + verb + " " + (ec ? path : full).string();
  if (cause) text = text + "\r\n\n" + cause;
  return text;
}

}  // namespace

std::string openErrorMessage(const std::filesystem::path& path, int errorNumber) {
  return message("opening", path, openCause(errorNumber));
}

std::string saveErrorMessage(const std::filesystem::path& path, int errorNumber) {
  return message("saving", path, saveCause(errorNumber));
}

}  // namespace tmx
