#pragma once
// Page 2: the file types to search for and the filters that narrow the search.
//
// Below the title, the types panel (the type tree, the file-name filter and the Show/Hide
// buttons) covers the further filters while they are hidden and slides up to uncover
// them. The covered filters leave the focus chain.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QSpinBox;
class TTypesPanel;

class TTypesSheet : public QWidget {
    Q_OBJECT

public:
    explicit TTypesSheet(QWidget* parent);

    TTypesPanel* TypesPanel = nullptr;
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFilters(QWidget* body);
    void PlaceFilters();

    QWidget* body_ = nullptr;
    QLabel* hint_ = nullptr;
};
