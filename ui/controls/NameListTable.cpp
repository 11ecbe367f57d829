#include "ui/controls/NameListTable.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <algorithm>

#include "ui/controls/list_icons.h"

NameListTable::NameListTable(QWidget* parent) : QTableWidget(0, 2, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  setColumnWidth(0, kListIconWidth + 6);
  verticalHeader()->setDefaultSectionSize(26);
  setIconSize(QSize(kListIconWidth, 24));
  setShowGrid(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
}

void NameListTable::setRows(const QList<NameListRow>& rows) {
  clearSelection();
  setRowCount(0);
  setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < rows.size(); ++row) {
    auto* icon = new QTableWidgetItem();
    icon->setIcon(rows[row].icon);
    icon->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, 0, icon);
    auto* text = new QTableWidgetItem(rows[row].name);
    text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, 1, text);
  }
}

QString NameListTable::rowText(int row) const {
  const QTableWidgetItem* text = item(row, 1);
  return text != nullptr ? text->text() : QString();
}

QList<int> NameListTable::selectedRowNumbers() const {
  QList<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

QStringList NameListTable::selectedTexts(int limit) const {
  QStringList texts;
  for (int row : selectedRowNumbers()) {
    if (texts.size() >= limit) break;
    texts << rowText(row);
  }
  return texts;
}

void NameListTable::selectTexts(const QStringList& texts) {
  for (const QString& text : texts) {
    for (int row = 0; row < rowCount(); ++row) {
      if (rowText(row) != text) continue;
      selectionModel()->select(model()->index(row, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
      break;
    }
  }
}

bool NameListTable::selectOnly(const QString& text) {
  for (int row = 0; row < rowCount(); ++row) {
    if (rowText(row) != text) continue;
    selectRowAlone(row);
    scrollToItem(item(row, 1));
    return true;
  }
  clearSelection();
  return false;
}

void NameListTable::selectRowAlone(int row) {
  selectionModel()->select(model()->index(row, 0),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  setCurrentCell(row, 1, QItemSelectionModel::NoUpdate);
}

bool NameListTable::isRowSelected(int row) const {
  return row >= 0 && selectionModel()->isRowSelected(row, QModelIndex());
}

void NameListTable::contextMenuEvent(QContextMenuEvent* event) {
  emit menuRequested(event->globalPos(), rowAt(event->pos().y()));
  event->accept();
}
