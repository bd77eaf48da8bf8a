// Which read commands return audio, with which C2 and sub-channel choices,
// and where those come in the returned sector: asked of the drive's replies,
// never of its mode pages.
#include <cstdio>
#include <vector>

#include "ripping/ripping_check.h"
#include "ripping/ripping_text.h"
#include "ripping/sector_checks.h"

namespace tmx {
namespace {

std::string yesNo(const std::optional<bool>& v) { return !v ? "not measured" : *v ? "yes" : "no"; }

}  // namespace

void RippingCheck::probeCommand(ReadCommandAnswer& a, int32_t lba) {
  std::vector<uint8_t> sector(2352 + 296 + 96);
  const auto tryRead = [&](C2Choice c2, SubChoice sub) -> std::optional<bool> {
    std::fill(sector.begin(), sector.end(), 0);
    const Timed t = send(ripRead(a.opcode, lba, 1, c2, sub), sector.data());
    if (t.sent == Sent::Ended) return std::nullopt;
    return t.sent == Sent::Ok;
  };
  const auto plain = tryRead(C2Choice::None, SubChoice::None);
  if (!plain) return;
  a.returnsAudio = *plain && holdsSignal(sector);
  if (!*a.returnsAudio) return;
  if (a.opcode != 0xD8) {
    a.c2 = tryRead(C2Choice::Pointers, SubChoice::None);
    a.c2BlockErrors = tryRead(C2Choice::WithBlockErrors, SubChoice::None);
  }
  for (SubChoice sub : {SubChoice::RawPw, SubChoice::FormattedQ}) {
    const auto ok = tryRead(C2Choice::None, sub);
    std::optional<bool>& answer = sub == SubChoice::RawPw ? a.rawPw : a.formattedQ;
    if (ok) answer = *ok && findSubchannel(sector, lba, sub).has_value();
  }
  // With C2 and sub-channel together: which comes first.
  const SubChoice both = a.rawPw.value_or(false) ? SubChoice::RawPw : SubChoice::FormattedQ;
  if (a.c2.value_or(false) && (a.rawPw.value_or(false) || a.formattedQ.value_or(false)) &&
      tryRead(C2Choice::Pointers, both).value_or(false)) {
    a.subOffset = findSubchannel(sector, lba, both);
    if (a.subOffset) a.c2Offset = *a.subOffset == 2352 ? 2352 + (both == SubChoice::RawPw ? 96 : 16) : 2352;
  } else if (a.c2.value_or(false)) {
    a.c2Offset = 2352;
  }
}

void RippingCheck::readCommandPart() {
  beginPart(f_.readPart, "Read commands");
  const int32_t lba = std::min<int32_t>(disc_.sectors / 3, 30'000);
  for (uint8_t opcode : {uint8_t{0xBE}, uint8_t{0xB9}, uint8_t{0xD8}}) {
    ReadCommandAnswer a;
    a.opcode = opcode;
    probeCommand(a, lba);
    f_.commands.push_back(a);
    char line[200];
    std::snprintf(line, sizeof line, "  %s: %s %s, C2 %s, C2 and block errors %s, raw P-W %s, Q %s", readCommandName(opcode),
                  disc_.kind == 1 ? "audio" : "raw sectors", yesNo(a.returnsAudio).c_str(), yesNo(a.c2).c_str(),
                  yesNo(a.c2BlockErrors).c_str(), yesNo(a.rawPw).c_str(), yesNo(a.formattedQ).c_str());
    status(line);
    if (a.returnsAudio.value_or(false) && audioOpcode_ == 0) audioOpcode_ = opcode;
    if (a.c2.value_or(false) && c2Opcode_ == 0) c2Opcode_ = opcode;
    if (!part_->cutOff.empty()) break;
  }
  if (audioOpcode_ == 0 && part_->cutOff.empty()) status("  No read command returns whole sectors");
  endPart(5);
}

}  // namespace tmx
