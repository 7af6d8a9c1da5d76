#pragma once

#include <QAction>

// A menu item with the integer Tag that the level presets carry.
class TMenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    TMenuItem(const QString& name, const QString& caption, QObject* owner, int tag = 0)
        : QAction(caption, owner), tag_(tag) {
        setObjectName(name);
    }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

private:
    int tag_ = 0;
};
