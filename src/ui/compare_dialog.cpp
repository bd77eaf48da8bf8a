#include "ui/compare_dialog.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
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

QColor qColour(uint32_t word) { return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF); }

}  // namespace

CompareCanvas::CompareCanvas(CompareModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QImage CompareCanvas::picture() const {
  QImage image(std::max(width(), 320), std::max(height(), 240), QImage::Format_RGB32);
  const GraphLook look = lookOf(*this);
  image.fill(look.buttonFace);
  QPainter painter(&image);
  paintGraphShapes(painter, model_.graph(image.width(), image.height()).shapes, look);
  return image;
}

void CompareCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const GraphLook look = lookOf(*this);
  painter.fillRect(rect(), look.buttonFace);
  const CompareGraph& graph = model_.graph(width(), height());
  paintGraphShapes(painter, graph.shapes, look);
  if (pointerX_ >= graph.axes.left && pointerX_ <= graph.axes.right) {
    painter.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
    painter.drawLine(pointerX_, graph.axes.top + 1, pointerX_, graph.axes.bottom - 1);
  }
}

void CompareCanvas::mouseMoveEvent(QMouseEvent* event) {
  pointerX_ = static_cast<int>(event->position().x());
  emit readoutChanged(QString::fromStdString(model_.readoutText(pointerX_)));
  update();
}

void CompareCanvas::leaveEvent(QEvent*) {
  pointerX_ = -1;
  emit readoutChanged({});
  update();
}

CompareDialog::CompareDialog(std::vector<ComparedRun> runs, WindowDialogs& dialogs, QWidget* parent)
    : QDialog(parent), model_(std::move(runs)), dialogs_(dialogs) {
  setWindowTitle(QString::fromStdString(model_.title()));
  setSizeGripEnabled(true);
  canvas_ = new CompareCanvas(model_, this);
  readout_ = new QLabel(this);
  readout_->setMinimumHeight(readout_->fontMetrics().height() + 4);
  readout_->setText(QStringLiteral("Point at the graph to read the speeds at a position."));
  table_ = new QTableWidget(this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setFocusPolicy(Qt::NoFocus);
  fillTable();
  auto* splitter = new QSplitter(Qt::Vertical, this);
  auto* top = new QWidget(splitter);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->addWidget(canvas_, 1);
  topLayout->addWidget(readout_);
  splitter->addWidget(top);
  splitter->addWidget(table_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({500, 330});
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* exportButton = buttons->addButton(QStringLiteral("&Export picture..."), QDialogButtonBox::ActionRole);
  connect(exportButton, &QPushButton::clicked, this, &CompareDialog::exportPicture);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(canvas_, &CompareCanvas::readoutChanged, readout_, &QLabel::setText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addWidget(buttons);
  resize(840, 900);
}

void CompareDialog::fillTable() {
  const CompareTable& t = model_.table();
  const auto& runs = model_.runs();
  table_->setColumnCount(static_cast<int>(runs.size()));
  table_->setRowCount(static_cast<int>(t.rows.size()));
  for (size_t c = 0; c < runs.size(); ++c) {
    auto* header = new QTableWidgetItem(QString::fromStdString(runs[c].heading));
    header->setToolTip(QString::fromStdString(runs[c].label));
    header->setForeground(qColour(compareColour(static_cast<int>(c))).darker(c == 5 ? 200 : 130));
    table_->setHorizontalHeaderItem(static_cast<int>(c), header);
  }
  for (size_t r = 0; r < t.rows.size(); ++r) {
    table_->setVerticalHeaderItem(static_cast<int>(r), new QTableWidgetItem(QString::fromStdString(t.rows[r].label)));
    for (size_t c = 0; c < t.rows[r].cells.size(); ++c) {
      const CompareCell& cell = t.rows[r].cells[c];
      const std::string text = cell.difference.empty() ? cell.text : cell.text + "  (" + cell.difference + ")";
      auto* item = new QTableWidgetItem(QString::fromStdString(text));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
}

bool CompareDialog::exportTo(const std::string& path) {
  std::string bytes;
  const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
  if (svg) {
    bytes = model_.svg(canvas_->width(), canvas_->height());
  } else {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (canvas_->picture().save(&buffer, "PNG")) bytes.assign(png.constData(), static_cast<size_t>(png.size()));
  }
  // A picture that could not be encoded is not written as an empty file.
  const int error = bytes.empty() ? EIO : writeFileAtomically(path, bytes);
  if (error != 0) dialogs_.messageBox(saveErrorMessage(path, error));
  return error == 0;
}

void CompareDialog::exportPicture() {
  const std::string path = dialogs_.chooseSaveFile({"PNG pictures|*.png|SVG pictures|*.svg||", "png", "compare.png"});
  if (!path.empty()) exportTo(path);
}

}  // namespace tmx::ui
