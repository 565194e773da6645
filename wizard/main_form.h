#pragma once
// The wizard's main window. For now an empty window with its name and caption; the pages
// come with the wizard's forms.

#include <QMainWindow>

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
};
