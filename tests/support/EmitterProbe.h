#pragma once
// A receiver for tests of signals: pass it as the context of a connection,
// and while that connection is delivered Emitter() names the object whose
// signal it is, as sender() does in a slot.

#include <QObject>

class EmitterProbe : public QObject {
public:
    QObject* Emitter() const { return sender(); }
};
