#include "engine/search/information_storage.h"

#include <utility>

#include "engine/engine_state.h"
#include "engine/exports.h"

CInformationStorage::CInformationStorage(std::u16string baseKey) : baseKey_(std::move(baseKey)) {}

UNDELETE_API CInformationStorage* GetObjectInformatinStorage() {
    return engine::state().types.get();
}

UNDELETE_API int TryDetectFileType(FoundFileRecord* record) {
    return record != nullptr && record->TypeCode != 0 ? 1 : 0;
}
