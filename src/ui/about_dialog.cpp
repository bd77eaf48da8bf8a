#include "ui/about_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tmx_version.h"
#include "ui/app_icon.h"
#include "ui/link_label.h"

namespace tmx::ui {
namespace {

constexpr uint32_t kLinkColour = 0x00FF0000;  // blue

LinkLabel* makeLink(const char* name, const char* address, QWidget* parent) {
  auto* link = new LinkLabel(QString::fromLatin1(address), parent);
  link->setObjectName(name);
  link->setNotify(true);
  link->setLinkCursor(Qt::PointingHandCursor);
  link->setTextColor(kLinkColour);
  link->setUnderline(true);
  return link;
}

}  // namespace

QString aboutTitle() { return QStringLiteral("Tachometrix Version 0.6 Beta"); }
QString aboutBuildLine() { return QStringLiteral("Build %1").arg(TMX_VERSION); }

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tachometrix"));

  auto* icon = new QLabel(this);
  icon->setPixmap(applicationIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  auto* title = new LinkLabel(aboutTitle(), this);
  title->setObjectName("title");
  title->setBold(true);
  auto* build = new QLabel(aboutBuildLine(), this);
  build->setObjectName("build");
  auto* notice = new QLabel(QStringLiteral("Copyright (C) the Tachometrix developers. Free to use and share."), this);
  notice->setObjectName("notice");

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* website = new QLabel(QStringLiteral("The Tachometrix FAQ, updates and test results of more\n"
                                            "then 120 drives can be found on the Tachometrix website."),
                             this);
  auto* mail = makeLink("mailLink", kMailAddress, this);
  mail->setMailAddress(true);
  auto* links = new QGridLayout;
  links->addWidget(new QLabel(QStringLiteral("Website"), this), 0, 0, Qt::AlignTop);
  links->addWidget(makeLink("websiteLink", kWebsiteAddress, this), 0, 1);
  links->addWidget(makeLink("resultsLink", kResultsAddress, this), 1, 1);
  links->addWidget(new QLabel(QStringLiteral("Email:"), this), 2, 0);
  links->addWidget(mail, 2, 1);
  links->setColumnStretch(1, 1);

  auto* head = new QGridLayout;
  head->addWidget(icon, 0, 0, 3, 1);
  head->addWidget(title, 0, 1);
  head->addWidget(build, 1, 1);
  head->addWidget(notice, 2, 1);
  head->addWidget(ok, 0, 2, Qt::AlignTop);
  head->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addSpacing(8);
  layout->addWidget(website);
  layout->addLayout(links);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed box, as the window's dialogs are
  setLayout(layout);
}

}  // namespace tmx::ui
