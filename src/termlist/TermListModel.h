#pragma once
// The rows of the terminal list: the terminal entries of the last read, in
// display order, and the shown columns with their headers. Cell texts are
// formatted when asked for, so a list of 65,535 terminals costs no more than
// its entries.

#include "termlist/ListColumns.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CTermListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CTermListModel(QObject *parent = nullptr);

    // The shown columns and their header texts (marks included).
    void setColumns(const std::vector<ViewColumn> &columns, const QStringList &headers);
    const std::vector<ViewColumn> &columns() const { return m_columns; }
    ViewColumn columnAt(int section) const { return m_columns.at(section); }
    int sectionOf(ViewColumn column) const; // -1 when hidden

    // Takes the entries over (the previous ones are dropped).
    void setEntries(std::vector<TermEntry> &&entries);
    void clearEntries();
    const std::vector<TermEntry> &entries() const { return m_entries; }
    const TermEntry &entry(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<ViewColumn> m_columns;
    QStringList m_headers;
    std::vector<TermEntry> m_entries;
};
