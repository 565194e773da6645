#include "wizard/main_form.h"

#include "wizard/version_info.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kProductName);
}
