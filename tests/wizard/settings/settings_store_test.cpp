#include "wizard/settings/settings_store.h"

#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "wizard/support/wizard_test.h"
#include "wizard/settings/safe_registry.h"
#include "wizard/settings/setting_readers.h"
#include "wizard/settings/settings_table.h"

namespace {

constexpr char16_t kGlobalKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Global";
constexpr char16_t kRecoveryKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Recovery";

platform::RegistryKey recoveryKey() { return *platform::RegistryKey::create(kRecoveryKey); }

std::vector<std::uint8_t> doubleBytes(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    return bytes;
}

// Collects the warnings logged while it lives.
class WarningLog {
public:
    WarningLog() { previous_ = qInstallMessageHandler(&WarningLog::record); }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        lines().clear();
    }
    static QStringList& lines() {
        static QStringList collected;
        return collected;
    }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) lines().append(text);
    }
    QtMessageHandler previous_;
};

using SettingsStoreTest = WizardTest;

TEST_F(SettingsStoreTest, FirstStartGivesDefaultsAndCreatesTheSubKeys) {
    SettingsValues values;
    LoadSettings(values);
    EXPECT_TRUE(values.GlobalFirstStart);
    EXPECT_EQ(values.RecoveryRetryCount, 10);
    EXPECT_EQ(values.RecoveryTargetFolder,
              QString::fromStdString(home().string()) + QStringLiteral("/Documents/Recovered Files/"));
    EXPECT_TRUE(platform::RegistryKey::open(kGlobalKey).has_value());
    EXPECT_TRUE(platform::RegistryKey::open(kRecoveryKey).has_value());
    EXPECT_FALSE(std::filesystem::exists(home() / "Documents"));
}

TEST_F(SettingsStoreTest, MistypedValuesReadAsDefaultOrTrueAndAreSavedInTheirType) {
    recoveryKey().writeString(u"RecoveryRetryCount", u"5");
    platform::RegistryKey::create(kGlobalKey)->writeDword(u"ConfirmationsShutdown", 2);
    recoveryKey().writeDword(u"RecoveryAutoPilot", 0);
    SettingsValues values;
    LoadSettings(values);
    EXPECT_EQ(values.RecoveryRetryCount, 10);
    EXPECT_TRUE(values.ConfirmationsShutdown);
    EXPECT_FALSE(values.RecoveryAutoPilot);
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ(recoveryKey().readDword(u"RecoveryRetryCount"), std::optional<std::uint32_t>(10));
    EXPECT_EQ(platform::RegistryKey::open(kGlobalKey)->readDword(u"ConfirmationsShutdown"),
              std::optional<std::uint32_t>(1));
}

TEST_F(SettingsStoreTest, NumbersOutsideTheirRangeAreClampedAndCodesFallBack) {
    struct Case {
        const char16_t* name;
        std::uint32_t stored;
        int SettingsValues::*field;
        int expected;
    };
    const Case cases[] = {
        {u"RecoveryRetryCount", 0, &SettingsValues::RecoveryRetryCount, 1},
        {u"RecoveryRetryPause", 0xFFFFFFFF, &SettingsValues::RecoveryRetryPause, 0},
        {u"RecoverySectorsToRead", 0xFFFFFFFF, &SettingsValues::RecoverySectorsToRead, 1},
        {u"RecoverySectorsToRead", 0x7FFFFFFF, &SettingsValues::RecoverySectorsToRead, 10000},
        {u"RecoveryThreadsCount", 500, &SettingsValues::RecoveryThreadsCount, 99},
        {u"RecoveryFilesAgeType", 5, &SettingsValues::RecoveryFilesAgeType, 5},
        {u"RecoveryFilesAgeType", 6, &SettingsValues::RecoveryFilesAgeType, 0},
        {u"GlobalFileSystemSortColumn", 6, &SettingsValues::GlobalFileSystemSortColumn, 0},
        {u"GlobalDriveSectorsSortColumn", 4, &SettingsValues::GlobalDriveSectorsSortColumn, 0},
    };
    for (const Case& c : cases) {
        recoveryKey().writeDword(c.name, c.stored);
        SettingsValues values;
        LoadSettings(values);
        EXPECT_EQ(values.*c.field, c.expected)
            << QString::fromUtf16(c.name).toStdString() << " stored as " << c.stored;
    }

    platform::RegistryKey::create(kGlobalKey)->writeDword(u"GlobalSplashDelay", 99);
    SettingsValues values;
    LoadSettings(values);
    EXPECT_EQ(values.GlobalSplashDelay, 20);
}

TEST_F(SettingsStoreTest, UnusableDateTimesLeaveTheCurrentValue) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> twelve = doubleBytes(45000.0);
    twelve.resize(12);
    const Case cases[] = {
        {"12 bytes", twelve},
        {"4 bytes", {1, 2, 3, 4}},
        {"not a number", doubleBytes(std::numeric_limits<double>::quiet_NaN())},
        {"infinite", doubleBytes(std::numeric_limits<double>::infinity())},
        {"after the year 9999", doubleBytes(2958466.0)},
        {"before the year 1", doubleBytes(-693594.0)},
    };
    for (const Case& c : cases) {
        recoveryKey().writeBinary(u"RecoveryFilesCreatedDateFrom", c.bytes);
        SettingsValues values;
        LoadSettings(values);
        EXPECT_EQ(values.RecoveryFilesCreatedDateFrom, 0.0) << c.what;
        values.RecoveryFilesCreatedDateFrom = 123.25;
        LoadSettings(values);
        EXPECT_EQ(values.RecoveryFilesCreatedDateFrom, 123.25) << c.what;
    }
}

