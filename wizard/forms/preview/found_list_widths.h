#pragma once
// The widths a found-file list's columns start with, before stored widths replace them:
// each fits the texts its column usually shows, measured in the view's fonts on a few
// sample texts (never on the rows, which may be a million), and its header caption with
// a sort mark.

#include <QTableView>

#include <vector>

#include "wizard/model/found_files/found_files_columns.h"

std::vector<int> DefaultColumnWidths(const QTableView& view, FoundListKind kind);
