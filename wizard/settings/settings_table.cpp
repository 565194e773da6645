#include "wizard/settings/settings_table.h"

#include <array>

namespace {

using S = SettingsValues;
constexpr auto kGlobal = SettingsGroup::Global;
constexpr auto kRecovery = SettingsGroup::Recovery;
constexpr auto kCode = OutOfRange::UseDefault;
constexpr auto kClamp = OutOfRange::Clamp;
constexpr int kUpDownMaximum = 32767;

const std::array<SettingDefinition, 33> kTable{{
    {kGlobal, u"GlobalLastTip", IntegerSetting{&S::GlobalLastTip, 0}},
    {kGlobal, u"GlobalFirstStart", BoolSetting{&S::GlobalFirstStart, true}},
    {kGlobal, u"GlobalLanguage", StringSetting{&S::GlobalLanguage, StringDefault::CurrentValue}},
    {kGlobal, u"GlobalSplashShow", BoolSetting{&S::GlobalSplashShow, true}},
    {kGlobal, u"GlobalSplashDelay", IntegerSetting{&S::GlobalSplashDelay, 1, 0, 20, kClamp}},
    {kGlobal, u"ConfirmationsShutdown", BoolSetting{&S::ConfirmationsShutdown, true}},
    {kGlobal, u"ConfirmationsScanAbort", BoolSetting{&S::ConfirmationsScanAbort, true}},
    {kGlobal, u"ConfirmationsRecoveryAbort", BoolSetting{&S::ConfirmationsRecoveryAbort, true}},
    {kGlobal, u"ConfirmationsFileOverwrite", BoolSetting{&S::ConfirmationsFileOverwrite, true}},

    {kRecovery, u"RecoveryRetryCount",
     IntegerSetting{&S::RecoveryRetryCount, 10, 1, kUpDownMaximum, kClamp}},
    {kRecovery, u"RecoveryRetryPause",
     IntegerSetting{&S::RecoveryRetryPause, 0, 0, kUpDownMaximum, kClamp}},
    {kRecovery, u"RecoverySectorsToRead",
     IntegerSetting{&S::RecoverySectorsToRead, 2000, 1, 10000, kClamp}},
    {kRecovery, u"RecoveryThreadsCount", IntegerSetting{&S::RecoveryThreadsCount, 1, 1, 99, kClamp}},
    {kRecovery, u"RecoveryFilesNameUse", BoolSetting{&S::RecoveryFilesNameUse, false}},
    {kRecovery, u"RecoveryFilesName",
     StringSetting{&S::RecoveryFilesName, StringDefault::Text, u"*.*"}},
    {kRecovery, u"RecoveryFilesCreatedDateUse", BoolSetting{&S::RecoveryFilesCreatedDateUse, false}},
    {kRecovery, u"RecoveryFilesCreatedDateFrom", DateTimeSetting{&S::RecoveryFilesCreatedDateFrom}},
    {kRecovery, u"RecoveryFilesCreatedDateTo", DateTimeSetting{&S::RecoveryFilesCreatedDateTo}},
    {kRecovery, u"RecoveryFilesAgeUse", BoolSetting{&S::RecoveryFilesAgeUse, false}},
    {kRecovery, u"RecoveryFilesAgeCount",
     IntegerSetting{&S::RecoveryFilesAgeCount, 0, 0, kUpDownMaximum, kClamp}},
    {kRecovery, u"RecoveryFilesAgeType", IntegerSetting{&S::RecoveryFilesAgeType, 0, 0, 5, kCode}},
    {kRecovery, u"RecoveryFilesSizeUse", BoolSetting{&S::RecoveryFilesSizeUse, false}},
    {kRecovery, u"RecoveryFilesSizeSign", IntegerSetting{&S::RecoveryFilesSizeSign, 0, 0, 2, kCode}},
    {kRecovery, u"RecoveryFilesSizeCount",
     IntegerSetting{&S::RecoveryFilesSizeCount, 0, 0, kUpDownMaximum, kClamp}},
    {kRecovery, u"RecoveryFilesSizeType", IntegerSetting{&S::RecoveryFilesSizeType, 0, 0, 2, kCode}},
    {kRecovery, u"RecoverySearchExisting", BoolSetting{&S::RecoverySearchExisting, false}},
    {kRecovery, u"RecoveryAutoPilot", BoolSetting{&S::RecoveryAutoPilot, false}},
    {kRecovery, u"RecoveryTargetFolder",
     StringSetting{&S::RecoveryTargetFolder, StringDefault::TargetFolder}},
    {kRecovery, u"RecoveryKeepFolderStructure", BoolSetting{&S::RecoveryKeepFolderStructure, false}},
    {kRecovery, u"GlobalFileSystemSortColumn",
     IntegerSetting{&S::GlobalFileSystemSortColumn, 0, 0, 5, kCode}},
    {kRecovery, u"GlobalFileSystemSortOrderAZ", BoolSetting{&S::GlobalFileSystemSortOrderAZ, false}},
    {kRecovery, u"GlobalDriveSectorsSortColumn",
     IntegerSetting{&S::GlobalDriveSectorsSortColumn, 0, 0, 3, kCode}},
    {kRecovery, u"GlobalDriveSectorsSortOrderAZ",
     BoolSetting{&S::GlobalDriveSectorsSortOrderAZ, false}},
}};

}  // namespace

QString SubKeyOf(SettingsGroup group) {
    return group == SettingsGroup::Global ? QStringLiteral("\\Global") : QStringLiteral("\\Recovery");
}

std::span<const SettingDefinition> SettingsTable() { return kTable; }
