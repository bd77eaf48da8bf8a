// Writes the fuzz targets' seed corpora from the emulated drives' answers:
// each preset's replies for the reply parsers, a recorded drive session and
// medium probe per preset, sense in both formats, and a configuration file
// per preset.
//   seed_writer OUTDIR   (creates OUTDIR/<target>/<seed>)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "drive_session.h"
#include "medium_session.h"
#include "emulator/presets.h"
#include "platform/clock.h"

namespace {

using namespace tmx;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void writeSeed(const fs::path& dir, const std::string& name, const Bytes& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
}

struct Answer {
  ScsiResult result;
  Bytes reply;  // as far as the drive says it moved data, else the whole buffer
};

Answer ask(HostAdapter& adapter, uint8_t target, const Bytes& cdb, size_t length) {
  Answer a;
  a.reply.assign(length, 0);
  ScsiCommand command;
  command.target = target;
  command.cdb = cdb;
  command.direction = length == 0 ? DataDirection::None : DataDirection::In;
  command.data = a.reply;
  a.result = adapter.execute(command);
  if (a.result.transferred >= 0) a.reply.resize(static_cast<size_t>(a.result.transferred));
  return a;
}

// Forwards the session's drive at target 0 to one emulated target and writes
// every answer in the session fuzzer's input layout. Read data is cut short:
// the session checks buffers, not sector contents.
class RecordingAdapter final : public HostAdapter {
 public:
  RecordingAdapter(HostAdapter& inner, uint8_t target, Bytes& out) : inner_(inner), target_(target), out_(out) {}
  std::string identifier() const override { return "RECORDER"; }
  std::string description() const override { return "recorder"; }
  std::string driverName() const override { return "recorder"; }

  ScsiResult execute(const ScsiCommand& command) override {
    if (!fuzz::sessionTarget(command.target)) return ScsiResult{aspi::kNoDevice, aspi::kHaSelectionTimeout, 0, {}, 0, -1};
    if (command.target != 0) {
      out_.push_back(2);
      return ScsiResult{aspi::kNoDevice, aspi::kHaSelectionTimeout, 0, {}, 0, -1};
    }
    ScsiCommand forwarded = command;
    forwarded.target = target_;
    const ScsiResult result = inner_.execute(forwarded);
    uint8_t outcome = 0;
    if (result.status == aspi::kError) {
      outcome = 1;
    } else if (result.status != aspi::kComplete) {
      out_.push_back(result.status == aspi::kNoDevice ? 2 : 3);
      return result;
    }
    size_t length = command.direction == DataDirection::In ? command.data.size() : 0;
    if (result.transferred >= 0) length = std::min(length, static_cast<size_t>(result.transferred));
    const uint8_t opcode = command.cdb.empty() ? 0 : command.cdb[0];
    if (opcode == 0x28 || opcode == 0xA8 || opcode == 0xBE || opcode == 0xD8) length = std::min<size_t>(length, 64);
    if (result.transferred >= 0) outcome |= 0x04;
    if (length > 255) outcome |= 0x08;
    out_.push_back(outcome);
    if (outcome & 0x01) {
      out_.push_back(result.sense[2]);
      out_.push_back(result.sense[12]);
      out_.push_back(result.sense[13]);
    }
    if (length > 255) out_.push_back(static_cast<uint8_t>(length >> 8));
    out_.push_back(static_cast<uint8_t>(length));
    out_.insert(out_.end(), command.data.begin(), command.data.begin() + static_cast<std::ptrdiff_t>(length));
    return result;
  }

