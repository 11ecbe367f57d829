#include "ui/dispobj/wcDispObjEnhEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstring>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/style.h"
#include "model/dispobjs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/DispObjPanel.h"
#include "ui/dispobj/enh_param_edit.h"
#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/seams/desktop.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/vendor.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
const char* const kNoticeKey = "ShowedEnhancedNotice";

const wchar_t* const kNotice =
    L"Enhanced display objects like this one are generated using programming code that can be viewed and edited "
    L"here. As such, this advanced level of customization is a special case that will probably only make sense to "
    L"users who have programming experience.\n\nMost users should find it much easier and more intuitive to "
    L"customize the other display object types offered by this product, such as the standard Gauge, Bar Graph, "
    L"Time Graph, and Text Data objects.";

const char* viewInfo(int mode) {
  switch (mode) {
  case wcDispObjEnhEdit::kViewBackScript:
    return "Background Script: This code is run only once and should be used to draw as many of this display's "
           "static elements as possible.";
  case wcDispObjEnhEdit::kViewForeScript:
    return "Foreground Script: This code is run every time and should be used to draw this display's moving or "
           "changing elements.";
  default:
    return "Parameters: Set the rendering area, other options, and the parameters that will be presented in the "
           "Display Object Properties Box.";
  }
}

wcMain* mainWindow() { return AppWindows().wndMain(); }

wcDispObjBackground* backgroundWindow() {
  return AppWindows().wndDispObjBackground();
}

} // namespace

wcDispObjEnhEdit::wcDispObjEnhEdit() : WindowController("wcDispObjEnhEdit", kOpenCentred) {}

wcDispObjEnhEdit::~wcDispObjEnhEdit() { EndPreview(); }

QString wcDispObjEnhEdit::HelpAddress() { return VendorDocsUrl() + "scripted-objects/"; }

QWidget* wcDispObjEnhEdit::makeWindow() {
  QDialog* dialog = makeDialog("Enhanced Object Script Editor");
  auto* column = new QVBoxLayout(dialog);
  column->addWidget(makeViewBar(dialog));
  auto* body = new QHBoxLayout();
  auto* work = new QVBoxLayout();
  ParamBox = makeParamBox(dialog);
  work->addWidget(ParamBox, 1);

  // Scripts are code: a fixed-width face, no wrapping, no smart quotes.
  const QFont code = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  ScriptText = new QPlainTextEdit(dialog);
  ScriptText->setObjectName("ScriptText");
  ScriptText->setFont(code);
  ScriptText->setLineWrapMode(QPlainTextEdit::NoWrap);
  ScriptText->setTabStopDistance(4 * QFontMetricsF(code).horizontalAdvance(' '));
  work->addWidget(ScriptText, 3);
  OutputLabel = new QLabel("Output:", dialog);
  OutputLabel->setObjectName("OutputLabel");
  work->addWidget(OutputLabel);
  OutputText = new QPlainTextEdit(dialog);
  OutputText->setObjectName("OutputText");
  OutputText->setFont(code);
  OutputText->setReadOnly(true);
  OutputText->setLineWrapMode(QPlainTextEdit::NoWrap);
  work->addWidget(OutputText, 1);
  body->addLayout(work, 1);
  body->addWidget(makeSidePanel(dialog));
  column->addLayout(body, 1);

  const DialogButtons buttons = AddOkCancelRow(column, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcDispObjEnhEdit::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcDispObjEnhEdit::CancelButton_Pressed);
  connectParams();
  dialog->resize(980, 700);
  return dialog;
}

QWidget* wcDispObjEnhEdit::makeViewBar(QWidget* parent) {
  auto* bar = new QWidget(parent);
  auto* column = new QVBoxLayout(bar);
  column->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout();
  auto* group = new QButtonGroup(bar);
  group->setExclusive(true);
  auto viewButton = [&](const QString& title, const char* name, void (wcDispObjEnhEdit::*action)()) {
    auto* button = new QPushButton(title, bar);
    button->setObjectName(name);
    button->setCheckable(true);
    group->addButton(button);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, action);
    return button;
  };
  ViewParamButton = viewButton("Parameters", "ViewParamButton", &wcDispObjEnhEdit::ViewParamButton_Pressed);
  ViewBackScriptButton =
      viewButton("Background Script", "ViewBackScriptButton", &wcDispObjEnhEdit::ViewBackScriptButton_Pressed);
  ViewForeScriptButton =
      viewButton("Foreground Script", "ViewForeScriptButton", &wcDispObjEnhEdit::ViewForeScriptButton_Pressed);
  row->addStretch(1);
  column->addLayout(row);
  ViewInfoLabel = new QLabel(bar);
  ViewInfoLabel->setObjectName("ViewInfoLabel");
  ViewInfoLabel->setWordWrap(true);
  column->addWidget(ViewInfoLabel);
  return bar;
}

