#pragma once
// A sample window holding a sample component and a store kept in a private
// folder, as the store tests set it up.

#include <QStringList>
#include <QTemporaryDir>

#include "TestObjects.h"
#include "persist/Persist.h"

struct TSampleStore {
    QTemporaryDir dir;
    TSampleWindow window;
    TSample* sample = new TSample(QStringLiteral("Sample1"), &window);
    ToxPersist* persist = new ToxPersist(&window);

    TSampleStore(ToxPersist::ToxpStorageType type, const QString& fileName,
                 const QStringList& items) {
        persist->setObjectName(QStringLiteral("oxPersist1"));
        persist->SetProgramDirectory(dir.path());
        persist->SetOptions({});
        persist->SetStorageType(type);
        persist->SetFileName(fileName);
        persist->SetItems(items);
    }
};
