// The table model alone: what the page reads from it and what the view draws.
#include <string>
#include <vector>

#include <QApplication>
#include <QBrush>
#include <QPalette>

#include <gtest/gtest.h>

#include "ui/batch_table.h"

struct CellCase {
    int row;
    int column;
    const char* text;
};

TEST(BatchTable, StartsWithHeaderAndTwoEmptyRows)
{
    BatchTable table;
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.columnCount(), 3);
    const CellCase cases[] = {
        {0, 0, "編號\\坐標"}, {0, 1, "x (E)"}, {0, 2, "y (N)"},
        {1, 0, ""}, {1, 1, ""}, {1, 2, ""},
        {2, 0, ""}, {2, 1, ""}, {2, 2, ""},
    };
    for (const CellCase& c : cases)
        EXPECT_EQ(table.CellText(c.row, c.column), c.text) << "row " << c.row << ", column " << c.column;
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(table.headerData(column, Qt::Horizontal).toString().toStdString(),
                  table.CellText(0, column));
}

// A load replaces all data rows; the row numbers follow the rows.
struct LoadCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> rows;
};

TEST(BatchTable, LoadSetsRowsAndNumbers)
{
    const LoadCase cases[] = {
        {"none", {}},
        {"one", {{"247342", "2652335"}}},
        {"three", {{"1", "2"}, {"-3.5", "4E-5"}, {"INF", "-INF"}}},
        {"empty texts kept apart", {{"", "1"}, {"2", ""}, {"", ""}}},
        {"long texts", {{"-1.23456789012346E-300", "1.79769313486232E308"}, {"0.333333333333333", "x"}}},
    };
    for (const LoadCase& c : cases) {
        BatchTable table;
        BatchTableTexts texts;
        for (const auto& [x, y] : c.rows)
            texts.Append(x, y);
        table.Load(std::move(texts));
        const int n = static_cast<int>(c.rows.size());
        ASSERT_EQ(table.RowCount(), n + 1) << c.name;
        EXPECT_EQ(table.rowCount(), n) << c.name;
        for (int r = 1; r <= n; ++r) {
            EXPECT_EQ(table.CellText(r, 0), std::to_string(r)) << c.name << " row " << r;
            EXPECT_EQ(table.CellText(r, 1), c.rows[r - 1].first) << c.name << " row " << r;
            EXPECT_EQ(table.CellText(r, 2), c.rows[r - 1].second) << c.name << " row " << r;
            EXPECT_EQ(table.CoordinateText(r, 1), c.rows[r - 1].first) << c.name << " row " << r;
            EXPECT_EQ(table.CoordinateText(r, 2), c.rows[r - 1].second) << c.name << " row " << r;
            EXPECT_EQ(table.data(table.index(r - 1, 1)).toString().toStdString(), c.rows[r - 1].first);
            EXPECT_EQ(table.data(table.index(r - 1, 0)).toString().toStdString(), std::to_string(r));
        }
        // The header row is untouched by any load.
        EXPECT_EQ(table.CellText(0, 0), "編號\\坐標") << c.name;
        EXPECT_EQ(table.CellText(0, 1), "x (E)") << c.name;
    }
}

TEST(BatchTable, LoadResetsTheModelOnce)
{
    BatchTable table;
    int resets = 0, inserts = 0, removes = 0;
    QObject::connect(&table, &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&table, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    QObject::connect(&table, &QAbstractItemModel::rowsRemoved, [&] { ++removes; });
    BatchTableTexts texts;
    for (int i = 0; i < 1000; ++i)
        texts.Append("1", "2");
    table.Load(std::move(texts));
    table.Load(BatchTableTexts());
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(inserts, 0);
    EXPECT_EQ(removes, 0);
}

// Column 0 looks and behaves like a fixed column; nothing can be typed into a cell.
struct FlagCase {
    int column;
    bool selectable;
    bool buttonFace;
};

TEST(BatchTable, RowNumberColumnIsFixedAndNothingIsEditable)
{
    BatchTable table;
    BatchTableTexts texts;
    texts.Append("1", "2");
    table.Load(std::move(texts));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const FlagCase cases[] = {{0, false, true}, {1, true, false}, {2, true, false}};
    for (const FlagCase& c : cases) {
        const QModelIndex index = table.index(0, c.column);
        const Qt::ItemFlags flags = table.flags(index);
        EXPECT_EQ(flags.testFlag(Qt::ItemIsSelectable), c.selectable) << "column " << c.column;
        EXPECT_FALSE(flags.testFlag(Qt::ItemIsEditable)) << "column " << c.column;
        EXPECT_TRUE(flags.testFlag(Qt::ItemIsEnabled)) << "column " << c.column;
        const QVariant background = table.data(index, Qt::BackgroundRole);
        EXPECT_EQ(background.isValid() && background.value<QBrush>().color() == buttonFace, c.buttonFace)
            << "column " << c.column;
        EXPECT_FALSE(table.setData(index, QStringLiteral("9"))) << "column " << c.column;
    }
}
