#pragma once
// A list of named rows with an icon column and a text column, as the main
// window shows inputs and display objects. Rows are known by their text;
// the owner rebuilds the whole list and re-selects rows by name.
#include <QIcon>
#include <QList>
#include <QStringList>
#include <QTableWidget>

struct NameListRow {
  QString name;
  QIcon icon;
};

class NameListTable : public QTableWidget {
  Q_OBJECT
public:
  explicit NameListTable(QWidget* parent = nullptr);

  void setRows(const QList<NameListRow>& rows);
  QString rowText(int row) const;
  // The texts of the selected rows in ascending row order, at most limit.
  QStringList selectedTexts(int limit = 256) const;
  QList<int> selectedRowNumbers() const;
  // Selects the first row with each text (exact comparison), keeping others.
  void selectTexts(const QStringList& texts);
  // Selects only the first row with the text and scrolls to it; no such
  // row clears the selection. False when there was none.
  bool selectOnly(const QString& text);
  void selectRowAlone(int row);
  bool isRowSelected(int row) const;

signals:
  // A context menu is asked for at a global position over the row (-1 for
  // empty space).
  void menuRequested(const QPoint& globalPos, int row);

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
};
