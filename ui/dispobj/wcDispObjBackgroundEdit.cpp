// Editing the background picture in the user's image editor: the picture
// goes out as a BMP file in a folder of its own, a thread waits for the
// editor to quit, and the GUI thread takes the file back unless the
// session was cancelled in the meantime (window closed, picture cleared or
// replaced).
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <thread>

#include "base/error.h"
#include "base/main_thread.h"
#include "base/message_box.h"
#include "render/objects/background_bitmap.h"
#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/outside_editor.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

struct wcDispObjBackground::EditSession {
  // Private to the user (mode 0700) and unique, so no other program or
  // second copy of this one can swap the file under the editor.
  QTemporaryDir folder{QDir::tempPath() + "/quelvatron-edit-XXXXXX"};
  QString file;
  uint32_t object = 0xFFFFFFFF;
};

void wcDispObjBackground::EditButton_Pressed() {
  if (state_.EditRunning) {
    AppMessageBox(L"Image editor is already running. Please close that application before trying again.", 48);
    return;
  }
  auto session = std::make_shared<EditSession>();
  if (!session->folder.isValid()) {
    AppMessageBox(L"The picture could not be handed to the image editor: no temporary folder could be made.", 48);
    return;
  }
  session->file = session->folder.filePath("QV2-DispObjBackground.bmp");
  session->object = state_.OurIndex;
  const int code = DispObjBitmapExport(session->object, NSStringToWStr(session->file).c_str());
  if (code != 0) ErrorShowLast();
  if (code < 0) return;
  const QStringList command = OutsideEditorCommand(session->file);
  if (command.isEmpty()) {
    AppMessageBox(L"No image editor is set up for BMP files on this computer. Make one the desktop's default "
                  L"application for BMP pictures, or name its command under ImageEditor in this program's "
                  L"settings file.",
                  48);
    return;
  }
  state_.EditCancel = false;
  state_.EditRunning = true;
  EditWaitingLabel->setVisible(true);
  QPointer<wcDispObjBackground> self(this);
  std::thread([self, session, command]() {
    QString reason;
    const bool ran = OutsideEditorRunAndWait(command, &reason);
    MainThreadPost([self, session, ran, reason]() {
      // Without an application left (the process ending) there is no one
      // to hand the picture to.
      if (IsGuiThread() && self) self->BackgroundEditDone(session, ran, reason);
    });
  }).detach();
}

void wcDispObjBackground::BackgroundEditDone(const std::shared_ptr<EditSession>& session, bool ran,
                                             const QString& reason) {
  if (!ran) {
    const QString text = "The image editor could not be started: " + reason;
    AppMessageBox(NSStringToWStr(text).c_str(), 48);
  } else if (!state_.EditCancel &&
             DispObjBitmapImport(session->object, NSStringToWStr(session->file).c_str()) != 0) {
    ErrorShowLast();
  }
  session->folder.remove();
  state_.EditRunning = false;
  EditWaitingLabel->setVisible(state_.EditRunning);
  // A closed window opens no preview it would keep until the next opening.
  if (AppDelegate::IsWindowVisible(this)) UpdatePreview();
}
