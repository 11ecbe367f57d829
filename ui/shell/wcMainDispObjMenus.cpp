// Where the display-object commands are reached: the buttons under the
// objects list, the list's context menu and double click, the inputs
// menu's add item, and the canvas menu with its hit-test-then-select rule.
#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QLayout>
#include <QMenu>
#include <QPushButton>

#include "base/util.h"
#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/preview/main_preview.h"
#include "ui/shell/wcMain.h"

namespace {

struct Command {
  const char* name;
  const char* title;
  void (wcMain::*action)();
};

} // namespace

void wcMain::installDispObjCommands(QGroupBox* objectsBox) {
  // Buttons beside the list, two rows of the commands used most.
  const Command buttons[] = {
      {"DispObjAdd", "Add...", &wcMain::DispObjAdd_Pressed},
      {"DispObjRemove", "Remove", &wcMain::DispObjRemove_Pressed},
      {"DispObjEdit", "Properties", &wcMain::DispObjEdit_Pressed},
      {"DispObjDuplicate", "Duplicate", &wcMain::DispObjDuplicate_Pressed},
      {"DispObjGroup", "Group", &wcMain::DispObjGroup_Pressed},
      {"DispObjMoveUp", "Up", &wcMain::DispObjMoveUp_Pressed},
      {"DispObjMoveDown", "Down", &wcMain::DispObjMoveDown_Pressed},
  };
  auto* grid = new QGridLayout();
  grid->setSpacing(3);
  int at = 0;
  for (const Command& c : buttons) {
    auto* button = new QPushButton(c.title, objectsBox);
    button->setObjectName(c.name);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, c.action);
    grid->addWidget(button, at / 4, at % 4);
    ++at;
  }
  if (objectsBox->layout() != nullptr) static_cast<QBoxLayout*>(objectsBox->layout())->addLayout(grid);

  // The list's menu: its own items first, then the rest of the commands.
  const Command extra[] = {
      {"DispObjMenuGroup", "Group / Un-group", &wcMain::DispObjGroup_Pressed},
      {"DispObjMenuMoveUp", "Move Up", &wcMain::DispObjMoveUp_Pressed},
      {"DispObjMenuMoveDown", "Move Down", &wcMain::DispObjMoveDown_Pressed},
      {"DispObjMenuMoveTop", "Move to Top", &wcMain::DispObjMoveToTop_Clicked},
      {"DispObjMenuMoveBottom", "Move to Bottom", &wcMain::DispObjMoveToBottom_Clicked},
      {"DispObjMenuCenterH", "Center Horizontally", &wcMain::DispObjCenterH_Clicked},
      {"DispObjMenuCenterV", "Center Vertically", &wcMain::DispObjCenterV_Clicked},
      {"DispObjMenuCenterB", "Center", &wcMain::DispObjCenterB_Clicked},
  };
  dispObjsMenu_->addSeparator();
  for (const Command& c : extra) addMenuItem(dispObjsMenu_, c.name, c.title);
  const Command listCommands[] = {
      {"DispObjMenuEdit", "", &wcMain::DispObjEdit_Pressed},
      {"DispObjMenuDuplicate", "", &wcMain::DispObjDuplicate_Pressed},
      {"DispObjMenuRename", "", &wcMain::DispObjRename_Clicked},
      {"DispObjMenuRemove", "", &wcMain::DispObjRemove_Pressed},
      {"DispObjMenuSnapshot", "", &wcMain::DispObjSnapshot_Clicked},
      {"InputMenuAddDisplay", "", &wcMain::InputAddDispObj},
  };
  for (const Command& c : listCommands) SetListCommand(c.name, [this, action = c.action]() { (this->*action)(); });
  for (const Command& c : extra) SetListCommand(c.name, [this, action = c.action]() { (this->*action)(); });
  SetListCommand("DispObjsDoubleClicked", [this]() { DispObjEdit(false); });

  // The canvas menu.
  previewMenu_ = new QMenu(objectsBox->window());
  previewMenu_->setObjectName("PreviewMenu");
  const Command preview[] = {
      {"PreviewMenuDispObjEdit", "Properties...", &wcMain::DispObjEdit_Pressed},
      {"PreviewMenuMoveUp", "Move Up", &wcMain::DispObjMoveUp_Pressed},
      {"PreviewMenuMoveDown", "Move Down", &wcMain::DispObjMoveDown_Pressed},
      {"PreviewMenuMoveTop", "Move to Top", &wcMain::DispObjMoveToTop_Clicked},
      {"PreviewMenuMoveBottom", "Move to Bottom", &wcMain::DispObjMoveToBottom_Clicked},
      {"PreviewMenuCenterH", "Center Horizontally", &wcMain::DispObjCenterH_Clicked},
      {"PreviewMenuCenterV", "Center Vertically", &wcMain::DispObjCenterV_Clicked},
      {"PreviewMenuCenterB", "Center", &wcMain::DispObjCenterB_Clicked},
      {"PreviewMenuSnapshotObj", "Export Snapshot...", &wcMain::DispObjSnapshot_Clicked},
  };
  for (const Command& c : preview) {
    QAction* action = previewMenu_->addAction(c.title);
    action->setObjectName(c.name);
    connect(action, &QAction::triggered, this, c.action);
    if (QString(c.name) == "PreviewMenuCenterB" || QString(c.name) == "PreviewMenuMoveBottom")
      previewMenu_->addSeparator();
  }
  // The input commands of the selected object's input: the same commands
  // as the inputs menu's, whoever installs them.
  for (const auto& [name, title, command] : {std::tuple{"PreviewMenuInputEdit", "Input Properties...", "InputMenuConfig"},
                                             std::tuple{"PreviewMenuInputSync", "Synchronize Input...", "InputMenuSync"}}) {
    QAction* action = previewMenu_->addAction(title);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, cmd = QString(command)]() { runListCommand(cmd); });
  }
}

