// Faults on demand: a read error at an LBA, a command that hangs until the
// host's timeout, the disc removed after a number of commands or some model
// time, a unit attention. Each fault has a one-word text form, so a command
// line can offer `--fault SPEC`:
//
//   read-error@LBA  read-error@FIRST-LAST   medium error on any read covering it
//   hang@OP  hang@OP*N  hang@OP*all         opcode in hex (28, 0x28, 28h); once by default
//   remove-after=N  remove-after=Ns  remove-after=Nms   after N commands or N of model time
//   unit-attention  unit-attention-after=N  06/28/00 on the next (or the N+1st) command
//
//   auto f = parseFault("read-error@1000");  // std::get<Fault>(f).first == 1000
//   // on failure: std::get<std::string>(f) says what is wrong with the text
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tmx::emu {

struct Fault {
  enum class Kind { ReadError, Hang, RemoveAfterCommands, RemoveAfterTime, UnitAttention };
  Kind kind = Kind::ReadError;
  int64_t first = 0;  // ReadError: first LBA; Hang: opcode; Remove: commands or ns; UnitAttention: commands
  int64_t last = 0;   // ReadError: last LBA; Hang: times (-1 every time)
  friend bool operator==(const Fault&, const Fault&) = default;
};

std::variant<Fault, std::string> parseFault(std::string_view text);
std::string formatFault(const Fault& fault);

// The faults armed on one drive and their progress.
class FaultPlan {
 public:
  void add(const Fault& fault);
  void clear() { *this = FaultPlan{}; }

  // Called once per command, before anything else; `nowNs` is its start.
  struct Effects {
    bool hang = false;
    bool removeDisc = false;
    bool unitAttention = false;
  };
  Effects onCommand(uint8_t opcode, int64_t nowNs);
  // First LBA in [lba, lba + count) with a read error, or -1.
  int64_t readErrorIn(int64_t lba, int64_t count) const;

  const std::vector<Fault>& faults() const { return faults_; }

 private:
  std::vector<Fault> faults_;
  std::vector<int64_t> hangsLeft_;  // parallel to faults_
  int64_t commands_ = 0;
  int64_t epochNs_ = -1;  // start of the first command seen
};

}  // namespace tmx::emu
