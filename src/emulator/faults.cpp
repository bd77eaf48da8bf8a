#include "emulator/faults.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tmx::emu {
namespace {

// Limits of every number of a fault text, checked before any scaling: far
// beyond any disc (a BD-50 ends below 25,000,000) or run, far inside int64.
constexpr int64_t kMaxLba = 100'000'000;
constexpr int64_t kMaxCount = 1'000'000'000;
constexpr int64_t kMaxSeconds = 1'000'000;

enum class Number { Ok, Malformed, OutOfRange };

Number parseNumber(std::string_view s, int64_t& out, int64_t max, int base = 10) {
  if (s.empty()) return Number::Malformed;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
  if (end != s.data() + s.size() || (ec != std::errc{} && ec != std::errc::result_out_of_range)) {
    return Number::Malformed;
  }
  if (ec == std::errc::result_out_of_range) return out < 0 ? Number::Malformed : Number::OutOfRange;
  if (out < 0) return Number::Malformed;
  return out > max ? Number::OutOfRange : Number::Ok;
}

bool parseOpcode(std::string_view s, int64_t& out) {
  if (s.starts_with("0x") || s.starts_with("0X")) s.remove_prefix(2);
  if (s.ends_with('h') || s.ends_with('H')) s.remove_suffix(1);
  return parseNumber(s, out, 0xFF, 16) == Number::Ok;
}

std::string bad(std::string_view text, std::string_view why) {
  return "bad fault \"" + std::string(text) + "\": " + std::string(why);
}

std::string outOfRange(std::string_view text, int64_t max, std::string_view unit = "") {
  return bad(text, "out of range 0.." + std::to_string(max) + std::string(unit));
}

}  // namespace

std::variant<Fault, std::string> parseFault(std::string_view text) {
  Fault f;
  if (text.starts_with("read-error@")) {
    const std::string_view arg = text.substr(11);
    const size_t dash = arg.find('-');
    f.kind = Fault::Kind::ReadError;
    if (dash == std::string_view::npos) {
      const Number n = parseNumber(arg, f.first, kMaxLba);
      if (n == Number::OutOfRange) return outOfRange(text, kMaxLba);
      if (n != Number::Ok) return bad(text, "expected an LBA");
      f.last = f.first;
      return f;
    }
    const Number a = parseNumber(arg.substr(0, dash), f.first, kMaxLba);
    const Number b = parseNumber(arg.substr(dash + 1), f.last, kMaxLba);
    if (a == Number::Malformed || b == Number::Malformed) return bad(text, "expected FIRST-LAST with FIRST <= LAST");
    if (a == Number::OutOfRange || b == Number::OutOfRange) return outOfRange(text, kMaxLba);
    if (f.last < f.first) return bad(text, "expected FIRST-LAST with FIRST <= LAST");
    return f;
  }
  if (text.starts_with("hang@")) {
    std::string_view arg = text.substr(5);
    f.kind = Fault::Kind::Hang;
    f.last = 1;
    if (const size_t star = arg.find('*'); star != std::string_view::npos) {
      const std::string_view times = arg.substr(star + 1);
      if (times == "all") {
        f.last = -1;
      } else if (const Number n = parseNumber(times, f.last, kMaxCount); n == Number::OutOfRange) {
        return outOfRange(text, kMaxCount);
      } else if (n != Number::Ok || f.last == 0) {
        return bad(text, "expected *N (N > 0) or *all");
      }
      arg = arg.substr(0, star);
    }
    if (!parseOpcode(arg, f.first)) return bad(text, "expected an opcode in hex, e.g. hang@28");
    return f;
  }
  if (text.starts_with("remove-after=")) {
    std::string_view arg = text.substr(13);
    int64_t scale = 0;
    int64_t max = kMaxCount;
    std::string_view unit;
    if (arg.ends_with("ms")) {
      scale = 1'000'000;
      max = kMaxSeconds * 1000;
      unit = " ms";
      arg.remove_suffix(2);
    } else if (arg.ends_with('s')) {
      scale = 1'000'000'000;
      max = kMaxSeconds;
      unit = " s";
      arg.remove_suffix(1);
    }
    const Number n = parseNumber(arg, f.first, max);
    if (n == Number::OutOfRange) return outOfRange(text, max, unit);
    if (n != Number::Ok) return bad(text, "expected a count of commands, or a time such as 5s or 800ms");
    f.kind = scale ? Fault::Kind::RemoveAfterTime : Fault::Kind::RemoveAfterCommands;
    if (scale) f.first *= scale;
    return f;
  }
  if (text == "unit-attention") {
    f.kind = Fault::Kind::UnitAttention;
    return f;
  }
  if (text.starts_with("unit-attention-after=")) {
    f.kind = Fault::Kind::UnitAttention;
    const Number n = parseNumber(text.substr(21), f.first, kMaxCount);
    if (n == Number::OutOfRange) return outOfRange(text, kMaxCount);
    if (n != Number::Ok) return bad(text, "expected a count of commands");
    return f;
  }
  return bad(text, "unknown fault (read-error@LBA, hang@OP, remove-after=N, unit-attention)");
}

