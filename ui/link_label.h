#pragma once
// A label that acts as a link: blue text, hand cursor, and a Click signal when the
// left button is pressed and released over it, or when it has the keyboard focus and
// Enter or Space is pressed. It takes the focus by Tab (not by a click, which opens the
// link at once) and shows it with a dotted frame around its text. The page gives it an
// underlined font.
#include <QLabel>

class QFont;

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

// The font at the largest pixel size, not above its own, whose line (ascent + descent)
// is at most `height` pixels high, so that a one-line label of that height shows its
// text whole, descenders and underline included.
QFont FontFittingLineHeight(QFont font, int height);
