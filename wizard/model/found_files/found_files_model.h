#pragma once
// The table model of one found-file list: each row reads its element when a view draws
// it, so a view keeps nothing per row. The report view shows the columns with the
// elements' small icons; the thumbnail view shows ThumbnailRole pictures.
//
// The model follows the list's re-orders and clears. The selection belongs to elements:
// before a re-order the model notes the selected and current elements, and afterwards
// selects them in their new rows, so an action on the selection (recovery above all) gets
// the files the user picked, not those that moved into their rows.
//
// The list must outlive the model. GUI thread only.

#include <QAbstractTableModel>
#include <QImage>
#include <QItemSelectionModel>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/found_files/found_files_columns.h"
#include "wizard/model/found_files/preview_image_lists.h"

class TFoundFilesModel final : public QAbstractTableModel, private TBaseSortedList::Observer {
    Q_OBJECT

public:
    // The 96 x 96 picture of the row's element in the thumbnail view.
    static constexpr int ThumbnailRole = Qt::UserRole + 1;

    TFoundFilesModel(FoundListKind kind, TBaseSortedList& list, TPreviewImageLists& images, QObject* parent = nullptr);
    ~TFoundFilesModel() override;

    FoundListKind Kind() const { return kind_; }
    TBaseSortedList& List() const { return list_; }
    // The element of a row, or null for a row outside the list.
    TBaseElement* ElementAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Captions (Qt::DisplayRole) are settable, for translation; the decoration is the
    // header image (a sort mark).
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

    // The rows become the list's elements: a scan adds elements without telling.
    void SyncRowCount();
    // The selection kept with its elements across re-orders.
    void SetSelectionModel(QItemSelectionModel* selection) { selection_ = selection; }

    // A column's header image: an index into FilesImages (the sort marks), -1 for none.
    // Columns outside the list are ignored.
    void SetHeaderImage(int column, int image);
    int HeaderImage(int column) const;

    // Counts the clears of the list: a thumbnail made for an older generation belongs to
    // an element that is gone.
    std::uint64_t Generation() const { return generation_; }
    // A thumbnail worker's result: the picture, or a null image when the engine made
    // none (the placeholder is kept instead). Dropped when the generation has passed.
    void ApplyThumbnail(std::uint64_t generation, TBaseElement* element, const QImage& picture);
    // Every row drawn again (their sizes changed, say).
    void RefreshRows();

private:
    void ListChanging() override;
    void ListChanged() override;
    void NoteSelection();
    void RestoreSelection();
    QVariant ColumnText(TBaseElement& element, int column) const;
    QVariant Thumbnail(const TBaseElement& element) const;

    FoundListKind kind_;
    TBaseSortedList& list_;
    TPreviewImageLists& images_;
    int rows_ = 0;
    QStringList captions_;
    std::vector<int> headerImages_;
    // Sector rows show check boxes; what they hold is kept per element.
    std::unordered_set<const TBaseElement*> checked_;
    std::uint64_t generation_ = 0;

    QPointer<QItemSelectionModel> selection_;
    std::size_t countBeforeChange_ = 0;
    bool allNoted_ = false;
    std::vector<const TBaseElement*> noted_;
    const TBaseElement* notedCurrent_ = nullptr;

    // Pictures that arrive one by one are drawn together.
    QTimer repaint_;
};
