#include "opened_urls.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QWidget>

namespace tmx::ui {

OpenedUrls::OpenedUrls() {
  QDesktopServices::setUrlHandler("mailto", this, "open");
  QDesktopServices::setUrlHandler("https", this, "open");
}

OpenedUrls::~OpenedUrls() {
  QDesktopServices::unsetUrlHandler("mailto");
  QDesktopServices::unsetUrlHandler("https");
}

void OpenedUrls::open(const QUrl& url) { opened.append(url.toString()); }

void click(QWidget& widget) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &press);
}

}  // namespace tmx::ui
