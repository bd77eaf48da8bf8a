// Handlers of the commands DVD and BD drives add: GET CONFIGURATION, READ
// DISC STRUCTURE, GET PERFORMANCE and SET STREAMING.
#include "emulator/byte_order.h"
#include "emulator/drive_model.h"
#include "emulator/feature_replies.h"
#include "emulator/media_profiles.h"
#include "emulator/streaming_replies.h"
#include "emulator/structure_replies.h"

namespace tmx::emu {

uint16_t DriveModel::currentProfile() const {
  if (disc_ == nullptr) return 0;
  return currentProfileFor(profile_, disc_->spec()).value_or(0);
}

DriveModel::Outcome DriveModel::getConfiguration(const Request& r) {
  if (r.cdb.size() < 10) return check(sense::kInvalidFieldInCdb);
  FeatureFacts facts;
  facts.profiles = profile_.mmcProfiles;
  facts.currentProfile = currentProfile();
  facts.dvd = listsDvd(profile_);
  facts.bd = listsBd(profile_);
  facts.c2Pointers = profile_.c2Pointers;
  facts.streaming = profile_.streaming;
  facts.serialNumber = profile_.serialNumber;
  const Reply built = configurationReply(facts, r.cdb[1] & 0x03, static_cast<uint16_t>(be16(r.cdb, 2)));
  if (const Sense* s = std::get_if<Sense>(&built)) return check(*s);
  return reply(r, std::get<std::vector<uint8_t>>(built), be16(r.cdb, 7));
}

DriveModel::Outcome DriveModel::readDiscStructure(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  const Reply built = discStructureReply(*disc_, r.cdb[1] & 0x0F, r.cdb[6], r.cdb[7]);
  if (const Sense* s = std::get_if<Sense>(&built)) return check(*s);
  return reply(r, std::get<std::vector<uint8_t>>(built), be16(r.cdb, 8));
}

DriveModel::Outcome DriveModel::getPerformance(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  // Only type 00h, nominal performance (no exceptions to report).
  if (r.cdb[10] != 0x00 || (r.cdb[1] & 0x03) != 0) return check(sense::kInvalidFieldInCdb);
  const Reply built = performanceReply(profile_, mechanics_, disc_->capacity(), speedLimitX_, be32(r.cdb, 2));
  if (const Sense* s = std::get_if<Sense>(&built)) return check(*s);
  auto bytes = std::get<std::vector<uint8_t>>(built);
  if ((r.cdb[1] & 0x04) != 0) bytes[4] |= 0x02;  // asked for writing: the same figures, marked so
  return reply(r, bytes, 8 + 16 * size_t{be16(r.cdb, 8)});
}

DriveModel::Outcome DriveModel::setStreaming(const Request& r) {
  if (r.cdb.size() < 12) return check(sense::kInvalidFieldInCdb);
  if (r.cdb[8] != 0x00) return check(sense::kInvalidFieldInCdb);  // only the performance descriptor
  const size_t length = be16(r.cdb, 9);
  const std::span<const uint8_t> list(r.data.data(), std::min(length, r.data.size()));
  const auto wanted = streamingReadX(list, mechanics_.geometry().kbpsPerX, profile_.maxSpeedX);
  if (const Sense* s = std::get_if<Sense>(&wanted)) return check(*s);
  speedLimitX_ = mechanics_.speedStepForX(std::get<double>(wanted));
  reportedSpeedX_ = speedLimitX_;
  return good(list.size());
}

}  // namespace tmx::emu
