#pragma once
// The upload window: account, password (optionally remembered), title,
// description and privacy of a video for the video-hosting service, and
// the upload itself on a thread of its own with its status once a second.
// Three ways in: before a render it only collects the details (pre-render:
// button "Done", no file row); after that render it uploads the new file
// by itself (automatic); from the File menu it uploads any video file.
#include <QString>
#include <memory>

#include "ui/shell/WindowController.h"
#include "ui/util/ui_utils.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

class wcUpload : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcUpload();

public:
  ~wcUpload() override;

  // Upload thread states.
  enum ThreadState : int { kPreparing = 0, kRunning = 1, kFailed = 2, kDone = 3 };

  // Prepares an opening: the file (may be empty), pre-render mode, and
  // whether the details start empty.
  void SetData(const QString& path, bool preRender, bool isNew);
  // Fills the controls from the remembered details and arms the automatic start.
  void SetAutoParams();
  void SetVideoFile(const QString& path);
  void SetUploadControlState(bool uploading);
  void SaveUserPassword();
  // The description as it is sent: every line ended with CR LF.
  QString DescriptionText() const;

  // The details handed from the pre-render run to the automatic run.
  QString User() const { return details_.user; }
  QString Pass() const { return details_.pass; }
  QString Title() const { return details_.title; }
  QString Desc() const { return details_.desc; }
  bool Private() const { return details_.isPrivate; }
  void setUser(const QString& text) { details_.user = text; }
  void setPass(const QString& text) { details_.pass = text; }
  void setTitle(const QString& text) { details_.title = text; }
  void setDesc(const QString& text) { details_.desc = text; }
  void setPrivate(bool on) { details_.isPrivate = on; }
  // The pre-render run was confirmed with its button.
  bool Success() const { return opening_.success; }

  bool PreRenderMode() const { return opening_.preRender; }
  bool AutoMode() const { return opening_.autoMode; }
  bool DidCancel() const { return opening_.didCancel; }
  const QString& VideoFileName() const { return opening_.videoFile; }
  int UploadThreadState() const;
  QString UploadThreadStatus() const;
  // An upload thread of this window has not returned yet.
  bool UploadThreadRunning() const;

  // The controls, for the window's own layout and for tests that press them.
  struct Outlets {
    QLabel* FileLabel = nullptr;
    QPushButton* FileButton = nullptr;
    QLabel* UserLabel = nullptr;
    QLabel* UserDescLabel = nullptr;
    QLineEdit* UserText = nullptr;
    QLabel* PasswordLabel = nullptr;
    QLineEdit* PasswordText = nullptr;
    QCheckBox* RememberUserCheck = nullptr;
    // Shown while the box is on but no keyring can keep the password.
    QLabel* KeyringLabel = nullptr;
    QLabel* TitleLabel = nullptr;
    QLineEdit* TitleText = nullptr;
    QLabel* DescLabel = nullptr;
    QPlainTextEdit* DescText = nullptr;
    QCheckBox* PrivateCheck = nullptr;
    QLabel* StatusLabel = nullptr;
    QProgressBar* StatusProgress = nullptr;
    QPushButton* UploadButton = nullptr;
    QPushButton* CancelButton = nullptr;
  };
  const Outlets& outlets() { window(); return ui_; }

public slots:
  void FileButton_Pressed();
  void UploadButton_Pressed();
  void CancelButton_Pressed();
  void RememberUserCheck_Changed();
  void PrivateCheck_Changed();
  void UploadTimer_Tick();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;

private:
  struct Run;
  struct Details {
    QString user, pass, title, desc;
    bool isPrivate = false;
  };
  struct Opening {
    bool preRender = false;
    bool autoMode = false;
    bool didCancel = false;
    bool success = false;
    QString videoFile;
  };

  void showKeyringNote(bool passwordKept);
  void startUpload();
  void cancelRun();
  void stopTimer();
  void closeWindow();
  static void UploadThreadTask(std::shared_ptr<Run> run);

  Outlets ui_;
  Details details_;
  Opening opening_;
  std::shared_ptr<Run> run_;
  QTimer* uploadTimer_ = nullptr;
  AppActivityToken activity_ = nullptr;
};
