#pragma once
// The base of the slider library's settings objects: a change notice that
// the owning control connects to its own repaint path.

#include <QObject>

#include "base/Component.h"

class TSkPersistent : public QObject {
public:
    explicit TSkPersistent(QObject* parent = nullptr) : QObject(parent) {}

    TNotifyEvent OnChange;

    // Raises OnChange with this object as sender, when one is assigned.
    virtual void Changed() {
        if (OnChange) OnChange(this);
    }

protected:
    // Stores a new value and reports a change only when it differs.
    template <typename T, typename U>
    void Store(T& field, const U& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
};
