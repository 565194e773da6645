#include "wizard/bridge/engine_api.h"

#include <atomic>

#include "engine/exports.h"

namespace {

const EngineApi kRealEngine{
    Library_Initialize,    DrivesRescan,        DriveGetCount,    DriveGetInformation,
    DriveInitialize,       FileGetNext,         FileGetPath,      FileGetInfo,
    DriveSearchSignatures, FileGetThumbnail,    FileOpenViewer,   FileRecovery,
    GetLastErrorString,
};

// Read by the thumbnail thread as well as the GUI thread.
std::atomic<const EngineApi*> current{&kRealEngine};

}  // namespace

const EngineApi& engine() { return *current.load(std::memory_order_acquire); }

const EngineApi& realEngine() { return kRealEngine; }

ScopedEngineApi::ScopedEngineApi(const EngineApi& api)
    : previous_(current.exchange(&api, std::memory_order_acq_rel)) {}

ScopedEngineApi::~ScopedEngineApi() { current.store(previous_, std::memory_order_release); }
