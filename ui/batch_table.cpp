#include "batch_table.h"

#include <utility>

#include <QApplication>
#include <QBrush>
#include <QPalette>

#include "text/number_text.h"

void BatchTableTexts::Reserve(std::size_t rows, std::size_t bytes)
{
    ends_.reserve(2 * rows);
    starts_.reserve(2 * rows / kGroup + 1);
    chars_.reserve(bytes);
}

void BatchTableTexts::Append(std::string_view x, std::string_view y)
{
    for (std::string_view text : {x, y}) {
        if (ends_.size() % kGroup == 0)
            starts_.push_back(chars_.size());
        chars_.append(text);
        ends_.push_back(static_cast<std::uint32_t>(chars_.size() - starts_.back()));
    }
}

std::string_view BatchTableTexts::Text(std::size_t k) const
{
    const std::size_t start = starts_[k / kGroup];
    const std::size_t begin = k % kGroup == 0 ? start : start + ends_[k - 1];
    return std::string_view(chars_).substr(begin, start + ends_[k] - begin);
}

void BatchTableTexts::Trim()
{
    // Copying a large buffer to trim a little slack would double its memory for a moment.
    if (chars_.capacity() - chars_.size() > chars_.size() / 4)
        chars_.shrink_to_fit();
    if (ends_.capacity() - ends_.size() > ends_.size() / 4)
        ends_.shrink_to_fit();
}

BatchTable::BatchTable(QObject* parent) : QAbstractTableModel(parent)
{
    texts_.Append({}, {});
    texts_.Append({}, {});
    headers_[0] = QStringLiteral("編號\\坐標");
    headers_[1] = QStringLiteral("x (E)");
    headers_[2] = QStringLiteral("y (N)");
}

int BatchTable::RowCount() const
{
    return static_cast<int>(texts_.Rows()) + 1;
}

std::string BatchTable::CellText(int row, int column) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= RowCount())
        return {};
    if (row == 0)
        return headers_[column].toStdString();
    if (column == 0)
        return numbered_ ? IntegerText(row) : std::string();
    return std::string(CoordinateText(row, column));
}

std::string_view BatchTable::CoordinateText(int row, int column) const
{
    return texts_.Text(2 * static_cast<std::size_t>(row - 1) + static_cast<std::size_t>(column - 1));
}

void BatchTable::Load(BatchTableTexts texts)
{
    beginResetModel();
    texts_ = std::move(texts);
    texts_.Trim();
    numbered_ = true;
    endResetModel();
}

void BatchTable::SetCoordinateHeaders(const QString& x, const QString& y)
{
    headers_[1] = x;
    headers_[2] = y;
    emit headerDataChanged(Qt::Horizontal, 1, 2);
}

int BatchTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount() - 1;
}

int BatchTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant BatchTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;  // model row 0 is data row 1
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return numbered_ ? QString::fromStdString(IntegerText(row)) : QString();
        {
            const std::string_view text = CoordinateText(row, index.column());
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
    case Qt::BackgroundRole:
        // The row-number column is drawn like the header: a fixed column.
        if (index.column() == 0)
            return QBrush(QApplication::palette().color(QPalette::Button));
        return {};
    default:
        return {};
    }
}

QVariant BatchTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns)
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags BatchTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Nothing is editable; the row-number column cannot be selected.
    if (index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
