#pragma once
// Page 2: the file types to search for and the filters that narrow the search.
//
// The panel at the top holds the title, the type tree (placed into TypesTreeHost), the
// file-name filter and the Show/Hide buttons. It covers the other filters below it while
// they are hidden: its bottom edge lies 65 pixels above the page's bottom then, 187 pixels
// above it while the filters are shown.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TTypesSheet : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShownFiltersMargin = 187;
    static constexpr int kHiddenFiltersMargin = 65;

    explicit TTypesSheet(QWidget* parent);

    QWidget* TypesPanel = nullptr;
    // Where the file-type tree goes: it fills the host.
    QWidget* TypesTreeHost = nullptr;
    QCheckBox* TypesFilenameCheckBox = nullptr;
    QLineEdit* TypesFilenameEdit = nullptr;
    QPushButton* TypesShowFiltersButton = nullptr;
    QPushButton* TypesHideFiltersButton = nullptr;
    QWidget* TypesFilters = nullptr;
    QCheckBox* TypesCreatedBetweenCheckBox = nullptr;
    QDateTimeEdit* TypesCreatedStartDateTimePicker = nullptr;
    QLabel* TypesCreatedLabel = nullptr;
    QDateTimeEdit* TypesCreatedEndDateTimePicker = nullptr;
    QCheckBox* TypesAgeCheckBox = nullptr;
    QSpinBox* TypesAgeEditUpDown = nullptr;  // its line edit is TypesAgeEdit
    QComboBox* TypesAgeComboBox = nullptr;
    QCheckBox* TypesSizeCheckBox = nullptr;
    QComboBox* TypesSizeSignComboBox = nullptr;
    QSpinBox* TypesSizeValueEditUpDown = nullptr;  // its line edit is TypesSizeValueEdit
    QComboBox* TypesSizeUnitComboBox = nullptr;

    // The panel's bottom edge and the buttons as they stand with the filters shown or
    // hidden; the filters leave the focus chain while covered.
    void SetFiltersShown(bool shown);
    bool FiltersShown() const { return filtersShown_; }
    // Where the panel's bottom edge ends for that state, at the page's present height.
    int PanelHeightFor(bool shown) const;
    // The panel's height as it stands; kept across resizes at the same margin.
    void SetPanelHeight(int height);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildPanel();
    void BuildFilters();
    void PlaceChildren();

    QLabel* hint_ = nullptr;
    bool filtersShown_ = false;
    int bottomMargin_ = kHiddenFiltersMargin;
};
