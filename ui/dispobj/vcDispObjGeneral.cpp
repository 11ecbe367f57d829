#include "ui/dispobj/vcDispObjGeneral.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/error.h"
#include "base/message_box.h"
#include "base/util.h"
#include "io/files/style.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcTimelineEdit.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"
#include "ui/util/written_files_qt.h"

namespace {

const QColor kRed(200, 0, 0);

bool isJoin(uint32_t type) { return type >= kInputJoinVideo && type <= kInputJoinData; }

// Whether an input may drive an object of that kind.
bool inputFits(DispInputKind kind, const MainStruct& input) {
  switch (kind) {
  case DispInputKind::kPicture:
    return input.Type == kInputVideo || input.Type == kInputImage || input.Type == kInputJoinVideo;
  case DispInputKind::kSound:
    return input.Type == kInputVideo || input.Type == kInputAudio || input.Type == kInputJoinVideo ||
           input.Type == kInputJoinAudio;
  default:
    return input.Type == kInputData || input.Type == kInputJoinData || input.HasData != 0;
  }
}

DispInputKind inputKindOf(uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  return info != nullptr ? info->input : DispInputKind::kData;
}

void setLabelColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QString timeText(float seconds) { return WStrToNSString(SecondsToTimeText(seconds)); }

} // namespace

vcDispObjGeneral::vcDispObjGeneral(wcDispObjEdit* owner) : DispObjPanel(kPanelGeneral, "vcDispObjGeneral", owner) {
  buildControls();
  // A style saved by any window (the gauge designer, the script editor)
  // is offered here at once.
  connect(WrittenFiles::instance(), &WrittenFiles::written, this, [this](WrittenFileKind kind) {
    if (kind == WrittenFileKind::kStyle && DispObjGet(OurIndex) != nullptr) SetStyle(false);
  });
}

