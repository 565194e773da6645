#include "wizard/forms/form_parts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "wizard/help_keyword.h"

QLabel* AddLabel(QWidget* owner, const char* name, const QString& text) {
    auto* label = new QLabel(text, owner);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QHBoxLayout* AddOkHelpRow(QDialog* dialog, const DialogButton& ok, const DialogButton& help) {
    auto* okButton = new QPushButton(ok.caption, dialog);
    okButton->setObjectName(QString::fromLatin1(ok.name));
    okButton->setDefault(true);
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* helpButton = new QPushButton(help.caption, dialog);
    helpButton->setObjectName(QString::fromLatin1(help.name));
    helpButton->setAutoDefault(false);
    QObject::connect(helpButton, &QPushButton::clicked, dialog, [dialog] { PostHelpKey(dialog); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(helpButton);
    return row;
}
