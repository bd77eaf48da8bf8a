// Any text as an emulated-drive configuration file: the reader either gives a
// configuration or a "FILE:LINE: problem" message, and every configuration it
// accepts builds an adapter whose drives answer the probe commands.
#include <cstdint>
#include <string_view>
#include <variant>

#include "drive/reply_parsers.h"
#include "emulator/config.h"
#include "fuzz_bytes.h"
#include "platform/aspi_codes.h"

namespace {

using namespace tmx;

ScsiResult send(emu::EmulatedAdapter& adapter, uint8_t target, std::initializer_list<uint8_t> cdb,
                std::vector<uint8_t>& reply) {
  std::fill(reply.begin(), reply.end(), 0);
  const std::vector<uint8_t> bytes(cdb);
  ScsiCommand command;
  command.target = target;
  command.cdb = bytes;
  command.direction = reply.empty() ? DataDirection::None : DataDirection::In;
  command.data = reply;
  return adapter.execute(command);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = emu::parseEmulatedConfig(text, "fuzz.json");
  if (const auto* message = std::get_if<std::string>(&parsed)) {
    fuzz::require(message->rfind("fuzz.json:", 0) == 0);
    return 0;
  }
  const emu::EmulatedConfig& config = std::get<emu::EmulatedConfig>(parsed);
  VirtualClock clock;
  const auto adapter = emu::buildAdapter(config, clock);
  fuzz::require(adapter != nullptr);
  std::vector<uint8_t> reply(804);
  std::vector<uint8_t> none;
  for (const auto& drive : config.drives) {
    const uint8_t t = drive.target;
    send(*adapter, t, {0x12, 0, 0, 0, 56, 0}, reply);
    send(*adapter, t, {0x00, 0, 0, 0, 0, 0}, none);
    if (send(*adapter, t, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, reply).status == aspi::kComplete) {
      tocTrackCounts(reply);
    }
    send(*adapter, t, {0x43, 0, 2, 0, 0, 0, 0, 0x03, 0x24, 0}, reply);
    send(*adapter, t, {0x43, 0, 4, 0, 0, 0, 0, 0, 32, 0}, reply);
    send(*adapter, t, {0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0}, reply);
    send(*adapter, t, {0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0, 30, 0}, reply);
    if (send(*adapter, t, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, reply).status == aspi::kComplete &&
        drive.disc.has_value() && drive.disc->content != emu::DiscContent::Blank && drive.disc->isoPath.empty()) {
      // The capacity the drive reports is the configured disc's length.
      const int32_t sectors = capacityFromReply(std::span<const uint8_t>(reply).first(8));
      fuzz::require(sectors >= 1);
    }
    send(*adapter, t, {0x2B, 0, 0, 0, 0x10, 0, 0, 0, 0, 0}, none);
  }
  return 0;
}
