// A drive whose every answer comes from the input: status, sense and reply
// bytes, command after command. The drive scan, the disc probe and the whole
// command set run against it; nothing may read or write outside the buffers
// the commands own, and the probe must report only what the replies hold.
#include "drive_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  const fuzz::SessionChoices choices = fuzz::readChoices(in);
  fuzz::withFuzzedDrive(in, [&](DriveCommands& commands) { fuzz::runSession(commands, choices); });
  return 0;
}