QWidget* wcDispObjEnhEdit::makeSidePanel(QWidget* parent) {
  auto* side = new QWidget(parent);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  PreviewImage = new NSImageViewCustom(side);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFixedSize(kPreviewWidth, kPreviewHeight);
  column->addWidget(PreviewImage);
  auto button = [&](const QString& title, const char* name, void (wcDispObjEnhEdit::*action)()) {
    auto* b = new QPushButton(title, side);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  RefreshPreviewButton =
      button("Refresh Preview", "RefreshPreviewButton", &wcDispObjEnhEdit::RefreshPreviewButton_Pressed);
  BackgroundButton = button("Background Image...", "BackgroundButton", &wcDispObjEnhEdit::BackgroundButton_Pressed);
  column->addWidget(RefreshPreviewButton);
  column->addWidget(BackgroundButton);
  column->addSpacing(12);
  auto* styleBox = new QGroupBox("Style", side);
  auto* styles = new QVBoxLayout(styleBox);
  StyleButton = button(QString(), "StyleButton", &wcDispObjEnhEdit::StyleButton_Pressed);
  StyleButton->setToolTip("Apply a style file to this object");
  StyleExportButton = button("Export Style...", "StyleExportButton", &wcDispObjEnhEdit::StyleExportButton_Pressed);
  styles->addWidget(StyleButton);
  styles->addWidget(StyleExportButton);
  column->addWidget(styleBox);
  column->addStretch(1);
  HelpButton = button("Scripting Help", "HelpButton", &wcDispObjEnhEdit::HelpButton_Pressed);
  column->addWidget(HelpButton);
  return side;
}

bool wcDispObjEnhEdit::SetData(uint32_t index) {
  window();
  state_.OurIndex = index;
  state_.Success = false;
  if (index == kNoDispObj) return false;
  DispStruct common{};
  if (!EnhParamLoad(index, enh_, common)) return false;
  state_.LoadingData = true;
  fillParams(common);
  state_.LoadingData = false;
  SetStyle();
  SetFieldColor();
  EndPreview();
  preview_.hold(SimplePreviewCreateForDispObj(index, PreviewImage->viewHandle(), kPreviewWidth, kPreviewHeight, 1));
  UpdateViewModeControls();
  return true;
}

char (&wcDispObjEnhEdit::script(int mode))[kScriptBytes] {
  return mode == kViewBackScript ? enh_.BackScript : enh_.ForeScript;
}

// Only what the user typed is stored: a script that is not UTF-8, or whose
// line ends the view would change, stays as it was until it is edited.
void wcDispObjEnhEdit::takeScript() {
  if (!ScriptText->document()->isModified()) return;
  char(&field)[kScriptBytes] = script(state_.ViewMode);
  const bool cut = EnhStoreScript(field, ScriptText->toPlainText().toUtf8());
  ScriptText->document()->setModified(false);
  if (!cut) return;
  ScriptText->setPlainText(EnhScriptText(field));
  AppMessageBox(L"A script holds at most 32,767 bytes of text. The end of this one has been cut off.", 48);
}

bool wcDispObjEnhEdit::objectStillScripted() const {
  const DispStruct* found = DispObjGet(state_.OurIndex);
  return found != nullptr && found->Type == kDispEnhanced && found->ParamSize == sizeof(EnhParam);
}

void wcDispObjEnhEdit::UpdateData() {
  if (state_.LoadingData) return;
  if (state_.ViewMode == kViewBackScript || state_.ViewMode == kViewForeScript) takeScript();
  for (int i = 0; i < kEnhColors; ++i) DispObjPanel::storeText(enh_.ColorName[i], ColorLabel[i]->text());
  LabelText->setText(W16ToNSString(enh_.Label));
  enh_.LabelColor = ColorSwitched(enh_.LabelColor, DoLabelCheck->isChecked());
  // Never write this record over an object of another kind.
  if (objectStillScripted()) DispObjSetParam(state_.OurIndex, &enh_);
}

void wcDispObjEnhEdit::UpdatePreview() {
  UpdateData();
  UpdatePreviewNoSave();
}

void wcDispObjEnhEdit::UpdatePreviewNoSave() {
  if (preview_.isHeld()) {
    const double time = mainWindow() != nullptr ? mainWindow()->PreviewTime() : 0;
    preview_.draw(0, state_.PreviewQuality, static_cast<float>(time));
  }
  UpdateScriptOutput();
}

void wcDispObjEnhEdit::UpdateScriptOutput() {
  if (state_.ViewMode == kViewParams) return;
  const uint32_t which = state_.ViewMode == kViewForeScript ? 0 : 1;
  OutputText->setPlainText(WStrToNSString(DispObjEnhancedGetLog(state_.OurIndex, which)));
}

void wcDispObjEnhEdit::setViewMode(int mode) {
  UpdateData();
  state_.ViewMode = mode;
  UpdateViewModeControls();
}

void wcDispObjEnhEdit::UpdateViewModeControls() {
  const int mode = state_.ViewMode;
  ViewParamButton->setChecked(mode == kViewParams);
  ViewBackScriptButton->setChecked(mode == kViewBackScript);
  ViewForeScriptButton->setChecked(mode == kViewForeScript);
  const bool scripts = mode == kViewBackScript || mode == kViewForeScript;
  if (scripts) {
    ScriptText->setPlainText(EnhScriptText(script(mode)));
    ScriptText->document()->setModified(false);
  }
  ViewInfoLabel->setText(viewInfo(mode));
  ParamBox->setVisible(!scripts);
  ScriptText->setVisible(scripts);
  OutputLabel->setVisible(scripts);
  OutputText->setVisible(scripts);
  UpdateColorControls();
  UpdatePreviewNoSave();
}

void wcDispObjEnhEdit::UpdateColorControls() {
  for (int i = 0; i < kEnhColors; ++i) {
    const bool inUse = i < enh_.ColorCount;
    ColorLabel[i]->setVisible(inUse);
    Color[i]->setVisible(inUse);
    ColorVar[i]->setVisible(inUse);
  }
}

void wcDispObjEnhEdit::SetStyle() {
  const DispStruct* found = DispObjGet(state_.OurIndex);
  if (found == nullptr) return;
  state_.CurStyle = W16ToNSString(found->Style);
  StyleButton->setText(state_.CurStyle.isEmpty() ? "Apply Style..." : state_.CurStyle);
}

void wcDispObjEnhEdit::BackgroundButton_Pressed() {
  UpdatePreview();
  wcDispObjBackground* background = backgroundWindow();
  if (background != nullptr && background->SetData(static_cast<int>(state_.OurIndex))) {
    RunModalForWindow(background);
    UpdatePreview();
  }
}

void wcDispObjEnhEdit::StyleButton_Pressed() {
  const QString path =
      FileDialogOpen(window(), "Import Display Object Style...", AppDelegate::GetDocFolder("Styles"), {"qvo"});
  if (path.isEmpty()) return;
  if (DispObjImportStyle(state_.OurIndex, NSStringToWStr(path).c_str(), kStyleApply) != 0) ErrorShowLast();
  SetData(state_.OurIndex);
}

void wcDispObjEnhEdit::StyleExportButton_Pressed() {
  const QString path = FileDialogSave(window(), "Export Display Object Style...", AppDelegate::GetDocFolder("Styles"),
                                      state_.CurStyle.isEmpty() ? QString() : state_.CurStyle + ".qvo", {"qvo"});
  if (path.isEmpty()) return;
  // The file holds what the user sees, the script being typed included.
  UpdateData();
  if (DispObjExportStyle(state_.OurIndex, NSStringToWStr(path).c_str()) != 0) ErrorShowLast();
  SetData(state_.OurIndex);
}

void wcDispObjEnhEdit::HelpButton_Pressed() { OpenUrl(QUrl(HelpAddress()), "the documentation page"); }

void wcDispObjEnhEdit::OkButton_Pressed() {
  UpdateData();
  state_.Success = true;
  close();
}

void wcDispObjEnhEdit::CancelButton_Pressed() { close(); }

void wcDispObjEnhEdit::windowDidBecomeMain() { window()->setWindowTitle("Enhanced Object Script Editor"); }

void wcDispObjEnhEdit::windowDidOpen() {
  state_.Success = false;
  UpdateViewModeControls();
  showNoticeOnce();
}

void wcDispObjEnhEdit::showNoticeOnce() {
  bool shown = false;
  if (UserDefaultsReadBool(kNoticeKey, shown) && shown) return;
  UserDefaultsWrite(kNoticeKey, true);
  AppMessageBox(kNotice, 64);
}

void wcDispObjEnhEdit::windowWillClose() { EndPreview(); }
