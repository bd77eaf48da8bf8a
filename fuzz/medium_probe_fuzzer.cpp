// A drive whose every answer to the medium probe comes from the input: GET
// CONFIGURATION, READ DISC STRUCTURE, READ CAPACITY, GET PERFORMANCE, SET
// STREAMING and SET CD SPEED. The medium reported holds together whatever the
// replies say, and nothing is read outside the buffers the commands own.
#include "medium_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  const uint8_t speed = in.byte();
  fuzz::withFuzzedDrive(in, [&](DriveCommands& commands) { fuzz::runMediumSession(commands, speed); });
  return 0;
}
