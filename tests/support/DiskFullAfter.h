#pragma once
// While one of these lives, every whole-file save writes its bytes (to its
// temporary file, or to the file itself when it writes in place) to a disk
// that fills up after `room` bytes. Saves go to the real disk again
// once it is gone, also when an assertion ends the test early.

#include <memory>

#include <QIODevice>

#include "FailingDevice.h"
#include "core/WholeFile.h"

class DiskFullAfter {
public:
    explicit DiskFullAfter(qint64 room) {
        SetSaveDeviceWrapperForTests([room](QIODevice& temporary) {
            return std::make_unique<FailingDevice>(room, FailingDevice::Crossing::Partial,
                                                   &temporary);
        });
    }
    ~DiskFullAfter() { SetSaveDeviceWrapperForTests({}); }
    DiskFullAfter(const DiskFullAfter&) = delete;
    DiskFullAfter& operator=(const DiskFullAfter&) = delete;
};
