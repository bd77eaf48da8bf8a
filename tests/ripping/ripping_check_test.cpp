// The ripping-features check on every emulated CD preset in virtual time,
// each answer against the model's truth; a hanging command cut off; Stop
// setting the speed back; the default drive's whole check within 3 minutes.
#include <gtest/gtest.h>

#include <memory>

#include "drive/drive_commands.h"
#include "emulator/emulated_adapter.h"
#include "emulator/faults.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "engine/ripping_worker.h"
#include "platform/scsi_manager.h"
#include "ripping/ripping_check.h"

namespace tmx {
namespace {

class RippingRig {
 public:
  RippingRig()
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<emu::EmulatedAdapter>(clock);
          emulated = adapter.get();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }
  emu::DriveModel& attach(const std::string& name, const std::vector<std::string>& faults = {}) {
    auto p = emu::findPreset(name);
    emu::DriveModel* d = emulated->attachDrive(0, p->profile, p->disc, p->seed);
    for (const auto& spec : faults) d->faults().add(std::get<emu::Fault>(emu::parseFault(spec)));
    return *d;
  }
  RippingDisc discOf(const emu::DriveModel& d) const {
    return RippingDisc{d.disc()->isAudio(0) ? 1 : 0, d.disc()->capacity()};
  }
  RippingFeatures run(const emu::DriveModel& d, RippingOptions options = overread()) {
    RippingHooks hooks;
    hooks.status = [this](const std::string& line) { lines.push_back(line); };
    RippingCheck check(commands, DriveAddress{0, 0}, clock, discOf(d), options, hooks);
    const int64_t start = clock.nowNs();
    RippingFeatures f = check.run();
    driveSeconds = static_cast<double>(clock.nowNs() - start) / 1e9;
    return f;
  }
  static RippingOptions overread() {
    RippingOptions o;
    o.overread = true;
    return o;
  }

  VirtualClock clock;
  emu::EmulatedAdapter* emulated = nullptr;
  AspiTransport transport;
  DriveCommands commands;
  std::vector<std::string> lines;
  double driveSeconds = 0;
};

void expectCommands(const RippingFeatures& f, const emu::GroundTruth& truth) {
  ASSERT_EQ(f.commands.size(), 3u);
  for (const ReadCommandAnswer& a : f.commands) {
    SCOPED_TRACE(a.opcode);
    const bool reads = a.opcode == 0xBE ? truth.readsCd() : a.opcode == 0xB9 ? truth.readsCdMsf() : truth.readsCdda();
    EXPECT_EQ(a.returnsAudio, reads);
    if (!reads) continue;
    EXPECT_EQ(a.rawPw, (truth.subchannels(a.opcode) & emu::kSubRawPw) != 0);
    EXPECT_EQ(a.formattedQ, (truth.subchannels(a.opcode) & emu::kSubFormattedQ) != 0);
    if (a.opcode == 0xD8) continue;
    EXPECT_EQ(a.c2, truth.c2Pointers());
    EXPECT_EQ(a.c2BlockErrors, truth.c2BlockErrorByte());
    if (truth.c2Pointers()) {
      EXPECT_EQ(a.c2Offset, 2352u);
    }
  }
}

void expectCache(const RippingFeatures& f, const emu::GroundTruth& truth) {
  ASSERT_TRUE(f.cache.caches.has_value());
  EXPECT_EQ(*f.cache.caches, truth.cacheSectors() > 0);
  if (truth.cacheSectors() == 0) return;
  ASSERT_TRUE(f.cache.sizeKB.has_value());
  EXPECT_NEAR(*f.cache.sizeKB, truth.cacheKB(), truth.cacheKB() * 0.10);
  if (truth.cacheFlushSectors() > 0) {
    EXPECT_EQ(f.cache.flushDistance, truth.cacheFlushSectors());
  } else {
    EXPECT_EQ(f.cache.flushDistance, std::nullopt);
    EXPECT_TRUE(f.cache.notFlushedUpTo.has_value());
  }
}

void expectC2(const RippingFeatures& f, const emu::GroundTruth& truth, const emu::Disc& disc) {
  EXPECT_EQ(f.c2.supported, truth.c2Pointers());
  if (!truth.c2Pointers()) return;
  EXPECT_EQ(f.c2.formatBytes, truth.c2BlockErrorByte() ? 296 : 294);
  if (disc.spec().damage.empty()) {
    EXPECT_EQ(f.c2.flaggedDiffering, std::nullopt);
    EXPECT_NE(f.c2.judgement.find("could not be judged"), std::string::npos);
    return;
  }
  emu::GroundTruth::C2Counts expected;
  for (const LbaRange& r : f.c2.examined) {
    const auto c = truth.c2Counts(r.first, r.count);
    expected.flaggedDiffering += c.flaggedDiffering;
    expected.flaggedIdentical += c.flaggedIdentical;
    expected.differingUnflagged += c.differingUnflagged;
  }
  ASSERT_FALSE(f.c2.examined.empty());
  EXPECT_EQ(f.c2.flaggedDiffering, expected.flaggedDiffering);
  EXPECT_EQ(f.c2.flaggedIdentical, expected.flaggedIdentical);
  EXPECT_EQ(f.c2.differingUnflagged, expected.differingUnflagged);
  EXPECT_EQ(f.c2.shiftBytes, truth.c2ShiftBytes());
}

void expectSpeed(const RippingFeatures& f, const emu::GroundTruth& truth) {
  ASSERT_TRUE(f.speed.verdict.has_value());
  EXPECT_EQ(static_cast<int>(*f.speed.verdict), static_cast<int>(truth.speedControl()));
  if (truth.speedControl() == emu::GroundTruth::SpeedControl::Capped) {
    EXPECT_NEAR(f.speed.capX.value_or(0), truth.speedCapX(), truth.speedCapX() * 0.10);
  }
}

class EveryCdPreset : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryCdPreset, EachAnswerEqualsTheTruth) {
  RippingRig rig;
  emu::DriveModel& drive = rig.attach(GetParam());
  const emu::GroundTruth truth(drive);
  const double speedBefore = drive.speedLimitX();
  const RippingFeatures f = rig.run(drive);
  expectCommands(f, truth);
  expectCache(f, truth);
  expectC2(f, truth, *drive.disc());
  expectSpeed(f, truth);
  EXPECT_EQ(f.overread.leadIn, truth.leadInSectors());
  EXPECT_EQ(f.overread.leadOut, truth.leadOutSectors());
  if (drive.disc()->isAudio(0)) {
    EXPECT_EQ(f.stream.accurate, truth.exactAudio());
  } else {
    EXPECT_EQ(f.stream.accurate, std::nullopt);
    EXPECT_FALSE(f.streamPart.skipped.empty());
  }
  EXPECT_EQ(drive.speedLimitX(), speedBefore) << "the speed is set back";
  EXPECT_FALSE(f.verdict.empty());
}

