// The render road from the Create button: settings stored, range checked,
// output file chosen, the engine's output render started, the upload
// details collected while it runs, the progress window until the render
// ends, then the upload and the dialog closed once the video is complete.
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include "base/error.h"
#include "base/message_box.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr uint32_t kWriterHandler = 8;

QString storedOutputFolder() {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains("OutputDir")) return QString();
  return QUrl(settings->value("OutputDir").toString()).toLocalFile();
}

} // namespace

QString wcCreateVideo::askOutputPath() {
  wcMain* main = AppWindows().wndMain();
  const QString name = main != nullptr ? main->ProjectTitle() : QString();
  QString path = FileDialogSave(window(), "Save Video As...", storedOutputFolder(), name, {"mp4"});
  if (path.isEmpty()) return path;
  // Only MPEG-4 files are written: the name says so too.
  if (QFileInfo(path).suffix().compare("mp4", Qt::CaseInsensitive) != 0) path += ".mp4";
  UserDefaultsWrite("OutputDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  return path;
}

void wcCreateVideo::CreateButton_Pressed() {
  UpdateControls();
  storeSettings();
  RenderRange range;
  if (!resolveRenderRange(range)) return;
  const QString path = askOutputPath();
  if (path.isEmpty()) return;
  const OutputSettings& s = settings_;
  const int created = OutputHandlerCreate(
      NSStringToWStr(path).c_str(), kWriterHandler, static_cast<uint32_t>(s.PicSizeX),
      static_cast<uint32_t>(s.PicSize), static_cast<uint32_t>(s.AudioType), static_cast<uint32_t>(s.AudioRate),
      static_cast<uint32_t>(s.VBit), static_cast<uint32_t>(s.ABit), static_cast<uint32_t>(s.Quality),
      OutputFrameRateForEngine(s.FrameRate), s.Overscan, range.start, range.end);
  if (created != 0) ErrorShowLast();
  if (created < 0) return;
  // The details are asked for while the render already runs.
  bool upload = flags_.ShowUpload && CollectUploadDetails(path);
  AppActivityToken activity = AppActivityBegin("Rendering");
  wcCreateStatus* status = AppWindows().wndCreateStatus();
  bool complete = false;
  if (status != nullptr) {
    status->setOutputWindow(this);
    status->SetData(range.start, range.end);
    status->setCompleteNotify(!upload);
    RunModalForWindow(status);
    complete = status->Success();
  } else {
    OutputHandlerStop();
  }
  RenderEnd();
  // A render stopped by the user whose file could not be finished either.
  const int result = OutputHandlerGetResult();
  if (!complete && (status == nullptr || !status->FailureShown()) && result < 0 && result != kErrStopped)
    AppMessageBox(NSStringToWStr(RenderFailureText(result)).c_str(), 16);
  if (complete) {
    if (upload) RunUpload(path);
    AppActivityEnd(activity);
    close();
    return;
  }
  AppActivityEnd(activity);
}
