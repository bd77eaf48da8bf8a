#include "ui/link_label.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

namespace tmx::ui {
namespace {

// Catches what a click asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  UrlCatcher() { QDesktopServices::setUrlHandler("mailto", this, "open"); QDesktopServices::setUrlHandler("https", this, "open"); }
  ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("mailto"); QDesktopServices::unsetUrlHandler("https"); }
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.append(url); }
};

void click(QWidget& w) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), w.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &press);
}

TEST(LinkLabel, OpensItsTargetOnlyWithNotify) {
  UrlCatcher catcher;
  LinkLabel label("https://example.org/tachometrix");
  click(label);
  EXPECT_TRUE(catcher.opened.isEmpty());
  label.setNotify(true);
  click(label);
  ASSERT_EQ(catcher.opened.size(), 1);
  EXPECT_EQ(catcher.opened[0].toString(), "https://example.org/tachometrix");

  LinkLabel mail("tachometrix@example.org");
  mail.setNotify(true);
  mail.setMailAddress(true);
  click(mail);
  ASSERT_EQ(catcher.opened.size(), 2);
  EXPECT_EQ(catcher.opened[1].toString(), "mailto:tachometrix@example.org");
}

TEST(LinkLabel, ColourWordsAreRedInTheLowByte) {
  LinkLabel label("x");
  label.setTextColor(0x00FFFF00);  // cyan
  label.setBackgroundColor(0x00000000);
  label.setBold(true);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 255, 255));
  EXPECT_EQ(label.font().weight(), QFont::Bold);
}

}  // namespace
}  // namespace tmx::ui

#include "link_label_test.moc"
