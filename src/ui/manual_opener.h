// The Documentation command (F1): opens the manual with the desktop's
// browser, or says where it was looked for when it is nowhere.
#pragma once

#include "ui/dialog_prompts.h"

namespace tmx::ui {

// Returns whether the desktop accepted a manual to open.
bool openManual(DialogPrompts& prompts, QWidget* parent);

}  // namespace tmx::ui
