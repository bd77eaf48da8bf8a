#include "ui/speed_graph.h"

#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <cerrno>

#include "platform/atomic_file.h"
#include "results/file_messages.h"
#include "ui/graph_painter.h"

namespace tmx::ui {
namespace {

GraphLook lookOf(const QWidget& widget) {
  return GraphLook{widget.palette().color(QPalette::Button), widget.palette().color(QPalette::ButtonText),
                   widget.font()};
}

}  // namespace

QString QtGraphDialogs::askPngPath(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, QStringLiteral("Save graph as PNG"), proposed, QStringLiteral("PNG images (*.png)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void QtGraphDialogs::showError(QWidget* parent, const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox::critical(parent, QStringLiteral("Tachometrix"), shown);
}

SpeedGraph::SpeedGraph(const SpeedGraphModel& model, QWidget* parent)
    : QWidget(parent), model_(model), qtDialogs_(std::make_unique<QtGraphDialogs>()), dialogs_(qtDialogs_.get()) {
  // Everything it shows is painted, the background included. It lies under
  // the window's controls, whichever was made first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  lower();
}

SpeedGraph::~SpeedGraph() = default;

void SpeedGraph::setDialogs(GraphDialogs* dialogs) { dialogs_ = dialogs ? dialogs : qtDialogs_.get(); }


void SpeedGraph::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Outside what the shapes cover (right of the graph, below it) is the
  // window's own background.
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  paintGraphShapes(painter, model_.shapes(), lookOf(*this));
}

QImage SpeedGraph::graphImage() const { return renderGraphImage(model_.shapes(), lookOf(*this)); }

QMenu* SpeedGraph::createContextMenu() {
  auto* menu = new QMenu(this);
  menu->addAction(QStringLiteral("Copy graph"), this, &SpeedGraph::copyGraph);
  menu->addAction(QStringLiteral("Save graph as PNG..."), this, &SpeedGraph::saveGraphAs);
  return menu;
}

void SpeedGraph::contextMenuEvent(QContextMenuEvent* event) {
  // Only over the graph region: the rest of the widget lies under the window's controls.
  if (!QRect(0, 0, kGraphImageWidth, kGraphImageHeight).contains(event->pos())) {
    event->ignore();
    return;
  }
  std::unique_ptr<QMenu> menu(createContextMenu());
  menu->exec(event->globalPos());
}

void SpeedGraph::copyGraph() { QGuiApplication::clipboard()->setImage(graphImage()); }

void SpeedGraph::saveGraphAs() {
  const QString path = dialogs_->askPngPath(this, QStringLiteral("graph.png"));
  if (path.isEmpty()) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const std::string target = QFile::encodeName(path).toStdString();
  // An image that cannot be encoded is not written as an empty file.
  const bool encoded = graphImage().save(&buffer, "PNG");
  const int error = encoded ? writeFileAtomically(target, {bytes.constData(), static_cast<size_t>(bytes.size())}) : EIO;
  if (error != 0) dialogs_->showError(this, QString::fromStdString(saveErrorMessage(target, error)));
}

}  // namespace tmx::ui
