#include "wizard/forms/preview/preview_page_traits.h"

#include <Qt>

namespace {

constexpr QKeyCombination kCtrlR = Qt::CTRL | Qt::Key_R;
constexpr QKeyCombination kCtrlP = Qt::CTRL | Qt::Key_P;
constexpr QKeyCombination kCtrlA = Qt::CTRL | Qt::Key_A;
constexpr QKeyCombination kAltEnter = Qt::ALT | Qt::Key_Return;

constexpr PreviewMenuEntry kFileSystemMenu[] = {
    {PreviewAction::Recover, "PreviewFileSystemMiFileRecover", "&Recover...", kCtrlR},
    {PreviewAction::Preview, "PreviewFileSystemMiFilePreview", "Pre&view...", kCtrlP},
    {PreviewAction::Information, "PreviewFileSystemMiFileInformation", "&Information...", kAltEnter},
    {PreviewAction::Separator},
    {PreviewAction::PreviewPanel, "PreviewFileSystemMiPreviewPanel", "Image &Preview"},
    {PreviewAction::ViewAsList, "PreviewFileSystemMiViewAsList", "View as &List"},
    {PreviewAction::ViewAsThumbnails, "PreviewFileSystemMiViewAsTrumbnails", "View as &Thumbnails"},
    {PreviewAction::Separator},
    {PreviewAction::SortBy, "PreviewFileSystemMiSortBy", "&Sort by"},
    {PreviewAction::Separator},
    {PreviewAction::SelectAll, "PreviewFileSystemMiSelectAll", "Select &all", kCtrlA},
    {PreviewAction::InvertSelection, "PreviewFileSystemMiInvertSelection", "Inv&ert Selection"},
};

constexpr PreviewSortEntry kFileSystemSortBy[] = {
    {"PreviewFileSystemMiSortByName", "&Name"},       {"PreviewFileSystemMiSortByCondition", "&Condition"},
    {"PreviewFileSystemMiSortByCreated", "C&reated"}, {"PreviewFileSystemMiSortBySize", "&Size"},
    {"PreviewFileSystemMiSortByType", "&Type"},       {"PreviewFileSystemMiSortByPath", "&Path"},
};

constexpr PreviewMenuEntry kDriveSectorsMenu[] = {
    {PreviewAction::Recover, "PreviewDriveSectorsMiRecover", "&Recover...", kCtrlR},
    {PreviewAction::Preview, "PreviewDriveSectorsMiPreview", "Pre&view...", kCtrlP},
    {PreviewAction::Information, "PreviewDriveSectorsMiInformation", "&Information...", kAltEnter},
    {PreviewAction::ResetSize, "PreviewDriveSectorsMiResetFileSize", "Rese&t Size..."},
    {PreviewAction::Separator},
    {PreviewAction::PreviewPanel, "PreviewDriveSectorsMiPreviewPanel", "Image &Preview"},
    {PreviewAction::ViewAsList, "PreviewDriveSectorsMiViewAsList", "View as List"},
    {PreviewAction::ViewAsThumbnails, "PreviewDriveSectorsMiViewAsTrumbnails", "View as Thumbnails"},
    {PreviewAction::Separator},
    {PreviewAction::SortBy, "PreviewDriveSectorsMiSortBy", "&Sort by"},
    {PreviewAction::Separator},
    {PreviewAction::SelectAll, "PreviewDriveSectorsMiSelectAll", "Select &all", kCtrlA},
    {PreviewAction::InvertSelection, "PreviewDriveSectorsMiInvertSelection", "Inv&ert Selection"},
};

constexpr PreviewSortEntry kDriveSectorsSortBy[] = {
    {"PreviewDriveSectorsMiSortByName", "&Name"},
    {"PreviewDriveSectorsMiSortByCondition", "&Condition"},
    {"PreviewDriveSectorsMiSortByType", "&Type"},
    {"PreviewDriveSectorsMiSortBySize", "&Size"},
};

}  // namespace

const PreviewContentSpec& FileSystemContentSpec() {
    static const PreviewContentSpec spec{
        FoundListKind::FileSystem,
        "PreviewFileSystem",
        kFileSystemMenu,
        kFileSystemSortBy,
        "PreviewFileSystemMiSortOrderAZ",
        "PreviewFileSystemMiSortOrderZA",
        "If you can't see the file(s) you are looking for, click the Next button to carry out the deep "
        "scan. The program will scan each of the sectors on your drive (it may take a lot of time).",
        &SettingsValues::GlobalFileSystemSortColumn,
        &SettingsValues::GlobalFileSystemSortOrderAZ,
    };
    return spec;
}

const PreviewContentSpec& DriveSectorsContentSpec() {
    static const PreviewContentSpec spec{
        FoundListKind::DriveSectors,
        "PreviewDriveSectors",
        kDriveSectorsMenu,
        kDriveSectorsSortBy,
        "PreviewDriveSectorsMiSortOrderAZ",
        "PreviewDriveSectorsMiSortOrderZA",
        "Click Next to view recovery summary...",
        &SettingsValues::GlobalDriveSectorsSortColumn,
        &SettingsValues::GlobalDriveSectorsSortOrderAZ,
    };
    return spec;
}
