#include "wizard/forms/widgets/form_widgets.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* NamedNote(QWidget* parent, const char* name, const QString& text) {
    QLabel* note = NamedLabel(parent, name, text);
    note->setWordWrap(true);
    return note;
}

QSpinBox* NamedSpinBox(QWidget* parent, const char* name, int minimum, int maximum) {
    auto* spinBox = Named(new QSpinBox(parent), name);
    spinBox->setRange(minimum, maximum);
    return spinBox;
}

void PostHelpKey(QWidget* window) {
    QCoreApplication::postEvent(window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
}

QTabWidget* AddPageControl(QDialog* dialog) {
    auto* pages = Named(new QTabWidget(dialog), "MainPageControl");
    pages->tabBar()->setUsesScrollButtons(false);
    return pages;
}

QWidget* AddTabPage(QTabWidget* pages, const char* name, const QString& caption) {
    auto* page = Named(new QWidget, name);
    pages->addTab(page, caption);
    return page;
}

QPushButton* LayOutPagesAndButtons(QDialog* dialog, QTabWidget* pages, DialogButtonNames names,
                                   std::function<void()> help) {
    auto* ok = Named(new QPushButton(QStringLiteral("&OK"), dialog), names.ok);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* cancel = Named(new QPushButton(QStringLiteral("&Cancel"), dialog), names.cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* helpButton = Named(new QPushButton(QStringLiteral("&Help"), dialog), names.help);
    QObject::connect(helpButton, &QPushButton::clicked, dialog, std::move(help));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    return ok;
}

QHBoxLayout* AddOkHelpRow(QDialog* dialog, const DialogButton& ok, const DialogButton& help) {
    auto* okButton = Named(new QPushButton(ok.caption, dialog), ok.name);
    okButton->setDefault(true);
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* helpButton = Named(new QPushButton(help.caption, dialog), help.name);
    helpButton->setAutoDefault(false);
    QObject::connect(helpButton, &QPushButton::clicked, dialog, [dialog] { PostHelpKey(dialog); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(okButton);
    row->addWidget(helpButton);
    return row;
}
