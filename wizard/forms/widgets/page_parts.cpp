#include "wizard/forms/widgets/page_parts.h"

#include <QLabel>
#include <QVBoxLayout>

#include "wizard/forms/widgets/form_widgets.h"

namespace {

constexpr int kTitlePointSize = 12;

}  // namespace

QVBoxLayout* AddPageLayout(QWidget* sheet, const char* titleName, const QString& title) {
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(14, 10, 14, 8);
    QLabel* titleLabel = AddTextLabel(sheet, titleName, title);
    QFont font(QStringLiteral("Arial"), kTitlePointSize);
    font.setBold(true);
    titleLabel->setFont(font);
    layout->addWidget(titleLabel);
    layout->addSpacing(6);
    return layout;
}

QLabel* AddTextLabel(QWidget* parent, const char* name, const QString& text, bool wrap) {
    return wrap ? NamedNote(parent, name, text) : NamedLabel(parent, name, text);
}

QLabel* AddHintLabel(QWidget* sheet, QVBoxLayout* layout, const char* name, bool stretchAbove) {
    if (stretchAbove) layout->addStretch(1);
    QLabel* hint = AddTextLabel(sheet, name, QStringLiteral("Click Next to continue..."));
    layout->addWidget(hint);
    return hint;
}
