#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/library.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace {

TEST(LibraryLifecycle, InitializeCreatesTheObjectsWithDefaultSettings) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Kelvorin\\Pramblex"), 1);
    engine::EngineState& engine = engine::state();
    ASSERT_NE(engine.settings, nullptr);
    EXPECT_EQ(engine.settings->ReadRetries, 10);
    EXPECT_EQ(engine.settings->BufferSize, 0u);
    EXPECT_EQ(engine.settings->NotifyWindow, 0u);
    EXPECT_EQ(std::u16string(engine.registryKey), u"\\Software\\Kelvorin\\Pramblex");
    ASSERT_NE(GetLogObject(), nullptr);
    EXPECT_EQ(GetLogObject()->entryCount(), 0u);
    EXPECT_NE(GetObjectInformatinStorage(), nullptr);
    EXPECT_EQ(DriveGetCount(), 0);

    EXPECT_EQ(Library_Close(), 1);
    EXPECT_NE(GetLogObject(), nullptr);  // Library_Close leaves everything in place
    EXPECT_EQ(Library_Close(), 1);
}

TEST(LibraryLifecycle, OverlongRegistryKeyIsCut) {
    std::u16string key(5000, u'k');
    ASSERT_EQ(Library_Initialize(key.c_str()), 1);
    EXPECT_EQ(std::u16string(engine::state().registryKey).size(), 4097u);
}

TEST(LibraryLifecycle, UnloadDeletesObjectsAndSaysSo) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    engine::setLogSink(fds[1]);
    engine::enableLogLevel(kLogStatus, true);

    engine::unloadLibrary();
    engine::setLogSink(-1);
    engine::enableLogLevel(kLogStatus, false);

    std::string out(256, '\0');
    out.resize(static_cast<std::size_t>(::read(fds[0], out.data(), out.size())));
    EXPECT_EQ(out, "S.DLL uninitialize\n");
    EXPECT_EQ(GetLogObject(), nullptr);
    EXPECT_EQ(GetObjectInformatinStorage(), nullptr);
    EXPECT_EQ(DriveGetCount(), 0);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(DriveExports, IndexChecks) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    Log(kLogError, "earlier error");
    EXPECT_EQ(DriveGetInformation(DriveGetCount()), nullptr);
    EXPECT_STREQ(GetLastErrorString(), "earlier error");  // the refusal is a warning
    EXPECT_EQ(DriveGetInformation(-1), nullptr);
    EXPECT_EQ(DriveIDByLetter("e"), -1);
    EXPECT_EQ(DriveIDByLetter(nullptr), -1);
    EXPECT_EQ(DriveGetParent(nullptr), nullptr);
}

TEST(FileExports, BeforeAnyDriveReturnNothing) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    char buffer[512];
    EXPECT_EQ(FileGetNext(), nullptr);
    EXPECT_EQ(FileGetPath(&record), nullptr);
    EXPECT_EQ(FileGetInfo(0, 0), nullptr);
    EXPECT_EQ(FileRead(&record, buffer, 0, 0), 0u);
    EXPECT_EQ(TryDetectFileType(&record), 0);
    record.TypeCode = 12;
    EXPECT_EQ(TryDetectFileType(&record), 1);
}

TEST(FileExports, FailedInitializePostsInitFailedOnce) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    int failures = 0;
    platform::QueueWindow window([&](const platform::Message& message) -> LRESULT {
        if (message.message == WM_ENGINE_INIT_FAILED) ++failures;
        return 0;
    });
    EngineSettings settings{};
    settings.NotifyWindow = window.handle();
    settings.DiskNumber = 3;
    EXPECT_LT(DriveInitialize(&settings), 1);
    EXPECT_EQ(engine::state().settings, &settings);  // the caller's record is kept
    window.dispatchPending();
    EXPECT_EQ(failures, 1);
}

TEST(SharedLibrary, ExportsEveryFunctionByItsPlainName) {
    void* library = ::dlopen(UNDELETE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const char* names[] = {
        "Library_Initialize", "Library_Close", "DrivesRescan", "DriveGetCount",
        "DriveGetInformation", "DriveGetInformationEx", "DriveIDByLetter", "DriveGetParent",
        "DriveAdd", "DriveImageCreate", "DriveImageLoad", "DriveInitialize",
        "DriveInitializeSimple", "DrivesLostSearch", "FileGetNext", "FileGetPath",
        "FileGetInfo", "FileRead", "FileRecovery", "DoFileRecovery", "DriveSearchSignatures",
        "FileGetThumbnail", "FileOpenViewer", "TryDetectFileType", "Log", "GetLogObject",
        "GetObjectInformatinStorage", "GetLastErrorString", "test"};
    static_assert(std::size(names) == 29);
    for (const char* name : names) EXPECT_NE(::dlsym(library, name), nullptr) << name;

    using Initialize = int (*)(const char16_t*);
    auto initialize = reinterpret_cast<Initialize>(::dlsym(library, "Library_Initialize"));
    ASSERT_NE(initialize, nullptr);
    EXPECT_EQ(initialize(u"\\Software\\Test"), 1);
    EXPECT_EQ(::dlclose(library), 0);  // runs the unload
}

}  // namespace
