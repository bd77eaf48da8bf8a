#include <gtest/gtest.h>

#include "drive/disc_probe.h"
#include "drive/drive_discovery.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ScriptedAdapter;

struct Machine {
  Machine() {
    transport = std::make_unique<AspiTransport>([this] {
      auto manager = std::make_unique<ScsiManager>();
      for (auto& adapter : pending) manager->addAdapter(std::move(adapter));
      return manager;
    });
  }
  ScriptedAdapter& addAdapter() {
    pending.push_back(std::make_unique<ScriptedAdapter>(&log));
    return *pending.back();
  }
  void load() { transport->LoadAspiManager(); }

  std::vector<testing::SentCommand> log;
  std::vector<std::unique_ptr<ScriptedAdapter>> pending;
  std::unique_ptr<AspiTransport> transport;
};

ScriptedAdapter::Device answersInquiry(Bytes reply) {
  return [reply](const ScsiCommand&, std::span<uint8_t> data) {
    testing::fill(data, reply);
    return testing::good();
  };
}

TEST(ScanDrives, ListsCdRomsInOrderAndSkipsOtherDevices) {
  Machine m;
  m.addAdapter().at(0, answersInquiry(testing::inquiryReply(0x00, "DISK", "HARD DRIVE", "1")));
  m.addAdapter()
      .at(3, answersInquiry(testing::inquiryReply(0x05, "MAKER", "CD-ROM 40X", "1.2")))
      .at(5, answersInquiry(testing::inquiryReply(0x25, "GHOST", "NOT THERE", "0")))
      .at(7, answersInquiry(testing::inquiryReply(0x05, "BLANKS", "PADDED", "    ")));
  m.load();
  DriveCommands commands(*m.transport);
  DriveTable table;
  const auto lines = scanDrives(commands, table);
  EXPECT_EQ(lines, (std::vector<std::string>{" [1:3]   MAKER CD-ROM 40X V1.2", " [1:7]   BLANKS PADDED V"}));
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.entries[0], (DriveAddress{1, 3}));
  EXPECT_EQ(table.entries[1], (DriveAddress{1, 7}));
  EXPECT_EQ(table.selected, 0);
  EXPECT_EQ(m.log.size(), 2u * 16u) << "every target of each present adapter is asked; the manager refuses the rest";
}

TEST(ScanDrives, TrimsOnlyTrailingBlanks) {
  EXPECT_EQ(TrimTrailingBlanks("  A B  "), "  A B");
  EXPECT_EQ(TrimTrailingBlanks("    "), "");
  EXPECT_EQ(TrimTrailingBlanks(""), "");
}

// One TOC descriptor per track, control byte from the kind, then the lead-out.
Bytes tocReply(const std::vector<bool>& dataTracks) {
  const int n = static_cast<int>(dataTracks.size());
  Bytes reply{0, static_cast<uint8_t>(2 + 8 * (n + 1)), 1, static_cast<uint8_t>(n)};
  for (int i = 0; i <= n; ++i) {
    const bool leadOut = i == n;
    const uint8_t control = leadOut || dataTracks[static_cast<size_t>(i)] ? 0x14 : 0x10;
    reply.insert(reply.end(), {0, control, static_cast<uint8_t>(leadOut ? 0xAA : i + 1), 0, 0, 0, 0, 0});
  }
  return reply;
}

TEST(ClassifyToc, KindFromTrackControlBytes) {
  EXPECT_EQ(classifyTocReply(tocReply({true})), kDiscData);
  EXPECT_EQ(classifyTocReply(tocReply({false, false, false})), kDiscAudio);
  EXPECT_EQ(classifyTocReply(tocReply({true, false, false})), kDiscMixed);
  EXPECT_EQ(classifyTocReply(tocReply({false, false, true})), kDiscMixed);
  EXPECT_EQ(classifyTocReply(tocReply({})), kDiscUnknown) << "the lead-out alone is not a track";
}

