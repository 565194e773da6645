#include "wizard/help_keyword.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char kHelpKeywordProperty[] = "helpKeyword";

}  // namespace

void SetHelpKeyword(QWidget* window, const QString& keyword) {
    window->setProperty(kHelpKeywordProperty, keyword);
}

QString HelpKeywordOf(const QWidget* widget) {
    return widget->window()->property(kHelpKeywordProperty).toString();
}

void PostHelpKey(QWidget* widget) {
    QCoreApplication::postEvent(widget->window(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
}
