// The export that starts the lost-partition search.

#include "engine/disk/lost_partition_search.h"
#include "engine/engine_state.h"
#include "engine/exports.h"

UNDELETE_API HANDLE DrivesLostSearch(LostSearchRequest* request) {
    CStorageArray* drives = engine::state().drives.get();
    return drives ? engine::lost::StartLostSearch(*drives, request) : nullptr;
}
