// The program as both front ends use it: the clock, the SCSI manager set-up,
// the transport and command set, the drive table, the settings, the results,
// the status log, the disc probe, the sequencer and its event channel. It
// starts (real drives first, then the emulated adapter), runs and shuts down
// the same way whether a window or a terminal shows it.
//
//   Application app(options);
//   StartupReport report = app.loadDrives();
//   app.attach(host);                  // the front end's EngineHost
//   app.sequencer().runTest(RunAllSelected);
//   while (app.sequencer().busy()) app.channel().pumpOne(50ms);
//   app.shutdown(pump, /*saveOptions=*/true);
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/results_library.h"
#include "program/run_recorder.h"
#include "program/scsi_setup.h"
#include "drive/disc_probe.h"
#include "drive/drive_commands.h"
#include "drive/drive_table.h"
#include "engine/engine_host.h"
#include "engine/event_channel.h"
#include "engine/run_sequencer.h"
#include "platform/clock.h"
#include "results/app_settings.h"
#include "results/drive_facts.h"
#include "results/results_model.h"
#include "results/status_log.h"
#include "ripping/ripping_features.h"

namespace tmx {

enum class ClockKind { Real, Scaled, Virtual };

struct StartOptions {
  bool realDrives = true;      // the kernel's SCSI hosts; never in virtual or scaled time
  bool emulatedDrives = true;  // the emulated adapter after them
  std::string emulatedConfig;  // empty: the built-in presets
  ClockKind clock = ClockKind::Real;
  double timeScale = 1.0;
  std::vector<std::string> faults;  // armed on the first selected drive, an emulated one
  // The settings file; empty means the per-user default.
  std::optional<std::filesystem::path> settingsPath;
  // The results library runs are recorded in (libraryPathOf); none: no record.
  std::optional<std::filesystem::path> libraryPath;
  LibraryOptions libraryOptions;
};

std::unique_ptr<Clock> makeClock(const StartOptions& options);

struct StartupReport {
  // Permission hints, one line each.
  std::vector<std::string> messages;
  // The emulated configuration could not be read: why.
  bool configFailed = false;
  std::string configError;
  // No drive can be reached (no usable SCSI layer, no emulated adapter), or
  // the manager reports no host adapter; managerFailure says why and the fix.
  bool managerFailed = false;
  std::string managerFailure;
};

class Application {
 public:
  explicit Application(StartOptions options);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Loads the SCSI manager and scans for drives; the table selects drive 0.
  StartupReport loadDrives();
  // Arms the --fault specs on `drive`; the error text when one is bad or the
  // drive is not emulated.
  std::optional<std::string> armFaults(DriveAddress drive);

  // Builds the disc probe and the sequencer around the front end. The probe's
  // status lines go to the host. Call once, after loadDrives.
  void attach(EngineHost& host);
  bool attached() const { return sequencer_ != nullptr; }

  // Asks a running worker to stop, keeps handling its events until it has
  // left the drive, and gives the drive back its 2048-byte blocks. The drive
  // stays usable. A second call does nothing.
  void stopWorker(const std::function<void()>& pumpEvents);
  // Program exit: stopWorker, then saves the options when asked and unloads
  // the SCSI manager. Nothing sends drive commands afterwards. A second call
  // does nothing.
  void shutdown(const std::function<void()>& pumpEvents, bool saveOptions);
  bool isShutDown() const { return shutDown_; }
  // Writes the options to the settings file now; the reason when it could
  // not: "Options could not be saved to PATH: REASON".
  std::optional<std::string> saveOptions();

  // Vendor, product and revision of one drive (INQUIRY) and the current read
  // speed of another (MODE SENSE page 2Ah), for the result files.
  DriveFacts driveFacts(DriveAddress identity, DriveAddress speeds);

  // Records the run that just ended on the selected drive in the results
  // library when it measured anything (see RunRecorder). `facts` are the
  // drive's, as its result files got them. On failure the line "Run not
  // recorded in the results library FILE: CAUSE" is added to the status log
  // and returned; the run itself is untouched.
  std::optional<std::string> recordRun(RunOutcome outcome, bool qualityCheck, const DriveFacts& facts);
  // Records the ripping-features check that just ended on the selected drive
  // (`stopped`: by Stop) with the drive and the disc the probe found, every
  // check that ran. On failure the line "Ripping check not recorded in the
  // results library FILE: CAUSE" is added to the status log and returned.
  std::optional<std::string> recordRipping(const RippingFeatures& features, bool stopped, const DriveFacts& facts);
  RunRecorder& recorder() { return recorder_; }

  const StartOptions& options() const { return options_; }
  Clock& clock() { return *clock_; }
  StatusLog& statusLog() { return statusLog_; }
  AspiTransport& transport() { return transport_; }
  DriveCommands& commands() { return commands_; }
  DriveTable& drives() { return table_; }
  const std::vector<std::string>& driveLines() const { return driveLines_; }
  bool hasDrive() const { return table_.count > 0; }
  AppSettings& settings() { return settings_; }
  ResultsModel& results() { return results_; }
  DiscProbe& probe() { return *probe_; }
  TestSequencer& sequencer() { return *sequencer_; }
  EventChannel& channel() { return channel_; }

 private:
  StartOptions options_;
  std::unique_ptr<Clock> clock_;
  StatusLog statusLog_;
  LoaderReport loaderReport_;
  AspiTransport transport_;
  DriveCommands commands_;
  DriveTable table_;
  std::vector<std::string> driveLines_;
  AppSettings settings_;
  ResultsModel results_;
  EventChannel channel_;
  std::unique_ptr<DiscProbe> probe_;
  std::unique_ptr<TestSequencer> sequencer_;
  RunRecorder recorder_;
  bool workerStopped_ = false;
  bool shutDown_ = false;
};

}  // namespace tmx
