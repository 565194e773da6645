#include "wizard/model/found_files/found_files_model.h"

#include <QPixmap>

#include <algorithm>
#include <climits>

#include "wizard/model/found_files/condition_text.h"
#include "wizard/model/found_files/selected_rows.h"
#include "wizard/utilities/text/date_time_text.h"
#include "wizard/utilities/text/number_text.h"

namespace {

constexpr int kRepaintDelayMs = 50;

}  // namespace

TFoundFilesModel::TFoundFilesModel(FoundListKind kind, TBaseSortedList& list, TPreviewImageLists& images,
                                   QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), list_(list), images_(images), rows_(static_cast<int>(list.Count())) {
    for (const FoundListColumn& column : FoundListColumns(kind)) {
        captions_.append(QString::fromLatin1(column.caption));
        headerImages_.push_back(-1);
    }
    repaint_.setSingleShot(true);
    repaint_.setInterval(kRepaintDelayMs);
    connect(&repaint_, &QTimer::timeout, this, &TFoundFilesModel::RefreshRows);
    list_.AddObserver(this);
}

TFoundFilesModel::~TFoundFilesModel() { list_.RemoveObserver(this); }

TBaseElement* TFoundFilesModel::ElementAt(int row) const {
    if (row < 0 || row >= rows_ || static_cast<std::size_t>(row) >= list_.Count()) return nullptr;
    return &list_[static_cast<std::size_t>(row)];
}

int TFoundFilesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TFoundFilesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant TFoundFilesModel::data(const QModelIndex& index, int role) const {
    TBaseElement* element = ElementAt(index.row());
    if (!element || index.column() < 0 || index.column() >= columnCount()) return {};
    const bool first = index.column() == 0;
    switch (role) {
        case Qt::DisplayRole:
            return ColumnText(*element, index.column());
        case Qt::TextAlignmentRole:
            if (FoundListColumns(kind_)[static_cast<std::size_t>(index.column())].alignRight) {
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            }
            return {};
        case Qt::DecorationRole:
            if (!first) return {};
            return images_.FilesImages.At(images_.IconIndexOf(*element));
        case ThumbnailRole:
            return first ? Thumbnail(*element) : QVariant();
        case Qt::CheckStateRole:
            if (!first || kind_ != FoundListKind::DriveSectors) return {};
            return checked_.contains(element) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

QVariant TFoundFilesModel::ColumnText(TBaseElement& element, int column) const {
    switch (FoundListColumns(kind_)[static_cast<std::size_t>(column)].sortCode) {
        case kSortByName:
            return QString::fromStdString(element.Name());
        case kSortByCondition:
            return ConditionText(element);
        case kSortByType:
            return QString::fromStdString(element.TypeName());
        case kSortBySize:
            return FormatNumberText(element.Size());
        case kSortByCreated:
            return DateTimeText(element.Created());
        case kSortByPath:
            return QString::fromStdString(element.Path());
        default:
            return {};
    }
}

QVariant TFoundFilesModel::Thumbnail(const TBaseElement& element) const {
    if (element.ThumbnailIndex() > 0) return images_.ImageListTrumbnails.At(element.ThumbnailIndex());
    // The engine is never asked about a file of unknown size: it gets the placeholder,
    // not kept, so that a size given later brings a real thumbnail.
    if (element.Record().Size == kUnknownSize) {
        return images_.ImageListTrumbnails.At(images_.ThumbnailPlaceholder(element));
    }
    return images_.ImageListTrumbnails.At(TPreviewImageLists::kLoading);
}

bool TFoundFilesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TBaseElement* element = ElementAt(index.row());
    if (!element || role != Qt::CheckStateRole || index.column() != 0 || kind_ != FoundListKind::DriveSectors) {
        return false;
    }
    if (value.value<Qt::CheckState>() == Qt::Checked) {
        checked_.insert(element);
    } else {
        checked_.erase(element);
    }
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TFoundFilesModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && kind_ == FoundListKind::DriveSectors) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TFoundFilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(section);
    switch (role) {
        case Qt::DisplayRole:
            return captions_[section];
        case Qt::DecorationRole:
            if (headerImages_[column] < 0) return {};
            return images_.FilesImages.At(headerImages_[column]);
        case Qt::TextAlignmentRole:
            if (!FoundListColumns(kind_)[column].alignRight) return {};
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        default:
            return {};
    }
}

