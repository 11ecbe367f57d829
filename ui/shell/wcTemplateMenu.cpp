#include "ui/shell/wcTemplateMenu.h"

#include <QCheckBox>
#include <QCollator>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <functional>

#include "base/error.h"
#include "io/files/templates.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcTip.h"
#include "ui/util/ui_utils.h"
#include "ui/util/written_files_qt.h"

namespace {

constexpr int kThumbW = 180;
constexpr int kThumbH = 120;
constexpr int kColumns = 5;

// A thumbnail acts as a button: a click chooses its template.
class SlotClick : public NSImageViewCustomDelegate {
public:
  explicit SlotClick(std::function<void()> action) : action_(std::move(action)) {}
  void imageMouseClick(QPointF) override { action_(); }

private:
  std::function<void()> action_;
};

bool defaultOn(const QString& key) {
  bool value = true;
  UserDefaultsReadBool(key, value);
  return value;
}

QString stripKind(QString name, const QString& kind, int keyedPrefix) {
  if (name.startsWith(kind + " _")) name = name.mid(keyedPrefix);
  name.remove(kind);
  return name.trimmed();
}

} // namespace

wcTemplateMenu::wcTemplateMenu() : WindowController("wcTemplateMenu", kOpenCentred) {}

wcTemplateMenu::~wcTemplateMenu() { EndPreviews(); }

QWidget* wcTemplateMenu::makeWindow() {
  QDialog* dialog = makeDialog("Quelvatron - New Project Menu");
  connect(WrittenFiles::instance(), &WrittenFiles::written, dialog, [this](WrittenFileKind kind) {
    if (kind == WrittenFileKind::kTemplate && AppDelegate::IsWindowVisible(this)) LoadPreviews();
  });
  auto* layout = new QVBoxLayout(dialog);
  label_ = new QLabel(dialog);
  QFont heading = label_->font();
  heading.setPointSizeF(heading.pointSizeF() * 1.4);
  heading.setBold(true);
  label_->setFont(heading);
  layout->addWidget(label_);

  auto* middle = new QHBoxLayout();
  grid_ = new QGridLayout();
  grid_->setHorizontalSpacing(14);
  grid_->setVerticalSpacing(8);
  for (int k = 0; k < kSlots; ++k) {
    // The cell keeps its size while its picture and name are hidden.
    auto* cell = new QWidget(dialog);
    slots_[k].cell = cell;
    // Two lines for a name: a long one wraps instead of losing both ends.
    cell->setFixedSize(kThumbW + 4, kThumbH + 12 + 2 * dialog->fontMetrics().lineSpacing());
    auto* column = new QVBoxLayout(cell);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(4);
    slots_[k].image = new NSImageViewCustom(cell);
    slots_[k].image->setObjectName(QString("PreviewImage%1").arg(k + 1));
    slots_[k].image->setFixedSize(kThumbW, kThumbH);
    slots_[k].image->setCursor(Qt::PointingHandCursor);
    clicks_[k] = std::make_unique<SlotClick>([this, k]() { PreviewImage_Clicked(k); });
    slots_[k].image->setDelegate(clicks_[k].get());
    slots_[k].label = new NSTextLabelCustom(cell);
    slots_[k].label->setObjectName(QString("PreviewLabel%1").arg(k + 1));
    slots_[k].label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    slots_[k].label->setWordWrap(true);
    slots_[k].label->setCursor(Qt::PointingHandCursor);
    connect(slots_[k].label, &NSTextLabelCustom::clicked, this, [this, k]() { PreviewImage_Clicked(k); });
    column->addWidget(slots_[k].image, 0, Qt::AlignHCenter);
    column->addWidget(slots_[k].label);
    grid_->addWidget(cell, k / kColumns, k % kColumns);
  }
  middle->addLayout(grid_);
  offsetSlider_ = new QSlider(Qt::Vertical, dialog);
  offsetSlider_->setObjectName("OffsetSlider");
  offsetSlider_->setPageStep(1);
  offsetSlider_->setInvertedControls(false);
  middle->addWidget(offsetSlider_);
  layout->addLayout(middle);

  auto* bottom = new QHBoxLayout();
  showAtStart_ = new QCheckBox("Show this menu at start-up", dialog);
  useWizardCheck_ = new QCheckBox("Use the project wizard", dialog);
  dataloggerButton_ = new QPushButton("Using a Data Logger?", dialog);
  browseButton_ = new QPushButton(dialog);
  cancelButton_ = new QPushButton(dialog);
  bottom->addWidget(showAtStart_);
  bottom->addWidget(useWizardCheck_);
  bottom->addStretch(1);
  bottom->addWidget(dataloggerButton_);
  bottom->addWidget(browseButton_);
  bottom->addWidget(cancelButton_);
  layout->addLayout(bottom);

  connect(showAtStart_, &QCheckBox::clicked, this, &wcTemplateMenu::ShowAtStart_Changed);
  connect(useWizardCheck_, &QCheckBox::clicked, this, &wcTemplateMenu::UseWizardCheck_Changed);
  connect(dataloggerButton_, &QPushButton::clicked, this, &wcTemplateMenu::DataloggerButton_Pressed);
  connect(browseButton_, &QPushButton::clicked, this, &wcTemplateMenu::BrowseButton_Pressed);
  connect(cancelButton_, &QPushButton::clicked, this, &wcTemplateMenu::CancelButton_Pressed);
  connect(offsetSlider_, &QSlider::valueChanged, this, &wcTemplateMenu::OffsetSlider_Changed);
  return dialog;
}

