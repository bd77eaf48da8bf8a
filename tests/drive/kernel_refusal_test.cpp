// A command the kernel's filter keeps from the drive (SG_IO through an sr node
// by a user who is not root), from the SG_IO outcome up to the words a user
// reads: it names the command, the node and the fix, and it counts as the
// host refusing the command, so the fallbacks still run.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "drive/command_names.h"
#include "drive/drive_commands.h"
#include "drive/request_failure.h"
#include "platform/aspi_codes.h"
#include "platform/scsi_manager.h"
#include "platform/sg_io_mapping.h"

namespace tmx {
namespace {

// An sr node whose kernel passes only the listed commands; every command it
// passes succeeds.
class FilteredNode final : public HostAdapter {
 public:
  FilteredNode(std::set<uint8_t> passed, int error, std::string path)
      : passed_(std::move(passed)), error_(error), path_(std::move(path)) {}
  std::string identifier() const override { return "sr"; }
  std::string description() const override { return "filtered node"; }
  std::string driverName() const override { return "sr"; }
  std::string devicePath(uint8_t target) const override { return target == 0 ? path_ : std::string(); }
  ScsiResult execute(const ScsiCommand& command) override {
    sent.push_back(command.cdb[0]);
    SgIoOutcome outcome;
    if (!passed_.contains(command.cdb[0])) {
      outcome.ioctlOk = false;
      outcome.error = error_;
    }
    return mapSgIoOutcome(outcome);
  }
  std::vector<uint8_t> sent;

 private:
  std::set<uint8_t> passed_;
  int error_;
  std::string path_;
};

struct Rig {
  explicit Rig(int error = EPERM, std::string path = "/dev/sr0")
      : transport([this, error, path] {
          auto manager = std::make_unique<ScsiManager>();
          auto adapter = std::make_unique<FilteredNode>(std::set<uint8_t>{0x00, 0x28, 0x2B, 0xBE}, error, path);
          node = adapter.get();
          manager->addAdapter(std::move(adapter));
          return manager;
        }),
        commands(transport) {
    transport.LoadAspiManager();
  }
  FilteredNode* node = nullptr;
  AspiTransport transport;
  DriveCommands commands;
};

TEST(KernelRefusal, NamesTheCommandTheNodeAndTheFix) {
  Rig rig;
  std::vector<uint8_t> sector(2352);
  EXPECT_NE(rig.commands.ReadCdda(DriveAddress{0, 0}, 0, 1, sector.data()), kAspiSuccess);
  const SrbExecScsiCmd& request = rig.transport.lastRequest();
  EXPECT_EQ(request.SRB_Status, aspi::kInvalidCommand);
  EXPECT_EQ(request.SRB_HaStat, aspi::kHaRefusedByKernel);
  EXPECT_TRUE(refusedByKernel(request));
  EXPECT_EQ(lastFailureCause(rig.transport),
            "The kernel refused READ CD-DA (D8h) on /dev/sr0 to a user who is not root: "
            "load the sg module (sudo modprobe sg)");
  EXPECT_EQ(requestFailureCause(request),
            "The kernel refused READ CD-DA (D8h) to a user who is not root: load the sg module (sudo modprobe sg)")
      << "without a known node";
  EXPECT_EQ(rig.commands.LastSenseCode(), 0u) << "no sense: the drive never saw it";

  // An adapter of a target it has no node for: no path in the words.
  Rig elsewhere(EPERM, "");
  elsewhere.commands.ReadCdda(DriveAddress{0, 0}, 0, 1, sector.data());
  EXPECT_EQ(lastFailureCause(elsewhere.transport), requestFailureCause(request));
}

TEST(KernelRefusal, CountsAsARefusedCommandSoTheFallbackRuns) {
  Rig rig;
  EXPECT_EQ(rig.commands.Seek(DriveAddress{0, 0}, 1000), kAspiSuccess) << "SEEK(6) filtered, SEEK(10) passed";
  EXPECT_EQ(rig.node->sent, (std::vector<uint8_t>{0x0B, 0x2B}));
  rig.commands.Seek6(DriveAddress{0, 0}, 0);
  EXPECT_TRUE(commandRefused(rig.transport.lastRequest()));

  // Other failures of the ioctl stay what they were: a host failure, no kernel refusal.
  Rig failing(EIO);
  failing.commands.Seek6(DriveAddress{0, 0}, 0);
  EXPECT_FALSE(refusedByKernel(failing.transport.lastRequest()));
  EXPECT_EQ(lastFailureCause(failing.transport), "The host adapter or its driver failed the request");
}

TEST(KernelRefusal, CommandNames) {
  EXPECT_EQ(commandName(0xD8), "READ CD-DA (D8h)");
  EXPECT_EQ(commandName(0x0B), "SEEK(6) (0Bh)");
  EXPECT_EQ(commandName(0xBB), "SET CD SPEED (BBh)");
  EXPECT_EQ(commandName(0xA3), "command A3h");
}

}  // namespace
}  // namespace tmx
