// The ids of the main window's commands: the menu items, the two buttons, the
// drive list and the system menu's About entry.
#pragma once

#include <array>

#include "engine/measurement_table.h"

namespace tmx {

enum CommandId : int {
  CmdExitButton = 2,
  CmdSystemAbout = 16,
  CmdDriveList = 1000,
  CmdStart = 1001,
  CmdExit = 32772,
  CmdOptions = 32773,
  CmdSaveStatus = 32774,
  CmdRunSelected = 32775,
  // The Run Test commands are the measurements' own.
  CmdRunTransferRate = runCommandOf(TestTransferRate),
  CmdRunSeekTimes = runCommandOf(TestSeekTimes),
  CmdRunCpuUtilization = runCommandOf(TestCpuUtilization),
  CmdRunBurstRate = runCommandOf(TestBurstRate),
  CmdRunDaeQuality = runCommandOf(TestDaeQuality),
  CmdRunSpinUpDown = runCommandOf(TestSpinUpDown),
  CmdSaveBinary = 32782,
  CmdSaveAscii = 32783,
  CmdLoadDat = 32784,
  CmdAbout = 32786,
  CmdQualityCheck = 32787,
  CmdDriveCheck = 32788,
  CmdSaveHtml = 32789,
  CmdResultsLibrary = 32790,
  CmdRippingFeatures = 32791,
  CmdDocumentation = 57670,
};

inline constexpr std::array<int, 24> kAllCommands = {
    CmdExitButton,   CmdSystemAbout,     CmdDriveList,     CmdStart,           CmdExit,
    CmdOptions,      CmdSaveStatus,      CmdRunSelected,   CmdRunTransferRate, CmdRunSeekTimes,
    CmdRunCpuUtilization, CmdRunBurstRate, CmdRunDaeQuality, CmdRunSpinUpDown, CmdSaveBinary,
    CmdSaveAscii,    CmdLoadDat,         CmdAbout,         CmdQualityCheck,    CmdDriveCheck,
    CmdDocumentation, CmdSaveHtml,   CmdResultsLibrary, CmdRippingFeatures,
};

}  // namespace tmx
