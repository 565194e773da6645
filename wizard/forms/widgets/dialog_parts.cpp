#include "wizard/forms/widgets/dialog_parts.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <cmath>

#include "wizard/utilities/system_info.h"

QLabel* PlainLabel(QWidget* parent, const char* name, const QString& text, bool wrap) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    return label;
}

QLabel* BoldLabel(QWidget* parent, const char* name, const QString& text) {
    QLabel* label = PlainLabel(parent, name, text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QPushButton* ResultButton(QDialog* dialog, QWidget* parent, const char* name, const QString& text,
                          int modalResult) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    QObject::connect(button, &QPushButton::clicked, dialog, [dialog, modalResult] { dialog->done(modalResult); });
    return button;
}

int ScaledToScreen(int pixels) {
    const int dpi = GetScreenDpi();
    if (dpi <= 0) return pixels;
    return static_cast<int>(std::lround(pixels * dpi / 96.0));
}
