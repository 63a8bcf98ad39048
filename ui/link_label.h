#pragma once
// A label that acts as a link: blue text, hand cursor, and a Click signal when the
// left button is pressed and released over it. The page gives it an underlined font.
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};