void vcDispObjGeneral::buildControls() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 6);
  grid->setVerticalSpacing(4);
  LabelText = new QLineEdit(this);
  LabelText->setObjectName("LabelText");
  LabelText->setMaxLength(kNameLength - 1);
  grid->addWidget(new QLabel("Name:", this), 0, 0);
  grid->addWidget(LabelText, 0, 1, 1, 2);

  TypeText = new QLabel("None", this);
  TypeText->setObjectName("TypeText");
  ActiveCheck = new QCheckBox("Active", this);
  ActiveCheck->setObjectName("ActiveCheck");
  grid->addWidget(new QLabel("Type:", this), 1, 0);
  grid->addWidget(TypeText, 1, 1);
  grid->addWidget(ActiveCheck, 1, 2, Qt::AlignRight);

  // Rows that some kinds hide: each one widget, so hiding takes its height.
  auto row = [this, grid](int at, QLabel*& label, const QString& title, QComboBox*& combo, QPushButton*& button,
                          const QString& buttonTitle) {
    auto* holder = new QWidget(this);
    auto* line = new QHBoxLayout(holder);
    line->setContentsMargins(0, 0, 0, 0);
    label = new QLabel(title, holder);
    label->setFixedWidth(44);
    combo = new QComboBox(holder);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    button = new QPushButton(buttonTitle, holder);
    line->addWidget(label);
    line->addWidget(combo, 1);
    line->addWidget(button);
    grid->addWidget(holder, at, 0, 1, 3);
    return holder;
  };
  inputRow_ = row(2, InputLabel, "Input:", InputSelection, InputSetupButton, "Setup...");
  InputLabel->setObjectName("InputLabel");
  InputSelection->setObjectName("InputSelection");
  InputSelection->setEditable(true);
  InputSelection->setInsertPolicy(QComboBox::NoInsert);
  InputSetupButton->setObjectName("InputSetupButton");
  styleRow_ = row(3, StyleLabel, "Style:", StyleSelection, StyleExportButton, "Export...");
  StyleLabel->setObjectName("StyleLabel");
  StyleSelection->setObjectName("StyleSelection");
  StyleExportButton->setObjectName("StyleExportButton");

  auto* timeRow = new QHBoxLayout();
  TimeLabel = new NSTextLabelCustom("<u>Timeline:</u>", this);
  TimeLabel->setObjectName("TimeLabel");
  TimeLabel->setToolTip("Edit the changes of this timeline segment");
  TimeSelection = new QComboBox(this);
  TimeSelection->setObjectName("TimeSelection");
  TimeNewButton = new QPushButton("+", this);
  TimeNewButton->setObjectName("TimeNewButton");
  TimeNewButton->setToolTip("Add a timeline segment");
  TimeRemoveButton = new QPushButton("-", this);
  TimeRemoveButton->setObjectName("TimeRemoveButton");
  TimeRemoveButton->setToolTip("Remove the current timeline segment");
  for (QPushButton* b : {TimeNewButton, TimeRemoveButton}) b->setFixedWidth(28);
  timeRow->addWidget(TimeLabel);
  timeRow->addWidget(TimeSelection, 1);
  timeRow->addWidget(TimeNewButton);
  timeRow->addWidget(TimeRemoveButton);
  grid->addLayout(timeRow, 4, 0, 1, 3);

  BackgroundButton = new QPushButton("Background Image...", this);
  BackgroundButton->setObjectName("BackgroundButton");
  grid->addWidget(BackgroundButton, 5, 0, 1, 3);
  grid->setColumnStretch(1, 1);

  connect(LabelText, &QLineEdit::editingFinished, this, &vcDispObjGeneral::LabelText_Changed);
  connect(ActiveCheck, &QCheckBox::clicked, this, &vcDispObjGeneral::ActiveCheck_Changed);
  connect(InputSelection, &QComboBox::activated, this, &vcDispObjGeneral::InputSelection_Changed);
  connect(InputSelection->lineEdit(), &QLineEdit::editingFinished, this,
          &vcDispObjGeneral::InputSelection_Changed);
  connect(InputSetupButton, &QPushButton::clicked, this, &vcDispObjGeneral::InputSetupButton_Pressed);
  connect(StyleSelection, &QComboBox::activated, this, &vcDispObjGeneral::StyleSelection_Changed);
  connect(StyleExportButton, &QPushButton::clicked, this, &vcDispObjGeneral::StyleExportButton_Pressed);
  connect(TimeLabel, &NSTextLabelCustom::clicked, this, &vcDispObjGeneral::TimeLabel_Clicked);
  connect(TimeSelection, &QComboBox::activated, this, &vcDispObjGeneral::TimeSelection_Changed);
  connect(TimeNewButton, &QPushButton::clicked, this, &vcDispObjGeneral::TimeNewButton_Pressed);
  connect(TimeRemoveButton, &QPushButton::clicked, this, &vcDispObjGeneral::TimeRemoveButton_Pressed);
  connect(BackgroundButton, &QPushButton::clicked, this, &vcDispObjGeneral::BackgroundButton_Pressed);
}

bool vcDispObjGeneral::SetData(uint32_t index) {
  const uint32_t previous = OurIndex;
  OurIndex = index;
  OurType = 0;
  DispStruct record{};
  const DispStruct* current = DispObjGet(index);
  const bool loaded = current != nullptr;
  if (loaded) {
    record = *current;
    ActiveCheck->setChecked(record.Active != 0);
    LabelText->setText(W16ToNSString(record.Name));
    OurType = record.Type;
    TypeText->setText(DispObjTypeName(record.Type));
    const DispTypeInfo* info = DispTypeFind(record.Type);
    const DispStyleFolder folder = info != nullptr ? info->styleFolder : DispStyleFolder::kStyles;
    StyleFolder = WStrToNSString(DispStyleFolderName(folder));
    StyleMode = info != nullptr && info->stylePlacesInPanel ? kStyleApplyPlace : kStyleApply;
    SetActiveCheckColor();
  } else {
    // The window has already shown why it has no object.
    const bool shown = owner()->OurIndex() == index && !owner()->ValidDispObj();
    if (index != kNoDispObj && !shown) ErrorShowLast();
    ActiveCheck->setChecked(false);
    LabelText->setText(QString());
    TypeText->setText("None");
  }
  LabelText->setModified(false);
  const DispTypeInfo* info = DispTypeFind(OurType);
  BackgroundButton->setVisible(loaded && (info == nullptr || info->backgroundButton));
  const bool inputs = loaded && inputKindOf(OurType) != DispInputKind::kNone;
  fillInputs(inputs ? record : DispStruct{});
  for (QWidget* w : std::initializer_list<QWidget*>{TimeLabel, TimeSelection, TimeNewButton, TimeRemoveButton})
    w->setEnabled(loaded);
  inputRow_->setVisible(inputs);
  styleRow_->setVisible(loaded && OurType != kDispGroup);
  enableInputSetup(record.InputID);
  SetInputColor();
  SetStyle(index == previous);
  SetSegment(false);
  return true;
}

