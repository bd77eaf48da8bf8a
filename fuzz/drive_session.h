// The drive session the session fuzzer runs and its input layout, shared with
// the seed writer, which records the emulated drives' answers in that layout.
//
// Input: a fixed prefix of choices (kChoiceBytes), then the drive's answers,
// one per command in the order the session sends them. Each answer is an
// outcome byte (bits 0-1: good, check condition with key/ASC/ASCQ from the
// next three bytes, no device, host timeout; bit 2: report the bytes moved;
// bit 3: a 16-bit reply length), the reply length and the reply.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "drive/aspi_transport.h"
#include "drive/disc_probe.h"
#include "drive/drive_commands.h"
#include "drive/drive_discovery.h"
#include "fuzz_bytes.h"
#include "platform/aspi_codes.h"
#include "platform/scsi_manager.h"

namespace tmx::fuzz {

inline constexpr size_t kSessionReads = 8;
inline constexpr size_t kChoiceBytes = 4 + 2 * kSessionReads + 2;

struct SessionChoices {
  uint32_t lba = 0;
  int blockMode = 0;
  std::array<std::pair<uint8_t, uint8_t>, kSessionReads> reads{};  // command, count
  uint16_t speed = 0xFFFF;
};

inline SessionChoices readChoices(ByteReader& in) {
  SessionChoices c;
  c.lba = static_cast<uint32_t>(in.u16()) << 8 | in.byte();
  c.blockMode = in.byte() % 4;
  for (auto& [command, count] : c.reads) {
    command = in.byte();
    count = in.byte();
  }
  c.speed = in.u16();
  return c;
}

inline void writeChoices(const SessionChoices& c, std::vector<uint8_t>& out) {
  out.push_back(static_cast<uint8_t>(c.lba >> 16));
  out.push_back(static_cast<uint8_t>(c.lba >> 8));
  out.push_back(static_cast<uint8_t>(c.lba));
  out.push_back(static_cast<uint8_t>(c.blockMode));
  for (const auto& [command, count] : c.reads) {
    out.push_back(command);
    out.push_back(count);
  }
  out.push_back(static_cast<uint8_t>(c.speed >> 8));
  out.push_back(static_cast<uint8_t>(c.speed));
}

// Drives answer at targets 0 and 5 of the first adapter.
inline bool sessionTarget(uint8_t target) { return target == 0 || target == 5; }

// An exhausted input answers every command with "no medium".
class FuzzedDrive final : public HostAdapter {
 public:
  explicit FuzzedDrive(ByteReader& in) : in_(in) {}
  std::string identifier() const override { return "FUZZ"; }
  std::string description() const override { return "fuzzed drive"; }
  std::string driverName() const override { return "fuzz"; }

  ScsiResult execute(const ScsiCommand& command) override {
    if (!sessionTarget(command.target)) {
      return ScsiResult{aspi::kNoDevice, aspi::kHaSelectionTimeout, 0, {}, 0, -1};
    }
    if (in_.empty()) return checkCondition(0x02, 0x3A, 0x00);
    const uint8_t outcome = in_.byte();
    ScsiResult result{aspi::kComplete, 0, 0, {}, 0, -1};
    switch (outcome & 0x03) {
      case 1: {
        const uint8_t key = in_.byte();
        const uint8_t asc = in_.byte();
        result = checkCondition(key, asc, in_.byte());
        break;
      }
      case 2: return ScsiResult{aspi::kNoDevice, aspi::kHaSelectionTimeout, 0, {}, 0, -1};
      case 3: return ScsiResult{aspi::kInvalidCommand, aspi::kHaTimeout, 0, {}, 0, -1};
      default: break;
    }
    const size_t length = (outcome & 0x08) != 0 ? in_.u16() : in_.byte();
    const auto reply = in_.take(length);
    if (command.direction == DataDirection::In) {
      const size_t n = std::min(reply.size(), command.data.size());
      std::copy_n(reply.begin(), n, command.data.begin());
      if ((outcome & 0x04) != 0) result.transferred = static_cast<int64_t>(n);
    }
    return result;
  }

