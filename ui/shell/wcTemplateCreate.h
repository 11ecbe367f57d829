#pragma once
// Saving the project's display objects, with the inputs they show, as a
// template: two tables to check the objects (groups with their members)
// and to name objects and inputs as the template will call them.
#include <QList>
#include <QString>
#include <cstdint>

#include "ui/shell/WindowController.h"

class QTableWidget;
class QTableWidgetItem;
struct DispStruct;

class wcTemplateCreate : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTemplateCreate();

public:
  struct ObjectRow {
    bool select = false;
    bool member = false; // listed under its group
    uint8_t type = 0;
    QString name;     // in the template (editable)
    QString typeName;
    QString projName; // in the project: the key back to the object
  };
  struct InputRow {
    bool select = false; // computed from the checked objects
    uint8_t type = 0;
    QString name;        // in the template (editable)
    QString typeName;
    QString projName;
  };

  void DispObjPopulate();
  void InputPopulate();
  void AddDisplayListItem(const DispStruct* record, bool checked);
  // Propagates a changed object check between a group and its members.
  void DispObjSelectChanged(int row);
  void InputRefresh();
  // The name an object of the project goes by in a template.
  static QString TemplateObjectName(const QString& projectName);

  const QList<ObjectRow>& ObjectRows() const { return objects_; }
  const QList<InputRow>& InputRows() const { return inputs_; }
  // The user's edits, as the tables pass them on.
  void SetObjectChecked(int row, bool checked);
  void SetObjectName(int row, const QString& name);
  void SetInputName(int row, const QString& name);
  QTableWidget* DispObjTable() const { return objectTable_; }
  QTableWidget* InputTable() const { return inputTable_; }

public slots:
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  void reloadObjectTable();
  void reloadInputTable();
  void objectItemChanged(QTableWidgetItem* item);
  void inputItemChanged(QTableWidgetItem* item);
  // Writes the checked rows into the file; false (with the error shown and
  // no file left behind) when a record cannot be written.
  bool writeTemplate();

  int reloading_ = 0;
  QList<ObjectRow> objects_;
  QList<InputRow> inputs_;
  QTableWidget* objectTable_ = nullptr;
  QTableWidget* inputTable_ = nullptr;
};