void vcDispObjGeneral::fillInputs(const DispStruct& record) {
  InputSelection->clear();
  InputSelection->setEditText(QString());
  appliedInputText_.clear();
  if (OurIndex == kNoDispObj || inputKindOf(OurType) == DispInputKind::kNone) return;
  InputSelection->addItem("(None)");
  int selected = record.InputID == kNoInput ? 0 : -1;
  const DispInputKind kind = inputKindOf(record.Type);
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* found = InputGetMain(i);
    if (found == nullptr) break;
    const MainStruct input = *found;
    // The object's own input is always listed, a join's member or not, so
    // the field names it and an edit of another field writes it back.
    const bool own = i == record.InputID;
    if (!own && (input.ParentJoin != kNoInput || !inputFits(kind, input))) continue;
    if (own) selected = InputSelection->count();
    InputSelection->addItem(W16ToNSString(input.Name));
  }
  InputSelection->setCurrentIndex(selected);
  if (selected < 0) InputSelection->setEditText(QString());
  appliedInputText_ = InputSelection->currentText();
}

void vcDispObjGeneral::enableInputSetup(uint32_t input) {
  InputSetupButton->setEnabled(input < kNoInput && !isJoin(InputGetType(input)));
}

// Looks only: a missing object was reported by whoever found it missing.
void vcDispObjGeneral::SetInputColor() {
  const DispStruct* record = DispObjGet(OurIndex);
  if (record == nullptr) return;
  const DispTypeInfo* info = DispTypeFind(record->Type);
  const bool optional = info != nullptr && info->inputOptional;
  setLabelColour(InputLabel, record->InputID == kNoInput && !optional ? kRed : palette().color(QPalette::WindowText));
}

void vcDispObjGeneral::SetActiveCheckColor() {
  UISetButtonTitleColor(ActiveCheck, ActiveCheck->isChecked() ? palette().color(QPalette::WindowText) : kRed);
}

QString vcDispObjGeneral::styleFolderPath() const { return AppDelegate::GetDocFolder(StyleFolder); }

void vcDispObjGeneral::SetStyle(bool keepList) {
  const DispStruct* found = DispObjGet(OurIndex);
  if (found == nullptr) { // reported by whoever found it missing
    StyleSelection->clear();
    return;
  }
  CurStyle = W16ToNSString(found->Style);
  if (!keepList) {
    StyleSelection->clear();
    StyleSelection->addItem("(Browse...)");
    DispObjListStyleInit(OurIndex, NSStringToWStr(styleFolderPath()).c_str());
    for (uint32_t n = 0; n < 256; ++n) {
      const QString name = WStrToNSString(DispObjListStyleGet(n));
      if (name.isEmpty()) break;
      StyleSelection->addItem(QFileInfo(name).completeBaseName());
    }
  }
  StyleSelection->setCurrentIndex(CurStyle.isEmpty() ? -1 : StyleSelection->findText(CurStyle));
}

int vcDispObjGeneral::segmentAt(double time) const {
  int current = -1;
  const auto count = static_cast<int>(TimelineDispObjGetCount(OurIndex));
  for (int i = 0; i < count; ++i)
    if (segmentStart(i) <= time) current = i;
  return current;
}

float vcDispObjGeneral::segmentStart(int segment) const {
  return TimelineDispObjGetStart(OurIndex, segment < 0 ? kFirstSegment : static_cast<uint32_t>(segment));
}

