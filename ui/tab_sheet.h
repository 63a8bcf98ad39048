#pragma once
// A page of the window's page control. To assistive technology (screen readers) a page
// lists only the controls that can be shown: a control hidden for good, as the clipboard
// carrier Edit7 is, is no child of it there and cannot be reached.
#include <QWidget>

class TabSheet : public QWidget {
    Q_OBJECT
public:
    // Installs, once per process, the accessibility factory that gives every TabSheet
    // that view of its children.
    explicit TabSheet(QWidget* parent = nullptr);
};
