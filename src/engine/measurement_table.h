// The six measurements in run order, and everything the programs know of each:
// the CLI's name, the option that puts it into a run of the selected tests,
// the event that starts it, the window's Run Test command and the texts of
// its menu entry, its option box and its first and last status lines. Every
// user of the mapping reads it here.
//
//   for (const MeasurementInfo& m : kMeasurements) if (settings.*m.selected) ...
//   const MeasurementInfo* seek = measurementNamed("seek");
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "engine/engine_ids.h"
#include "results/app_settings.h"

namespace tmx {

struct MeasurementInfo {
  TestId id;
  std::string_view cliName;     // --run NAME, --select NAME,...
  bool AppSettings::*selected;  // the option that selects it
  int startEvent;               // sent by the drive preparation or the test before
  bool needsAudio;              // runs only with an audio read method
  int runCommand;               // the window's Run Test command id
  std::string_view menuText;    // that command's menu entry
  std::string_view optionName;  // the options dialog's box: its object name
  std::string_view optionText;  // and its text
  std::string_view startedText;    // the status line when it starts
  std::string_view completedText;  // and when it has completed
};

inline constexpr std::array<MeasurementInfo, 6> kMeasurements = {{
    {TestTransferRate, "transfer", &AppSettings::runTransferRate, EventTransferZone, false, 32776,
     "&Transfer Rate Test", "runTransferRate", "Transfer Rate Test", "Starting transfer rate test",
     "Transfer rate test completed"},
    {TestDaeQuality, "dae", &AppSettings::runDaeQuality, EventDaeStart, true, 32780, "&DAE Quality Test",
     "runDaeQuality", "DAE Quality Test", "Starting DAE quality test - start", "DAE quality test completed"},
    {TestSeekTimes, "seek", &AppSettings::runSeekTimes, EventSeekStart, false, 32777, "S&eek Times Test",
     "runSeekTimes", "Seek Times Test", "Starting seek test", "Seek test completed"},
    {TestCpuUtilization, "cpu", &AppSettings::runCpuUtilization, EventCpuStart, false, 32778,
     "&CPU Utilization Test", "runCpuUtilization", "CPU Utilization Test", "Starting CPU utilization test",
     "CPU utilization test completed"},
    {TestBurstRate, "burst", &AppSettings::runBurstRate, EventBurstStart, false, 32779, "&Burst Rate Test",
     "runBurstRate", "Burst Rate Test", "Starting burst rate test", "Burst rate test completed"},
    {TestSpinUpDown, "spin", &AppSettings::runSpinUpDown, EventSpinStart, false, 32781, "Spin Up/Down Test",
     "runSpinUpDown", "Spin Up/Down Test", "Starting spin up time test", "Spin up/down test completed"},
}};

// The entry of a test id, a CLI name or a Run Test command; null for none.
constexpr const MeasurementInfo* measurementOf(int id) {
  for (const MeasurementInfo& m : kMeasurements) {
    if (m.id == id) return &m;
  }
  return nullptr;
}
constexpr const MeasurementInfo* measurementNamed(std::string_view cliName) {
  for (const MeasurementInfo& m : kMeasurements) {
    if (m.cliName == cliName) return &m;
  }
  return nullptr;
}
constexpr const MeasurementInfo* measurementForCommand(int command) {
  for (const MeasurementInfo& m : kMeasurements) {
    if (m.runCommand == command) return &m;
  }
  return nullptr;
}
constexpr int runCommandOf(TestId id) { return measurementOf(id)->runCommand; }

// Position in the run order.
constexpr int runOrderOf(int id) {
  for (size_t i = 0; i < kMeasurements.size(); ++i) {
    if (kMeasurements[i].id == id) return static_cast<int>(i);
  }
  return static_cast<int>(kMeasurements.size());
}

// Whether any test is selected.
bool anyMeasurementSelected(const AppSettings& settings);
// Selects exactly the tests given.
void selectMeasurements(AppSettings& settings, const std::vector<int>& ids);

}  // namespace tmx
