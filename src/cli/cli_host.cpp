#include "cli/cli_host.h"

#include <cstdio>

namespace tmx::cli {

void CliHost::endProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  progressShown_ = false;
}

void CliHost::addStatusLine(std::string_view text) {
  endProgress();
  log_.addStatusLine(text);
}

void CliHost::setProgress(int percent) {
  if (!showProgress_) return;
  std::fprintf(stderr, "\r\033[K[%3d%%] %s", percent, log_.lines().empty() ? "" : log_.lines().back().c_str());
  progressShown_ = true;
}

void CliHost::messageBox(std::string_view text) {
  endProgress();
  messages_.emplace_back(text);
  std::fprintf(stderr, "Tachometrix: %.*s\n", static_cast<int>(text.size()), text.data());
}

bool CliHost::askYesNo(std::string_view text) {
  endProgress();
  std::string shown(text);
  for (size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.replace(at, 2, " ");
  std::fprintf(stderr, "Tachometrix: %s %s\n", shown.c_str(), answerYes_ ? "Yes (--yes)" : "No (give --yes to go on)");
  return answerYes_;
}

}  // namespace tmx::cli
