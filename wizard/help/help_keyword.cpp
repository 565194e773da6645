#include "wizard/help/help_keyword.h"

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