TEST_F(SettingsStoreTest, SavedValuesLoadBackUnchanged) {
    SettingsValues saved;
    LoadSettings(saved);
    saved.GlobalFirstStart = false;
    saved.GlobalLastTip = -7;
    saved.RecoveryFilesName = QStringLiteral("\"my file*.doc\"; *.jpg");
    saved.RecoveryFilesCreatedDateTo = -1.25;
    saved.GlobalDriveSectorsSortOrderAZ = true;
    ASSERT_TRUE(SaveSettings(saved));

    SettingsValues loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.GlobalFirstStart, false);
    EXPECT_EQ(loaded.GlobalLastTip, -7);
    EXPECT_EQ(loaded.RecoveryFilesName, saved.RecoveryFilesName);
    EXPECT_EQ(loaded.RecoveryFilesCreatedDateTo, -1.25);
    EXPECT_TRUE(loaded.GlobalDriveSectorsSortOrderAZ);

    EXPECT_EQ(recoveryKey().readBinary(u"RecoveryFilesCreatedDateTo"), doubleBytes(-1.25));
    EXPECT_EQ(recoveryKey().values().size(), 24u);
    EXPECT_EQ(platform::RegistryKey::open(kGlobalKey)->values().size(), 9u);
}

TEST_F(SettingsStoreTest, AnUnwritableKeyIsReportedAndTheOtherStillSaved) {
    // A regular file where the key's folder belongs: no user, root included, can open it.
    const auto base = registryFolder() / "Software" / "Kelvorin" / "Pramblex" / "3.0";
    std::filesystem::create_directories(base);
    std::ofstream(base / "Recovery") << "not a key";

    SettingsValues values;
    LoadSettings(values);
    EXPECT_EQ(values.RecoveryRetryCount, 10);
    values.GlobalSplashDelay = 7;

    WarningLog warnings;
    EXPECT_FALSE(SaveSettings(values));
    ASSERT_EQ(WarningLog::lines().size(), 1);
    EXPECT_TRUE(WarningLog::lines().front().contains(QStringLiteral("\\Recovery")));
    EXPECT_EQ(platform::RegistryKey::open(kGlobalKey)->readDword(u"GlobalSplashDelay"),
              std::optional<std::uint32_t>(7));
}

// A key's file is read once per load: a damaged one is reported once, and a link to a
// device is not read for every value.
TEST_F(SettingsStoreTest, EachKeysFileIsReadOnceAndADeviceGivesTheDefaults) {
    const auto base = registryFolder() / "Software" / "Kelvorin" / "Pramblex" / "3.0";
    std::filesystem::create_directories(base / "Global");
    std::filesystem::create_directories(base / "Recovery");
    std::ofstream(base / "Global" / ".values") << "; registry values, format 1\n"
                                                  "\"GlobalSplashDelay\"=dword:00000005\n"
                                                  "\"Broken\"=dword:zz\n";
    std::filesystem::create_symlink("/dev/zero", base / "Recovery" / ".values");
    std::vector<std::string> reports;
    platform::setRegistryDiagnostics([&](const std::string& line) { reports.push_back(line); });

    SettingsValues values;
    LoadSettings(values);
    platform::setRegistryDiagnostics(nullptr);
    EXPECT_EQ(values.GlobalSplashDelay, 5);
    EXPECT_EQ(values.RecoveryRetryCount, 10);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("Global"), std::string::npos) << reports[0];
    EXPECT_NE(reports[1].find("symbolic link"), std::string::npos) << reports[1];
}

TEST_F(SettingsStoreTest, BinaryReadsCopyOnlyValuesThatFit) {
    recoveryKey().writeBinary(u"Short", {1, 2});
    recoveryKey().writeBinary(u"Long", {1, 2, 3, 4, 5});
    recoveryKey().writeDword(u"Number", 9);
    std::uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(ReadBinarySetting(QStringLiteral("\\Recovery"), QStringLiteral("Long"), buffer, 4), 0);
    EXPECT_EQ(ReadBinarySetting(QStringLiteral("\\Recovery"), QStringLiteral("Number"), buffer, 4), 0);
    EXPECT_EQ(ReadBinarySetting(QStringLiteral("\\Recovery"), QStringLiteral("Missing"), buffer, 4), 0);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(ReadBinarySetting(QStringLiteral("\\Recovery"), QStringLiteral("Short"), buffer, 4), 2);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[2], 9);
}

TEST_F(SettingsStoreTest, SafeRegistryRefusesRatherThanFails) {
    TSafeRegistry registry;
    const std::uint8_t data[4] = {1, 2, 3, 4};
    std::uint8_t back[4] = {};
    EXPECT_FALSE(registry.WriteBinaryData(QStringLiteral("WindowFlags"), data, 4));
    EXPECT_EQ(registry.ReadBinaryData(QStringLiteral("WindowFlags"), back, 4), 0);
    EXPECT_FALSE(registry.WriteAll({}));
    EXPECT_FALSE(registry.OpenKey(QStringLiteral("\\Software\\Kelvorin\\..\\Window"), true));

    ASSERT_TRUE(registry.OpenKey(QStringLiteral("\\Software\\Kelvorin\\Pramblex\\3.0\\Window"), true));
    EXPECT_EQ(registry.ReadBinaryData(QStringLiteral("WindowFlags"), back, 4), 0);
    EXPECT_TRUE(registry.WriteBinaryData(QStringLiteral("WindowFlags"), data, 4));
    EXPECT_EQ(registry.ReadBinaryData(QStringLiteral("WindowFlags"), back, 4), 4);
    EXPECT_EQ(back[3], 4);
}

}  // namespace
