// The upload step of the render road: before the render runs, the upload
// window collects the account and the video's details (while the render
// already works); after a complete render it uploads the new file with
// them by itself.
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcUpload.h"

namespace {

wcUpload* uploadWindow() {
  return AppWindows().wndUpload();
}

} // namespace

bool wcCreateVideo::UploadAvailable() const { return uploadWindow() != nullptr; }

bool wcCreateVideo::CollectUploadDetails(const QString& path) {
  wcUpload* upload = uploadWindow();
  if (upload == nullptr) return false;
  upload->SetData(path, true, true);
  RunModalForWindow(upload);
  if (!upload->Success()) return false;
  upload_.User = upload->User();
  upload_.Pass = upload->Pass();
  upload_.Title = upload->Title();
  upload_.Desc = upload->Desc();
  upload_.Private = upload->Private();
  return true;
}

void wcCreateVideo::RunUpload(const QString& path) {
  wcUpload* upload = uploadWindow();
  if (upload == nullptr) return;
  upload->SetData(path, false, false);
  upload->setUser(upload_.User);
  upload->setPass(upload_.Pass);
  upload->setTitle(upload_.Title);
  upload->setDesc(upload_.Desc);
  upload->setPrivate(upload_.Private);
  upload->SetAutoParams();
  RunModalForWindow(upload);
}
