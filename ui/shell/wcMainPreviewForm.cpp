// The main window's preview box: the canvas, placed as the preview size
// asks, and the transport below it, with the faces of its buttons; the
// canvas's messages and the window's file drops reach wcMain through one
// small adapter.
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/shell/wcMain.h"

namespace {

constexpr int kTransportHeight = 77;

// Passes the canvas's messages and the window's drags on to the main window.
class CanvasAdapter : public QObject, public NSImageViewCustomDelegate, public NSDraggingDestination {
public:
  explicit CanvasAdapter(wcMain* main) : QObject(main), main_(main) {}

  void imageMouseDown(QPointF p) override { main_->imageMouseDown(p); }
  void imageMouseUp(QPointF p) override { main_->imageMouseUp(p); }
  void imageMouseDoubleClick(QPointF p) override { main_->imageMouseDoubleClick(p); }
  void imageMouseDrag(QPointF p) override { main_->imageMouseDrag(p); }
  void imageMouseMagnify(QPointF p, double amount, bool start) override { main_->imageMouseMagnify(p, amount, start); }
  void imageMenuRequested(QPointF p, QPoint globalPos) override { main_->imageMenuRequested(p, globalPos); }

  Qt::DropActions draggingEntered(const QMimeData*) override { return Qt::CopyAction | Qt::LinkAction; }
  bool prepareForDragOperation(const QMimeData*) override { return true; }
  // Copies of the paths are taken; the files stay where they are.
  bool performDragOperation(const QMimeData* data) override {
    QStringList paths;
    if (data != nullptr && data->hasUrls()) {
      for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
      }
    }
    main_->DropFiles(paths);
    return !paths.isEmpty();
  }

protected:
  // Drags over the rest of the window come here.
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
      AnswerFileDrag(static_cast<QDropEvent*>(event), true);
      return true;
    case QEvent::DragLeave:
      draggingExited();
      return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      AnswerFileDrag(drop, prepareForDragOperation(drop->mimeData()) && performDragOperation(drop->mimeData()));
      return true;
    }
    default:
      return false;
    }
  }

private:
  wcMain* main_;
};

QIcon faceIcon(const QString& face) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(60, 60, 60));
  if (face == "PlayImage") {
    painter.drawPolygon(QPolygonF({QPointF(7, 4), QPointF(20, 12), QPointF(7, 20)}));
  } else if (face == "PauseImage") {
    painter.drawRect(QRectF(6, 5, 4, 14));
    painter.drawRect(QRectF(14, 5, 4, 14));
  } else if (face == "StopImage" || face == "StopRedImage") {
    if (face == "StopRedImage") painter.setBrush(QColor(210, 30, 30));
    painter.drawRect(QRectF(6, 6, 12, 12));
  } else if (face == "SoundImage" || face == "SoundMuteImage") {
    painter.drawPolygon(QPolygonF({QPointF(4, 9), QPointF(8, 9), QPointF(13, 4), QPointF(13, 20), QPointF(8, 15),
                                   QPointF(4, 15)}));
    painter.setPen(QPen(face == "SoundImage" ? QColor(60, 60, 60) : QColor(210, 30, 30), 2));
    painter.setBrush(Qt::NoBrush);
    if (face == "SoundImage") {
      painter.drawArc(QRectF(9, 7, 8, 10), -60 * 16, 120 * 16);
      painter.drawArc(QRectF(9, 4, 12, 16), -60 * 16, 120 * 16);
    } else {
      painter.drawLine(QPointF(15, 8), QPointF(21, 16));
      painter.drawLine(QPointF(21, 8), QPointF(15, 16));
    }
  }
  return QIcon(pixmap);
}

QPushButton* transportButton(QWidget* parent, const QString& name, const QString& text, const QString& tip) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setFocusPolicy(Qt::NoFocus);
  if (!text.isEmpty() && text.size() <= 2) button->setFixedWidth(34);
  return button;
}

} // namespace

void wcMain::setButtonFace(QPushButton* button, const QString& face) {
  if (button == nullptr || button->property("face").toString() == face) return;
  button->setProperty("face", face);
  button->setIcon(faceIcon(face));
}

QWidget* wcMain::makePreviewGroup(QWidget* parent) {
  previewGroup_ = new QGroupBox(parent);
  previewGroup_->setObjectName("PreviewGroup");
  previewImage_ = new NSImageViewCustom(previewGroup_);
  previewImage_->setObjectName("PreviewImage");
  auto* adapter = new CanvasAdapter(this);
  canvasAdapter_ = adapter;
  previewImage_->setDelegate(adapter);
  if (QWidget* window = parent->window()) {
    RegisterDraggingDestination(window, adapter);
    window->installEventFilter(adapter);
  }
  makeTransport(previewGroup_);
  positionCanvas();
  return previewGroup_;
}