void wcTemplateMenu::SetMode(uint32_t mode, uint32_t inputID, bool noCancel) {
  QWidget* dialog = window();
  markFresh();
  result_ = Result();
  run_ = Run{mode, inputID, noCancel};
  cancelButton_->setVisible(!noCancel);
  const bool data = mode == 1 || mode == 3;
  if (data) {
    dialog->setWindowTitle("Select Data Template...");
    label_->setText("Select Data Template...");
  } else if (mode == 2) {
    dialog->setWindowTitle("Add Template to Project...");
    label_->setText("Select Template...");
  } else {
    dialog->setWindowTitle("Quelvatron - New Project Menu");
    label_->setText("Select New Project Template...");
  }
  showAtStart_->setVisible(mode == 0);
  useWizardCheck_->setVisible(false);
  dataloggerButton_->setVisible(mode == 0);
  browseButton_->setText(mode == 0 ? "Open File..." : "More...");
  cancelButton_->setText(mode == 0 ? "Blank Project" : "Cancel");
  browseButton_->setIcon(QIcon());
  cancelButton_->setIcon(QIcon());
  showAtStart_->setChecked(defaultOn("ShowMenuAtStart"));
  useWizardCheck_->setChecked(defaultOn("UseProjectWizard"));
  {
    const QSignalBlocker quiet(offsetSlider_);
    offsetSlider_->setValue(0);
  }
  page_.lastOffset = -1;
  LoadPreviews();
}

QStringList wcTemplateMenu::ScanFolder(const QString& folder, uint32_t mode) {
  const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::NoSort);
  QStringList kept;
  for (const QString& name : entries) {
    if (mode == 0 && !name.startsWith("Project -")) continue;
    if ((mode == 1 || mode == 3) && !name.startsWith("Data -")) continue;
    if (QFileInfo(name).suffix().compare("QVT", Qt::CaseInsensitive) != 0) continue;
    kept << name;
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(kept.begin(), kept.end(), [&collator](const QString& a, const QString& b) { return collator(a, b); });
  return kept;
}

QString wcTemplateMenu::DisplayName(const QString& fileName, uint32_t mode) {
  QString name = QFileInfo(fileName).completeBaseName().trimmed();
  if (name.startsWith("Project -")) {
    name = stripKind(name, "Project -", 12);
    if (mode != 0) name = QString("%1 - %2").arg("Project", name);
  } else if (name.startsWith("Data -")) {
    name = stripKind(name, "Data -", 9);
    if (mode != 1 && mode != 3) name = QString("%1 - %2").arg("Data", name);
  }
  name.replace('_', ' ');
  name.replace("  ", " ");
  return name;
}

