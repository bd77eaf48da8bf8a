// Writes the ground-truth table of the preset emulated drives from the model,
// as the program would report each figure, and keeps docs/emulated-drives.md
// in step with it:
//   tmx_truth_table                 prints the generated block
//   tmx_truth_table --check FILE    exit 1 when FILE's block differs
//   tmx_truth_table --update FILE   rewrites FILE's block
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drive/medium.h"
#include "emulator/ground_truth.h"
#include "emulator/presets.h"
#include "engine/workers.h"
#include "platform/clock.h"
#include "results/app_settings.h"
#include "results/test_results.h"

namespace {

using namespace tmx;

constexpr const char* kBegin = "<!-- BEGIN generated truth table: tmx_truth_table --update docs/emulated-drives.md -->";
constexpr const char* kEnd = "<!-- END generated truth table -->";

// The rules of the engine the figures depend on, besides its exported ones:
// the seek test refuses discs under 70 minutes, the spin test reads for 5 s
// from kSpinLba before it stops the disc, and the CD quality check adds a
// read's C2 errors (15 sectors a read) to the map entry of the next read
// that starts on a 900-sector boundary.
constexpr int32_t kSeekMinimumSectors = 315'000;
constexpr double kSpinBusySeconds = 5.0;
constexpr int32_t kQualityReadSectors = 15;
constexpr int32_t kQualityBlockSectors = 900;

std::string fixed(double value, int decimals, const char* unit) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit);
  return text;
}

// What the transfer test shows for a zone: the mean of its timed reads (the
// first read of each zone, which may include a seek, is not timed).
double zoneMeanX(const emu::GroundTruth& truth, int zone) {
  return truth.averageSpeedX(zone * kSectorsPerZone + 25, kSectorsPerZone - 25);
}

int32_t spinDownLba(const emu::GroundTruth& truth) {
  double seconds = 0;
  int32_t lba = kSpinLba + 1;
  while (seconds < kSpinBusySeconds) {
    if (lba + 25 > truth.capacity()) lba = 0;
    seconds += 25.0 / truth.sectorsPerSecond1x() / truth.averageSpeedX(lba, 25);
    lba += 25;
  }
  return lba;
}

