// The ripping-features check against the emulated drives' truth: every CD
// preset in virtual time (the whole check, its drive time), then in real time
// on the monotonic clock the parts whose answers rest on timings, the audio
// cache and speed control (the C2 scan is left out: it reads the whole disc).
//
//   bench_ripping [--virtual-only]
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "drive/drive_commands.h"
#include "emulator/emulated_adapter.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "ripping/ripping_check.h"

namespace {

using namespace tmx;

struct Outcome {
  RippingFeatures features;
  double driveSeconds = 0;
};

Outcome runOn(Clock& clock, const emu::Preset& preset, RippingOptions options) {
  emu::EmulatedAdapter* emulated = nullptr;
  AspiTransport transport([&] {
    auto manager = std::make_unique<ScsiManager>();
    auto adapter = std::make_unique<emu::EmulatedAdapter>(clock);
    emulated = adapter.get();
    manager->addAdapter(std::move(adapter));
    return manager;
  });
  transport.LoadAspiManager();
  DriveCommands commands(transport);
  emu::DriveModel* d = emulated->attachDrive(0, preset.profile, preset.disc, preset.seed);
  RippingCheck check(commands, DriveAddress{0, 0}, clock, RippingDisc{d->disc()->isAudio(0) ? 1 : 0, d->disc()->capacity()},
                     options, {});
  const int64_t start = clock.nowNs();
  Outcome o{check.run(), 0};
  o.driveSeconds = static_cast<double>(clock.nowNs() - start) / 1e9;
  return o;
}

std::string cacheText(const CacheAnswer& c) {
  if (!c.caches) return "not measured";
  if (!*c.caches) return "none";
  char t[96];
  std::snprintf(t, sizeof t, "%.0f KB, %s", c.sizeKB.value_or(NAN),
                c.flushDistance ? ("flush " + std::to_string(*c.flushDistance)).c_str() : "never");
  return t;
}

std::string truthCache(const emu::GroundTruth& truth) {
  if (truth.cacheSectors() == 0) return "none";
  char t[96];
  std::snprintf(t, sizeof t, "%.0f KB, %s", truth.cacheKB(),
                truth.cacheFlushSectors() > 0 ? ("flush " + std::to_string(truth.cacheFlushSectors())).c_str() : "never");
  return t;
}

std::string speedText(const SpeedAnswer& s) {
  if (!s.verdict) return "not judged";
  if (*s.verdict == SpeedVerdict::Capped) return "capped " + std::to_string(std::lround(s.capX.value_or(0))) + "X";
  return *s.verdict == SpeedVerdict::Obeyed ? "obeyed" : "ignored";
}

std::string truthSpeed(const emu::GroundTruth& truth) {
  switch (truth.speedControl()) {
    case emu::GroundTruth::SpeedControl::Obeyed: return "obeyed";
    case emu::GroundTruth::SpeedControl::Ignored: return "ignored";
    case emu::GroundTruth::SpeedControl::Capped: return "capped " + std::to_string(std::lround(truth.speedCapX())) + "X";
  }
  return "";
}

void report(const char* mode, const emu::Preset& preset, const Outcome& o) {
  emu::DriveModel model(preset.profile, preset.disc, preset.seed);
  const emu::GroundTruth truth(model);
  const RippingFeatures& f = o.features;
  std::printf("%-7s %-16s %6.1f s  cache %-22s truth %-22s speed %-11s truth %-11s", mode, preset.name.c_str(),
              o.driveSeconds, cacheText(f.cache).c_str(), truthCache(truth).c_str(), speedText(f.speed).c_str(),
              truthSpeed(truth).c_str());
  if (f.c2.flaggedDiffering) {
    std::printf(" C2 %d/%d/%d shift %d", *f.c2.flaggedDiffering, *f.c2.flaggedIdentical, *f.c2.differingUnflagged,
                f.c2.shiftBytes.value_or(0));
  }
  if (f.overread.leadIn) std::printf(" overread %d/%d truth %d/%d", *f.overread.leadIn, f.overread.leadOut.value_or(-1),
                                     truth.leadInSectors(), truth.leadOutSectors());
  std::printf("\n  %s\n", f.verdict.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const bool virtualOnly = argc > 1 && std::strcmp(argv[1], "--virtual-only") == 0;
  const char* cds[] = {"cav52-audio74", "clv16-data74", "pcav32-audio80", "zclv48-cdr-ty", "cav40-cdrw"};
  RippingOptions full;
  full.overread = true;
  for (const char* name : cds) {
    VirtualClock clock;
    const auto preset = emu::findPreset(name);
    report("virtual", *preset, runOn(clock, *preset, full));
  }
  if (virtualOnly) return 0;
  RippingOptions timed;
  timed.c2 = false;
  for (const char* name : cds) {
    RealClock clock;
    const auto preset = emu::findPreset(name);
    report("real", *preset, runOn(clock, *preset, timed));
  }
  return 0;
}
