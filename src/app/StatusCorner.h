#pragma once
// The right end of the menu bar, where the host link's and the outputs'
// states sit side by side. A menu bar sizes its corner widget only when it
// lays out its own items, so a state whose words grew would be cut off; the
// corner asks the bar to lay out again whenever its row changes size.

#include <QWidget>

class QMenuBar;

class TStatusCorner : public QWidget {
    Q_OBJECT
public:
    // Made as `bar`'s top-right corner widget.
    explicit TStatusCorner(QMenuBar* bar);

    // Adds a state at the row's end.
    void Add(QWidget* status);

protected:
    bool event(QEvent* event) override;
};
