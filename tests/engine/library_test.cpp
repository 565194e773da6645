#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/library.h"
#include "engine/log.h"
#include "support/log_capture.h"

namespace {

TEST(LibraryLifecycle, InitializeCreatesTheObjectsAndCloseLeavesThem) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Kelvorin\\Pramblex"), 1);
    ASSERT_NE(engine::state().settings, nullptr);
    EXPECT_EQ(std::u16string(engine::state().registryKey), u"\\Software\\Kelvorin\\Pramblex");
    ASSERT_NE(GetLogObject(), nullptr);
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
    test_support::LogCapture log;
    engine::unloadLibrary();
    EXPECT_EQ(log.text(), "S.DLL uninitialize\n");
    EXPECT_EQ(GetLogObject(), nullptr);
    EXPECT_EQ(GetObjectInformatinStorage(), nullptr);
    EXPECT_EQ(DriveGetCount(), 0);
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
