#include "drivecheck/recordable_media.h"

#include <array>

#include "drive/drive_commands.h"
#include "drive/reply_parsers.h"

namespace tmx {
namespace {

struct Key {
  int seconds;
  int frames;  // compared by tens; -1: never matches
};

struct RecordableMaker {
  Key first;
  Key second;
  const char* name;
};

constexpr std::array<RecordableMaker, 30> kRecordableMakers{{
    {{26, 10}, {47, 40}, "Postech Co."},
    {{30, 10}, {48, 40}, "Nippon Columbia"},
    {{28, 30}, {46, 50}, "Auvistar Industry Co.,Ltd."},
    {{28, 10}, {49, 10}, "Gigastorage Co."},
    {{26, 30}, {-1, -1}, "Optical Disc"},
    {{26, 0}, {45, 0}, "Fornet International PTE Ltd."},
    {{26, 40}, {-1, -1}, "Fuji Photo Film Co.,Ltd."},
    {{24, 10}, {46, 10}, "Sony Co."},
    {{22, 40}, {45, 40}, "CIS Technology"},
    {{26, 60}, {46, 60}, "CMC Magnetics Co."},
    {{24, 20}, {46, 30}, "Computer Suppport Italy"},
    {{28, 20}, {46, 20}, "Multi Media Masters & Machinary"},
    {{21, 40}, {-1, -1}, "Optical Disc Manufacturing Equipment"},
    {{31, 0}, {47, 50}, "Ritek Co."},
    {{26, 50}, {48, 60}, "Lead Data Inc."},
    {{25, 20}, {47, 10}, "Hitachi Maxell Ltd."},
    {{27, 40}, {48, 10}, "Kodak Japan Ltd."},
    {{27, 50}, {48, 50}, "Mitsui Chemicals Inc."},
    {{27, 30}, {48, 30}, "Pioneer Video Co."},
    {{27, 10}, {48, 20}, "Plasmon Data Ltd."},
    {{27, 20}, {47, 20}, "Princo Co."},
    {{27, 60}, {48, 0}, "Ricoh Co.,Ltd."},
    {{26, 20}, {-1, -1}, "SKC Co."},
    {{24, 0}, {46, 0}, "Taiyo Yuden Co."},
    {{32, 0}, {49, 0}, "TDK Co."},
    {{34, 20}, {50, 20}, "Mitsubishi Chemical Co."},
    {{23, 0}, {49, 60}, "Matsushita Electric Industrial Co.,Ltd."},
    {{25, 60}, {45, 60}, "Xcitec Inc."},
    {{32, 10}, {-1, -1}, "Prodisc Technology Inc."},
    {{23, 10}, {-1, -1}, "Doremi Media Co.,Ltd."},
}};

struct RewritableMaker {
  Key key;
  long leadOutFrames;  // 0: any
  const char* name;
};

constexpr std::array<RewritableMaker, 4> kRewritableMakers{{
    {{27, 0}, 333900, "Ricoh Co."},
    {{27, 0}, 336375, "Ritek Co."},
    {{34, 20}, 0, "Mitsubishi Chemical Co."},
    {{27, 20}, 0, "Princo Co."},
}};

bool matches(Key key, int seconds, int frames) {
  return key.seconds >= 0 && key.seconds == seconds && key.frames / 10 == frames / 10;
}

}  // namespace

RecordableDisc identifyFromReplies(std::span<const uint8_t> discInformation, std::span<const uint8_t> atipReply) {
  RecordableDisc disc;
  const auto info = parseDiscInformation(discInformation);
  disc.rewritable = info && info->erasable;

  const auto atip = parseAtip(atipReply);
  if (!atip) return disc;  // no lead-in start came back
  const int m = atip->leadIn.minutes, s = atip->leadIn.seconds, f = atip->leadIn.frames;
  disc.mediaCode = m * 10000L + s * 100L + f;
  disc.dyeType = f % 10;
  disc.xCompatibility = atip->a1 ? (*atip->a1 & 0x0F) * 2 : 0;
  // Without the last possible lead-out the disc cannot be described.
  if (m != 97 || !atip->leadOut) return disc;

  disc.found = true;
  disc.capacityFrames = atip->leadOut->minutes * 4500L + atip->leadOut->seconds * 75L + atip->leadOut->frames;
  disc.manufacturer = "unknown";
  if (!disc.rewritable) {
    for (const RecordableMaker& row : kRecordableMakers) {
      if (matches(row.first, s, f) || matches(row.second, s, f)) disc.manufacturer = row.name;
    }
  } else {
    for (const RewritableMaker& row : kRewritableMakers) {
      if (matches(row.key, s, f) && (row.leadOutFrames == 0 || row.leadOutFrames == disc.capacityFrames)) {
        disc.manufacturer = row.name;
      }
    }
  }
  return disc;
}

RecordableDisc identifyRecordableDisc(DriveCommands& commands, DriveAddress drive) {
  std::array<uint8_t, 32> buffer{};
  // Two REQUEST SENSE clear whatever condition the drive still holds.
  commands.RequestSense(drive, buffer.data());
  buffer.fill(0x66);
  commands.RequestSense(drive, buffer.data());

  std::array<uint8_t, 4> info{};
  const bool infoOk = commands.ReadDiscInformation(drive, info.size(), info.data()) == kAspiSuccess;

  buffer.fill(0x66);
  const bool atipOk = commands.ReadTocPmaAtip(drive, 4, 0, buffer.size(), buffer.data()) == kAspiSuccess;
  return identifyFromReplies(infoOk ? std::span<const uint8_t>(info) : std::span<const uint8_t>{},
                             atipOk ? std::span<const uint8_t>(buffer) : std::span<const uint8_t>{});
}

}  // namespace tmx
