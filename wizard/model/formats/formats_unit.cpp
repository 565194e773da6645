#include "wizard/model/formats/formats_unit.h"

#include "wizard/model/formats/data_storage.h"

void FormatsUnitInit() {
    DataStorage = std::make_unique<TDataStorage>();
    DataStorage->LoadFromRegistry();
}

bool FormatsUnitDone() {
    if (!DataStorage) return true;
    const bool saved = DataStorage->SaveToRegistry();
    DataStorage.reset();
    return saved;
}
