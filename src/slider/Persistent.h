#pragma once
// The base of the slider library's settings objects: a change signal that
// the owning control connects to its own repaint path.

#include <QObject>

class TSkPersistent : public QObject {
    Q_OBJECT
public:
    explicit TSkPersistent(QObject* parent = nullptr) : QObject(parent) {}

    // Emits changed.
    virtual void Changed() { emit changed(); }

signals:
    void changed();

protected:
    // Stores a new value and reports a change only when it differs.
    template <typename T, typename U>
    void Store(T& field, const U& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
};
