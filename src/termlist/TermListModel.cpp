#include "termlist/TermListModel.h"

CTermListModel::CTermListModel(QObject *parent) : QAbstractTableModel(parent) {}

void CTermListModel::setColumns(const std::vector<ViewColumn> &columns, const QStringList &headers)
{
    beginResetModel();
    m_columns = columns;
    m_headers = headers;
    endResetModel();
}

int CTermListModel::sectionOf(ViewColumn column) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i] == column)
            return static_cast<int>(i);
    return -1;
}

void CTermListModel::setEntries(std::vector<TermEntry> &&entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void CTermListModel::clearEntries()
{
    beginResetModel();
    // Swap so the memory of a large list goes back at once.
    std::vector<TermEntry>().swap(m_entries);
    endResetModel();
}

int CTermListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int CTermListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CTermListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return ListColumns::cellText(m_columns[index.column()], m_entries[index.row()]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant CTermListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_headers.at(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}
