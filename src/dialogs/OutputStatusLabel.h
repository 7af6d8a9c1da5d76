#pragma once
// The network outputs' states at the right of the menu bar, beside the host
// link's indicator: "sACN: sending", "OLA: daemon not reachable". Hidden while
// no network output is on; repainted only when a state changes.

#include "output/OutputSet.h"

#include <QLabel>
#include <QTimer>

#include <functional>
#include <vector>

class TOutputStatusLabel : public QLabel {
    Q_OBJECT
public:
    using TSource = std::function<std::vector<TOutputStatus>()>;
    static constexpr int POLL_MS = 500;

    explicit TOutputStatusLabel(TSource source, QWidget* parent = nullptr);
    // Reads the states now (the timer does this twice a second).
    void Refresh();

private:
    TSource source_;
    QTimer timer_;
};
