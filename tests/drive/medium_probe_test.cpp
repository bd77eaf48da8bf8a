// Which medium a drive holds, from scripted drives that refuse, hang or
// answer, and the speeds read and set in the medium's X.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "drive/medium_probe.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;

ScsiResult timedOut() { return ScsiResult{aspi::kInvalidCommand, aspi::kHaTimeout, 0, {}, 0, -1}; }

// A drive answering each opcode from a table; anything else is refused.
class ProbeRig {
 public:
  using Answer = std::function<ScsiResult(const ScsiCommand&, std::span<uint8_t>)>;

  ProbeRig()
      : transport([this] {
          auto adapter = std::make_unique<testing::ScriptedAdapter>(&sent);
          adapter->at(0, [this](const ScsiCommand& c, std::span<uint8_t> data) {
            const auto it = answers.find(c.cdb[0]);
            return it == answers.end() ? testing::checkCondition(5, 0x20, 0) : it->second(c, data);
          });
          auto manager = std::make_unique<ScsiManager>();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }

  void reply(uint8_t opcode, Bytes bytes) {
    answers[opcode] = [bytes](const ScsiCommand&, std::span<uint8_t> data) {
      testing::fill(data, bytes);
      return testing::good();
    };
  }
  std::vector<uint8_t> opcodes() const {
    std::vector<uint8_t> ops;
    for (const auto& c : sent) ops.push_back(c.cdb[0]);
    return ops;
  }

  std::map<uint8_t, Answer> answers;
  std::vector<testing::SentCommand> sent;
  AspiTransport transport;
  DriveCommands commands;
  const DriveAddress drive{0, 0};
};

Bytes featureHeader(uint16_t profile) {
  return {0, 0, 0, 4, 0, 0, static_cast<uint8_t>(profile >> 8), static_cast<uint8_t>(profile)};
}

Bytes capacity(uint32_t sectors) {
  const uint32_t last = sectors - 1;
  return {static_cast<uint8_t>(last >> 24), static_cast<uint8_t>(last >> 16), static_cast<uint8_t>(last >> 8),
          static_cast<uint8_t>(last), 0, 0, 0x08, 0};
}

Bytes dvdPlusRDlStructure() {
  Bytes r(4 + 2048, 0);
  r[0] = 0x08;
  r[1] = 0x02;
  r[4] = 0xE1;
  r[6] = 0x32;  // two layers, opposite track path, recordable
  r[9] = 0x03;  // start PSN 030000h
  r[13] = 0xFC, r[14] = 0xFF, r[15] = 0xFF;
  r[17] = 0x22, r[18] = 0xD7, r[19] = 0xFF;
  return r;
}

TEST(ProbeMedium, DrivesWithoutDvdOrBdHoldACd) {
  {
    ProbeRig rig;  // refuses GET CONFIGURATION, as drives before MMC-3
    rig.reply(0x25, capacity(333'000));
    const Medium m = probeMedium(rig.commands, rig.drive);
    EXPECT_EQ(m.kind, MediumKind::CD);
    EXPECT_EQ(m.profile, kProfileNone);
    EXPECT_EQ(m.profileName, "");
    EXPECT_EQ(m.layers, 1);
    EXPECT_EQ(m.capacitySectors, 333'000);
    EXPECT_EQ(rig.opcodes(), (std::vector<uint8_t>{0x46, 0x25}));
    EXPECT_EQ(rig.sent[0].cdb, (Bytes{0x46, 0x01, 0, 0, 0, 0, 0, 0, 8, 0}));
  }
  {
    ProbeRig rig;  // hangs: cut off by the timeout and not asked again
    rig.answers[0x46] = [](const ScsiCommand&, std::span<uint8_t>) { return timedOut(); };
    rig.reply(0x25, capacity(279'000));
    const Medium m = probeMedium(rig.commands, rig.drive);
    EXPECT_EQ(m.kind, MediumKind::CD);
    EXPECT_EQ(m.capacitySectors, 279'000);
    EXPECT_EQ(rig.opcodes(), (std::vector<uint8_t>{0x46, 0x25}));
  }
  for (const auto& [profile, name] : std::vector<std::pair<uint16_t, std::string>>{
           {0x0009, "CD-R"}, {0x0050, "Profile 0050h"}, {0x0021, "Profile 0021h"}}) {
    ProbeRig rig;  // a CD profile, and ones the program does not know
    rig.reply(0x46, featureHeader(profile));
    rig.reply(0x25, {0xFF, 0xFF, 0xFF, 0x69, 0, 0, 0x08, 0});
    const Medium m = probeMedium(rig.commands, rig.drive);
    EXPECT_EQ(m.kind, MediumKind::CD) << name;
    EXPECT_EQ(m.profile, profile);
    EXPECT_EQ(m.profileName, name);
    EXPECT_EQ(m.capacitySectors, 0) << "a blank disc has no length";
    EXPECT_EQ(rig.opcodes(), (std::vector<uint8_t>{0x46, 0x25})) << "no disc structure of a CD";
  }
}

TEST(ProbeMedium, DvdLayersFromThePhysicalFormat) {
  ProbeRig rig;
  rig.reply(0x46, featureHeader(0x002B));
  rig.reply(0xAD, dvdPlusRDlStructure());
  rig.reply(0x25, capacity(4'173'824));
  const Medium m = probeMedium(rig.commands, rig.drive);
  EXPECT_EQ(m.kind, MediumKind::DVD);
  EXPECT_EQ(m.profileName, "DVD+R DL");
  EXPECT_EQ(m.layers, 2);
  EXPECT_TRUE(m.oppositeTrackPath);
  EXPECT_EQ(m.layerBreakLba, 2'086'912);
  EXPECT_EQ(m.capacitySectors, 4'173'824);
  EXPECT_EQ(rig.sent[1].cdb, (Bytes{0xAD, 0x00, 0, 0, 0, 0, 0, 0x00, 0x08, 0x04, 0, 0}));
}

TEST(ProbeMedium, AStructureThatDoesNotComeLeavesTheProfileAlone) {
  for (bool hang : {true, false}) {
    ProbeRig rig;
    rig.reply(0x46, featureHeader(0x0015));
    if (hang) rig.answers[0xAD] = [](const ScsiCommand&, std::span<uint8_t>) { return timedOut(); };
    rig.reply(0x25, capacity(4'171'712));
    const Medium m = probeMedium(rig.commands, rig.drive);
    EXPECT_EQ(m.kind, MediumKind::DVD);
    EXPECT_EQ(m.profileName, "DVD-R DL");
    EXPECT_EQ(m.layers, 1) << "single layer when the structure is unknown";
    EXPECT_FALSE(m.layerBreakLba);
    EXPECT_EQ(m.capacitySectors, 4'171'712);
  }
}

TEST(ProbeMedium, AUnitAttentionIsAskedOnceMore) {
  ProbeRig rig;
  int calls = 0;
  rig.answers[0x46] = [&calls](const ScsiCommand&, std::span<uint8_t> data) {
    if (++calls == 1) return testing::checkCondition(6, 0x28, 0);
    testing::fill(data, featureHeader(0x0010));
    return testing::good();
  };
  rig.reply(0x25, capacity(2'295'104));
  const Medium m = probeMedium(rig.commands, rig.drive);
  EXPECT_EQ(m.kind, MediumKind::DVD);
  EXPECT_EQ(m.layers, 1);
  EXPECT_EQ(calls, 2);
}

TEST(ProbeMedium, BdLayersFromTheDiscInformation) {
  ProbeRig rig;
  rig.reply(0x46, featureHeader(0x0040));
  Bytes di(4 + 4096, 0);
  di[0] = 0x10;
  di[1] = 0x02;
  for (int layer = 0; layer < 2; ++layer) {
    const size_t at = 4 + 112 * static_cast<size_t>(layer);
    di[at] = 'D', di[at + 1] = 'I', di[at + 3] = static_cast<uint8_t>(0x10 | layer);
    di[at + 8] = 'B', di[at + 9] = 'D', di[at + 10] = 'O';
    di[at + 12] = 0x20;
    di[at + 25] = 0x10;                                          // first AUN 00100000h
    di[at + 29] = 0xCA, di[at + 30] = 0x73, di[at + 31] = 0xFE;      // last AUN 00CA73FEh
  }
  rig.reply(0xAD, di);
  rig.reply(0x25, capacity(24'438'784));
  const Medium m = probeMedium(rig.commands, rig.drive);
  EXPECT_EQ(m.kind, MediumKind::BD);
  EXPECT_EQ(m.profileName, "BD-ROM");
  EXPECT_EQ(m.layers, 2);
  EXPECT_TRUE(m.oppositeTrackPath);
  EXPECT_EQ(m.layerBreakLba, 12'219'392);
  EXPECT_EQ(rig.sent[1].cdb, (Bytes{0xAD, 0x01, 0, 0, 0, 0, 0, 0x00, 0x10, 0x04, 0, 0}));
}

TEST(ReadSpeeds, MaximumInTheMediumsX) {
  ProbeRig rig;
  Bytes performance(8 + 16, 0);
  performance[3] = 4 + 16;
  performance[14] = 0x23, performance[15] = 0xD1;  // start 9169 KB/s
  performance[22] = 0x56, performance[23] = 0x90;  // end 22160 KB/s
  rig.reply(0xAC, performance);
  const Medium dvd{MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 2'295'104, std::nullopt};
  EXPECT_DOUBLE_EQ(maximumReadSpeedX(rig.commands, rig.drive, dvd).value(), 16.0);
  EXPECT_EQ(rig.sent.back().cdb, (Bytes{0xAC, 0x10, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0}));

  Medium bd = dvd;
  bd.kind = MediumKind::BD;
  performance[22] = 0x8C, performance[23] = 0x7C;  // 35964 KB/s
  rig.reply(0xAC, performance);
  EXPECT_DOUBLE_EQ(maximumReadSpeedX(rig.commands, rig.drive, bd).value(), 8.0);

  // A CD's maximum stays the capabilities page's.
  Bytes page(30, 0);
  page[1] = 28;
  page[8] = 0x2A, page[9] = 0x18, page[16] = 0x21, page[17] = 0x00;  // 8448 KB/s
  rig.reply(0x5A, page);
  EXPECT_DOUBLE_EQ(maximumReadSpeedX(rig.commands, rig.drive, Medium{}).value(), 48.0);

  rig.answers.erase(0xAC);
  EXPECT_FALSE(maximumReadSpeedX(rig.commands, rig.drive, dvd)) << "no GET PERFORMANCE: not known";
}

TEST(ReadSpeeds, SetByStreamingElseBySetCdSpeed) {
  ProbeRig rig;
  rig.reply(0xB6, {});
  rig.reply(0xBB, {});
  const Medium dvd{MediumKind::DVD, 0x002B, "DVD+R DL", 2, true, 4'173'824, 2'086'912};
  EXPECT_EQ(setReadSpeedX(rig.commands, rig.drive, dvd, 8), kAspiSuccess);
  ASSERT_EQ(rig.sent.size(), 1u);
  EXPECT_EQ(rig.sent[0].dataOut, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x3F, 0xAF, 0xFF, 0, 0, 0x2B, 0x48, 0, 0,
                                        0x03, 0xE8, 0, 0, 0x2B, 0x48, 0, 0, 0x03, 0xE8}))
      << "LBA 0 to the last, 11080 KB/s";

  rig.sent.clear();
  rig.answers.erase(0xB6);
  EXPECT_EQ(setReadSpeedX(rig.commands, rig.drive, dvd, 8), kAspiSuccess);
  EXPECT_EQ(rig.opcodes(), (std::vector<uint8_t>{0xB6, 0xBB}));
  EXPECT_EQ(rig.sent[1].cdb, (Bytes{0xBB, 0, 0x2B, 0x48, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));

  rig.sent.clear();
  EXPECT_EQ(setReadSpeedX(rig.commands, rig.drive, dvd, 0), kAspiSuccess);
  EXPECT_EQ(rig.sent[1].cdb[2], 0xFF) << "the maximum";
  EXPECT_EQ(rig.sent[1].cdb[3], 0xFF);

  rig.sent.clear();
  rig.answers[0xB6] = [](const ScsiCommand&, std::span<uint8_t>) { return timedOut(); };
  EXPECT_NE(setReadSpeedX(rig.commands, rig.drive, dvd, 4), kAspiSuccess);
  EXPECT_EQ(rig.opcodes(), (std::vector<uint8_t>{0xB6})) << "a drive that did not answer is not asked again";

  // CD: SET CD SPEED alone, in 176 KB/s per X.
  rig.sent.clear();
  EXPECT_EQ(setReadSpeedX(rig.commands, rig.drive, Medium{}, 16), kAspiSuccess);
  EXPECT_EQ(rig.sent[0].cdb, (Bytes{0xBB, 0, 0x0B, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
}

// Every preset probed through the whole drive path agrees with its model.
TEST(ProbeMedium, EveryPresetAsItsModelHasIt) {
  VirtualClock clock;
  emu::EmulatedAdapter* adapter = nullptr;
  AspiTransport transport([&] {
    auto manager = std::make_unique<ScsiManager>();
    auto presets = emu::makePresetAdapter(clock);
    adapter = presets.get();
    manager->addAdapter(std::move(presets));
    return manager;
  });
  transport.LoadAspiManager();
  DriveCommands commands(transport);
  for (const emu::PresetSlot& slot : emu::presetLayout()) {
    const emu::DriveModel* model = adapter->drive(slot.target);
    if (model == nullptr) continue;
    const Medium m = probeMedium(commands, DriveAddress{0, slot.target});
    const emu::GroundTruth truth(*model);
    const MediumKind kind = truth.family() == emu::DiscFamily::Dvd  ? MediumKind::DVD
                            : truth.family() == emu::DiscFamily::Bd ? MediumKind::BD
                                                                    : MediumKind::CD;
    EXPECT_EQ(m.kind, kind) << slot.preset;
    EXPECT_EQ(m.profile, model->profile().mmcProfiles.empty() ? 0 : truth.profile()) << slot.preset;
    EXPECT_EQ(m.layers, truth.layers()) << slot.preset;
    EXPECT_EQ(m.oppositeTrackPath, truth.oppositeTrackPath()) << slot.preset;
    EXPECT_EQ(m.layerBreakLba.value_or(0), truth.layerBreak()) << slot.preset;
    EXPECT_EQ(m.capacitySectors, model->disc() && !model->disc()->blank() ? truth.capacity() : 0) << slot.preset;
    if (kind != MediumKind::CD) {
      EXPECT_NEAR(maximumReadSpeedX(commands, DriveAddress{0, slot.target}, m).value(), truth.fastestSpeedX(), 0.001)
          << slot.preset;
    }
  }
}

}  // namespace
}  // namespace tmx
