// Files becoming part of the project: the Add File(s) panel and the batch
// routine behind it and behind dropped files, one file by its extension
// (style, template or input), the multi-part and embedded-GPS questions,
// the first display object of a new input, and embedding a still image.
#include <QFileInfo>
#include <QUrl>

#include "base/error.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/files/style.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "media/embedded_data.h"
#include "render/objects/background_bitmap.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

QString failureLine(const QString& path, int code) {
  QString reason = code < 0 ? WStrToNSString(ErrorGetText(code)) : QString("not added");
  return QFileInfo(path).fileName() + ": " + reason;
}

} // namespace

void wcMain::AddInput() {
  FileDialogRequest request;
  request.multiple = true;
  request.title = "Add File(s) to Project...";
  request.directory = UserDefaultsReadFolder("InputDir");
  request.types = AppDelegate::GetMediaFileTypes(255) << "qvo" << "qvt";
  request.otherTypes = true;
  AddInputFiles(FileDialogRun(window(), request));
}

void wcMain::AddInputFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  // One checkpoint for the whole batch, dropped files included, so that one
  // Undo takes the batch back and nothing before it.
  UndoSave();
  const bool show = paths.size() == 1;
  QStringList failures;
  bool anyAdded = false;
  for (const QString& path : paths) anyAdded = addOneFile(path, show, &failures) || anyAdded;
  if (anyAdded) setProjectModified(true);
  PreviewRefresh();
  if (failures.isEmpty()) return;
  QString text = QString("%1 of the %2 files could not be added to the project:\n\n%3")
                     .arg(failures.size())
                     .arg(paths.size())
                     .arg(failures.join('\n'));
  AppMessageBox(NSStringToWStr(text).c_str(), 48);
}

bool wcMain::UiInputAdd(const QString& path, bool showMessages) {
  return addOneFile(path, showMessages, nullptr);
}

// Adds one file; true when something was added. Failures are shown at once
// with messages on, else noted in failures for the batch's warning.
bool wcMain::addOneFile(const QString& path, bool show, QStringList* failures) {
  const std::wstring wide = NSStringToWStr(path);
  const QString extension = QFileInfo(path).suffix().toUpper();
  uint32_t first = kNoInput;
  uint32_t second = kNoInput;
  bool added = false;
  // Only a failure is reported: what a routine that succeeded left as its
  // last result (a new object's index, say) is no error.
  auto report = [&](bool ok) {
    if (ok) return;
    if (show) ErrorShowLast();
    else if (failures != nullptr) *failures << failureLine(path, ErrorGetLast());
  };
  if (extension == "QVO") {
    added = DispObjImportStyle(kNoDispObj, wide.c_str(), kStyleApplyPlace) >= 0;
    report(added);
  } else if (extension == "QVT") {
    added = templateAddCommand_(path) >= 0;
    report(added);
  } else {
    const QString question = "This appears to be part of a multi-file set. Do you want to add the entire set to "
                             "the project as a joined input?";
    if (show && InputCheckMultiPart(wide.c_str()) == kMultiPartFound &&
        AppMessageBox(NSStringToWStr(question).c_str(), 36) == kMbYes) {
      first = InputAddMultiPart(wide.c_str());
    } else {
      first = InputAdd(WideToUtf16(wide).c_str());
    }
    added = first != kNoInput;
    UserDefaultsWriteFolderOf("InputDir", path);
    report(added);
    if (added && InputHandlerHasEmbeddedData(first) &&
        AppMessageBox(L"This file appears to contain embedded GPS data. Would you like to extract that and add "
                      L"it to your project?",
                      36) == kMbYes) {
      second = InputHandlerExtractEmbeddedData(first);
      report(second != kNoInput);
    }
  }
  // Only a change counts: a file that could not be added leaves the project
  // as it was, and asking to save it then would be a false alarm.
  if (added) setProjectModified(true);
  UiInputAddDispObj(first);
  UiInputAddDispObj(second);
  DispObjRefresh(kNoDispObj);
  return added;
}

void wcMain::UiInputAddDispObj(uint32_t input) {
  if (input == kNoInput) return;
  InputRefresh(input);
  switch (InputGetType(input)) {
  case kInputVideo:
  case kInputImage:
  case kInputJoinVideo: DispObjAdd(kDispVideo, input); break;
  case kInputAudio:
  case kInputJoinAudio: DispObjAdd(kDispAudio, input); break;
  case kInputData:
  case kInputJoinData:
    if (templateMenuCommand_) templateMenuCommand_(3, input);
    break;
  default: break;
  }
}

void wcMain::AddInputEmbed() {
  QString path = FileDialogOpen(window(), "Embed Image File...", UserDefaultsReadFolder("InputDir"),
                                AppDelegate::GetMediaFileTypes(4));
  if (path.isEmpty()) return;
  UndoSave();
  int32_t object = DispObjAddEImageFromFile(NSStringToWStr(path).c_str());
  if (object < 0) {
    ErrorShowLast();
    return;
  }
  DispObjRefresh(static_cast<uint32_t>(object));
  setProjectModified(true);
  PreviewRefresh();
  DispObjSelect(static_cast<uint32_t>(object));
}