// Sectors whose C2 pointers stay silent (a drive that misses errors) leave no mark.
std::string qualityMapEntries(const emu::GroundTruth& truth, const emu::Disc& disc) {
  std::vector<int32_t> entries;
  for (int32_t lba = 0; lba < disc.capacity(); ++lba) {
    const emu::SectorDamage d = disc.damageAt(lba);
    if (!d.unreadable && d.badBytes == 0) continue;
    const auto c2 = truth.c2Counts(lba, 1);
    if (!d.unreadable && c2.flaggedDiffering + c2.flaggedIdentical == 0) continue;
    const int32_t read = lba - lba % kQualityReadSectors;
    const int32_t entry = (read + kQualityBlockSectors - 1) / kQualityBlockSectors;
    if (entries.empty() || entries.back() != entry) entries.push_back(entry);
  }
  if (entries.empty()) return "-";
  std::string text;
  for (size_t i = 0; i < entries.size();) {
    size_t j = i;
    while (j + 1 < entries.size() && entries[j + 1] == entries[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += std::to_string(entries[i]);
    if (j > i) text += "-" + std::to_string(entries[j]);
    i = j + 1;
  }
  return text;
}

std::string rpmRange(const emu::GroundTruth& truth, int32_t outer) {
  const long inner = std::lround(truth.rpmAt(0));
  const long last = std::lround(truth.rpmAt(outer));
  return inner == last ? std::to_string(inner) : std::to_string(inner) + ".." + std::to_string(last);
}

std::string row(uint8_t target, const emu::DriveModel& drive, const AppSettings& settings) {
  const emu::GroundTruth truth(drive);
  const emu::Disc& disc = *drive.disc();
  const int32_t lastZone = lastZoneFor(truth.capacity());
  double sum = 0;
  for (int zone = 0; zone <= lastZone; ++zone) sum += zoneMeanX(truth, zone);

  const std::string rpm = rpmRange(truth, truth.capacity() - 1);

  std::string seeks = "refused | refused | refused";
  if (truth.capacity() >= kSeekMinimumSectors) {
    std::vector<int32_t> random, third, full;
    for (int i = 0; i < 100; ++i) {
      random.push_back(seekTarget(0, i));
      third.push_back(seekTarget(1, i));
      full.push_back(seekTarget(2, i));
    }
    seeks = fixed(truth.averageSeekMs(0, random), 0, " ms") + " | " +
            fixed(truth.averageSeekMs(random.back(), third), 0, " ms") + " | " +
            fixed(truth.averageSeekMs(0, full), 0, " ms");
  }
  const bool data = !disc.isAudio(0);
  const double burstMBps = truth.burstKBps(burstSectors(settings.burstLengthKB), data ? 2048 : 2352) / 1024.0;

  std::ostringstream line;
  line << "| " << int{target} << " | " << truth.rotationName() << " | " << (data ? "data" : "audio") << " | "
       << fixed(zoneMeanX(truth, 0), 1, "X") << " | " << fixed(zoneMeanX(truth, lastZone), 1, "X") << " | "
       << fixed(sum / (lastZone + 1), 1, "X") << " | " << rpm << " | " << seeks << " | "
       << fixed(truth.spinUpMs(kSpinLba) / 1000.0, 2, " s") << " | "
       << fixed(truth.spinDownMs(spinDownLba(truth)) / 1000.0, 2, " s") << " | " << fixed(burstMBps, 1, " MB/s")
       << " | " << (truth.exactAudio() ? "yes" : "no") << " | " << (truth.c2Pointers() ? "yes" : "no") << " | "
       << truth.damagedSectors() << " | " << qualityMapEntries(truth, disc) << " |\n";
  return line.str();
}

// Seeks alternating between LBA 0 and `far`, as the seek test times them.
double alternatingSeekMs(const emu::GroundTruth& truth, int32_t far) {
  std::vector<int32_t> targets;
  for (int i = 0; i < 100; ++i) targets.push_back(i % 2 == 0 ? far : 0);
  return truth.averageSeekMs(0, targets);
}

// A DVD or BD: speeds in its medium's X at the places that shape its curve.
std::string mmcRow(uint8_t target, const emu::DriveModel& drive, const AppSettings& settings) {
  const emu::GroundTruth truth(drive);
  const int32_t last = truth.capacity() - 1;
  const int32_t layerBreak = truth.layerBreak();
  const int32_t outer = layerBreak > 0 && truth.oppositeTrackPath() ? layerBreak - 1 : last;
  std::string layers = std::to_string(truth.layers());
  if (layerBreak > 0) layers += truth.oppositeTrackPath() ? " OTP" : " PTP";
  std::ostringstream line;
  line << "| " << int{target} << " | " << profileName(truth.profile()) << " | " << layers << " | " << truth.capacity()
       << " | " << (layerBreak > 0 ? std::to_string(layerBreak) : std::string("-")) << " | " << truth.rotationName()
       << " | " << fixed(truth.speedXAt(0), 2, "X") << " | "
       << (layerBreak > 0 ? fixed(truth.speedXAt(layerBreak - 1), 2, "X") : std::string("-")) << " | "
       << fixed(truth.speedXAt(last), 2, "X") << " | " << fixed(truth.averageSpeedX(0, truth.capacity()), 2, "X")
       << " | " << fixed(truth.fastestSpeedX(), 2, "X") << " | " << rpmRange(truth, outer) << " | "
       << fixed(alternatingSeekMs(truth, truth.capacity() / 3), 0, " ms") << " | "
       << fixed(alternatingSeekMs(truth, last), 0, " ms") << " | "
       << fixed(truth.spinUpMs(kSpinLba) / 1000.0, 2, " s") << " | "
       << fixed(truth.spinDownMs(spinDownLba(truth)) / 1000.0, 2, " s") << " | "
       << fixed(truth.burstKBps(burstSectors(settings.burstLengthKB), 2048) / 1024.0, 1, " MB/s") << " |\n";
  return line.str();
}

std::string subText(uint8_t bits) {
  if (bits == 0) return "none";
  std::string t = (bits & emu::kSubRawPw) ? "P-W" : "";
  if (bits & emu::kSubFormattedQ) t += t.empty() ? "Q" : "+Q";
  return t;
}

std::string readsText(bool reads, uint8_t opcode, const emu::GroundTruth& truth) {
  return reads ? subText(truth.subchannels(opcode)) : "refused";
}

// What the ripping check should find: read commands with their sub-channel,
// C2, cache, overread, speed control, and the C2 counts over the damage.
std::string rippingRow(uint8_t target, const emu::DriveModel& drive) {
  const emu::GroundTruth truth(drive);
  const emu::Disc& disc = *drive.disc();
  std::ostringstream line;
  const std::string c2 = !truth.c2Pointers() ? "none" : truth.c2BlockErrorByte() ? "294, 296" : "294";
  std::string cache = "none", flush = "-";
  if (truth.cacheSectors() > 0) {
    cache = fixed(truth.cacheKB(), 0, " KB");
    flush = truth.cacheFlushSectors() > 0 ? std::to_string(truth.cacheFlushSectors()) + " sectors" : "never";
  }
  const char* speed[] = {"obeyed", "ignored", "capped"};
  std::string control = speed[static_cast<int>(truth.speedControl())];
  if (truth.speedControl() == emu::GroundTruth::SpeedControl::Capped) control += " at " + fixed(truth.speedCapX(), 0, "X");
  std::string counts = "-";
  if (!disc.spec().damage.empty()) {
    const auto c = truth.c2Counts(0, disc.capacity());
    counts = std::to_string(c.flaggedDiffering) + " / " + std::to_string(c.flaggedIdentical) + " / " +
             std::to_string(c.differingUnflagged);
  }
  line << "| " << int{target} << " | " << readsText(truth.readsCd(), 0xBE, truth) << " | "
       << readsText(truth.readsCdMsf(), 0xB9, truth) << " | " << readsText(truth.readsCdda(), 0xD8, truth) << " | "
       << c2 << " | " << cache << " | " << flush << " | " << truth.leadInSectors() << " | " << truth.leadOutSectors()
       << " | " << control << " | " << counts << " | " << (truth.c2Pointers() ? std::to_string(truth.c2ShiftBytes()) : "-")
       << " |\n";
  return line.str();
}

std::string generatedBlock() {
  VirtualClock clock;
  const auto adapter = emu::makePresetAdapter(clock);
  const AppSettings settings;
  std::string block = std::string(kBegin) + "\n\n";
  block += "| Target | Type | Disc | Start | End | Average | RPM inner..outer | Random | 1/3 | Full | Spin-up | Spin-down | "
           "Burst | Exact audio | C2 | Damaged sectors | Quality map entries |\n";
  block += "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  std::string mmc, ripping;
  for (const emu::PresetSlot& slot : emu::presetLayout()) {
    const emu::DriveModel* drive = adapter->drive(slot.target);
    if (drive == nullptr || drive->disc() == nullptr || drive->disc()->capacity() <= 0) continue;
    if (drive->disc()->family() == emu::DiscFamily::Cd) {
      block += row(slot.target, *drive, settings);
      ripping += rippingRow(slot.target, *drive);
    } else {
      mmc += mmcRow(slot.target, *drive, settings);
    }
  }
  block += "\nDVD and BD, speeds in X of the medium:\n\n";
  block += "| Target | Medium | Layers | Capacity | Layer break | Type | Start | Break | End | Average | Fastest | "
           "RPM inner..outer | 1/3 | Full | Spin-up | Spin-down | Burst |\n";
  block += "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  block += mmc;
  block += "\nRipping features of the CD presets (sub-channel per read command; C2 counts over the whole disc: flagged "
           "and different / flagged but identical / different without a flag):\n\n";
  block += "| Target | READ CD | READ CD MSF | D8h | C2 | Cache | Emptied by a read | Lead-in | Lead-out | Speed settings | "
           "C2 counts | C2 shift |\n";
  block += "|---|---|---|---|---|---|---|---|---|---|---|---|\n";
  block += ripping + "\n" + std::string(kEnd);
  return block;
}

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string block = generatedBlock();
  if (argc == 1) {
    std::printf("%s\n", block.c_str());
    return 0;
  }
  const std::string mode = argv[1];
  if (argc != 3 || (mode != "--check" && mode != "--update")) {
    std::fprintf(stderr, "usage: tmx_truth_table [--check FILE | --update FILE]\n");
    return 2;
  }
  std::string text;
  if (!readFile(argv[2], text)) {
    std::fprintf(stderr, "tmx_truth_table: cannot read %s\n", argv[2]);
    return 2;
  }
  const size_t begin = text.find(kBegin);
  const size_t end = text.find(kEnd, begin == std::string::npos ? 0 : begin);
  if (begin == std::string::npos || end == std::string::npos) {
    std::fprintf(stderr, "tmx_truth_table: %s has no generated block (%s ... %s)\n", argv[2], kBegin, kEnd);
    return 1;
  }
  const std::string current = text.substr(begin, end + std::string(kEnd).size() - begin);
  if (current == block) return 0;
  if (mode == "--check") {
    std::fprintf(stderr,
                 "tmx_truth_table: the table in %s disagrees with the emulator model; run\n"
                 "  tmx_truth_table --update %s\nGenerated:\n%s\n",
                 argv[2], argv[2], block.c_str());
    return 1;
  }
  text.replace(begin, current.size(), block);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << text;
  return out ? 0 : 1;
}
