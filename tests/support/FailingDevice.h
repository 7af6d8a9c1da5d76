#pragma once
// Writers under test meet a device that runs out of room: it takes the first
// `room` bytes written to it and fails every write after that, like a disk
// that fills up mid-file. A write that crosses the limit is taken in part, as
// write(2) does on a full disk, unless the device is told to refuse it whole.
// Given a device to pass them through to, the bytes taken go on to it.

#include <algorithm>
#include <vector>

#include <QByteArray>
#include <QIODevice>

class FailingDevice : public QIODevice {
public:
    enum class Crossing { Partial, Refused };

    explicit FailingDevice(qint64 room, Crossing crossing = Crossing::Partial,
                           QIODevice* through = nullptr)
        : room_(room), crossing_(crossing), through_(through) {
        open(QIODevice::WriteOnly);
    }

    // Everything the device took, in order.
    const QByteArray& Taken() const { return taken_; }
    // How many writes were refused; a writer that goes on after the first
    // has not checked it.
    int Refusals() const { return refusals_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 left = std::max<qint64>(0, room_ - taken_.size());
        if (size <= left) return Take(data, size);
        if (left > 0 && crossing_ == Crossing::Partial) return Take(data, left);
        ++refusals_;
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }

private:
    qint64 Take(const char* data, qint64 size) {
        if (through_ != nullptr && through_->write(data, size) != size) {
            setErrorString(through_->errorString());
            return -1;
        }
        taken_.append(data, size);
        return size;
    }

    qint64 room_;
    Crossing crossing_;
    QIODevice* through_;
    QByteArray taken_;
    int refusals_ = 0;
};

// Where a table-driven test makes a writer fail in a file of `total` bytes:
// every point when the file is short, else the first and last bytes, the
// points around each `boundaries` entry (record edges) and an even spread
// between them, so that each region of the file is cut at least once.
inline std::vector<qint64> FailurePoints(qint64 total, const std::vector<qint64>& boundaries = {},
                                         int spread = 64) {
    std::vector<qint64> points;
    if (total <= 2 * spread) {
        for (qint64 n = 0; n < total; ++n)
            points.push_back(n);
        return points;
    }
    for (qint64 n : {qint64{0}, qint64{1}, total - 2, total - 1})
        points.push_back(n);
    for (qint64 b : boundaries)
        for (qint64 n : {b - 1, b, b + 1})
            if (n >= 0 && n < total) points.push_back(n);
    for (int i = 1; i < spread; ++i)
        points.push_back(total * i / spread);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}
