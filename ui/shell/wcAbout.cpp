#include "ui/shell/wcAbout.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/identity.h"
#include "ui/seams/desktop.h"
#include "ui/shell/vendor.h"
#include "ui/util/ui_utils.h"

wcAbout::wcAbout() : WindowController("wcAbout", kOpenCentred) {}

QWidget* wcAbout::makeWindow() {
  QDialog* dialog = makeDialog("About");
  dialog->setMinimumWidth(380);
  auto* layout = new QVBoxLayout(dialog);
  AppLabel = new QLabel(dialog);
  QFont big = AppLabel->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  AppLabel->setFont(big);
  VerLabel = new QLabel(dialog);
  CopyrightLabel = new QLabel(dialog);
  AboutText = new QLabel(dialog);
  AboutText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  WebsiteButton = new QPushButton("Visit Website", dialog);
  OkButton = new QPushButton("OK", dialog);
  OkButton->setDefault(true);
  for (QLabel* label : {AppLabel, VerLabel, CopyrightLabel, AboutText}) layout->addWidget(label);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(WebsiteButton);
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  layout->addSpacing(12);
  layout->addLayout(buttons);
  connect(OkButton, &QPushButton::clicked, this, &wcAbout::OkButton_Pressed);
  connect(WebsiteButton, &QPushButton::clicked, this, &wcAbout::WebsiteButton_Clicked);
  return dialog;
}

void wcAbout::windowDidOpen() {
  QString name = WStrToNSString(GetAppName());
  QString version = WStrToNSString(GetAppVersion());
  window()->setWindowTitle(QString("About %1 %2").arg(name, version));
  AppLabel->setText(name);
  VerLabel->setText(QString("Version %1").arg(version));
  CopyrightLabel->setText(VendorCopyright());
  // Lines end the way the label shows them on this platform.
  AboutText->setText(QString("Build ID: %1 (64-bit)\nGUI Version: %2")
                         .arg(WStrToNSString(GetAppBuildString()), QCoreApplication::applicationVersion()));
}

void wcAbout::OkButton_Pressed() { close(); }

void wcAbout::WebsiteButton_Clicked() { OpenUrl(QUrl(VendorWebSiteUrl()), "the web site"); }
