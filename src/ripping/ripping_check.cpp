#include "ripping/ripping_check.h"

#include <cstdio>
#include <utility>

#include "drive/drive_failure.h"
#include "drive/request_failure.h"
#include "ripping/verdict_text.h"

namespace tmx {

RippingCheck::RippingCheck(DriveCommands& commands, DriveAddress drive, Clock& clock, RippingDisc disc,
                           RippingOptions options, RippingHooks hooks)
    : commands_(commands), drive_(drive), clock_(clock), disc_(disc), options_(options), hooks_(std::move(hooks)) {}

double RippingCheck::now() { return static_cast<double>(clock_.nowNs()) / 1e9; }

void RippingCheck::status(const std::string& line) {
  if (hooks_.status) hooks_.status(line);
}

void RippingCheck::beginPart(PartStatus& part, const char* name) {
  part_ = &part;
  partEnds_ = now() + options_.partSeconds;
  status(std::string(name) + "...");
}

void RippingCheck::endPart(int progressAfter) {
  if (part_ != nullptr && part_->skipped.empty() && part_->cutOff.empty()) part_->ran = true;
  if (part_ != nullptr && !part_->cutOff.empty()) status("  cut off: " + part_->cutOff);
  if (part_ != nullptr && !part_->skipped.empty()) status("  skipped: " + part_->skipped);
  part_ = nullptr;
  if (hooks_.progress) hooks_.progress(progressAfter);
  if (hooks_.partDone) hooks_.partDone(f_);
}

RippingCheck::Timed RippingCheck::send(const CdbRequest& request, uint8_t* buffer) {
  Timed t;
  if (part_ != nullptr && !part_->cutOff.empty()) return {Sent::Ended, 0};
  if (hooks_.stop != nullptr && hooks_.stop->load()) {
    if (part_ != nullptr) part_->cutOff = "stopped";
    return {Sent::Ended, 0};
  }
  if (now() > partEnds_) {
    if (part_ != nullptr) part_->cutOff = "its time limit ran out";
    return {Sent::Ended, 0};
  }
  const int64_t start = clock_.nowNs();
  const AspiStatus s = commands_.send(drive_, request, buffer);
  t.seconds = static_cast<double>(clock_.nowNs() - start) / 1e9;
  if (s == kAspiSuccess) {
    t.sent = Sent::Ok;
  } else if (commands_.transport().lastFailure().timedOut()) {
    if (part_ != nullptr) part_->cutOff = "the drive did not answer: " + lastFailureCause(commands_.transport());
    t.sent = Sent::Ended;
  }
  return t;
}

RippingCheck::Timed RippingCheck::readAudio(int32_t lba, uint32_t count, uint8_t* buffer, C2Choice c2) {
  const uint8_t opcode = c2 == C2Choice::None ? audioOpcode_ : c2Opcode_;
  return send(ripRead(opcode, lba, count, c2, SubChoice::None), buffer);
}

CdbRequest RippingCheck::ripRead(uint8_t opcode, int32_t lba, uint32_t count, C2Choice c2, SubChoice sub) const {
  const bool anyType = disc_.kind != 1;
  if (opcode == 0xB9) return readCdMsfRipCdb(lba, count, c2, sub, anyType);
  if (opcode == 0xD8) return readCddaRipCdb(lba, count, sub);
  return readCdRipCdb(lba, count, c2, sub, anyType);
}

void RippingCheck::restoreSpeed() {
  // The maximum goes back as FFFFh: some drives cap any speed given as a number.
  const bool numeric = startKBps_ > 0 && startKBps_ < maximumKBps_ && startKBps_ < 0xFFFF;
  const uint16_t kbps = numeric ? static_cast<uint16_t>(startKBps_) : 0xFFFF;
  if (commands_.SetReadSpeed(drive_, kbps) != kAspiSuccess) status("Could not set the drive's speed back");
}

RippingFeatures RippingCheck::run() {
  f_.discKind = disc_.kind == 1 ? "audio" : disc_.kind == 2 ? "mixed" : "data";
  if (!disc_.cd || disc_.sectors <= 0) {
    const std::string why = !disc_.cd ? "not a CD: a DVD or BD has no audio, C2 pointers or sub-channel" : "no recorded CD";
    status("Ripping features: " + why);
    for (PartStatus* p : {&f_.readPart, &f_.cachePart, &f_.streamPart, &f_.c2Part, &f_.overreadPart, &f_.speedPart}) {
      p->skipped = why;
    }
    f_.verdict = "Not measured: " + why;
    return f_;
  }
  if (commands_.ModeSenseSpeeds(drive_, maximumKBps_, startKBps_) != kAspiSuccess) startKBps_ = 0;
  if (disc_.kind != 1) {
    status("A " + f_.discKind + " disc: the accurate stream test is skipped (it needs audio); the other parts read raw sectors");
  }
  using Part = void (RippingCheck::*)();
  const std::pair<Part, PartStatus*> parts[] = {
      {&RippingCheck::readCommandPart, &f_.readPart}, {&RippingCheck::cachePart, &f_.cachePart},
      {&RippingCheck::streamPart, &f_.streamPart},    {&RippingCheck::c2Part, &f_.c2Part},
      {&RippingCheck::overreadPart, &f_.overreadPart}, {&RippingCheck::speedPart, &f_.speedPart}};
  for (const auto& [part, status] : parts) {
    // After a stop the parts still to come say so, not what a missing answer would imply.
    if (hooks_.stop != nullptr && hooks_.stop->load()) {
      if (!status->ran && status->cutOff.empty()) status->skipped = "stopped";
      continue;
    }
    (this->*part)();
  }
  restoreSpeed();
  const Verdict v = rippingVerdict(f_);
  f_.verdict = v.sentence;
  f_.verdictClaims = v.claims;
  status(f_.verdict);
  if (hooks_.progress) hooks_.progress(100);
  return f_;
}

}  // namespace tmx
