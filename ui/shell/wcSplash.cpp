#include "ui/shell/wcSplash.h"

#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "base/identity.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

wcSplash::wcSplash() : WindowController("wcSplash") {}

QWidget* wcSplash::makeWindow() {
  auto* window = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
  window->setWindowTitle("Quelvatron");
  window->setFixedSize(460, 260);
  window->setAutoFillBackground(true);
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor(24, 28, 36));
  palette.setColor(QPalette::WindowText, QColor(235, 235, 235));
  window->setPalette(palette);

  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(28, 28, 28, 20);
  auto* name = new QLabel("Quelvatron", window);
  QFont big = name->font();
  big.setPointSize(30);
  big.setBold(true);
  name->setFont(big);
  auto* line = new QLabel("Motorsport data overlay video", window);
  auto* accent = new QFrame(window);
  accent->setFixedHeight(4);
  accent->setStyleSheet("background-color: rgb(222, 64, 32);");
  StatusLabel = new QLabel(window);
  StatusLabel->setObjectName("StatusLabel");
  layout->addWidget(name);
  layout->addWidget(line);
  layout->addSpacing(8);
  layout->addWidget(accent);
  layout->addStretch(1);
  layout->addWidget(StatusLabel);
  return window;
}

void wcSplash::windowDidBecomeMain() { AppDelegate::shared()->CenterWindow(this); }

void wcSplash::SetStatus(const QString& text) {
  if (window() == nullptr || StatusLabel == nullptr) return;
  StatusLabel->setText(text);
  StatusLabel->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString wcSplash::Status() const { return StatusLabel != nullptr ? StatusLabel->text() : QString(); }