INSTANTIATE_TEST_SUITE_P(Presets, EveryCdPreset,
                         ::testing::Values("cav52-audio74", "clv16-data74", "pcav32-audio80", "zclv48-cdr-ty",
                                           "cav40-cdrw"));

// The check's view of the drive's clock, late now and then as a busy host
// reads it: from the start of the cache part, every `every`th reading comes
// `lateNs` later than the one before, `count` times. The check reads the
// clock three times a command (its time limit, the start, the end): an
// `every` divisible by 3 makes one command in every/3 answer late.
class LateClock final : public Clock {
 public:
  LateClock(Clock& inner, int every, int count, int64_t lateNs)
      : inner_(inner), every_(every), left_(count), lateNs_(lateNs) {}
  void arm() { armedAt_ = calls_; }
  int hiccups() const { return done_; }
  int64_t counter() override { return inner_.counter(); }
  int64_t counterFrequency() const override { return inner_.counterFrequency(); }
  uint32_t tickMs() override { return inner_.tickMs(); }
  int64_t nowNs() override {
    ++calls_;
    if (armedAt_ >= 0 && left_ > 0 && (calls_ - armedAt_) % every_ == 0) {
      offset_ += lateNs_;
      --left_;
      ++done_;
    }
    return inner_.nowNs() + offset_;
  }
  void sleepUntilNs(int64_t t) override { inner_.sleepUntilNs(t - offset_); }
  std::time_t wallTime() override { return inner_.wallTime(); }

 private:
  Clock& inner_;
  int every_, left_;
  int64_t lateNs_;
  int64_t calls_ = 0, armedAt_ = -1, offset_ = 0;
  int done_ = 0;
};

// A re-read answered late looks like a miss; the cache's size and flush
// distance still come out as the model has them.
TEST(RippingCheck, LateAnswersOnABusyHostLeaveTheCacheAnswersTrue) {
  for (int every : {15, 21, 27, 33}) {
    SCOPED_TRACE(every);
    RippingRig rig;
    emu::DriveModel& drive = rig.attach("clv16-data74");
    const emu::GroundTruth truth(drive);
    LateClock late(rig.clock, every, 40, 30'000'000);
    RippingHooks hooks;
    hooks.status = [&late](const std::string& line) {
      if (line == "Audio cache...") late.arm();
    };
    RippingOptions options;
    options.c2 = false;
    RippingCheck check(rig.commands, DriveAddress{0, 0}, late, rig.discOf(drive), options, hooks);
    const RippingFeatures f = check.run();
    EXPECT_EQ(late.hiccups(), 40);
    expectCache(f, truth);
  }
}

TEST(RippingCheck, DefaultDriveWithinThreeMinutesOfDriveTime) {
  RippingRig rig;
  emu::DriveModel& drive = rig.attach("cav52-audio74");
  const RippingFeatures f = rig.run(drive);
  EXPECT_LT(rig.driveSeconds, 180.0);
  EXPECT_EQ(f.verdict, "No audio cache; C2 pointers reliable; accurate stream");
}

