#include "results/status_log.h"

#include "platform/atomic_file.h"
#include "results/format_string.h"
#include "results/safe_text.h"

namespace tmx {

std::string formatStatusLine(const std::tm& t, std::string_view text) {
  std::string line = formatString("[%02d:%02d:%02d]   ", t.tm_hour, t.tm_min, t.tm_sec);
  line += text;
  return line;
}

void StatusLog::addStatusLine(std::string_view text) {
  const std::time_t now = clock_.wallTime();
  std::tm local{};
  localtime_r(&now, &local);
  // Lines carry texts of drives and files: made safe once, for the list, the
  // terminal and the saved file alike.
  lines_.push_back(formatStatusLine(local, safeText(text)));
  if (observer_) observer_(lines_.back());
}

std::string statusLogText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

FileStatus saveStatusLog(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  if (const int error = writeFileAtomically(path, statusLogText(lines))) return {"Error saving file", error};
  return {};
}

}  // namespace tmx
