#include "grid_view.h"

#include <climits>
#include <vector>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAccessible>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyleOption>

GridHeaderStyle::GridHeaderStyle(QStyle* base) : QProxyStyle(base) {}

QRect GridHeaderStyle::subElementRect(SubElement element, const QStyleOption* option,
                                      const QWidget* widget) const
{
    if (element != SE_HeaderLabel)
        return QProxyStyle::subElementRect(element, option, widget);
    return visualRect(option->direction, option->rect, option->rect.adjusted(2, 0, -2, 0));
}

void GridHeaderStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeaderV2*>(option);
    if (element != CE_Header || !header) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    painter->save();
    painter->setClipRect(header->rect);
    proxy()->drawControl(CE_HeaderSection, header, painter, widget);
    QStyleOptionHeaderV2 label = *header;
    label.rect = subElementRect(SE_HeaderLabel, header, widget);
    proxy()->drawControl(CE_HeaderLabel, &label, painter, widget);
    painter->restore();
}

QString SelectedCellsText(const QItemSelectionModel& selection)
{
    const QAbstractItemModel* model = selection.model();
    const QItemSelection ranges = selection.selection();
    if (!model || ranges.isEmpty())
        return {};

    // Worked out from the ranges, not from a list of selected cells: "select all" on a
    // table of millions of rows is one range, but tens of millions of cells.
    int top = INT_MAX, bottom = -1;
    std::vector<bool> columns(static_cast<std::size_t>(model->columnCount()), false);
    for (const QItemSelectionRange& range : ranges) {
        bool any = false;
        for (int column = range.left(); column <= range.right(); ++column) {
            if (model->flags(model->index(range.top(), column)) & Qt::ItemIsSelectable) {
                columns[static_cast<std::size_t>(column)] = true;
                any = true;
            }
        }
        if (any) {
            top = qMin(top, range.top());
            bottom = qMax(bottom, range.bottom());
        }
    }

    QString text;
    for (int row = top; row <= bottom; ++row) {
        if (row == top + 1)  // rows of a batch file are alike: room for all of them at once
            text.reserve(text.size() * (bottom - top + 1) * 9 / 8 + 64);
        if (row > top)
            text += QLatin1Char('\n');
        bool first = true;
        for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
            if (!columns[static_cast<std::size_t>(column)])
                continue;
            if (!first)
                text += QLatin1Char('\t');
            first = false;
            const QModelIndex cell = model->index(row, column);
            if (selection.isSelected(cell))
                text += model->data(cell, Qt::DisplayRole).toString();
        }
    }
    return text;
}

CurrentCellFollowsFocus::CurrentCellFollowsFocus(QAbstractItemView* view) : QObject(view), view_(view)
{
    view->installEventFilter(this);
}

bool CurrentCellFollowsFocus::eventFilter(QObject* watched, QEvent* event)
{
    QItemSelectionModel* selection = view_->selectionModel();
    if (!selection)
        return false;
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        saved_ = selection->currentIndex();
        if (saved_.isValid()) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
            // The cell that was focused is no longer: tell whoever listens.
            QAccessible::State focused;
            focused.focused = true;
            QAccessibleStateChangeEvent change(view_, focused);
            QAccessible::updateAccessibility(&change);
        }
    } else if (event->type() == QEvent::FocusIn && saved_.isValid() && !selection->currentIndex().isValid()) {
        // Before the view's own focus handling, which would otherwise pick the first cell.
        selection->setCurrentIndex(saved_, QItemSelectionModel::NoUpdate);
    }
    return QObject::eventFilter(watched, event);
}
