#include "engine/log_object.h"

#include "engine/exports.h"
#include "engine/engine_state.h"

void CLogObject::Close() { lines_.clear(); }

UNDELETE_API CLogObject* GetLogObject() { return engine::state().logObject.get(); }
