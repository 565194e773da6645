// Engine messages through the bridge: the scripted stand-in's hits and I/O errors sent from
// its threads.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/messages.h"
#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/support/wizard_test.h"

namespace {

using EngineMessages = WizardTest;

// Waits, handling events, for an engine thread, then closes its handle.
void waitFor(HANDLE thread) {
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(pumpingWait(thread), PumpingWaitResult::Finished);
    CloseHandle(thread);
}

FoundFileRecord hitAt(std::uint64_t position) {
    FoundFileRecord hit{};
    hit.DataPosition = position;
    hit.Size = kUnknownSize;
    hit.Flags = kFileFoundBySignature;
    return hit;
}

IoErrorReport readErrorAt(std::uint64_t position) {
    IoErrorReport report{};
    report.Code = kIoErrorRead;
    report.Attempt = 1;
    report.Position = position;
    return report;
}

class SearchReceiver {
public:
    explicit SearchReceiver(EngineSettings& settings) {
        window_.setHandler(WM_ENGINE_IO_ERROR, PayloadKind::LParam, [this](WPARAM, LPARAM block) {
            IoErrorReport report;
            std::memcpy(&report, reinterpret_cast<const void*>(block), sizeof report);
            errors.push_back(+report.Position);  // a copy: the record is packed
            return 0;
        });
        window_.setHandler(WM_ENGINE_FILE_FOUND, PayloadKind::SameBlockInBoth,
                           [this, &settings](WPARAM, LPARAM block) {
                               FoundFileRecord hit;
                               std::memcpy(&hit, reinterpret_cast<const void*>(block),
                                           sizeof hit);
                               hits.push_back(+hit.DataPosition);
                               if (hits.size() == stopAfter) {
                                   settings.Run = 0;
                               }
                               return 0;
                           });
        settings.NotifyWindow = window_.handle();
        settings.Run = 1;
    }

    std::vector<std::uint64_t> errors;
    std::vector<std::uint64_t> hits;
    std::size_t stopAfter = 0;

private:
    MessageWindow window_;
};

TEST_F(EngineMessages, SearchHitsAndIoErrorsFromTheEnginesThreadArriveInOrderAndStopOnRequest) {
    EngineScript script;
    script.ioErrors = {readErrorAt(512), readErrorAt(1024)};
    script.hits = {hitAt(4096), hitAt(8192), hitAt(12288)};
    const ScriptedEngine scripted(std::move(script));
    EngineSettings settings{};

    {
        SearchReceiver receiver(settings);
        ASSERT_EQ(engine().DriveInitialize(&settings), 1);
        waitFor(engine().DriveSearchSignatures());
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(receiver.errors, (std::vector<std::uint64_t>{512, 1024}));
        EXPECT_EQ(receiver.hits, (std::vector<std::uint64_t>{4096, 8192, 12288}));
    }
    {
        SearchReceiver receiver(settings);
        receiver.stopAfter = 1;
        waitFor(engine().DriveSearchSignatures());
        EXPECT_EQ(receiver.hits, (std::vector<std::uint64_t>{4096}));
    }
    EXPECT_EQ(scripted.calls("DriveSearchSignatures"), 2);
    EXPECT_EQ(scripted.calls("DriveInitialize"), 1);
    EXPECT_EQ(scripted.settings(), &settings);
}

}  // namespace
