// The program's icon (the artwork of the desktop entry), for windows and the
// About box.
#pragma once

#include <QIcon>

namespace tmx::ui {

QIcon applicationIcon();

}  // namespace tmx::ui
