#include "ui/link_label.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

#include "opened_urls.h"

namespace tmx::ui {
namespace {

TEST(LinkLabel, OpensItsTargetOnlyWithNotify) {
  OpenedUrls catcher;
  LinkLabel label("https://example.org/tachometrix");
  click(label);
  EXPECT_TRUE(catcher.opened.isEmpty());
  label.setNotify(true);
  click(label);
  ASSERT_EQ(catcher.opened.size(), 1);
  EXPECT_EQ(catcher.opened[0], "https://example.org/tachometrix");

  LinkLabel mail("tachometrix@example.org");
  mail.setNotify(true);
  mail.setMailAddress(true);
  click(mail);
  ASSERT_EQ(catcher.opened.size(), 2);
  EXPECT_EQ(catcher.opened[1], "mailto:tachometrix@example.org");
}

TEST(LinkLabel, ShowsItsColoursAndWeight) {
  LinkLabel plain("x");
  EXPECT_EQ(plain.backgroundColor() & 0xFFFFFFu, plain.backgroundColor());
  EXPECT_EQ(plain.palette().color(QPalette::Window), plain.palette().color(QPalette::Button));
  EXPECT_EQ(plain.font().weight(), QFont::Normal);

  // A value label of the main window: cyan (word 0x00FFFF00, red in the low byte) bold on black.
  LinkLabel label("8888");
  label.resize(60, 20);
  label.setBackgroundColor(0x00000000);
  label.setTextColor(0x00FFFF00);
  label.setBold(true);
  EXPECT_EQ(label.font().weight(), 700);
  const QImage image = label.grab().toImage();
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
  bool cyan = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) cyan = cyan || image.pixelColor(x, y) == QColor(0, 255, 255);
  }
  EXPECT_TRUE(cyan);

  // The font is rebuilt from one description: bold and underline do not undo each other.
  label.setUnderline(true);
  label.setBold(false);
  EXPECT_EQ(label.font().weight(), 400);
  EXPECT_TRUE(label.font().underline());

  // A second background replaces the first.
  label.setBackgroundColor(0x00FF0000);
  EXPECT_EQ(label.grab().toImage().pixelColor(0, 0), QColor(0, 0, 255));
}

TEST(LinkLabel, LinkCursorComesAndGoes) {
  QWidget window;  // a top-level widget keeps its cursor attribute
  LinkLabel label("https://example.org", &window);
  label.setLinkCursor(Qt::PointingHandCursor);
  EXPECT_TRUE(label.testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  label.setLinkCursor(std::nullopt);
  EXPECT_FALSE(label.testAttribute(Qt::WA_SetCursor));
}

}  // namespace
}  // namespace tmx::ui

