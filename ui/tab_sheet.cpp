#include "tab_sheet.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
class TabSheetAccessible : public QAccessibleWidget {
public:
    explicit TabSheetAccessible(QWidget* page) : QAccessibleWidget(page) {}

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = Shown();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index])
                                                     : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return static_cast<int>(Shown().indexOf(static_cast<QWidget*>(child->object())));
    }

private:
    // Child controls less those hidden on purpose. A control that is merely not shown yet,
    // or whose page is not in front, counts: only an explicit hide takes it away.
    QList<QWidget*> Shown() const
    {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* control = qobject_cast<QWidget*>(object);
            if (control && !control->isWindow() &&
                !(control->isHidden() && control->testAttribute(Qt::WA_WState_ExplicitShowHide)))
                shown << control;
        }
        return shown;
    }
};

QAccessibleInterface* TabSheetFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TabSheet") && object && object->isWidgetType())
        return new TabSheetAccessible(static_cast<QWidget*>(object));
    return nullptr;
}
}  // namespace

TabSheet::TabSheet(QWidget* parent) : QWidget(parent)
{
    // Installing the same factory again is a no-op.
    QAccessible::installFactory(&TabSheetFactory);
}
