#include "program/application.h"

#include <cstring>
#include <ctime>
#include <variant>

#include "drive/drive_discovery.h"
#include "program/finished_ripping.h"
#include "program/finished_run.h"
#include "emulator/emulated_adapter.h"
#include "emulator/faults.h"
#include "platform/scsi_manager.h"
#include "results/settings_store.h"

namespace tmx {

std::unique_ptr<Clock> makeClock(const StartOptions& options) {
  switch (options.clock) {
    case ClockKind::Virtual: return std::make_unique<VirtualClock>(1000, std::time(nullptr));
    case ClockKind::Scaled: return std::make_unique<ScaledClock>(options.timeScale);
    case ClockKind::Real: break;
  }
  return std::make_unique<RealClock>();
}

namespace {

ScsiSetup setupOf(const StartOptions& options) {
  ScsiSetup setup;
  // Real drives run in real time only: a virtual clock would make their figures meaningless.
  setup.realDrives = options.realDrives && options.clock == ClockKind::Real;
  setup.emulatedDrives = options.emulatedDrives;
  setup.emulatedConfig = options.emulatedConfig;
  return setup;
}

}  // namespace

Application::Application(StartOptions options)
    : options_(std::move(options)),
      clock_(makeClock(options_)),
      statusLog_(*clock_),
      transport_(makeManagerLoader(setupOf(options_), *clock_, loaderReport_)),
      commands_(transport_),
      settings_(options_.settingsPath ? loadSettings(*options_.settingsPath) : loadSettings()),
      channel_([this](int event, long value) {
        if (sequencer_) sequencer_->handleTestEvent(event, value);
      }),
      recorder_(options_.libraryPath, options_.libraryOptions) {}

Application::~Application() {
  // A front end that did not shut down (an early error return) still must not
  // leave a worker on the drive.
  stopWorker([this] { channel_.pumpOne(std::chrono::milliseconds(5)); });
}

StartupReport Application::loadDrives() {
  StartupReport report;
  const int adapters = transport_.LoadAspiManager();
  report.messages = loaderReport_.messages;
  report.configFailed = loaderReport_.configFailed;
  // The loader reports a bad configuration last, after the hints of the real hosts.
  if (report.configFailed && !report.messages.empty()) {
    report.configError = report.messages.back();
    report.messages.pop_back();
  }
  if (adapters == 0) {
    report.managerFailed = true;
    report.managerFailure = loaderReport_.failure;
    return report;
  }
  driveLines_ = scanDrives(commands_, table_);
  return report;
}

std::optional<std::string> Application::armFaults(DriveAddress drive) {
  if (options_.faults.empty()) return std::nullopt;
  ScsiManager* manager = transport_.manager();
  auto* adapter = manager ? dynamic_cast<emu::EmulatedAdapter*>(manager->adapter(drive.hostAdapter)) : nullptr;
  emu::DriveModel* model = adapter ? adapter->drive(drive.target) : nullptr;
  if (!model) return std::string("--fault applies to emulated drives only");
  for (const auto& spec : options_.faults) {
    auto fault = emu::parseFault(spec);
    if (const auto* error = std::get_if<std::string>(&fault)) return "--fault " + spec + ": " + *error;
    model->faults().add(std::get<emu::Fault>(fault));
  }
  return std::nullopt;
}

void Application::attach(EngineHost& host) {
  probe_ = std::make_unique<DiscProbe>(commands_, host);
  sequencer_ = std::make_unique<TestSequencer>(
      EngineDeps{commands_, *probe_, table_, results_, settings_, *clock_, host}, channel_);
}

void Application::stopWorker(const std::function<void()>& pumpEvents) {
  if (workerStopped_ || !sequencer_) return;
  workerStopped_ = true;
  sequencer_->shutdown(pumpEvents);
}

void Application::shutdown(const std::function<void()>& pumpEvents, bool saveOptions) {
  if (shutDown_) return;
  shutDown_ = true;
  stopWorker(pumpEvents);
  // Too late to show a failure: the window that would show it is closing.
  // A failure was already reported when the options were accepted.
  if (saveOptions) this->saveOptions();
  transport_.UnloadAspiManager();
}

std::optional<std::string> Application::saveOptions() {
  const std::optional<std::filesystem::path> path = options_.settingsPath ? options_.settingsPath : settingsFilePath();
  const int error = saveSettings(settings_, path);
  if (error == 0) return std::nullopt;
  const std::string where = path ? path->string() : std::string("the settings folder (neither XDG_CONFIG_HOME nor HOME is set)");
  return "Options could not be saved to " + where + ": " + std::strerror(error);
}

DriveFacts Application::driveFacts(DriveAddress identity, DriveAddress speeds) {
  DriveFacts facts;
  InquiryTexts texts;
  commands_.Inquiry(identity, texts);
  facts.vendor = texts.vendor;
  facts.product = texts.product;
  facts.revision = texts.revision;
  int maximum = 0, current = 0;
  facts.speedsStatus = commands_.ModeSenseSpeeds(speeds, maximum, current);
  facts.currentReadSpeed = current;
  return facts;
}

std::optional<std::string> Application::recordRun(RunOutcome outcome, bool qualityCheck, const DriveFacts& facts) {
  if (!recorder_.enabled()) return std::nullopt;
  FinishedRun run = finishedRunOf(*this, outcome, qualityCheck, facts);
  if (!worthRecording(run)) return std::nullopt;
  run.drive.serial = driveSerialNumber(*this, table_.selectedDrive());
  run.manufacturer = recordableManufacturer(*this, table_.selectedDrive());
  auto line = recorder_.record(run);
  if (line) statusLog_.addStatusLine(*line);
  return line;
}

std::optional<std::string> Application::recordRipping(const RippingFeatures& features, bool stopped,
                                                      const DriveFacts& facts) {
  if (!recorder_.enabled()) return std::nullopt;
  auto line = recorder_.recordRipping(storedRippingCheckOf(finishedRippingOf(*this, features, stopped, facts)));
  if (line) statusLog_.addStatusLine(*line);
  return line;
}

}  // namespace tmx