// The first template of the page the slider shows, after the slider's
// range is fitted to n templates; negative when fewer than a page.
int wcTemplateMenu::firstIndex(int count) {
  const int pages = (count + kSlots - 1) / kSlots;
  const int minimum = count <= kSlots ? 0 : -(pages - 1);
  const QSignalBlocker quiet(offsetSlider_);
  offsetSlider_->setVisible(count > kSlots);
  offsetSlider_->setRange(minimum, 0);
  int value = std::max(offsetSlider_->value(), minimum);
  value = RoundFloat(static_cast<float>(value));
  offsetSlider_->setValue(value);
  const int p = std::max(0, -kSlots * value);
  return p + kSlots > count ? count - kSlots : p;
}

void wcTemplateMenu::LoadPreviews(bool onlyIfMoved) {
  window();
  const QString folder = AppDelegate::GetDocFolder("Templates");
  const QStringList names = ScanFolder(folder, run_.mode);
  const int n = static_cast<int>(names.size());
  const int s = firstIndex(n);
  if (onlyIfMoved && s == page_.lastOffset) return;
  page_.lastOffset = s;
  EndPreviews();
  int i = s;
  for (int k = 0; k < kSlots;) {
    if (i < 0 || i >= n) {
      hideSlot(k);
      ++k;
      ++i;
      continue;
    }
    const QString path = folder + "/" + names[i];
    ++i;
    if (TemplateImportLoad(NSStringToWStr(path).c_str(), 255, 1) != 0) continue;
    NSImageViewCustom* image = slots_[k].image;
    image->show();
    slots_[k].label->show();
    page_.previews[k].hold(TemplateImportCreatePreview(image->viewHandle(), static_cast<uint32_t>(image->width()),
                                                       static_cast<uint32_t>(image->height())));
    TemplateImportClear();
    page_.name[k] = DisplayName(names[i - 1], run_.mode);
    page_.file[k] = path;
    slots_[k].label->setText(page_.name[k]);
    ++k;
  }
  page_.count = kSlots;
  arrangeTiles();
  RedrawPreviews();
}

// A short list fills the last slots. The tiles stand from the first shown
// slot on, rows filled from the top left like a page of text; the empty
// slots follow, keeping the columns of a row that is not full, and rows
// with no tile take no room.
void wcTemplateMenu::arrangeTiles() {
  int first = 0;
  while (first < kSlots && slots_[first].image->isHidden()) ++first;
  int last = kSlots;
  while (last > first && slots_[last - 1].image->isHidden()) --last;
  const int rows = (last - first + kColumns - 1) / kColumns;
  for (SlotWidgets& slot : slots_) grid_->removeWidget(slot.cell);
  for (int k = 0; k < kSlots; ++k) {
    const int place = (k - first + kSlots) % kSlots;
    grid_->addWidget(slots_[k].cell, place / kColumns, place % kColumns);
    slots_[k].cell->setVisible(place / kColumns < rows);
  }
  // Fitted at every fill, shown or not: an opening with fewer rows than the
  // last one would otherwise keep the taller window with a blank band. The
  // nested layouts measure afresh first; a hidden window's do not by themselves.
  QWidget* dialog = window();
  if (QLayout* layout = dialog->layout()) {
    layout->invalidate();
    layout->activate();
  }
  dialog->adjustSize();
}

void wcTemplateMenu::hideSlot(int slot) {
  slots_[slot].image->hide();
  slots_[slot].label->hide();
  slots_[slot].label->setText("");
  page_.previews[slot].close();
  page_.name[slot].clear();
  page_.file[slot].clear();
}

void wcTemplateMenu::RedrawPreviews() {
  for (int k = 0; k < page_.count; ++k) RedrawPreview(k);
}

void wcTemplateMenu::RedrawPreview(int slot) {
  if (slot >= 0 && slot < page_.count) page_.previews[slot].redraw();
}

void wcTemplateMenu::EndPreviews() {
  for (PreviewSlot& preview : page_.previews) preview.close();
  page_.count = 0;
}

QString wcTemplateMenu::TemplateName(int slot) const {
  return slot >= 0 && slot < kSlots ? page_.name[slot] : QString();
}

QString wcTemplateMenu::TemplateFile(int slot) const {
  return slot >= 0 && slot < kSlots ? page_.file[slot] : QString();
}

