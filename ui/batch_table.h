#pragma once
// BatchGrid: the batch page's three-column table of texts (row number, x, y), as the
// model behind StringGrid1.
//
// Rows are counted the way the page talks about them: row 0 is the header row and
// data rows are 1 … RowCount() - 1. The header row is the view's horizontal header,
// not a model row, so it stays a fixed header whatever the row count (also after a
// load of no pair, when RowCount() is 1 and the model has no rows at all).
//
// The cells hold texts only. Columns 1 and 2 of all data rows are kept in one UTF-8
// buffer with 32-bit offsets, so a row costs its characters and 8 bytes (about 27 bytes
// for a row of metres with centimetres); column 0 is not stored but derived from the
// row number.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

// The x and y texts of the rows of one load, in row order, built before the table
// takes them over in one piece.
class BatchTableTexts {
public:
    void Reserve(std::size_t rows, std::size_t bytes);
    void Append(std::string_view x, std::string_view y);
    std::size_t Rows() const { return ends_.size() / 2; }
    std::size_t CharacterCount() const { return chars_.size(); }
    // Text k: the x of row k / 2 + 1 for even k, its y for odd k.
    std::string_view Text(std::size_t k) const;
    // Gives back the memory reserved beyond the texts when that is much.
    void Trim();

private:
    // Texts are grouped kGroup at a time; a group's texts span far less than 4 GiB, so
    // offsets from the group's start fit in 32 bits.
    static constexpr std::size_t kGroup = 4096;
    std::string chars_;                  // x1 y1 x2 y2 … back to back
    std::vector<std::size_t> starts_;    // where each group of texts starts in chars_
    std::vector<std::uint32_t> ends_;    // end of each text, from its group's start
};

class BatchTable : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;

    // Two empty data rows (RowCount() 3), headers "編號\坐標", "x (E)", "y (N)".
    explicit BatchTable(QObject* parent = nullptr);

    // Data rows + 1, counting the header row.
    int RowCount() const;
    // Row 0: the header texts. Data rows: column 0 is the row number (IntegerText),
    // empty for the two rows present before the first load; columns 1 and 2 as loaded.
    std::string CellText(int row, int column) const;
    // Columns 1 and 2 of a data row (1 ≤ row < RowCount()), without copying. The view
    // is valid until the next Load.
    std::string_view CoordinateText(int row, int column) const;

    // Replaces every data row by the given ones (any number, none included): the row
    // count is set once, with one reset of the model. Header texts stay.
    void Load(BatchTableTexts texts);
    // Header texts of columns 1 and 2.
    void SetCoordinateHeaders(const QString& x, const QString& y);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    BatchTableTexts texts_;
    bool numbered_ = false;  // false only for the empty rows present at start
    QString headers_[kColumns];
};
