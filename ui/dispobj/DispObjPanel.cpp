#include "ui/dispobj/DispObjPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

DispObjPanel::DispObjPanel(DispPanel bit, const QString& objectName, wcDispObjEdit* owner)
    : bit_(bit), owner_(owner) {
  setObjectName(objectName);
  setFixedWidth(wcDispObjEdit::kPanelWidth);
}

int DispObjPanel::IntendedHeight() const {
  if (layout() != nullptr) layout()->activate();
  return sizeHint().height();
}

wcMain* DispObjPanel::main() { return AppWindows().wndMain(); }

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

bool DispObjPanel::writeParam(const void* param, size_t size) { return writeParamChecked(param, size, true); }

bool DispObjPanel::writeParamNoUndo(const void* param, size_t size) { return writeParamChecked(param, size, false); }

bool DispObjPanel::writeParamChecked(const void* param, size_t size, bool checkpoint) {
  DispStruct record{};
  if (LoadingData || !objectStillFits(record, size)) return false;
  if (checkpoint) UndoSave();
  if (wcMain* m = main()) m->setProjectModified(true);
  const int code = DispObjSetParam(OurIndex, param);
  if (code != 0) ErrorShowLast();
  if (wcMain* m = main()) m->PreviewRefresh();
  return code == 0;
}

void DispObjPanel::updateOtherPanels() { owner_->UpdateControls(); }

void DispObjPanel::showColor(NSColorWellCustom* well, uint32_t color) { well->setColor(ColorToNSColor(color | kColorOff)); }

void DispObjPanel::showElement(QCheckBox* check, NSColorWellCustom* well, uint32_t color) {
  check->setChecked(!ColorIsOff(color));
  showColor(well, color);
}

void DispObjPanel::followSecondColor(uint32_t first, uint32_t& second, const QCheckBox* secondSwitch,
                                     NSColorWellCustom* secondWell) {
  if (secondSwitch->isChecked()) return;
  second = ColorSwitched(ColorDerivedSecond(first), false);
  showColor(secondWell, second);
}

uint32_t DispObjPanel::wellColor(const NSColorWellCustom* well) { return NSColorToColor(well->color()) & 0x00FFFFFFu; }

QStringList DispObjPanel::dataFieldNames(uint32_t input) {
  constexpr uint32_t kMaxFields = 128;
  QStringList names;
  if (input == kNoInput) return names;
  for (uint32_t n = 0; n < kMaxFields; ++n) {
    const char16_t* name = InputHandlerGetDataFieldName(input, n, 1);
    if (ErrorGetLast() < 0) break;
    const QString text = W16ToNSString(name);
    if (!text.isEmpty()) names << text;
  }
  return names;
}

void DispObjPanel::fillFieldCombo(QComboBox* combo, const QString& firstEntry, const QStringList& names,
                                  const QString& stored) {
  combo->clear();
  combo->setEditText("");
  combo->addItem(firstEntry);
  combo->addItems(names);
  const QString shown = stored.isEmpty() ? firstEntry : stored;
  const int row = combo->findText(shown, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (row >= 0) combo->setCurrentIndex(row);
  else if (combo->isEditable()) combo->setEditText(shown);
  else combo->setCurrentIndex(-1);
}

void DispObjPanel::showFieldState(QLabel* label, uint32_t input, const char16_t* field, bool emptyIsAutomatic) {
  const bool empty = field == nullptr || field[0] == 0;
  const bool known =
      empty ? emptyIsAutomatic : input != kNoInput && InputHandlerGetDataFieldIndex(input, field) != -1;
  const QColor normal = label->parentWidget() != nullptr ? label->parentWidget()->palette().color(QPalette::WindowText)
                                                        : QPalette().color(QPalette::WindowText);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, known ? normal : QColor(200, 0, 0));
  label->setPalette(colours);
}

