// A scripted drive at 0:1 that reports its maximum and current read speed in
// mode page 2Ah and takes SET CD SPEED as its new current speed; every
// command sent is logged.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "drive/drive_commands.h"
#include "platform/scsi_manager.h"
#include "support/scripted_adapter.h"

namespace tmx::testing {

struct SpeedDrive {
  SpeedDrive()
      : transport([this] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<ScriptedAdapter>(&log);
          adapter->at(1, [this](const ScsiCommand& c, std::span<uint8_t> data) { return answer(c, data); });
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }

  ScsiResult answer(const ScsiCommand& c, std::span<uint8_t> data) {
    if (c.cdb[0] == 0xBB) {
      const int kb = c.cdb[2] << 8 | c.cdb[3];
      current = kb == 0xFFFF ? maximum : std::min(kb, maximum);
      return good();
    }
    if (!answersSpeeds) return checkCondition(5, 0x24, 0);
    std::vector<uint8_t> reply(30, 0);
    reply[1] = 28;
    reply[8] = 0x2A;
    reply[9] = 20;
    reply[16] = static_cast<uint8_t>(maximum >> 8);
    reply[17] = static_cast<uint8_t>(maximum);
    reply[22] = static_cast<uint8_t>(current >> 8);
    reply[23] = static_cast<uint8_t>(current);
    fill(data, reply);
    return good();
  }

  // The CDBs of the SET CD SPEED commands sent so far.
  std::vector<std::vector<uint8_t>> speedCommands() const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& sent : log) {
      if (sent.cdb[0] == 0xBB) out.push_back(sent.cdb);
    }
    return out;
  }

  int maximum = 5645;
  int current = 706;
  bool answersSpeeds = true;
  std::vector<SentCommand> log;
  AspiTransport transport;
  DriveCommands commands;
  const DriveAddress drive{0, 1};
};

}  // namespace tmx::testing