std::string formatFault(const Fault& f) {
  char buf[64];
  switch (f.kind) {
    case Fault::Kind::ReadError:
      if (f.first == f.last) {
        std::snprintf(buf, sizeof buf, "read-error@%lld", static_cast<long long>(f.first));
      } else {
        std::snprintf(buf, sizeof buf, "read-error@%lld-%lld", static_cast<long long>(f.first),
                      static_cast<long long>(f.last));
      }
      return buf;
    case Fault::Kind::Hang:
      if (f.last == 1) {
        std::snprintf(buf, sizeof buf, "hang@%02llX", static_cast<unsigned long long>(f.first));
      } else if (f.last < 0) {
        std::snprintf(buf, sizeof buf, "hang@%02llX*all", static_cast<unsigned long long>(f.first));
      } else {
        std::snprintf(buf, sizeof buf, "hang@%02llX*%lld", static_cast<unsigned long long>(f.first),
                      static_cast<long long>(f.last));
      }
      return buf;
    case Fault::Kind::RemoveAfterCommands:
      return "remove-after=" + std::to_string(f.first);
    case Fault::Kind::RemoveAfterTime:
      return "remove-after=" + std::to_string(f.first / 1'000'000) + "ms";
    case Fault::Kind::UnitAttention:
      return f.first == 0 ? "unit-attention" : "unit-attention-after=" + std::to_string(f.first);
  }
  return {};
}

void FaultPlan::add(const Fault& fault) {
  faults_.push_back(fault);
  hangsLeft_.push_back(fault.kind == Fault::Kind::Hang ? fault.last : 0);
}

FaultPlan::Effects FaultPlan::onCommand(uint8_t opcode, int64_t nowNs) {
  Effects e;
  if (faults_.empty()) return e;
  if (epochNs_ < 0) epochNs_ = nowNs;
  const int64_t seen = commands_++;
  for (size_t i = 0; i < faults_.size(); ++i) {
    const Fault& f = faults_[i];
    switch (f.kind) {
      case Fault::Kind::Hang:
        if (f.first == opcode && hangsLeft_[i] != 0) {
          e.hang = true;
          if (hangsLeft_[i] > 0) --hangsLeft_[i];
        }
        break;
      case Fault::Kind::RemoveAfterCommands:
        e.removeDisc |= seen == f.first;
        break;
      case Fault::Kind::RemoveAfterTime:
        if (hangsLeft_[i] == 0 && nowNs - epochNs_ >= f.first) {
          e.removeDisc = true;
          hangsLeft_[i] = 1;  // fires once
        }
        break;
      case Fault::Kind::UnitAttention:
        e.unitAttention |= seen == f.first;
        break;
      case Fault::Kind::ReadError:
        break;
    }
  }
  return e;
}

int64_t FaultPlan::readErrorIn(int64_t lba, int64_t count) const {
  int64_t hit = -1;
  for (const Fault& f : faults_) {
    if (f.kind != Fault::Kind::ReadError) continue;
    const int64_t from = std::max(lba, f.first);
    if (from <= f.last && from < lba + count && (hit < 0 || from < hit)) hit = from;
  }
  return hit;
}

}  // namespace tmx::emu
