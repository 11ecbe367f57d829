// The toolbox's style page: up to 16 previews of the style files that fit
// the new object's kind, a page at a time, one of which is applied to the
// new object before the palette closes.
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "io/files/style.h"
#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/dispobj/wcDispObjToolbox.h"
#include "ui/seams/desktop.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kPreviewSide = 112;

// A click on a preview picks its style.
class PreviewClick : public QObject, public NSImageViewCustomDelegate {
public:
  PreviewClick(wcDispObjToolbox* toolbox, int slot) : QObject(toolbox), toolbox_(toolbox), slot_(slot) {}
  void imageMouseClick(QPointF) override { toolbox_->LoadItem(slot_); }

private:
  wcDispObjToolbox* toolbox_;
  int slot_;
};

// Stands in for a style without a preview picture.
QImage defaultStyleImage() {
  QImage image(kPreviewSide, kPreviewSide, QImage::Format_RGBA8888);
  image.fill(QColor(235, 235, 235));
  QPainter p(&image);
  p.setPen(QColor(150, 150, 150));
  p.drawRect(0, 0, kPreviewSide - 1, kPreviewSide - 1);
  p.drawText(image.rect(), Qt::AlignCenter, "No Preview");
  return image;
}

} // namespace

QWidget* wcDispObjToolbox::makeStylePage(QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName("StylePage");
  auto* row = new QHBoxLayout(page);
  auto* column = new QVBoxLayout();
  PreviewTitleLabel = new QLabel("Choose a style:", page);
  column->addWidget(PreviewTitleLabel);
  auto* grid = new QGridLayout();
  for (int k = 0; k < kPageSlots; ++k) {
    auto* cell = new QVBoxLayout();
    PreviewImage[k] = new NSImageViewCustom(page);
    PreviewImage[k]->setObjectName(QString("PreviewImage%1").arg(k + 1));
    PreviewImage[k]->setFixedSize(kPreviewSide, kPreviewSide);
    PreviewImage[k]->setDelegate(new PreviewClick(this, k));
    PreviewLabel[k] = new NSTextLabelCustom(page);
    PreviewLabel[k]->setObjectName(QString("PreviewLabel%1").arg(k + 1));
    PreviewLabel[k]->setAlignment(Qt::AlignHCenter);
    PreviewLabel[k]->setFixedWidth(kPreviewSide + 10);
    connect(PreviewLabel[k], &NSTextLabelCustom::clicked, this, [this, k]() { LoadItem(k); });
    cell->addWidget(PreviewImage[k], 0, Qt::AlignHCenter);
    cell->addWidget(PreviewLabel[k]);
    grid->addLayout(cell, k / 4, k % 4);
  }
  column->addLayout(grid);
  row->addLayout(column);
  OffsetSlider = new QSlider(Qt::Vertical, page);
  OffsetSlider->setObjectName("OffsetSlider");
  OffsetSlider->setRange(0, 0);
  OffsetSlider->setInvertedAppearance(true); // the first page at the top
  row->addWidget(OffsetSlider);
  connect(OffsetSlider, &QSlider::valueChanged, this, [this]() { OffsetSlider_Changed(); });
  defaultImage_ = defaultStyleImage();
  page->hide();
  return page;
}

QString wcDispObjToolbox::styleFolder() const {
  const DispTypeInfo* info = DispTypeFind(newType_);
  const DispStyleFolder folder = info != nullptr ? info->styleFolder : DispStyleFolder::kStyles;
  return AppDelegate::GetDocFolder(WStrToNSString(DispStyleFolderName(folder)));
}

QString wcDispObjToolbox::StyleTitle(const QString& fileName) {
  QString title = QFileInfo(fileName).completeBaseName().trimmed();
  for (const char* part : {" - Video", " - Gauge", " - Speed", " - Tach", "Track Map - ", "Time Graph - ", "Gauge - ",
                           "Bar Graph - ", "Level Graph - ", "G-Force - "})
    title.remove(QString(part));
  title.replace('_', ' ');
  title.replace("  ", " ");
  return title.trimmed();
}