void vcDispObjGeneral::SetSegment(bool onlyCheck) {
  if (OurIndex == kNoDispObj || DispObjGet(OurIndex) == nullptr) {
    if (!onlyCheck) TimeSelection->clear();
    return;
  }
  const double time = main() != nullptr ? main()->PreviewTime() : 0;
  const int current = segmentAt(time);
  if (onlyCheck) {
    if (current != SegmentIndex) owner()->SetDisplayObject(static_cast<int>(OurIndex));
    return;
  }
  TimeSelection->clear();
  const auto count = static_cast<int>(TimelineDispObjGetCount(OurIndex));
  for (int i = -1; i < count; ++i) {
    const QString end = i + 1 < count ? timeText(segmentStart(i + 1)) : QString("End");
    TimeSelection->addItem(QString("%1 - %2").arg(timeText(segmentStart(i)), end));
  }
  SegmentIndex = current;
  TimeSelection->setCurrentIndex(current + 1);
}

void vcDispObjGeneral::UpdatePreview() {
  UndoSave();
  if (main() != nullptr) main()->setProjectModified(true);
  UpdatePreviewNoUndo();
}

void vcDispObjGeneral::UpdatePreviewNoUndo() {
  const DispStruct* found = DispObjGet(OurIndex);
  if (found == nullptr) {
    if (OurIndex != kNoDispObj) ErrorShowLast();
    return;
  }
  // A removal may have packed another object into this place: never write
  // this one's controls into it.
  if (found->Type != owner()->ShownType()) {
    owner()->ReloadAfterChange();
    return;
  }
  // Read every control first: a rename refreshes the lists, and the
  // window may reload the panels meanwhile.
  const QString name = LabelText->text();
  const bool active = ActiveCheck->isChecked();
  const QString inputText = InputSelection->currentText();
  DispStruct record = *found;
  const QString wanted = name.left(kNameLength - 1);
  if (wanted != W16ToNSString(record.Name)) {
    if (DispObjRename(OurIndex, wanted.toStdU16String().c_str()) != 0) ErrorShowLast();
    if (main() != nullptr) main()->DispObjRefresh(OurIndex);
    found = DispObjGet(OurIndex);
    if (found == nullptr) return;
    record = *found;
  }
  record.Active = active ? 1 : 0;
  if (inputKindOf(record.Type) != DispInputKind::kNone) {
    const uint32_t input = inputText.isEmpty() ? kNoInput : InputFind(inputText.toStdU16String().c_str());
    record.InputID = static_cast<uint8_t>(input < kNoInput ? input : kNoInput);
  }
  if (DispObjSet(OurIndex, &record) != 0) ErrorShowLast();
  SetInputColor();
  SetStyle(true);
  enableInputSetup(record.InputID);
  if (main() != nullptr) main()->PreviewRefresh();
}

void vcDispObjGeneral::LabelText_Changed() {
  if (!LabelText->isModified()) return;
  LabelText->setModified(false);
  UpdatePreview();
}

void vcDispObjGeneral::ActiveCheck_Changed() {
  SetActiveCheckColor();
  UpdatePreview();
  if (main() != nullptr) main()->DispObjRefresh(kNoDispObj);
}

void vcDispObjGeneral::InputSelection_Changed() {
  // A pick and the end of typing both arrive here; act once per change.
  if (InputSelection->currentText() == appliedInputText_) return;
  appliedInputText_ = InputSelection->currentText();
  UpdatePreview();
  updateOtherPanels();
}

void vcDispObjGeneral::InputSetupButton_Pressed() {
  const DispStruct* record = DispObjGet(OurIndex);
  if (record == nullptr) {
    if (OurIndex != kNoDispObj) ErrorShowLast();
    return;
  }
  const uint32_t input = record->InputID;
  if (main() != nullptr) main()->InputEdit(input);
  updateOtherPanels();
}

void vcDispObjGeneral::StyleSelection_Changed() {
  const QString item = StyleSelection->currentText();
  QString path;
  if (item == "(Browse...)") {
    path = FileDialogOpen(window(), "Import Display Object Style...", styleFolderPath(), {"qvo"});
    if (path.isEmpty()) {
      SetStyle(true);
      return;
    }
  } else {
    path = styleFolderPath() + "/" + item + ".qvo";
  }
  if (main() != nullptr) main()->setProjectModified(true);
  UndoSave();
  if (DispObjImportStyle(OurIndex, NSStringToWStr(path).c_str(), StyleMode) != 0) ErrorShowLast();
  UpdatePreviewNoUndo();
  updateOtherPanels();
}