QAction* wcMain::PreviewMenuItem(const QString& name) const {
  return previewMenu_ != nullptr ? previewMenu_->findChild<QAction*>(name) : nullptr;
}

void wcMain::previewMenuWillOpen(QPointF point) {
  // The object under the pointer becomes the selection; empty canvas keeps
  // the selection there was.
  DispObjSelect(MainPreviewGetObjFromClick(RoundToIntF(static_cast<float>(point.x())),
                                           RoundToIntF(static_cast<float>(point.y())), 0,
                                           static_cast<float>(previewTime_)));
  const QStringList names = SelectedDispObjNames();
  const DispStruct* found = names.isEmpty() ? nullptr : DispObjGet(DispObjFind(names.front().toStdU16String().c_str()));
  const bool selected = found != nullptr;
  const DispStruct record = selected ? *found : DispStruct{};
  for (const char* name : {"PreviewMenuDispObjEdit", "PreviewMenuMoveUp", "PreviewMenuMoveDown", "PreviewMenuMoveTop",
                           "PreviewMenuMoveBottom", "PreviewMenuCenterH", "PreviewMenuCenterV", "PreviewMenuCenterB"})
    PreviewMenuItem(name)->setEnabled(selected);
  const bool hasInput = selected && record.InputID < kNoInput;
  PreviewMenuItem("PreviewMenuInputEdit")->setEnabled(hasInput && listCommands_.contains("InputMenuConfig"));
  PreviewMenuItem("PreviewMenuInputSync")
      ->setEnabled(hasInput && InputGetType(record.InputID) != kInputImage && listCommands_.contains("InputMenuSync"));
  const DispTypeInfo* info = selected ? DispTypeFind(record.Type) : nullptr;
  PreviewMenuItem("PreviewMenuSnapshotObj")->setEnabled(info != nullptr && info->drawsPicture);
}

void wcMain::imageMenuRequested(QPointF point, QPoint globalPos) {
  if (previewMenu_ == nullptr) return;
  previewMenuWillOpen(point);
  previewMenu_->popup(globalPos);
}
