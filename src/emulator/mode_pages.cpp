#include "emulator/mode_pages.h"

#include "emulator/byte_order.h"

namespace tmx::emu {
namespace {

constexpr uint8_t kPageErrorRecovery = 0x01;
constexpr uint8_t kPageCapabilities = 0x2A;
constexpr uint8_t kAllPages = 0x3F;

void appendErrorRecoveryPage(std::vector<uint8_t>& out, bool changeable) {
  // Byte 2: error recovery flags; byte 3: read retry count.
  out.insert(out.end(), {kPageErrorRecovery, 0x0A, 0x00, static_cast<uint8_t>(changeable ? 0xFF : 0x05), 0, 0, 0,
                         0, 0, 0, 0, 0});
  if (changeable) out[out.size() - 10] = 0xFF;
}

void appendCapabilitiesPage(std::vector<uint8_t>& out, const ModeFacts& f, bool changeable) {
  const size_t at = out.size();
  out.resize(at + 26, 0);
  if (changeable) {  // nothing in this page is changeable by MODE SELECT
    out[at] = kPageCapabilities;
    out[at + 1] = 0x18;
    return;
  }
  std::span<uint8_t> p(out.data() + at, 26);
  p[0] = kPageCapabilities;
  p[1] = 0x18;
  p[2] = static_cast<uint8_t>(0x03 | f.dvdReadFlags);  // reads CD-R and CD-RW
  p[3] = 0x00;  // writes nothing
  p[4] = 0x71;  // audio play, mode 2 form 1 and 2, multisession
  p[5] = static_cast<uint8_t>((f.cddaCommands ? 0x01 : 0) | (f.accurateStream ? 0x02 : 0) | (f.c2Pointers ? 0x10 : 0));
  p[6] = 0x29;  // tray, eject, lock
  p[7] = 0x03;  // separate volume and mute
  putBe16(p, 8, f.maxReadKBps);
  putBe16(p, 10, 256);  // volume levels
  putBe16(p, 12, f.bufferKiB);
  putBe16(p, 14, f.currentReadKBps);
}

}  // namespace

ModeReply modeSenseReply(const ModeSenseRequest& r, const ModeFacts& f) {
  if (r.pageControl == 3) return sense::kSavingNotSupported;
  if (r.pageCode != kPageErrorRecovery && r.pageCode != kPageCapabilities && r.pageCode != kAllPages) {
    return sense::kInvalidFieldInCdb;
  }
  const bool changeable = r.pageControl == 1;
  const size_t header = r.ten ? 8 : 4;
  std::vector<uint8_t> out(header, 0);
  out[r.ten ? 2 : 1] = f.mediumType;
  if (!r.disableBlockDescriptors) {
    out[r.ten ? 7 : 3] = 8;
    const size_t at = out.size();
    out.resize(at + 8, 0);
    out[at] = changeable ? 0xFF : f.block.density;
    putBe24(out, at + 5, changeable ? 0xFFFFFF : f.block.blockLength);
  }
  if (r.pageCode == kPageErrorRecovery || r.pageCode == kAllPages) appendErrorRecoveryPage(out, changeable);
  if (r.pageCode == kPageCapabilities || r.pageCode == kAllPages) appendCapabilitiesPage(out, f, changeable);
  if (r.ten) {
    putBe16(out, 0, static_cast<uint32_t>(out.size() - 2));
  } else {
    out[0] = static_cast<uint8_t>(out.size() - 1);
  }
  return out;
}

std::variant<BlockMode, Sense> parseModeSelectList(std::span<const uint8_t> list, bool ten, BlockMode current,
                                                    bool c2Allowed) {
  const size_t header = ten ? 8 : 4;
  if (list.size() < header) return sense::kParameterLengthError;
  const uint32_t descriptorLength = ten ? be16(list, 6) : list[3];
  if (descriptorLength == 0) return current;
  if (descriptorLength != 8 || list.size() < header + 8) return sense::kParameterLengthError;
  const auto d = list.subspan(header, 8);
  const BlockMode wanted{d[0], be24(d, 5)};
  const bool rawDensity = wanted.density == 0x00 || wanted.density == 0x82;
  const bool ok = (wanted.blockLength == 2048 && wanted.density == 0x00) ||
                  (wanted.blockLength == 2352 && rawDensity) ||
                  (wanted.blockLength == 2646 && rawDensity && c2Allowed);
  if (!ok) return sense::kInvalidFieldInParameters;
  return wanted;
}

}  // namespace tmx::emu
