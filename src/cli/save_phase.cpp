#include "cli/save_phase.h"

#include <cstdio>

#include "cli/save_errors.h"
#include "results/safe_text.h"

namespace tmx::cli {

void printError(const std::string& text) {
  std::string shown = text;
  for (size_t at; (at = shown.find("\r\n\n")) != std::string::npos;) shown.replace(at, 3, ": ");
  std::fprintf(stderr, "tachometrix-cli: %s\n", safeText(shown).c_str());
}

SavePhase::SavePhase(InterruptPoll& interrupt) : interrupt_(interrupt) {
  interrupt_.onInterrupt([this] {
    if (cancelled_.exchange(true)) return;
    std::fputs("tachometrix-cli: interrupted while saving: the files not written yet are given up\n", stderr);
  });
}

SavePhase::~SavePhase() { interrupt_.onInterrupt(nullptr); }

WriteControl SavePhase::control(const std::string& path) {
  return {&cancelled_, [path] {
            std::fprintf(stderr, "tachometrix-cli: waiting for a reader of %s (Ctrl-C gives up)\n",
                         safeText(path).c_str());
          }};
}

bool SavePhase::writeText(const std::string& path, const std::string& text) {
  std::fflush(stdout);  // --json /dev/stdout comes after the lines already printed
  const int error = writeFileAtomically(path, text, control(path));
  if (error == 0) return true;
  printError(saveFailureText(path, error));
  return false;
}

bool SavePhase::check(const FileStatus& saved) {
  if (saved.ok()) return true;
  printError(fileStatusText(saved));
  return false;
}

}  // namespace tmx::cli