void vcDispObjGeneral::StyleExportButton_Pressed() {
  const QString path =
      FileDialogSave(window(), "Export Display Object Style...", styleFolderPath(), LabelText->text() + ".qvo", {"qvo"});
  if (path.isEmpty()) return;
  if (DispObjExportStyle(OurIndex, NSStringToWStr(path).c_str()) != 0) ErrorShowLast();
  SetStyle(false);
}

void vcDispObjGeneral::BackgroundButton_Pressed() {
  PreviewStop();
  UpdatePreview();
  UndoSave();
  wcDispObjBackground* background = AppWindows().wndDispObjBackground();
  if (background != nullptr && background->SetData(static_cast<int>(OurIndex))) RunModalForWindow(background);
  if (main() != nullptr) main()->setProjectModified(true);
  UpdatePreviewNoUndo();
}

void vcDispObjGeneral::TimeLabel_Clicked() {
  const int segment = SegmentIndex;
  const uint32_t object = OurIndex;
  wcTimelineEdit* editor = AppWindows().wndTimelineEdit();
  // Without the segment editor (it failed to load) the label leads nowhere
  // and changes nothing.
  if (editor == nullptr) return;
  PreviewStop();
  if (main() != nullptr) main()->setProjectModified(true);
  UndoSave();
  const bool ready = editor->SetData(static_cast<int>(object), segment);
  if (ready) RunModalForWindow(editor);
  if (!ready || !editor->Success()) return;
  if (editor->TimeChanged() && main() != nullptr) {
    if (editor->ChangedOrder()) {
      main()->TimelineClearSelection();
    } else {
      main()->setPreviewTime(segmentStart(segment));
    }
  }
  if (main() != nullptr) main()->PreviewRefresh();
  OurIndex = kNoDispObj;
  SetData(object);
}

void vcDispObjGeneral::TimeSelection_Changed() {
  if (main() != nullptr) main()->TimelineClearSelection();
  const QString text = TimeSelection->currentText();
  int chosen = -1;
  if (text.size() >= 11) chosen = segmentAt(TimeTextToSeconds(NSStringToWStr(text.left(11)).c_str()));
  if (chosen == SegmentIndex) return;
  SegmentIndex = chosen;
  PreviewStop();
  if (main() != nullptr) main()->setPreviewTime(segmentStart(chosen));
  UpdatePreviewNoUndo();
  owner()->SetDisplayObject(static_cast<int>(OurIndex));
}

void vcDispObjGeneral::TimeNewButton_Pressed() {
  PreviewStop();
  if (main() != nullptr) main()->TimelineClearSelection();
  const float now = main() != nullptr ? static_cast<float>(main()->PreviewTime()) : 0.0f;
  const std::wstring proposed = SecondsToTimeText(now);
  const wchar_t* answer =
      AppInputBox(L"Enter the time in the project for this display object's new timeline segment", proposed.c_str());
  if (answer == nullptr || answer[0] == 0) return;
  const float time = TimeTextToSeconds(answer);
  if (segmentStart(-1) >= time) {
    AppMessageBox(L"You cannot place this segment before the first timeline segment.", 48);
    return;
  }
  if (main() != nullptr) main()->setProjectModified(true);
  UndoSave();
  const uint32_t segment = TimelineDispObjAdd(OurIndex, time);
  ErrorShowLast();
  if (segment == 0xFFFFFFFF) return; // not added
  SegmentIndex = static_cast<int>(segment);
  if (main() != nullptr) main()->setPreviewTime(segmentStart(SegmentIndex));
  UpdatePreviewNoUndo();
  SetData(OurIndex);
}

void vcDispObjGeneral::TimeRemoveButton_Pressed() {
  if (SegmentIndex == -1) {
    AppMessageBox(L"You cannot remove the first timeline segment.", 48);
    return;
  }
  PreviewStop();
  if (main() != nullptr) main()->TimelineClearSelection();
  if (AppMessageBox(L"Remove display object changes made during the current timeline segment?", 36) != kMbYes)
    return;
  if (main() != nullptr) main()->setProjectModified(true);
  UndoSave();
  if (TimelineDispObjRemove(OurIndex, static_cast<uint32_t>(SegmentIndex)) != 0) ErrorShowLast();
  UpdatePreviewNoUndo();
  owner()->SetDisplayObject(static_cast<int>(OurIndex));
}