bool wcTemplateMenu::SlotShown(int slot) const {
  return slot >= 0 && slot < kSlots && slots_[slot].image != nullptr && !slots_[slot].image->isHidden();
}

NSTextLabelCustom* wcTemplateMenu::PreviewLabel(int slot) const {
  return slot >= 0 && slot < kSlots ? slots_[slot].label : nullptr;
}

NSImageViewCustom* wcTemplateMenu::PreviewImage(int slot) const {
  return slot >= 0 && slot < kSlots ? slots_[slot].image : nullptr;
}

void wcTemplateMenu::LoadItem(int slot) {
  if (slot < 0 || slot >= page_.count || page_.file[slot].isEmpty()) return;
  wcMain* main = AppWindows().wndMain();
  if (main == nullptr) return;
  // Mode 1 replaces the input's objects: the main window loads the file
  // first and takes its checkpoint before anything is removed.
  const int result = main->TemplateAdd(page_.file[slot], run_.inputID, run_.mode == 1);
  if (result < 0) return;
  finishChoice(page_.name[slot]);
}

void wcTemplateMenu::finishChoice(const QString& shownName) {
  result_.newDataProject = run_.mode == 0 && shownName.contains("DATALOGGER", Qt::CaseInsensitive);
  if (result_.newDataProject && defaultOn("AutomaticTips")) ShowDataloggerTip();
  result_.success = true;
  close();
}

void wcTemplateMenu::BrowseButton_Pressed() {
  QString title = "Open Template...";
  QString directory = AppDelegate::GetDocFolder("Templates");
  QStringList types = {"qvt"};
  if (run_.mode == 0) {
    title = "Open Project or Template...";
    types = {"qvp", "qvt", "qpp"};
    QSettings* settings = UserDefaults();
    directory = settings != nullptr && settings->contains("ProjectDir")
                    ? QUrl(settings->value("ProjectDir").toString()).toLocalFile()
                    : QString();
  } else if (run_.mode == 1 || run_.mode == 3) {
    title = "Open Data Template...";
  }
  const QString path = FileDialogOpen(window(), title, directory, types);
  if (path.isEmpty()) return;
  wcMain* main = AppWindows().wndMain();
  if (main == nullptr) return;
  if (TemplateImportLoad(NSStringToWStr(path).c_str(), 255, 0) == 0) {
    TemplateImportClear();
    if (main->TemplateAdd(path, run_.inputID) < 0) return;
  } else if (run_.mode != 0) {
    ErrorShowLast();
    return;
  } else if (!main->OpenProjectFromMenu(path)) {
    return;
  }
  finishChoice(QFileInfo(path).fileName());
}

void wcTemplateMenu::CancelButton_Pressed() { close(); }

void wcTemplateMenu::DataloggerButton_Pressed() { ShowDataloggerTip(); }

void wcTemplateMenu::ShowDataloggerTip() {
  RunModalForWindow(AppWindows().wndTip());
}

void wcTemplateMenu::ShowAtStart_Changed() { UserDefaultsWrite("ShowMenuAtStart", showAtStart_->isChecked()); }

void wcTemplateMenu::UseWizardCheck_Changed() { UserDefaultsWrite("UseProjectWizard", useWizardCheck_->isChecked()); }

void wcTemplateMenu::OffsetSlider_Changed() { LoadPreviews(true); }

void wcTemplateMenu::scrollWheel(double deltaY) {
  if (offsetSlider_ == nullptr || offsetSlider_->isHidden()) return;
  const int value = offsetSlider_->value();
  int next = value;
  if (deltaY > 0.05 && value < offsetSlider_->maximum()) next = value + 1;
  if (deltaY < -0.05 && value > offsetSlider_->minimum()) next = value - 1;
  if (next == value) return;
  const QSignalBlocker quiet(offsetSlider_);
  offsetSlider_->setValue(next);
  OffsetSlider_Changed();
}

bool wcTemplateMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowIfLoaded() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    scrollWheel(wheel->angleDelta().y() / 120.0);
    return true;
  }
  return WindowController::eventFilter(watched, event);
}

void wcTemplateMenu::windowWillClose() {
  EndPreviews();
}
