// The CLI's final saves. From the moment they begin, a signal gives up every
// file not written yet (each one says so), and a pipe without a reader is
// waited for with a line that says so: no output can hold the program.
//
//   SavePhase saves(interrupt);
//   bool ok = saves.writeText("run.json", json);
//   ok = saves.check(saveDatFile(path, record, facts, saves.control(path))) && ok;
#pragma once

#include <atomic>
#include <string>

#include "cli/interrupt_poll.h"
#include "platform/atomic_file.h"
#include "results/file_messages.h"

namespace tmx::cli {

// "tachometrix-cli: TEXT" on stderr, made safe, the cause after ": ".
void printError(const std::string& text);

class SavePhase {
 public:
  // Takes over the interrupt's action until destroyed.
  explicit SavePhase(InterruptPoll& interrupt);
  ~SavePhase();
  SavePhase(const SavePhase&) = delete;
  SavePhase& operator=(const SavePhase&) = delete;

  // The control of one write to `path`.
  WriteControl control(const std::string& path);
  // Writes a text file after what stdout already shows; false (printed) on failure.
  bool writeText(const std::string& path, const std::string& text);
  // Prints a failed save; returns whether it succeeded.
  bool check(const FileStatus& saved);
  bool cancelled() const { return cancelled_; }

 private:
  InterruptPoll& interrupt_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace tmx::cli
