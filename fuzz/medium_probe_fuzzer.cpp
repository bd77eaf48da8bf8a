// A drive whose every answer to the medium probe comes from the input: GET
// CONFIGURATION, READ DISC STRUCTURE, READ CAPACITY, GET PERFORMANCE, SET
// STREAMING and SET CD SPEED. The medium reported holds together whatever the
// replies say, and nothing is read outside the buffers the commands own.
#include "medium_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmx;
  fuzz::ByteReader in(std::span<const uint8_t>(data, size));
  const uint8_t speed = in.byte();
  AspiTransport transport([&in] {
    auto manager = std::make_unique<ScsiManager>();
    manager->addAdapter(std::make_unique<fuzz::FuzzedDrive>(in));
    return manager;
  });
  if (transport.LoadAspiManager() == 0) std::abort();
  DriveCommands commands(transport);
  fuzz::runMediumSession(commands, speed);
  return 0;
}