void wcDispObjToolbox::LoadPreviews(bool movedOnly) {
  if (newType_ == kDispAudio) {
    EndPreviews();
    LoadItem(0);
    return;
  }
  const QString folder = styleFolder();
  QStringList names;
  for (const QString& name : QDir(folder).entryList(QDir::Files)) {
    if (QFileInfo(name).suffix().compare("qvo", Qt::CaseInsensitive) != 0) continue;
    const QString path = folder + "/" + name;
    if (DispObjImportStyle(newIndex_, NSStringToWStr(path).c_str(), kStyleTest) >= 0) names << name;
  }
  if (names.size() < 2) {
    // Nothing to choose between: the object is finished as it is.
    EndPreviews();
    LoadItem(0);
    return;
  }
  QCollator collator{QLocale(LocaleIdentifier())};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(names.begin(), names.end(), collator);
  const int n = static_cast<int>(names.size());
  OffsetSlider->setHidden(n <= kPageSlots);
  const int pages = (n + kPageSlots - 1) / kPageSlots;
  OffsetSlider->setRange(-(pages - 1), 0);
  const int v = std::clamp(OffsetSlider->value(), -(pages - 1), 0);
  OffsetSlider->blockSignals(true);
  OffsetSlider->setValue(v);
  OffsetSlider->blockSignals(false);
  // The last page always shows the last 16 names.
  const int offset = kPageSlots * (1 - v) <= n ? std::max(0, -kPageSlots * v) : n - kPageSlots;
  if (movedOnly && offset == lastOffset_) return;
  lastOffset_ = offset;
  EndPreviews();
  for (int k = 0; k < kPageSlots; ++k) {
    const int e = offset + k;
    if (e >= 0 && e < n) {
      const QString path = folder + "/" + names[e];
      spIndex_[k] = -1;
      PreviewImage[k]->setImage(defaultImage_);
      if (newType_ != kDispVideo &&
          DispObjImportStyle(newIndex_, NSStringToWStr(path).c_str(), kStylePreviewOnly) >= 0) {
        spIndex_[k] = DispObjStylePreviewDraw(PreviewImage[k]->viewHandle(), kPreviewSide, kPreviewSide);
        if (spIndex_[k] < 0) PreviewImage[k]->setImage(defaultImage_);
      }
      templateName_[k] = StyleTitle(names[e]);
      templateFile_[k] = path;
      PreviewLabel[k]->setText(templateName_[k]);
      PreviewImage[k]->show();
      PreviewLabel[k]->show();
    } else {
      PreviewImage[k]->hide();
      PreviewLabel[k]->hide();
      spIndex_[k] = -1;
      PreviewLabel[k]->setText(QString());
      templateName_[k].clear();
      templateFile_[k].clear();
    }
    ++previewCount_;
  }
  RedrawPreviews();
}

void wcDispObjToolbox::RedrawPreviews() {
  for (int k = 0; k < previewCount_; ++k) RedrawPreview(k);
}

void wcDispObjToolbox::RedrawPreview(int slot) {
  if (slot < previewCount_ && spIndex_[slot] >= 0) SimplePreviewRedraw(static_cast<uint32_t>(spIndex_[slot]));
}

void wcDispObjToolbox::EndPreviews() {
  for (int& slot : spIndex_) {
    if (slot >= 0) SimplePreviewClose(static_cast<uint32_t>(slot));
    slot = -1;
  }
  previewCount_ = 0;
}

void wcDispObjToolbox::LoadItem(int slot) {
  const DispTypeInfo* info = DispTypeFind(newType_);
  if (slot < previewCount_ && !templateFile_[slot].isEmpty()) {
    const uint32_t mode = info != nullptr && info->stylePlacesInToolbox ? kStyleApplyPlace : kStyleApply;
    // A style that will not apply leaves the new object as it was made.
    (void)DispObjImportStyle(newIndex_, NSStringToWStr(templateFile_[slot]).c_str(), mode);
  }
  DispObjSetInput(newIndex_, newInputID_);
  const QString field = FieldSelection->currentText();
  const uint32_t t = newInputID_ == kNoInput ? 0 : InputGetType(newInputID_);
  if ((t == kInputData || t == kInputJoinData) && !field.isEmpty() &&
      field.compare("(Automatic)", Qt::CaseInsensitive) != 0)
    DispObjSetDataField(newIndex_, field.left(kNameLength - 1).toStdU16String().c_str());
  styleSelected_ = true;
  EndPreviews();
  close();
}

void wcDispObjToolbox::scrollWheel(double deltaY) {
  if (OffsetSlider->isHidden()) return;
  const int before = OffsetSlider->value();
  if (deltaY > 0.05 && before < OffsetSlider->maximum()) OffsetSlider->setValue(before + 1);
  if (deltaY < -0.05 && before > OffsetSlider->minimum()) OffsetSlider->setValue(before - 1);
}