TEST(ClassifyToc, LyingHeadersStayInsideTheReply) {
  Bytes reply = tocReply({false});
  reply[3] = 0;  // last track below first: nothing examined
  EXPECT_EQ(classifyTocReply(reply), kDiscUnknown);

  reply = tocReply({false, true});
  reply[3] = 255;  // claims 255 tracks; only the two real descriptors and the lead-out exist
  EXPECT_EQ(classifyTocReply(reply), kDiscMixed);
  reply[1] = 10;  // data length covers only the first descriptor
  EXPECT_EQ(classifyTocReply(reply), kDiscAudio);
  EXPECT_EQ(classifyTocReply(Bytes{0, 2, 1}), kDiscUnknown);
}

TEST(FormatDiscTime, MinutesSecondsFrames) {
  EXPECT_EQ(FormatDiscTime(333000), "74:00.00");
  EXPECT_EQ(FormatDiscTime(1), " 0:00.01");
  EXPECT_EQ(FormatDiscTime(4499), " 0:59.74");
  EXPECT_EQ(FormatDiscTime(-150), " 0:-2.00");
}

struct ProbeRig {
  ProbeRig() {
    m.addAdapter().at(0, [this](const ScsiCommand& c, std::span<uint8_t> data) { return respond(c, data); });
    m.load();
  }
  ScsiResult respond(const ScsiCommand& c, std::span<uint8_t> data) {
    switch (c.cdb[0]) {
      case 0x43:
        if (toc.empty()) return testing::checkCondition(2, 0x3A, 0);
        testing::fill(data, toc);
        return testing::good();
      case 0x25:
        if (capacity.empty()) return testing::checkCondition(3, 0x02, 0x81);
        testing::fill(data, capacity);
        return testing::good();
      default:
        return testing::good();
    }
  }
  Machine m;
  Bytes toc;
  Bytes capacity;
};

TEST(DiscProbe, PanelShowsKindLengthAndEnablesTests) {
  ProbeRig rig;
  DriveCommands commands(*rig.m.transport);
  RecordingStatusSink status;
  DiscProbe probe(commands, status);

  rig.toc = tocReply({true});
  rig.capacity = {0, 0x05, 0x14, 0xC7, 0, 0, 8, 0};
  DiscPanel panel = probe.refreshDiscPanel({0, 0});
  EXPECT_EQ(panel.typeText, "Data");
  EXPECT_EQ(panel.lengthText, "74:00.00");
  EXPECT_TRUE(panel.testsEnabled);

  rig.toc = tocReply({true, false});
  panel = probe.refreshDiscPanel({0, 0});
  EXPECT_EQ(panel.typeText, "Mixed");
  EXPECT_FALSE(panel.testsEnabled);

  rig.toc.clear();
  panel = probe.refreshDiscPanel({0, 0});
  EXPECT_EQ(panel.typeText, "-");
  EXPECT_EQ(panel.lengthText, "--:--:--");
  EXPECT_FALSE(panel.testsEnabled);
  EXPECT_TRUE(status.lines.empty()) << "an unreadable TOC adds no status line";
}

TEST(DiscProbe, CapacityFailuresAndBlankDiscs) {
  ProbeRig rig;
  DriveCommands commands(*rig.m.transport);
  RecordingStatusSink status;
  DiscProbe probe(commands, status);
  rig.toc = tocReply({false});

  rig.capacity = {0, 0, 0x11, 0x93};
  EXPECT_EQ(probe.readDiscLength({0, 0}), 4500);
  rig.capacity.clear();
  EXPECT_EQ(probe.readDiscLength({0, 0}), 4500) << "a failed read keeps the stored length";
  rig.capacity = {0xFF, 0xFF, 0xFF, 0x69, 0, 0, 8, 0};
  const DiscPanel blank = probe.refreshDiscPanel({0, 0});
  EXPECT_EQ(blank.lengthText, " 0:00.00") << "before: 0:-2.00";
  EXPECT_EQ(blank.typeText, "Blank");
  EXPECT_TRUE(blank.blank);
  EXPECT_FALSE(blank.testsEnabled) << "nothing to read";
  EXPECT_EQ(status.lines,
            (std::vector<std::string>{"Error reading capacity (code 030281)", "Blank CD inserted"}));
  // REQUEST SENSE precedes READ CAPACITY.
  const auto& log = rig.m.log;
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2].cdb[0], 0x03);
  EXPECT_EQ(log.back().cdb[0], 0x25);
}

}  // namespace
}  // namespace tmx