 private:
  HostAdapter& inner_;
  uint8_t target_;
  Bytes& out_;
};

// The input that replays `run` against the drive: `prefix`, then its answers.
Bytes record(HostAdapter& emulated, uint8_t target, Bytes prefix, const std::function<void(DriveCommands&)>& run) {
  Bytes out = std::move(prefix);
  AspiTransport transport([&] {
    auto manager = std::make_unique<ScsiManager>();
    manager->addAdapter(std::make_unique<RecordingAdapter>(emulated, target, out));
    return manager;
  });
  transport.LoadAspiManager();
  DriveCommands commands(transport);
  run(commands);
  return out;
}

Bytes recordSession(HostAdapter& emulated, uint8_t target, const fuzz::SessionChoices& choices) {
  Bytes prefix;
  fuzz::writeChoices(choices, prefix);
  return record(emulated, target, prefix, [&](DriveCommands& commands) { fuzz::runSession(commands, choices); });
}

// The DVD and BD replies: features, each structure the disc has, performance.
void writeMmcSeeds(HostAdapter& adapter, uint8_t t, const std::string& name, const fs::path& out) {
  const auto keep = [&](const char* dir, const std::string& seed, const Bytes& cdb, size_t length) {
    const Answer a = ask(adapter, t, cdb, length);
    if (a.result.status == aspi::kComplete) writeSeed(out / dir, seed, a.reply);
  };
  keep("configuration", name + "-all", {0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x00, 0}, 2048);
  keep("configuration", name + "-current", {0x46, 1, 0, 0, 0, 0, 0, 0x08, 0x00, 0}, 2048);
  for (const auto& [media, format, suffix] : {std::tuple{0, 0x00, "-pfi"}, std::tuple{0, 0x0E, "-prepit"},
                                              std::tuple{0, 0x11, "-adip"}, std::tuple{0, 0xFF, "-list"},
                                              std::tuple{1, 0x00, "-di"}}) {
    keep("disc_structure", name + suffix,
         {0xAD, static_cast<uint8_t>(media), 0, 0, 0, 0, 0, static_cast<uint8_t>(format), 0x10, 0x04, 0, 0}, 4100);
  }
  keep("performance", name, {0xAC, 0x10, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0}, 8 + 16 * 16);
  writeSeed(out / "medium_probe", name,
            record(adapter, t, {8}, [](DriveCommands& commands) { fuzz::runMediumSession(commands, 8); }));
}

// An SG_IO outcome in the sense fuzzer's layout, with the sense as given.
Bytes senseOutcome(uint8_t status, uint8_t driverStatus, const Bytes& sense) {
  Bytes b{0, status, 0, driverStatus, 0, 0, 0x08, 0x00, static_cast<uint8_t>(sense.size())};
  b.insert(b.end(), sense.begin(), sense.end());
  return b;
}

Bytes descriptorSense(const ScsiResult& r) {
  // Key, ASC, ASCQ in the header, then an information descriptor of the LBA.
  Bytes d{0x72, static_cast<uint8_t>(r.sense[2] & 0x0F), r.sense[12], r.sense[13], 0, 0, 0, 12,
          0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, r.sense[3], r.sense[4], r.sense[5], r.sense[6]};
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: seed_writer OUTDIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  VirtualClock clock;
  const auto adapter = emu::makePresetAdapter(clock);
  int count = 0;
  for (const emu::PresetSlot& slot : emu::presetLayout()) {
    const uint8_t t = slot.target;
    const std::string name = slot.preset.empty() ? "disk" : slot.preset;
    writeSeed(out / "inquiry", name, ask(*adapter, t, {0x12, 0, 0, 0, 56, 0}, 56).reply);
    writeSeed(out / "read_capacity", name, ask(*adapter, t, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8).reply);
    writeSeed(out / "read_toc", name + "-tracks", ask(*adapter, t, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804).reply);
    writeSeed(out / "read_toc", name + "-full", ask(*adapter, t, {0x43, 0, 2, 0, 0, 0, 0, 0x0B, 0xB8, 0x80}, 3000).reply);
    writeSeed(out / "read_toc", name + "-atip", ask(*adapter, t, {0x43, 0, 4, 0, 0, 0, 0, 0, 32, 0}, 32).reply);
    const Bytes discInformation = ask(*adapter, t, {0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0}, 34).reply;
    writeSeed(out / "disc_information", name, discInformation);
    // The drive check's target: a split byte, the disc information, then one reply.
    Bytes check{static_cast<uint8_t>(discInformation.size())};
    check.insert(check.end(), discInformation.begin(), discInformation.end());
    const Bytes atip = ask(*adapter, t, {0x43, 0, 4, 0, 0, 0, 0, 0, 32, 0}, 32).reply;
    check.insert(check.end(), atip.begin(), atip.end());
    writeSeed(out / "drive_check_replies", name + "-atip", check);
    Bytes tracks{0};
    const Bytes toc = ask(*adapter, t, {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804).reply;
    tracks.insert(tracks.end(), toc.begin(), toc.end());
    writeSeed(out / "drive_check_replies", name + "-tracks", tracks);
    for (uint8_t page : {uint8_t{0x01}, uint8_t{0x2A}}) {
      const std::string suffix = page == 0x01 ? "-01" : "-2a";
      writeSeed(out / "mode_sense", name + "-6" + suffix, ask(*adapter, t, {0x1A, 0x08, page, 0, 30, 0}, 30).reply);
      writeSeed(out / "mode_sense", name + "-10" + suffix,
                ask(*adapter, t, {0x5A, 0x08, page, 0, 0, 0, 0, 0, 30, 0}, 30).reply);
      writeSeed(out / "mode_sense", name + "-10dbd0" + suffix,
                ask(*adapter, t, {0x5A, 0x00, page, 0, 0, 0, 0, 0, 30, 0}, 30).reply);
      writeSeed(out / "mode_sense", name + "-6dbd0" + suffix,
                ask(*adapter, t, {0x1A, 0x00, page, 0, 42, 0}, 42).reply);
    }
    // Sense of a refused command and of a read past the end of the disc.
    const ScsiResult refused = ask(*adapter, t, {0x0B, 0, 0, 0, 0, 0}, 0).result;
    const ScsiResult pastEnd = ask(*adapter, t, {0x28, 0, 0x7F, 0, 0, 0, 0, 0, 1, 0}, 2048).result;
    for (const ScsiResult* r : {&refused, &pastEnd}) {
      const std::string which = r == &refused ? "-refused" : "-past-end";
      writeSeed(out / "sg_io_sense", name + which + "-fixed",
                senseOutcome(2, 0x08, Bytes(r->sense.begin(), r->sense.end())));
      writeSeed(out / "sg_io_sense", name + which + "-descriptor", senseOutcome(2, 0x08, descriptorSense(*r)));
    }
    if (!slot.preset.empty()) {
      writeMmcSeeds(*adapter, t, name, out);
      fuzz::SessionChoices choices;
      choices.lba = 1000;
      choices.blockMode = 1;
      for (size_t i = 0; i < fuzz::kSessionReads; ++i) choices.reads[i] = {static_cast<uint8_t>(i), 1};
      choices.speed = 0x1B90;
      writeSeed(out / "drive_session", name, recordSession(*adapter, t, choices));
      const std::string json = "{\"adapter\": \"SEED\", \"drives\": [{\"target\": " + std::to_string(t) +
                               ", \"preset\": \"" + slot.preset + "\"}]}\n";
      writeSeed(out / "emulator_config", name, Bytes(json.begin(), json.end()));
    }
    ++count;
  }
  std::printf("seed_writer: seeds of %d emulated devices in %s\n", count, out.c_str());
  return 0;
}
