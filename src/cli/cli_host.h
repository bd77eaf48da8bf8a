// The engine's front end on a terminal: status lines go to stdout as they are
// added, progress to stderr when it is a terminal, message boxes to stderr,
// the yes/no question is answered by --yes.
#pragma once

#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "results/status_log.h"

namespace tmx::cli {

class CliHost final : public EngineHost {
 public:
  CliHost(StatusLog& log, bool answerYes, bool showProgress)
      : log_(log), answerYes_(answerYes), showProgress_(showProgress) {}

  void addStatusLine(std::string_view text) override;
  void setProgress(int percent) override;
  void setStartCaption(std::string_view caption) override { caption_ = caption; }
  std::string startCaption() const override { return caption_; }
  void pushResultTexts() override {}
  void drawEndMarker(int) override {}
  void plotZoneSample(int, double) override {}
  void redrawGraph() override {}
  void markQualityBlock(int, int) override {}
  void messageBox(std::string_view text) override;
  bool askYesNo(std::string_view text) override;
  void stopReadinessPoll() override {}
  void startReadinessPoll() override {}

  const std::vector<std::string>& messages() const { return messages_; }
  // Clears the progress line before other output.
  void endProgress();

 private:
  StatusLog& log_;
  bool answerYes_;
  bool showProgress_;
  bool progressShown_ = false;
  std::string caption_ = "Start";
  std::vector<std::string> messages_;
};

}  // namespace tmx::cli
