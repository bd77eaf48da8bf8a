// The About box offscreen: the title with the build's version, and links that
// open with the desktop (caught by URL handlers).
#include "ui/about_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

#include "tmx_version.h"
#include "ui/colour_word.h"
#include "opened_urls.h"
#include "ui/link_label.h"

namespace tmx::ui {
namespace {

TEST(AboutDialog, TitleCarriesTheBuildVersion) {
  AboutDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "About Tachometrix");
  auto* title = dialog.findChild<LinkLabel*>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), QStringLiteral("Tachometrix Version 0.6 Beta (build ") + TMX_VERSION + ")");
  EXPECT_TRUE(title->font().bold());
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

