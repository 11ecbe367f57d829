#include "ui/dispobj/DispObjPanel.h"

#include <QLayout>
#include <cstring>

#include "engine/base/error.h"
#include "engine/files/undo.h"
#include "engine/model/dispobjs.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

DispObjPanel::DispObjPanel(DispPanel bit, const QString& objectName, wcDispObjEdit* owner)
    : bit_(bit), owner_(owner) {
  setObjectName(objectName);
  setFixedWidth(wcDispObjEdit::kPanelWidth);
}

int DispObjPanel::IntendedHeight() const {
  if (layout() != nullptr) layout()->activate();
  return sizeHint().height();
}

wcMain* DispObjPanel::main() { return AppDelegate::shared() != nullptr ? AppDelegate::shared()->wndMain : nullptr; }

bool DispObjPanel::appliesTo(uint8_t type) const {
  if (bit_ == kPanelGeneral) return true;
  return (wcDispObjEdit::PanelsForType(type) & bit_) != 0;
}

bool DispObjPanel::readCommon(uint32_t index, DispStruct& out) const {
  const DispStruct* record = DispObjGet(index);
  if (record == nullptr) {
    if (index != kNoDispObj) ErrorShowLast();
    return false;
  }
  out = *record;
  return appliesTo(out.Type);
}

bool DispObjPanel::readParam(uint32_t index, void* out, size_t size) const {
  DispStruct record{};
  if (!readCommon(index, record)) return false;
  // A block of another size is another kind's record: never copied over ours.
  if (record.ParamSize != size) return false;
  const void* param = DispObjGetParam(index);
  if (param == nullptr) {
    ErrorShowLast();
    return false;
  }
  std::memcpy(out, param, size);
  return true;
}

// The object at OurIndex may have changed under the panel (a removal packs
// the table): then the window lays itself out again for what is there now.
bool DispObjPanel::objectStillFits(DispStruct& record, size_t paramSize) {
  const DispStruct* current = DispObjGet(OurIndex);
  if (current == nullptr) {
    if (OurIndex != kNoDispObj) ErrorShowLast();
    return false;
  }
  record = *current;
  if (appliesTo(record.Type) && (paramSize == 0 || record.ParamSize == paramSize) &&
      record.Type == owner_->ShownType())
    return true;
  owner_->ReloadAfterChange();
  return false;
}

bool DispObjPanel::writeCommon(const std::function<void(DispStruct&)>& change, bool quickPreview,
                               const std::function<void()>& afterWrite) {
  DispStruct record{};
  if (LoadingData || !objectStillFits(record, 0)) return false;
  UndoSave();
  if (wcMain* m = main()) m->setProjectModified(true);
  change(record);
  const int code = DispObjSet(OurIndex, &record);
  if (code != 0) ErrorShowLast();
  if (afterWrite) afterWrite();
  if (wcMain* m = main()) m->PreviewRefresh(quickPreview);
  return code == 0;
}

bool DispObjPanel::writeParam(const void* param, size_t size) {
  DispStruct record{};
  if (LoadingData || !objectStillFits(record, size)) return false;
  UndoSave();
  if (wcMain* m = main()) m->setProjectModified(true);
  const int code = DispObjSetParam(OurIndex, param);
  if (code != 0) ErrorShowLast();
  if (wcMain* m = main()) m->PreviewRefresh();
  return code == 0;
}

void DispObjPanel::updateOtherPanels() { owner_->UpdateControls(); }
