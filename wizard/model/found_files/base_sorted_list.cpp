#include "wizard/model/found_files/base_sorted_list.h"

#include <QStringList>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/time.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/condition_text.h"
#include "wizard/model/found_files/default_size.h"
#include "wizard/model/found_files/element_order.h"
#include "wizard/model/found_files/file_type_name.h"

namespace {

using namespace element_order;

std::int64_t StartPosition(const TBaseElement& element) {
    return static_cast<std::int64_t>(element.Record().DataPosition);
}

}  // namespace

TBaseSortedList::TBaseSortedList(std::uint8_t sortColumn, bool ascending)
    : sortColumn_(sortColumn), ascending_(ascending) {}

void TBaseSortedList::Add(std::unique_ptr<TBaseElement> element) {
    items_.push_back(std::move(element));
    positions_ = {};
    order_ = Order::Unknown;
}

void TBaseSortedList::Clear() {
    NotifyChanging();
    items_.clear();
    positions_ = {};
    order_ = Order::Unknown;
    NotifyChanged();
}

void TBaseSortedList::SetSort(std::uint8_t sortColumn, bool ascending) {
    if (sortColumn == sortColumn_ && ascending == ascending_ && order_ == Order::BySortColumn) return;
    sortColumn_ = sortColumn;
    ascending_ = ascending;
    Sort();
}

void TBaseSortedList::SetAscending(bool ascending) { SetSort(sortColumn_, ascending); }

void TBaseSortedList::Sort() {
    NotifyChanging();
    ReorderBySortColumn();
    NotifyChanged();
}

void TBaseSortedList::SortByStartPosition() {
    NotifyChanging();
    ReorderByStartPosition();
    NotifyChanged();
}

bool TBaseSortedList::FindByStartPosition(std::int64_t position) {
    if (order_ != Order::ByStartPosition) SortByStartPosition();
    return std::binary_search(positions_.begin(), positions_.end(), position);
}

void TBaseSortedList::FillUnknownSizes() {
    NotifyChanging();
    ReorderByStartPosition();
    VisitFetchingAhead(items_, [&](std::size_t i, TBaseElement& element) {
        if (i + 1 < positions_.size() && element.Record().Size == kUnknownSize) {
            element.SetSize(std::uint64_t(positions_[i + 1]) - std::uint64_t(positions_[i]));
        }
    });
    if (!items_.empty() && items_.back()->Record().Size == kUnknownSize) {
        TBaseElement& last = *items_.back();
        if (const std::optional<std::uint64_t> size = DefaultSizeOf(last)) last.SetSize(*size);
    }
    ReorderBySortColumn();
    NotifyChanged();
}

void TBaseSortedList::AddObserver(Observer* observer) { observers_.push_back(observer); }

void TBaseSortedList::RemoveObserver(Observer* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TBaseSortedList::NotifyChanging() {
    for (Observer* observer : observers_) observer->ListChanging();
}

void TBaseSortedList::NotifyChanged() {
    for (Observer* observer : observers_) observer->ListChanged();
}

void TBaseSortedList::ReorderByStartPosition() {
    const std::vector<Ranked> ranked =
        ReorderByNumber(items_, true, [](const TBaseElement& e) { return RankOfSigned(StartPosition(e)); });
    positions_.clear();
    positions_.reserve(ranked.size());
    for (const Ranked& entry : ranked) positions_.push_back(SignedOfRank(entry.rank));
    order_ = Order::ByStartPosition;
}

void TBaseSortedList::ReorderBySortColumn() {
    switch (sortColumn_) {
        case kSortByName:
            ReorderByText(items_, ascending_, [](const TBaseElement& e) { return e.Name(); });
            break;
        case kSortByCondition: {
            // As the lists show the condition, in the current language.
            const QStringList texts = ConditionTexts();
            const std::string shown[] = {texts[0].toStdString(), texts[1].toStdString(), texts[2].toStdString()};
            ReorderBySharedText(items_, ascending_, [&](const TBaseElement& e) { return shown[ConditionIndex(e)]; });
            break;
        }
        case kSortByType: {
            // As TypeName, with one type lookup per extension.
            std::unordered_map<std::string, std::string> typeOfExtension;
            ReorderBySharedText(items_, ascending_, [&](const TBaseElement& e) {
                if (e.IsFolder()) return e.TypeName();
                auto [entry, added] = typeOfExtension.try_emplace(e.Ext());
                if (added) entry->second = FileTypeNameOfExtension(entry->first);
                return entry->second;
            });
            break;
        }
        case kSortBySize:
            ReorderByNumber(items_, ascending_, [](const TBaseElement& e) { return RankOfSigned(e.Size()); });
            break;
        case kSortByCreated:
            ReorderByNumber(items_, ascending_,
                            [](const TBaseElement& e) { return platform::toUint64(e.Record().CreationTime); });
            break;
        case kSortByPath:
            ReorderBySharedText(items_, ascending_, [](TBaseElement& e) { return e.Path(); });
            break;
        default:
            return;  // no such column: the order stays
    }
    positions_ = {};
    order_ = Order::BySortColumn;
}
