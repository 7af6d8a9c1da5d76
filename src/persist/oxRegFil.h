#pragma once
// The stores of the persistence component: the container file (ToxRegFile),
// the ini file (ToxIniFile) and the registry (TRegistryStore).

#include "persist/oxContainer.h"
#include "persist/oxIniStore.h"
#include "persist/oxRegistryStore.h"
