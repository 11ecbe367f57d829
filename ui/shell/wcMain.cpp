#include "ui/shell/wcMain.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include "render/preview/main_preview.h"
#include "ui/shell/AppDelegate.h"

wcMain::wcMain() : WindowController("wcMain") {}

wcMain::~wcMain() { KillPreviewTimer(); }

QMainWindow* wcMain::mainWindow() { return qobject_cast<QMainWindow*>(window()); }

QWidget* wcMain::makeWindow() {
  auto* window = new QMainWindow();
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->BuildMainMenu(window->menuBar());
  auto* central = new QWidget(window);
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(makeListsPanel(central));

  // The preview canvas takes this place; until then an empty dark area of
  // the preview's size.
  PreviewImage = new QFrame(central);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFrameShape(QFrame::Box);
  PreviewImage->setAutoFillBackground(true);
  QPalette palette = PreviewImage->palette();
  palette.setColor(QPalette::Window, QColor(16, 16, 16));
  palette.setColor(QPalette::WindowText, QColor(70, 70, 70));
  PreviewImage->setPalette(palette);
  PreviewImage->setFixedSize(PreviewX > 0 ? PreviewX : 720, PreviewY > 0 ? PreviewY : 480);
  auto* previewColumn = new QVBoxLayout();
  previewColumn->addWidget(PreviewImage, 0, Qt::AlignTop | Qt::AlignHCenter);
  previewColumn->addStretch(1);
  layout->addLayout(previewColumn, 1);
  window->setCentralWidget(central);
  return window;
}

void wcMain::windowDidLoad() {
  WindowCustomLoad();
  WindowFirstShow = true;
}

// Runs from the load and again at the first show; every step may repeat.
void wcMain::WindowCustomLoad() { projectModified_ = false; }

void wcMain::windowWillClose() {
  if (AppDelegate::shared() != nullptr) AppDelegate::shared()->terminate();
}

bool wcMain::StartupMenuPending() const { return startupMenuTimer_ != nullptr && startupMenuTimer_->isActive(); }

void wcMain::PreviewRefresh(bool, bool) {}

void wcMain::TimelineClearSelection() {}

void wcMain::TimelineRefreshView() {}

void wcMain::SetPreviewVolume(int volume, bool) {
  PreviewVolume = volume < 0 ? 0 : (volume > 100 ? 100 : volume);
  PreviewSetVolume(static_cast<uint32_t>(PreviewVolume));
}

void wcMain::SetPreviewArea(bool resize, int x, int y) {
  PreviewX = x;
  PreviewY = y;
  if (resize && PreviewImage != nullptr) PreviewImage->setFixedSize(x, y);
}

void wcMain::CreatePreviewTimer() {
  if (previewTimer_ != nullptr) return;
  // The preview's pace: every 0.05 s while playing, idle redraws between.
  previewTimer_ = new QTimer(this);
  previewTimer_->setInterval(50);
  previewTimer_->start();
}

void wcMain::KillPreviewTimer() {
  if (previewTimer_ == nullptr) return;
  previewTimer_->stop();
  delete previewTimer_;
  previewTimer_ = nullptr;
}
