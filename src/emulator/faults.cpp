#include "emulator/faults.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace tmx::emu {
namespace {

bool parseInt(std::string_view s, int64_t& out, int base = 10) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
  return ec == std::errc{} && end == s.data() + s.size() && out >= 0;
}

bool parseOpcode(std::string_view s, int64_t& out) {
  if (s.starts_with("0x") || s.starts_with("0X")) s.remove_prefix(2);
  if (s.ends_with('h') || s.ends_with('H')) s.remove_suffix(1);
  return parseInt(s, out, 16) && out <= 0xFF;
}

std::string bad(std::string_view text, std::string_view why) {
  return "bad fault \"" + std::string(text) + "\": " + std::string(why);
}

}  // namespace

std::variant<Fault, std::string> parseFault(std::string_view text) {
  Fault f;
  if (text.starts_with("read-error@")) {
    const std::string_view arg = text.substr(11);
    const size_t dash = arg.find('-');
    f.kind = Fault::Kind::ReadError;
    if (dash == std::string_view::npos) {
      if (!parseInt(arg, f.first)) return bad(text, "expected an LBA");
      f.last = f.first;
    } else if (!parseInt(arg.substr(0, dash), f.first) || !parseInt(arg.substr(dash + 1), f.last) || f.last < f.first) {
      return bad(text, "expected FIRST-LAST with FIRST <= LAST");
    }
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
      } else if (!parseInt(times, f.last) || f.last == 0) {
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
    if (arg.ends_with("ms")) {
      scale = 1'000'000;
      arg.remove_suffix(2);
    } else if (arg.ends_with('s')) {
      scale = 1'000'000'000;
      arg.remove_suffix(1);
    }
    if (!parseInt(arg, f.first)) return bad(text, "expected a count of commands, or a time such as 5s or 800ms");
    f.kind = scale ? Fault::Kind::RemoveAfterTime : Fault::Kind::RemoveAfterCommands;
    // A time beyond the nanosecond range would overflow the deadline.
    if (scale && (f.first < 0 || f.first > std::numeric_limits<int64_t>::max() / scale)) {
      return bad(text, "time out of range");
    }
    if (scale) f.first *= scale;
    return f;
  }
  if (text == "unit-attention") {
    f.kind = Fault::Kind::UnitAttention;
    return f;
  }
  if (text.starts_with("unit-attention-after=")) {
    f.kind = Fault::Kind::UnitAttention;
    if (!parseInt(text.substr(21), f.first)) return bad(text, "expected a count of commands");
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
