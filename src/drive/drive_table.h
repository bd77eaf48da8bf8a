// The drives found at start-up, in scan order. A drive list index is a table index.
#pragma once

#include <array>

#include "drive/drive_address.h"

namespace tmx {

struct DriveTable {
  static constexpr int kCapacity = 128;  // 8 host adapters x 16 targets
  std::array<DriveAddress, kCapacity> entries{};
  int count = 0;
  int selected = 0;

  DriveAddress selectedDrive() const { return entries[static_cast<size_t>(selected)]; }
};

}  // namespace tmx