QWidget* wcMain::makeTransport(QWidget* parent) {
  auto* strip = new QWidget(parent);
  strip->setObjectName("PreviewTransport");
  auto* column = new QVBoxLayout(strip);
  column->setContentsMargins(0, 0, 0, 0);
  previewTimeSlider_ = new QSlider(Qt::Horizontal, strip);
  previewTimeSlider_->setObjectName("PreviewTimeSlider");
  previewTimeSlider_->setRange(0, 0);
  column->addWidget(previewTimeSlider_);
  auto* row = new QHBoxLayout();
  row->setSpacing(3);
  column->addLayout(row);
  previewTimeButton_ = transportButton(strip, "PreviewTimeButton", "0.0", "Go to a time");
  previewTimeButton_->setMinimumWidth(80);
  auto* back2 = transportButton(strip, "StepBackwardButton2", "<<", "Back 0.15 s");
  auto* back = transportButton(strip, "StepBackwardButton", "<", "Back 0.03 s");
  playButton_ = transportButton(strip, "PlayButton", "", "Play / pause");
  stopButton_ = transportButton(strip, "StopButton", "", "Stop");
  auto* forward = transportButton(strip, "StepForwardButton", ">", "Forward 0.03 s");
  auto* forward2 = transportButton(strip, "StepForwardButton2", ">>", "Forward 0.15 s");
  projectLengthButton_ = transportButton(strip, "ProjectLengthButton", "0.0", "Project length");
  projectLengthButton_->setMinimumWidth(80);
  muteButton_ = transportButton(strip, "MuteButton", "", "Sound on / off");
  volumeStepper_ = new QSpinBox(strip);
  volumeStepper_->setObjectName("VolumeStepper");
  volumeStepper_->setRange(0, 100);
  volumeStepper_->setSingleStep(10);
  volumeStepper_->setSuffix(" %");
  volumeStepper_->setValue(previewVolume_);
  auto* settings = transportButton(strip, "PreviewSettingsButton", "Settings", "Preview settings");
  auto* snapshot = transportButton(strip, "SnapshotButton", "Snapshot", "Save the preview picture");
  for (QWidget* w : std::initializer_list<QWidget*>{previewTimeButton_, back2, back, playButton_, stopButton_, forward,
                                                   forward2, projectLengthButton_})
    row->addWidget(w);
  row->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{muteButton_, volumeStepper_, settings, snapshot}) row->addWidget(w);
  for (QPushButton* b : {playButton_, stopButton_, muteButton_}) b->setFixedWidth(34);
  setButtonFace(playButton_, "PlayImage");
  setButtonFace(stopButton_, "StopImage");
  setButtonFace(muteButton_, previewVolume_ > 0 ? "SoundImage" : "SoundMuteImage");

  connect(playButton_, &QPushButton::clicked, this, &wcMain::PlayButton_Pressed);
  connect(stopButton_, &QPushButton::clicked, this, &wcMain::StopButton_Pressed);
  connect(back2, &QPushButton::clicked, this, &wcMain::StepBackwardButton2_Pressed);
  connect(back, &QPushButton::clicked, this, &wcMain::StepBackwardButton_Pressed);
  connect(forward, &QPushButton::clicked, this, &wcMain::StepForwardButton_Pressed);
  connect(forward2, &QPushButton::clicked, this, &wcMain::StepForwardButton2_Pressed);
  connect(previewTimeButton_, &QPushButton::clicked, this, &wcMain::PreviewTimeButton_Pressed);
  connect(projectLengthButton_, &QPushButton::clicked, this, &wcMain::ProjectLengthButton_Pressed);
  connect(muteButton_, &QPushButton::clicked, this, &wcMain::MuteButton_Pressed);
  connect(volumeStepper_, &QSpinBox::valueChanged, this, &wcMain::VolumeStepper_Changed);
  connect(settings, &QPushButton::clicked, this, &wcMain::PreviewSettings_Pressed);
  connect(snapshot, &QPushButton::clicked, this, &wcMain::SnapshotButton_Pressed);
  connect(previewTimeSlider_, &QSlider::valueChanged, this,
          [this]() { PreviewTimeSlider_Changed(!previewTimeSlider_->isSliderDown()); });
  connect(previewTimeSlider_, &QSlider::sliderReleased, this, [this]() { PreviewTimeSlider_Changed(true); });
  return strip;
}

// A picture smaller than 640 x 480 is centred in that area; the transport
// takes the bottom of the box.
void wcMain::positionCanvas() {
  if (previewGroup_ == nullptr || previewImage_ == nullptr) return;
  const int px = previewX_ > 0 ? previewX_ : 640;
  const int py = previewY_ > 0 ? previewY_ : 480;
  const int w = std::max(px, 640);
  const int h = std::max(py, 480);
  previewGroup_->setFixedSize(w + 31, h + 101);
  const int x = px < 640 ? (640 - px) / 2 + 15 : 15;
  const int yFromBottom = py < 480 ? (480 - py) / 2 + 77 : 77;
  previewImage_->setGeometry(x, previewGroup_->height() - yFromBottom - py, px, py);
  if (auto* strip = previewGroup_->findChild<QWidget*>("PreviewTransport"))
    strip->setGeometry(12, previewGroup_->height() - kTransportHeight + 4, w + 7, kTransportHeight - 12);
}
