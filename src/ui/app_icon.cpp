#include "ui/app_icon.h"

// Resources of a static library are linked in only when something names them.
static void initAppIconResource() { Q_INIT_RESOURCE(app_icon); }

namespace tmx::ui {

QIcon applicationIcon() {
  initAppIconResource();
  QIcon icon;
  for (const char* size : {"16", "32", "64"}) icon.addFile(QStringLiteral(":/icons/tachometrix-%1.png").arg(size));
  return icon;
}

}  // namespace tmx::ui
