#include "wizard/forms/preview/found_list_widths.h"

#include <QHeaderView>
#include <QStyle>

#include <algorithm>

#include "wizard/model/found_files/condition_text.h"
#include "wizard/utilities/pictures/stock_pictures.h"
#include "wizard/utilities/text/date_time_text.h"
#include "wizard/utilities/text/number_text.h"

namespace {

// A column's usual texts: long ones of their kind, not the longest possible.
QStringList UsualTexts(FoundListKind kind, std::uint8_t sortCode) {
    switch (sortCode) {
        case kSortByName:
            return {QStringLiteral("IMG_20230506.jpeg")};
        case kSortByCondition:
            // The sector search finds deleted files only.
            return kind == FoundListKind::DriveSectors ? ConditionTexts().first(1) : ConditionTexts();
        case kSortByCreated: {
            // Month names differ in length: one date of each month, with wide digits.
            QStringList dates;
            for (int month = 1; month <= 12; ++month) {
                dates << DateTimeText(QDateTime(QDate(2028, month, 28), QTime(20, 58, 58)));
            }
            return dates;
        }
        case kSortBySize:
            return {FormatNumberText(9'999'999'999)};
        case kSortByType:
            return {QStringLiteral("Microsoft Word document")};
        case kSortByPath:
            return {QStringLiteral("C:\\Documents\\Pictures\\Holidays 2023\\")};
        default:
            return {};
    }
}

int WidestText(const QFontMetrics& metrics, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

}  // namespace

std::vector<int> DefaultColumnWidths(const QTableView& view, FoundListKind kind) {
    const QStyle* style = view.style();
    // A cell's text, icon and check box each keep this margin on both sides.
    const int margin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
    // Room for the rounding of the cells' text layout, and to breathe.
    const int textRoom = view.fontMetrics().averageCharWidth() / 2;
    // Any column may get the sort mark; none has it yet.
    const int sortMark = kSortMarkSide + style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &view);
    const auto columns = FoundListColumns(kind);

    std::vector<int> widths;
    widths.reserve(columns.size());
    for (std::size_t column = 0; column < columns.size(); ++column) {
        int cell = WidestText(view.fontMetrics(), UsualTexts(kind, columns[column].sortCode)) + textRoom + margin;
        if (column == 0) {
            cell += view.iconSize().width() + margin;
            if (kind == FoundListKind::DriveSectors) {
                cell += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &view) + margin;
            }
        }
        const int header = view.horizontalHeader()->sectionSizeHint(static_cast<int>(column)) + sortMark;
        widths.push_back(std::max(cell, header) + view.showGrid());
    }
    return widths;
}
