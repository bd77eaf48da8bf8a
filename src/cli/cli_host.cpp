#include "cli/cli_host.h"

#include <cstdio>

#include "platform/clock.h"

namespace tmx::cli {

ProgressTerminal ProgressTerminal::standardError() {
  return ProgressTerminal{[](std::string_view text) {
                            std::fwrite(text.data(), 1, text.size(), stderr);
                            std::fflush(stderr);
                          },
                          [] { return monotonicNs(); }};
}

void ProgressLine::update(int percent, std::string_view status) {
  char head[16];
  std::snprintf(head, sizeof head, "[%3d%%] ", percent);
  std::string text = head;
  text += status;
  if (shown_ && text == text_) return;
  const int64_t now = terminal_.nowNs();
  if (everDrawn_ && now - lastDrawNs_ < kMinRedrawNs) return;
  terminal_.write("\r\033[K" + text);
  text_ = std::move(text);
  shown_ = true;
  everDrawn_ = true;
  lastDrawNs_ = now;
}

void ProgressLine::clear() {
  if (!shown_) return;
  terminal_.write("\r\033[K");
  shown_ = false;
}

void CliHost::endProgress() { progress_.clear(); }

void CliHost::addStatusLine(std::string_view text) {
  endProgress();
  log_.addStatusLine(text);
}

void CliHost::setProgress(int percent) {
  if (!showProgress_) return;
  progress_.update(percent, log_.lines().empty() ? std::string_view() : std::string_view(log_.lines().back()));
}

void CliHost::messageBox(std::string_view text) {
  endProgress();
  messages_.emplace_back(text);
  std::fprintf(stderr, "Tachometrix: %.*s\n", static_cast<int>(text.size()), text.data());
}

bool CliHost::askYesNo(std::string_view text) {
  endProgress();
  // The question's line breaks become blanks on the one terminal line.
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool lineBreak = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    shown.push_back(lineBreak ? ' ' : text[i]);
    if (lineBreak) ++i;
  }
  std::fprintf(stderr, "Tachometrix: %s %s\n", shown.c_str(), answerYes_ ? "Yes (--yes)" : "No (give --yes to go on)");
  return answerYes_;
}

}  // namespace tmx::cli
