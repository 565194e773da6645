#pragma once
// A list of found files that owns its elements and sorts itself by the column the user
// picked. It also sorts and searches by data position (is a sector hit already known from
// the file system?) and fills in unknown sizes after the sector scan.
//
// The list knows its actual order, so a sort request is never skipped while it is in
// another order, and a search by position never answers from the wrong one. Observers hear
// before and after every re-order and clear: views reset, the thumbnail worker stops.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "wizard/model/found_files/base_element.h"

// Sort codes (not list-view column indexes).
enum SortCode : std::uint8_t {
    kSortByName = 0,
    kSortByCondition = 1,
    kSortByType = 2,
    kSortBySize = 3,
    kSortByCreated = 4,
    kSortByPath = 5,
};

class TBaseSortedList {
public:
    class Observer {
    public:
        virtual void ListChanging() = 0;
        virtual void ListChanged() = 0;

    protected:
        ~Observer() = default;
    };

    TBaseSortedList(std::uint8_t sortColumn, bool ascending);
    TBaseSortedList(const TBaseSortedList&) = delete;
    TBaseSortedList& operator=(const TBaseSortedList&) = delete;

    std::size_t Count() const { return items_.size(); }
    TBaseElement& operator[](std::size_t index) const { return *items_[index]; }
    void Add(std::unique_ptr<TBaseElement> element);
    // Frees every element.
    void Clear();

    std::uint8_t SortColumn() const { return sortColumn_; }
    bool Ascending() const { return ascending_; }
    // Store and sort, unless the list already stands in exactly that order.
    void SetSort(std::uint8_t sortColumn, bool ascending);
    void SetAscending(bool ascending);
    // Whether the list stands sorted by that code and direction, so SetSort would not sort.
    bool InOrder(std::uint8_t sortColumn, bool ascending) const {
        return order_ == Order::BySortColumn && sortColumn == sortColumn_ && ascending == ascending_;
    }
    // By SortColumn in the stored direction; ties keep their order; codes above 5 leave
    // the order as it is. Each key is computed once per element (paths fetched first).
    void Sort();
    void SortByStartPosition();
    // Whether an element's DataPosition equals `position`; sorts by position first when
    // the list stands in another order.
    bool FindByStartPosition(std::int64_t position);
    // After the sector scan: an unknown size becomes the distance to the next element's
    // position; the last element's the default size of its format. Then sorts again.
    void FillUnknownSizes();

    void AddObserver(Observer* observer);
    void RemoveObserver(Observer* observer);

private:
    enum class Order { Unknown, BySortColumn, ByStartPosition };

    void NotifyChanging();
    void NotifyChanged();
    // The re-orders without notification.
    void ReorderBySortColumn();
    void ReorderByStartPosition();

    std::vector<std::unique_ptr<TBaseElement>> items_;
    // The elements' positions while the list stands in position order, for the search.
    std::vector<std::int64_t> positions_;
    std::uint8_t sortColumn_;
    bool ascending_;
    Order order_ = Order::Unknown;
    std::vector<Observer*> observers_;
};
