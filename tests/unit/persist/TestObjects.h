#pragma once
// The objects the component stores: a window that owns them, a control in it,
// and the sample with one property of every kind.

#include <QWidget>

#include "SampleObject.h"
#include "persist/Persist.h"

// A window whose destructor raises OnDestroy, as the automatic save expects.
class TSampleWindow : public QWidget, public TDestroyNotifier {
    Q_OBJECT
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
public:
    TSampleWindow() { setObjectName(QStringLiteral("SampleForm")); }
    ~TSampleWindow() override {
        if (OnDestroy) OnDestroy();
    }
    int Top() const { return pos().y(); }
    void SetTop(int v) { move(pos().x(), v); }
    int Left() const { return pos().x(); }
    void SetLeft(int v) { move(v, pos().y()); }
};

// A control that refers to another component of its window.
class TSampleControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TSample* Buddy MEMBER buddy)
public:
    TSampleControl(const QString& name, QWidget* parent) : QWidget(parent) { setObjectName(name); }
    TSample* buddy = nullptr;
};
