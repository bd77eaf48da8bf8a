// The About box offscreen: the title, the build's version below it, and links
// that open with the desktop (caught by URL handlers).
#include "ui/about_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

#include "tmx_version.h"
#include "ui/colour_word.h"
#include "opened_urls.h"
#include "ui/link_label.h"

namespace tmx::ui {
namespace {

TEST(AboutDialog, TitleAsGivenAndTheBuildVersionOnALineBelowIt) {
  AboutDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "About Tachometrix");
  auto* title = dialog.findChild<LinkLabel*>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "Tachometrix Version 0.6 Beta");
  EXPECT_TRUE(title->font().bold());
  auto* build = dialog.findChild<QLabel*>("build");
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->text(), QStringLiteral("Build ") + TMX_VERSION);
  dialog.show();
  EXPECT_GE(build->geometry().top(), title->geometry().bottom()) << "a line of its own";
  for (const auto* label : dialog.findChildren<QLabel*>()) {
    if (label == build) continue;
    EXPECT_FALSE(label->text().contains(TMX_VERSION)) << label->text().toStdString();
  }
}

TEST(AboutDialog, LinksOpenWhatTheyShowAndMailOpensMailto) {
  OpenedUrls urls;
  AboutDialog dialog;
  const char* names[] = {"mailLink", "websiteLink", "resultsLink"};
  for (const char* name : names) {
    auto* link = dialog.findChild<LinkLabel*>(name);
    ASSERT_NE(link, nullptr) << name;
    EXPECT_TRUE(link->font().underline()) << name;
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor) << name;
    EXPECT_EQ(link->palette().color(QPalette::WindowText), colourFromWord(0x00FF0000)) << name;
    click(*link);
  }
  EXPECT_EQ(urls.opened, (QStringList{QStringLiteral("mailto:") + kMailAddress, kWebsiteAddress, kResultsAddress}));
  EXPECT_EQ(dialog.findChild<LinkLabel*>("websiteLink")->text(), kWebsiteAddress);
}

}  // namespace
}  // namespace tmx::ui

