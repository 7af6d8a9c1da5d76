#pragma once
// The desk's own shortcuts (Ctrl+Z, Ctrl+B, Ctrl+1 …) taken from the key
// presses the window receives. The menu items only show them: a shortcut Qt
// matched itself would swallow the press before the key filter forwards it
// to the host, and every key goes to the host as any other does. Installed
// on the application before the key filter, so that the filter sees the
// press first; keys are taken only while the window has no modal dialog or
// menu open.

#include <functional>
#include <vector>

#include <QObject>

class QWidget;

class TCommandKeys : public QObject {
    Q_OBJECT
public:
    explicit TCommandKeys(QWidget* window);

    // `virtualKey` as Windows names it ('Z', '1'); held keys run once.
    void Add(bool ctrl, bool shift, unsigned virtualKey, std::function<void()> command);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TBinding {
        bool Ctrl;
        bool Shift;
        unsigned VirtualKey;
        std::function<void()> Command;
    };
    QWidget* window_;
    std::vector<TBinding> bindings_;
};
