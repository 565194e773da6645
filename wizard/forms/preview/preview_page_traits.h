#pragma once
// What tells the two preview pages apart: their component names, menu items, texts and
// the settings that keep their sort state.

#include <QKeyCombination>

#include <span>

#include "wizard/model/found_files/found_files_columns.h"
#include "wizard/settings/settings_values.h"

enum class PreviewAction {
    Recover,
    Preview,
    Information,
    ResetSize,
    PreviewPanel,
    ViewAsList,
    ViewAsThumbnails,
    SortBy,  // the submenu
    SelectAll,
    InvertSelection,
    Separator,
};

struct PreviewMenuEntry {
    PreviewAction action;
    const char* name = nullptr;
    const char* caption = nullptr;
    QKeyCombination shortcut{};  // none when its key is 0
};

// A "Sort by" item sorts by the list column of its place in the submenu.
struct PreviewSortEntry {
    const char* name;
    const char* caption;
};

struct PreviewContentSpec {
    FoundListKind kind;
    const char* prefix;  // of the page's component names: "PreviewFileSystem"
    std::span<const PreviewMenuEntry> menu;
    std::span<const PreviewSortEntry> sortBy;
    const char* sortOrderAZName;
    const char* sortOrderZAName;
    const char* bottomText;  // below the buttons
    int SettingsValues::*sortColumn;
    bool SettingsValues::*sortOrderAZ;
};

const PreviewContentSpec& FileSystemContentSpec();
const PreviewContentSpec& DriveSectorsContentSpec();
