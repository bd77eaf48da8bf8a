#include "cli/ripping_verb.h"

#include <cstdio>

#include "cli/save_phase.h"
#include "ripping/ripping_check.h"
#include "ripping/ripping_json.h"
#include "ripping/ripping_text.h"
#include "results/safe_text.h"
#include "results/text_report.h"

namespace tmx::cli {
namespace {

using Json = nlohmann::ordered_json;

}  // namespace

int runRippingFeatures(const CliOptions& options, Application& app, InterruptPoll& interrupt) {
  const DriveAddress drive = app.drives().selectedDrive();
  const DiscPanel panel = app.probe().refreshDiscPanel(drive);
  const std::string driveLine = app.driveLines()[static_cast<size_t>(app.drives().selected)];
  const int32_t sectors = app.probe().storedLength();
  if (app.probe().medium().kind != MediumKind::CD) {
    printError("the ripping features check is for CDs: the disc in " + driveLine + " is a " +
               mediumName(app.probe().medium().kind));
    return 1;
  }
  if (panel.kind < 0 || panel.blank || sectors <= 0) {
    printError("the ripping features check needs a recorded CD in " + driveLine + " (type " + panel.typeText + ")");
    return 1;
  }
  RippingHooks hooks;
  hooks.status = [&](const std::string& line) { app.statusLog().addStatusLine(line); };
  hooks.stop = &interrupt.flag();
  RippingOptions ripOptions;
  ripOptions.overread = options.overread;
  RippingCheck check(app.commands(), drive, app.clock(), RippingDisc{panel.kind, sectors, true}, ripOptions, hooks);
  const RippingFeatures f = check.run();
  for (const std::string& line : rippingTextLines(f)) std::printf("%s\n", safeText(line).c_str());
  std::fflush(stdout);

  const bool stopped = interrupt.interrupted();
  int exitCode = stopped ? 1 : 0;
  {
    SavePhase saves(interrupt);
    if (options.json) {
      Json document;
      document["drive"] = driveLine;
      document["ripping"] = rippingJson(f);
      document["status"] = app.statusLog().lines();
      if (!saves.writeText(*options.json, document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n"))
        exitCode = 1;
    }
    if (options.saveReport) {
      const std::string report = formatRippingReport(app.driveFacts(drive, drive), panel.typeText, panel.lengthText,
                                                     rippingTextLines(f), reportTime(app.clock().wallTime()));
      if (!saves.writeText(*options.saveReport, report)) exitCode = 1;
    }
  }
  // After the files, as a run's record; a failure is one more status line.
  if (app.recorder().enabled()) app.recordRipping(f, stopped, app.driveFacts(drive, drive));
  return exitCode;
}

}  // namespace tmx::cli