 private:
  static ScsiResult checkCondition(uint8_t key, uint8_t asc, uint8_t ascq) {
    ScsiResult r{aspi::kError, 0, aspi::kTargetCheckCondition, {}, 18, -1};
    r.sense[0] = 0x70;
    r.sense[2] = key;
    r.sense[7] = 10;
    r.sense[12] = asc;
    r.sense[13] = ascq;
    return r;
  }
  ByteReader& in_;
};

inline bool knownStatus(AspiStatus status) {
  return status == aspi::kComplete || status == aspi::kError || status == aspi::kNoDevice ||
         status == aspi::kInvalidCommand || status == kAspiNotSent;
}

inline void runCommands(DriveCommands& commands, DriveAddress drive, const SessionChoices& choices) {
  RecordingStatusSink status;
  DiscProbe probe(commands, status);
  const DiscPanel panel = probe.refreshDiscPanel(drive);
  require(panel.kind >= kDiscUnknown && panel.kind <= kDiscMixed);
  require(panel.testsEnabled == (!panel.blank && (panel.kind == kDiscData || panel.kind == kDiscAudio)));
  require(!panel.blank || panel.typeText == kBlankTypeText);
  probe.readDiscLength(drive);

  int maximum = -1, current = -1, c2 = -1;
  require(knownStatus(commands.ModeSenseSpeeds(drive, maximum, current)));
  require(maximum >= 0 && maximum <= 0xFFFF && current >= 0 && current <= 0xFFFF);
  commands.ModeSenseC2Support(drive, c2);
  require(c2 == 0 || c2 == 0x10);

  // The drive check's replies: ATIP and disc information into prefilled
  // buffers, the full TOC, pages 01h and 2Ah through both MODE SENSE forms.
  std::vector<uint8_t> atip(32, 0x66);
  commands.ReadTocPmaAtip(drive, 4, 0, static_cast<uint16_t>(atip.size()), atip.data());
  if (const auto fields = parseAtip(atip)) require(!fields->a1 || fields->leadOut);
  std::vector<uint8_t> info(4, 0x66);
  commands.ReadDiscInformation(drive, static_cast<uint16_t>(info.size()), info.data());
  parseDiscInformation(info);
  std::array<uint8_t, 3000> fullToc{};
  commands.ReadToc(drive, 2, static_cast<uint16_t>(fullToc.size()), fullToc.data());
  require(discTypeFromFullToc(fullToc) <= 255);
  std::vector<uint8_t> page;
  for (ModeHeader header : {ModeHeader::Six, ModeHeader::Ten}) {
    for (uint8_t code : {uint8_t{0x01}, uint8_t{0x2A}}) {
      require(knownStatus(commands.ModeSensePage(drive, header, code, 30, page)));
      // No more than the allocation past the header: 30 bytes of page and a block descriptor.
      require(page.empty() || ((page[0] & 0x3F) == code && page.size() <= 30 + 8));
      capabilitiesFromPage(page);
    }
  }

  // Seeks, block modes and reads of any length, past the 25-block limit too.
  const uint32_t lba = choices.lba;
  require(knownStatus(commands.Seek(drive, lba)));
  require(knownStatus(commands.ModeSelectBlockMode(drive, choices.blockMode)));
  // Read data is never parsed, so one buffer serves every run (allocating
  // 66 KB per run costs more than the rest of the session).
  static std::vector<uint8_t> buffer(kMaxBlocksPerRead * kBlockAudioC2);
  for (const auto& [which, countByte] : choices.reads) {
    const uint32_t count = countByte % 32;
    AspiStatus s = kAspiNotSent;
    switch (which % 8) {
      case 0: s = commands.Read10(drive, lba, count, buffer.data()); break;
      case 1: s = commands.Read12(drive, lba, count, buffer.data()); break;
      case 2: s = commands.ReadCdda(drive, lba, count, buffer.data()); break;
      case 3: s = commands.ReadCdAudio(drive, lba, count, buffer.data()); break;
      case 4: s = commands.ReadCd(drive, 0xFA, lba, count, kBlockAudioC2, buffer.data()); break;
      case 5: s = commands.Read10Sized(drive, lba, count, kBlockAudio, buffer.data()); break;
      case 6: s = commands.SetReadSpeed(drive, choices.speed); break;
      default: s = commands.StopUnit(drive); break;
    }
    require(knownStatus(s));
  }
}

// Runs `session` on a transport whose drives answer from `in`.
template <typename Session>
void withFuzzedDrive(ByteReader& in, Session&& session) {
  AspiTransport transport([&in] {
    auto manager = std::make_unique<ScsiManager>();
    manager->addAdapter(std::make_unique<FuzzedDrive>(in));
    return manager;
  });
  if (transport.LoadAspiManager() == 0) std::abort();
  DriveCommands commands(transport);
  session(commands);
}

// The whole session: the scan, then the commands at the first drive found.
inline void runSession(DriveCommands& commands, const SessionChoices& choices) {
  DriveTable table;
  const std::vector<std::string> lines = scanDrives(commands, table);
  require(static_cast<int>(lines.size()) == table.count && table.count <= 2);
  runCommands(commands, table.count > 0 ? table.selectedDrive() : DriveAddress{0, 0}, choices);
}

}  // namespace tmx::fuzz