bool TFoundFilesModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) {
        return false;
    }
    captions_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void TFoundFilesModel::SetHeaderImage(int column, int image) {
    if (column < 0 || column >= columnCount()) return;
    headerImages_[static_cast<std::size_t>(column)] = image;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int TFoundFilesModel::HeaderImage(int column) const {
    if (column < 0 || column >= columnCount()) return -1;
    return headerImages_[static_cast<std::size_t>(column)];
}

void TFoundFilesModel::SyncRowCount() {
    const int count = static_cast<int>(std::min<std::size_t>(list_.Count(), std::size_t(INT_MAX)));
    if (count > rows_) {
        beginInsertRows({}, rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        beginResetModel();
        rows_ = count;
        endResetModel();
    }
}

void TFoundFilesModel::ApplyThumbnail(std::uint64_t generation, TBaseElement* element, const QImage& picture) {
    if (generation != generation_ || !element) return;
    const int index = picture.isNull() ? images_.ThumbnailPlaceholder(*element)
                                       : images_.ImageListTrumbnails.Add(QPixmap::fromImage(picture));
    element->SetThumbnailIndex(index);
    if (!repaint_.isActive()) repaint_.start();
}

void TFoundFilesModel::RefreshRows() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

void TFoundFilesModel::ListChanging() {
    countBeforeChange_ = list_.Count();
    NoteSelection();
    beginResetModel();
}

void TFoundFilesModel::ListChanged() {
    if (list_.Count() == 0 && countBeforeChange_ > 0) {
        // Cleared: its elements are freed.
        ++generation_;
        checked_.clear();
        noted_.clear();
        notedCurrent_ = nullptr;
        allNoted_ = false;
    }
    rows_ = static_cast<int>(std::min<std::size_t>(list_.Count(), std::size_t(INT_MAX)));
    endResetModel();
    RestoreSelection();
}

void TFoundFilesModel::NoteSelection() {
    noted_.clear();
    notedCurrent_ = nullptr;
    allNoted_ = false;
    if (!selection_) return;
    const std::vector<RowRange> ranges = SelectedRowRanges(selection_->selection());
    allNoted_ = rows_ > 0 && RowCountOf(ranges) == rows_;
    if (!allNoted_) {
        noted_.reserve(static_cast<std::size_t>(RowCountOf(ranges)));
        for (const RowRange& range : ranges) {
            for (int row = range.first; row <= range.last; ++row) {
                if (const TBaseElement* element = ElementAt(row)) noted_.push_back(element);
            }
        }
        std::sort(noted_.begin(), noted_.end());
    }
    notedCurrent_ = ElementAt(selection_->currentIndex().row());
}

void TFoundFilesModel::RestoreSelection() {
    if (!selection_ || (noted_.empty() && !allNoted_ && !notedCurrent_)) return;
    std::vector<RowRange> ranges;
    int currentRow = -1;
    for (int row = 0; row < rows_; ++row) {
        const TBaseElement* element = &list_[static_cast<std::size_t>(row)];
        if (element == notedCurrent_) currentRow = row;
        if (allNoted_ || !std::binary_search(noted_.begin(), noted_.end(), element)) continue;
        if (!ranges.empty() && ranges.back().last == row - 1) {
            ranges.back().last = row;
        } else {
            ranges.push_back({row, row});
        }
    }
    if (allNoted_ && rows_ > 0) ranges = {{0, rows_ - 1}};
    noted_.clear();
    noted_.shrink_to_fit();
    notedCurrent_ = nullptr;
    allNoted_ = false;
    if (currentRow >= 0) selection_->setCurrentIndex(index(currentRow, 0), QItemSelectionModel::NoUpdate);
    // The model's reset has cleared the selection; the ranges span their rows already
    // (with the Rows flag the selection model would merge them pairwise).
    if (!ranges.empty()) selection_->select(SelectionOfRows(*this, ranges), QItemSelectionModel::Select);
}