TEST(RippingCheck, ADvdIsRefusedWithALineAndNoCommand) {
  RippingRig rig;
  auto p = emu::findPreset("cav16-dvdrom");
  emu::DriveModel* d = rig.emulated->attachDrive(0, p->profile, p->disc, p->seed);
  d->faults().add(std::get<emu::Fault>(emu::parseFault("hang@BE*all")));
  RippingHooks hooks;
  hooks.status = [&rig](const std::string& line) { rig.lines.push_back(line); };
  RippingCheck check(rig.commands, DriveAddress{0, 0}, rig.clock, RippingDisc{0, d->disc()->capacity(), false}, {}, hooks);
  const int64_t start = rig.clock.nowNs();
  const RippingFeatures f = check.run();
  EXPECT_EQ(rig.clock.nowNs(), start) << "nothing sent";
  ASSERT_EQ(rig.lines.size(), 1u);
  EXPECT_EQ(rig.lines[0], "Ripping features: not a CD: a DVD or BD has no audio, C2 pointers or sub-channel");
  EXPECT_FALSE(f.c2Part.skipped.empty());
  EXPECT_EQ(f.c2.supported, std::nullopt);
}

TEST(RippingCheck, AMixedDiscRunsWhatMeansSomethingThereAndSaysWhatItSkipped) {
  RippingRig rig;
  emu::DiscSpec disc;
  disc.content = emu::DiscContent::Mixed;
  disc.sectors = 60'000;
  disc.tracks = 4;
  emu::DriveModel* d = rig.emulated->attachDrive(0, emu::DriveProfile{}, disc);
  RippingHooks hooks;
  hooks.status = [&rig](const std::string& line) { rig.lines.push_back(line); };
  RippingCheck check(rig.commands, DriveAddress{0, 0}, rig.clock, RippingDisc{2, d->disc()->capacity()}, {}, hooks);
  const RippingFeatures f = check.run();
  EXPECT_EQ(f.discKind, "mixed");
  EXPECT_EQ(f.streamPart.skipped, "not an audio disc");
  EXPECT_EQ(rig.lines.front(),
            "A mixed disc: the accurate stream test is skipped (it needs audio); the other parts read raw sectors");
  EXPECT_EQ(f.commands[0].returnsAudio, true) << "raw sectors of any type";
  EXPECT_EQ(f.cache.caches, false);
  EXPECT_EQ(f.speed.verdict, SpeedVerdict::Obeyed);
}

TEST(RippingCheck, APartPastItsTimeLimitSaysSo) {
  RippingRig rig;
  emu::DriveModel& drive = rig.attach("clv16-data74");  // its cache takes a while to size
  RippingOptions options;
  options.partSeconds = 0.5;
  options.c2ScanSeconds = 1;
  const RippingFeatures f = rig.run(drive, options);
  EXPECT_EQ(f.cachePart.cutOff, "its time limit ran out");
  EXPECT_EQ(f.cache.sizeKB, std::nullopt) << "cut off before the size was found: no figure";
  EXPECT_LT(f.c2.scannedTo.value_or(0), 333'000);
  EXPECT_EQ(f.c2.flaggedDiffering, std::nullopt);
  EXPECT_NE(f.c2.judgement.find("the scan's time ran out"), std::string::npos) << f.c2.judgement;
  EXPECT_LT(rig.driveSeconds, 15.0);
}

TEST(RippingCheck, AHangingCommandCutsItsPartOff) {
  RippingRig rig;
  emu::DriveModel& drive = rig.attach("cav52-audio74", {"hang@B9"});
  const RippingFeatures f = rig.run(drive);
  EXPECT_NE(f.readPart.cutOff.find("did not answer"), std::string::npos) << f.readPart.cutOff;
  EXPECT_FALSE(f.readPart.ran);
  ASSERT_GE(f.commands.size(), 2u);
  EXPECT_EQ(f.commands[1].returnsAudio, std::nullopt) << "no answer is no verdict";
  EXPECT_TRUE(f.cachePart.ran) << "the other parts go on";
}

TEST(RippingCheck, StopMidCheckSetsTheSpeedBackAndLeavesTheBlockMode) {
  RippingRig rig;
  emu::DriveModel& drive = rig.attach("cav52-audio74");
  DriveCommands& c = rig.commands;
  ASSERT_EQ(c.SetReadSpeed(DriveAddress{0, 0}, 16 * 177), kAspiSuccess);
  ASSERT_EQ(c.ModeSelectBlockMode(DriveAddress{0, 0}, BlockModeAudio), kAspiSuccess);
  const auto blockBefore = drive.blockMode().blockLength;
  RippingWorker worker;
  RippingHooks hooks;
  hooks.status = [&worker](const std::string& line) {
    if (line.find("4X: read at") != std::string::npos) worker.requestStop();
  };
  ASSERT_TRUE(worker.start(c, DriveAddress{0, 0}, rig.clock, rig.discOf(drive), RippingOptions{}, hooks));
  worker.wait();
  const RippingFeatures f = worker.result();
  EXPECT_EQ(f.speedPart.cutOff, "stopped");
  ASSERT_FALSE(f.speed.settings.empty());
  EXPECT_EQ(drive.speedLimitX(), 16);
  EXPECT_EQ(drive.blockMode().blockLength, blockBefore);
}

}  // namespace
}  // namespace tmx
