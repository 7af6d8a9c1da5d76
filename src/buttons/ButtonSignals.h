#pragma once
// The signals every button emits, face and wrapper alike, declared once: a
// wrapper emits its face's signals again as its own, so that a receiver
// connected to the wrapper has it as sender.

#include <QWidget>

#include "base/Component.h"

class ToxButtonSignals : public QWidget {
    Q_OBJECT

signals:
    // Not when an attached action runs instead.
    void clicked();
    // The value after the change.
    void valueChanged(bool value);
    void mousePressed(TMouseButton button, TShiftState shift, int x, int y);
    void mouseMoved(TShiftState shift, int x, int y);
    void mouseReleased(TMouseButton button, TShiftState shift, int x, int y);
    void mouseEntered();
    void mouseLeft();
    void dragDropped(QObject* source, int x, int y);
    // A receiver sets accept to take the drop.
    void dragOver(QObject* source, int x, int y, bool& accept);
    void dragEnded(QObject* target, int x, int y);

protected:
    explicit ToxButtonSignals(QWidget* parent = nullptr) : QWidget(parent) {}
};
