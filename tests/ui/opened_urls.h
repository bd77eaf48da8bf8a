// Catches what the widgets ask the desktop to open (mailto and https), and
// clicks a widget the way a user would.
#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace tmx::ui {

class OpenedUrls : public QObject {
  Q_OBJECT

 public:
  OpenedUrls();
  ~OpenedUrls() override;
  QStringList opened;

 public slots:
  void open(const QUrl& url);
};

// A left-button press inside the widget.
void click(QWidget& widget);

}  // namespace tmx::ui
