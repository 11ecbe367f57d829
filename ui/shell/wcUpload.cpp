// The upload window's layout, its openings in the three modes and the
// remembered account (the upload run itself: wcUploadRun.cpp).
#include "ui/shell/wcUpload.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/identity.h"
#include "base/message_box.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/secret_store.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"

namespace {

constexpr const char* kWindowTitle = "Upload to YouTube";
constexpr const char* kNoFileTitle = "Click here to select video file to upload...";
constexpr const char* kNoKeyringText =
    "This desktop has no keyring to keep the password safely: only the user name will be remembered.";

bool storedFlag(const char* key) {
  bool value = false;
  UserDefaultsReadBool(key, value);
  return value;
}

QString storedScrambled(const char* key) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains(key)) return QString();
  return PasswordUnscramble(settings->value(key).toString(), NSStringToWStr(key).c_str());
}

QString programText() { return WStrToNSString(GetAppName()) + " " + WStrToNSString(GetAppVersion()); }

} // namespace

wcUpload::wcUpload() : WindowController("wcUpload", kOpenCentred) {}

QWidget* wcUpload::makeWindow() {
  QDialog* dialog = makeDialog(kWindowTitle);
  dialog->setMinimumWidth(560);
  auto* grid = new QGridLayout();
  int row = 0;
  ui_.FileLabel = new QLabel("Video file:", dialog);
  ui_.FileButton = new QPushButton(kNoFileTitle, dialog);
  ui_.FileButton->setStyleSheet("text-align: left; padding: 3px 8px;");
  grid->addWidget(ui_.FileLabel, row, 0);
  grid->addWidget(ui_.FileButton, row++, 1);
  ui_.UserLabel = new QLabel("User name:", dialog);
  ui_.UserText = new QLineEdit(dialog);
  grid->addWidget(ui_.UserLabel, row, 0);
  grid->addWidget(ui_.UserText, row++, 1);
  ui_.UserDescLabel = new QLabel("Your YouTube user name, or the e-mail address of your account.", dialog);
  ui_.UserDescLabel->setEnabled(true);
  QFont small = ui_.UserDescLabel->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  ui_.UserDescLabel->setFont(small);
  grid->addWidget(ui_.UserDescLabel, row++, 1);
  ui_.PasswordLabel = new QLabel("Password:", dialog);
  ui_.PasswordText = new QLineEdit(dialog);
  ui_.PasswordText->setEchoMode(QLineEdit::Password);
  grid->addWidget(ui_.PasswordLabel, row, 0);
  grid->addWidget(ui_.PasswordText, row++, 1);
  ui_.RememberUserCheck = new QCheckBox("Remember my user name and password", dialog);
  grid->addWidget(ui_.RememberUserCheck, row++, 1);
  ui_.KeyringLabel = new QLabel(kNoKeyringText, dialog);
  ui_.KeyringLabel->setObjectName("KeyringLabel");
  ui_.KeyringLabel->setWordWrap(true);
  ui_.KeyringLabel->setFont(small);
  ui_.KeyringLabel->setStyleSheet("color: #b00000;");
  ui_.KeyringLabel->hide();
  grid->addWidget(ui_.KeyringLabel, row++, 1);
  ui_.TitleLabel = new QLabel("Title:", dialog);
  ui_.TitleText = new QLineEdit(dialog);
  grid->addWidget(ui_.TitleLabel, row, 0);
  grid->addWidget(ui_.TitleText, row++, 1);
  ui_.DescLabel = new QLabel("Description:", dialog);
  ui_.DescText = new QPlainTextEdit(dialog);
  ui_.DescText->setMinimumHeight(110);
  grid->addWidget(ui_.DescLabel, row, 0, Qt::AlignTop);
  grid->addWidget(ui_.DescText, row++, 1);
  ui_.PrivateCheck = new QCheckBox("Private video (only you and the people you choose can watch it)", dialog);
  grid->addWidget(ui_.PrivateCheck, row++, 1);
  grid->setColumnStretch(1, 1);

  ui_.StatusLabel = new QLabel(dialog);
  ui_.StatusProgress = new QProgressBar(dialog);
  ui_.StatusProgress->setRange(0, 1000);
  ui_.StatusProgress->setTextVisible(false);
  ui_.StatusProgress->hide();
  ui_.CancelButton = new QPushButton("Cancel", dialog);
  ui_.UploadButton = new QPushButton("Upload", dialog);
  ui_.UploadButton->setDefault(true);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(ui_.StatusLabel);
  bottom->addWidget(ui_.StatusProgress, 1);
  bottom->addStretch(0);
  bottom->addWidget(ui_.CancelButton);
  bottom->addWidget(ui_.UploadButton);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(bottom);

  connect(ui_.FileButton, &QPushButton::clicked, this, &wcUpload::FileButton_Pressed);
  connect(ui_.UploadButton, &QPushButton::clicked, this, &wcUpload::UploadButton_Pressed);
  connect(ui_.CancelButton, &QPushButton::clicked, this, &wcUpload::CancelButton_Pressed);
  connect(ui_.RememberUserCheck, &QCheckBox::clicked, this, &wcUpload::RememberUserCheck_Changed);
  connect(ui_.PrivateCheck, &QCheckBox::clicked, this, &wcUpload::PrivateCheck_Changed);
  return dialog;
}

