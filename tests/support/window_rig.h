// The window's logic without widgets: an application on the emulated preset
// adapter in virtual time, scripted dialogs and the controller, with a
// settings file in a scratch folder.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "program/application.h"
#include "app/main_window_controller.h"
#include "emulator/emulated_adapter.h"
#include "platform/scsi_manager.h"
#include "results/scratch_dir.h"

namespace tmx::testing {

class ScriptedDialogs final : public WindowDialogs {
 public:
  void messageBox(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return answerYes;
  }
  std::string chooseOpenFile(const FileChoice& choice) override { return answer(choice); }
  std::string chooseSaveFile(const FileChoice& choice) override { return answer(choice); }
  bool openWithDesktop(const std::string& path) override {
    opened.push_back(path);
    return true;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  bool answerYes = true;
  // Paths the file choosers return in turn; empty = cancelled.
  std::deque<std::string> paths;
  std::vector<FileChoice> choices;
  std::vector<std::string> opened;

 private:
  std::string answer(const FileChoice& choice) {
    choices.push_back(choice);
    if (paths.empty()) return {};
    std::string path = paths.front();
    paths.pop_front();
    return path;
  }
};

inline StartOptions emulatedOptions(const ScratchDir& dir) {
  StartOptions options;
  options.realDrives = false;
  options.clock = ClockKind::Virtual;
  options.settingsPath = dir / "settings";
  return options;
}

class WindowRig {
 public:
  // `adjust` changes the start options before the application is built.
  explicit WindowRig(const std::function<void(StartOptions&)>& adjust = {})
      : fixedScale(writeFixedScale(scratch)), app(adjusted(emulatedOptions(scratch), adjust)), controller(app, dialogs) {}

  emu::DriveModel& drive(uint8_t target) {
    auto* adapter = dynamic_cast<emu::EmulatedAdapter*>(app.transport().manager()->adapter(0));
    return *adapter->drive(target);
  }
  void pump() { app.channel().pumpOne(std::chrono::milliseconds(20)); }
  void runToEnd() {
    while (controller.busy()) pump();
  }
  void shutdown() {
    controller.shutdown([this] { pump(); });
  }
  // Short runs: every test but the CPU test, at the shortest test length.
  void fastSettings() {
    app.settings().testLength = 6;
    app.settings().runCpuUtilization = false;
  }

  // A user's settings with the fixed scale, so the graph's pixels are the
  // ones the tests know whatever the drive's maximum.
  static bool writeFixedScale(const ScratchDir& dir) {
    writeFile(dir / "settings", "value0=0x01908379\nvalue1=0x0000FFFF\nvalue2=0x0000FF00\ngraphScale=fixed\n");
    return true;
  }

  static StartOptions adjusted(StartOptions options, const std::function<void(StartOptions&)>& adjust) {
    if (adjust) adjust(options);
    return options;
  }

  ScratchDir scratch;
  bool fixedScale;
  ScriptedDialogs dialogs;
  Application app;
  MainWindowController controller;
};

}  // namespace tmx::testing
