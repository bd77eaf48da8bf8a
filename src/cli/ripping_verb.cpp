#include "cli/ripping_verb.h"

#include <cstdio>

#include "cli/save_phase.h"
#include "ripping/ripping_check.h"
#include "ripping/ripping_text.h"
#include "results/safe_text.h"
#include "results/text_report.h"

namespace tmx::cli {
namespace {

using Json = nlohmann::ordered_json;

template <typename T>
Json orNull(const std::optional<T>& v) {
  return v ? Json(*v) : Json(nullptr);
}

Json partJson(const PartStatus& p) {
  Json j;
  j["ran"] = p.ran;
  j["skipped"] = p.skipped.empty() ? Json(nullptr) : Json(p.skipped);
  j["cutOff"] = p.cutOff.empty() ? Json(nullptr) : Json(p.cutOff);
  return j;
}

Json commandsJson(const RippingFeatures& f) {
  Json list = Json::array();
  for (const ReadCommandAnswer& a : f.commands) {
    Json c;
    c["opcode"] = a.opcode;
    c["name"] = readCommandName(a.opcode);
    c["returnsAudio"] = orNull(a.returnsAudio);
    c["c2"] = orNull(a.c2);
    c["c2BlockErrors"] = orNull(a.c2BlockErrors);
    c["rawPw"] = orNull(a.rawPw);
    c["formattedQ"] = orNull(a.formattedQ);
    c["c2Offset"] = orNull(a.c2Offset);
    c["subchannelOffset"] = orNull(a.subOffset);
    list.push_back(std::move(c));
  }
  return list;
}

Json c2Json(const C2Answer& c) {
  Json j;
  j["supported"] = orNull(c.supported);
  j["formatBytes"] = orNull(c.formatBytes);
  j["flaggedDiffering"] = orNull(c.flaggedDiffering);
  j["flaggedIdentical"] = orNull(c.flaggedIdentical);
  j["differingUnflagged"] = orNull(c.differingUnflagged);
  j["shiftBytes"] = orNull(c.shiftBytes);
  j["rereads"] = c.rereads;
  j["scannedTo"] = orNull(c.scannedTo);
  Json examined = Json::array();
  for (const LbaRange& r : c.examined) examined.push_back(Json{{"first", r.first}, {"count", r.count}});
  j["examined"] = std::move(examined);
  j["judgement"] = c.judgement.empty() ? Json(nullptr) : Json(c.judgement);
  return j;
}

Json speedJson(const SpeedAnswer& s) {
  Json j;
  j["atLba"] = s.atLba;
  Json settings = Json::array();
  for (const SpeedSetting& x : s.settings) {
    settings.push_back(Json{{"requestedX", x.requestedX == 0 ? Json("max") : Json(x.requestedX)},
                            {"measuredX", orNull(x.measuredX)}});
  }
  j["settings"] = std::move(settings);
  const char* names[] = {"obeyed", "ignored", "capped"};
  j["verdict"] = s.verdict ? Json(names[static_cast<int>(*s.verdict)]) : Json(nullptr);
  j["capX"] = orNull(s.capX);
  return j;
}

}  // namespace

Json rippingJson(const RippingFeatures& f) {
  Json j;
  j["disc"] = f.discKind;
  j["readCommands"] = commandsJson(f);
  j["cache"] = Json{{"caches", orNull(f.cache.caches)},         {"sizeKB", orNull(f.cache.sizeKB)},
                    {"flushDistance", orNull(f.cache.flushDistance)}, {"notFlushedUpTo", orNull(f.cache.notFlushedUpTo)},
                    {"rereadMs", orNull(f.cache.rereadMs)},      {"discMs", orNull(f.cache.discMs)}};
  j["accurateStream"] = Json{{"accurate", orNull(f.stream.accurate)}, {"passes", f.stream.passes},
                             {"largestJumpFrames", orNull(f.stream.largestJumpFrames)}};
  j["c2"] = c2Json(f.c2);
  j["overread"] = Json{{"leadIn", orNull(f.overread.leadIn)}, {"leadOut", orNull(f.overread.leadOut)}};
  j["speedControl"] = speedJson(f.speed);
  j["parts"] = Json{{"readCommands", partJson(f.readPart)}, {"cache", partJson(f.cachePart)},
                    {"accurateStream", partJson(f.streamPart)}, {"c2", partJson(f.c2Part)},
                    {"overread", partJson(f.overreadPart)},      {"speedControl", partJson(f.speedPart)}};
  j["verdict"] = f.verdict;
  j["claims"] = f.verdictClaims;
  return j;
}

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

  int exitCode = interrupt.interrupted() ? 1 : 0;
  SavePhase saves(interrupt);
  if (options.json) {
    Json document;
    document["drive"] = driveLine;
    document["ripping"] = rippingJson(f);
    document["status"] = app.statusLog().lines();
    if (!saves.writeText(*options.json, document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n")) exitCode = 1;
  }
  if (options.saveReport) {
    const std::string report = formatRippingReport(app.driveFacts(drive, drive), panel.typeText, panel.lengthText,
                                                   rippingTextLines(f), reportTime(app.clock().wallTime()));
    if (!saves.writeText(*options.saveReport, report)) exitCode = 1;
  }
  return exitCode;
}

}  // namespace tmx::cli