bool DispObjPanel::storeChosenField(const QComboBox* combo, char16_t (&field)[kNameLength],
                                    std::initializer_list<const char*> noName) {
  QString chosen = combo->currentText();
  for (const char* entry : noName)
    if (chosen == entry) chosen.clear();
  if (chosen == W16ToNSString(field)) return false;
  storeText(field, chosen);
  return true;
}

void DispObjPanel::storeText(char16_t* field, size_t capacity, const QString& text) {
  if (capacity == 0) return;
  size_t n = std::min(static_cast<size_t>(text.size()), capacity - 1);
  if (n > 0 && n < static_cast<size_t>(text.size()) && text.at(static_cast<qsizetype>(n) - 1).isHighSurrogate()) --n;
  std::memcpy(field, text.utf16(), n * sizeof(char16_t));
  std::fill(field + n, field + capacity, u'\0');
}

QGroupBox* DispObjPanel::titledBox(const QString& title, const char* boxName) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 4, 6, 4);
  auto* box = new QGroupBox(title, this);
  box->setObjectName(boxName);
  outer->addWidget(box);
  return box;
}

QGridLayout* DispObjPanel::titledGrid(const QString& title, const char* boxName) {
  auto* grid = new QGridLayout(titledBox(title, boxName));
  grid->setVerticalSpacing(4);
  return grid;
}

QComboBox* DispObjPanel::typableList(const char* name, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setLineEdit(new TextField(list));
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return list;
}

void DispObjPanel::onListChosen(QComboBox* list, QObject* context, const std::function<void()>& action) {
  connect(list, &QComboBox::activated, context, action);
  connect(static_cast<TextField*>(list->lineEdit()), &TextField::changed, context, action);
}

QCheckBox* DispObjPanel::checkBox(const QString& title, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(title, parent);
  box->setObjectName(name);
  return box;
}

NSColorWellCustom* DispObjPanel::colorWell(const char* name, QWidget* parent) {
  auto* well = new NSColorWellCustom(parent);
  well->setObjectName(name);
  return well;
}

QHBoxLayout* DispObjPanel::numberField(TextField*& text, RealStepper*& stepper, const QString& name, double minimum,
                                       double maximum, double increment, QWidget* parent, int textWidth,
                                       const QString& unit) {
  auto* row = new QHBoxLayout();
  row->setSpacing(2);
  text = new TextField(parent);
  text->setObjectName(name + "Text");
  text->setFixedWidth(textWidth);
  text->setAlignment(Qt::AlignRight);
  stepper = new RealStepper(minimum, maximum, increment, parent);
  stepper->setObjectName(name + "Stepper");
  row->addWidget(text);
  row->addWidget(stepper);
  if (!unit.isEmpty()) row->addWidget(new QLabel(unit, parent));
  row->addStretch(1);
  return row;
}

QCheckBox* DispObjPanel::elementRow(QGridLayout* grid, int row, const QString& title, const QString& name,
                                    NSColorWellCustom*& well, QWidget* parent) {
  QCheckBox* check = checkBox(title, ("Do" + name + "Check").toUtf8().constData(), parent);
  well = colorWell((name + "Color").toUtf8().constData(), parent);
  grid->addWidget(check, row, 0);
  grid->addWidget(well, row, 1, Qt::AlignLeft);
  return check;
}

void DispObjPanel::elementSize(QGridLayout* grid, int row, const QString& sizeTitle, const QString& name,
                               TextField*& text, RealStepper*& stepper, double minimum, double maximum,
                               QWidget* parent) {
  grid->addWidget(new QLabel(sizeTitle, parent), row, 2, Qt::AlignRight);
  grid->addLayout(numberField(text, stepper, name + "Size", minimum, maximum, 1, parent, 36), row, 3);
}

TextField* DispObjPanel::labelTextField(QWidget* parent) {
  auto* field = new TextField(parent);
  field->setObjectName("LabelText");
  field->setMaxLength(kNameLength - 1);
  field->setPlaceholderText("Label text");
  return field;
}
