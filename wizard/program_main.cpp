#include "wizard/program_main.h"

#include <QApplication>
#include <QMainWindow>

int ProgramMain(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pramblex Pro"));
    QMainWindow window;
    window.setObjectName(QStringLiteral("MainForm"));
    window.setWindowTitle(QStringLiteral("Pramblex Pro"));
    window.show();
    return QApplication::exec();
}
