// An engine host that records what the engine asked of the window, and lets a
// test react to status lines (e.g. press Stop when a phase begins).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/engine_host.h"

namespace tmx::testing {

class RecordingHost final : public EngineHost {
 public:
  void addStatusLine(std::string_view text) override {
    lines.emplace_back(text);
    if (onStatusLine) onStatusLine(lines.back());
  }
  void setProgress(int percent) override {
    progress = percent;
    progressHistory.push_back(percent);
  }
  void setStartCaption(std::string_view text) override { caption = text; }
  std::string startCaption() const override { return caption; }
  void pushResultTexts() override { ++textPushes; }
  void drawEndMarker(int lba) override { endMarker = lba; }
  void plotZoneSample(int zone, double sample) override { plotted.emplace_back(zone, sample); }
  void redrawGraph() override { ++redraws; }
  void markQualityBlock(int block, int errorClass) override { qualityMarks.emplace_back(block, errorClass); }
  void messageBox(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return answerYes;
  }
  void stopReadinessPoll() override { pollRunning = false; }
  void startReadinessPoll() override { pollRunning = true; }

  std::vector<std::string> lines;
  std::function<void(const std::string&)> onStatusLine;
  int progress = 0;
  std::vector<int> progressHistory;
  std::string caption = "Start";
  int textPushes = 0;
  int endMarker = -1;
  std::vector<std::pair<int, double>> plotted;
  int redraws = 0;
  std::vector<std::pair<int, int>> qualityMarks;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  bool answerYes = true;
  bool pollRunning = true;

  int count(const std::string& line) const {
    int n = 0;
    for (const auto& l : lines) n += l == line;
    return n;
  }
};

}  // namespace tmx::testing