void wcUpload::SetData(const QString& path, bool preRender, bool isNew) {
  window();
  if (isNew) {
    ui_.UserText->clear();
    ui_.PasswordText->clear();
    ui_.TitleText->clear();
    ui_.DescText->clear();
    ui_.RememberUserCheck->setChecked(false);
    ui_.PrivateCheck->setChecked(false);
    SetUploadControlState(false);
  }
  // A new run state: whatever an earlier thread still writes goes to its own.
  run_.reset();
  ui_.StatusLabel->clear();
  ui_.StatusProgress->hide();
  window()->setWindowTitle(kWindowTitle);
  opening_.autoMode = false;
  opening_.preRender = preRender;
  ui_.FileLabel->setVisible(!preRender);
  ui_.FileButton->setVisible(!preRender);
  ui_.UploadButton->setText(preRender ? "Done" : "Upload");
  SetVideoFile(path);
  // Two empty lines above the program's name, for the user's own words.
  ui_.DescText->setPlainText((preRender ? "\n\nCreated and uploaded using " : "\n\nUploaded with ") + programText());
  ui_.PrivateCheck->setChecked(storedFlag("VideoUploadPrivate"));
  ui_.RememberUserCheck->setChecked(storedFlag("VideoUploadRememberUser"));
  if (ui_.RememberUserCheck->isChecked()) {
    ui_.UserText->setText(storedScrambled("VideoUploadUser"));
    ui_.PasswordText->setText(SecretLookupPassword(ui_.UserText->text()));
  }
  showKeyringNote(SecretStoreAvailable());
}

QString wcUpload::DescriptionText() const {
  QString text = ui_.DescText != nullptr ? ui_.DescText->toPlainText() : QString();
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  text.replace("\n", "\r\n");
  return text;
}

void wcUpload::showKeyringNote(bool passwordKept) {
  ui_.KeyringLabel->setVisible(ui_.RememberUserCheck->isChecked() && !passwordKept);
}

void wcUpload::SetAutoParams() {
  window();
  ui_.UserText->setText(details_.user);
  ui_.PasswordText->setText(details_.pass);
  ui_.TitleText->setText(details_.title);
  QString desc = details_.desc;
  ui_.DescText->setPlainText(desc.replace("\r\n", "\n"));
  ui_.PrivateCheck->setChecked(details_.isPrivate);
  opening_.preRender = false;
  opening_.autoMode = true;
}

void wcUpload::SetVideoFile(const QString& path) {
  window();
  opening_.videoFile = path;
  if (path.isEmpty()) {
    ui_.FileButton->setText(kNoFileTitle);
    return;
  }
  ui_.FileButton->setText(path);
  ui_.TitleText->setText(QFileInfo(path).completeBaseName());
}

void wcUpload::SetUploadControlState(bool uploading) {
  window();
  ui_.UploadButton->setText(uploading ? "Uploading..." : (opening_.preRender ? "Done" : "Upload"));
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_.UploadButton, ui_.FileLabel, ui_.FileButton, ui_.UserLabel, ui_.UserText, ui_.UserDescLabel,
           ui_.PasswordLabel, ui_.PasswordText, ui_.TitleLabel, ui_.TitleText, ui_.DescLabel, ui_.DescText,
           ui_.PrivateCheck, ui_.RememberUserCheck})
    UISetControlEnabled(control, !uploading);
  ui_.DescText->setReadOnly(uploading);
  ui_.StatusProgress->setVisible(uploading);
}

// The account name stays in the settings (scrambled, as always); the
// password goes only to the desktop's keyring, and where there is none it
// is not remembered. Turning the box off forgets both.
void wcUpload::SaveUserPassword() {
  UserDefaultsRemove("VideoUploadPass");
  if (ui_.RememberUserCheck->isChecked()) {
    UserDefaultsWrite("VideoUploadRememberUser", true);
    UserDefaultsWrite("VideoUploadUser", PasswordScramble(ui_.UserText->text(), L"VideoUploadUser"));
    showKeyringNote(SecretStorePassword(ui_.UserText->text(), ui_.PasswordText->text()));
  } else {
    showKeyringNote(true);
    UserDefaultsWrite("VideoUploadRememberUser", false);
    UserDefaultsRemove("VideoUploadUser");
    SecretClearPasswords();
  }
}

void wcUpload::RememberUserCheck_Changed() { SaveUserPassword(); }

void wcUpload::PrivateCheck_Changed() { UserDefaultsWrite("VideoUploadPrivate", ui_.PrivateCheck->isChecked()); }

void wcUpload::FileButton_Pressed() {
  FileDialogRequest request;
  request.title = "Select Video File to Upload...";
  request.directory = UserDefaultsReadFolder("OutputDir");
  request.types = AppDelegate::GetMediaFileTypes(1);
  request.otherTypes = true;
  const QStringList chosen = FileDialogRun(window(), request);
  if (!chosen.isEmpty()) SetVideoFile(chosen.front());
}

void wcUpload::windowDidOpen() {
  activity_ = AppActivityBegin("Upload");
  opening_.success = false;
  opening_.didCancel = false;
  if (opening_.autoMode) UploadButton_Pressed();
}

void wcUpload::windowWillClose() {
  if (!opening_.success && !opening_.didCancel && UploadThreadState() != kDone) cancelRun();
  stopTimer();
  AppActivityEnd(activity_);
  activity_ = nullptr;
}

void wcUpload::closeWindow() {
  if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(0);
}
