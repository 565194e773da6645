#pragma once
// A window's help topic ("/files/contents.html"), the one F1 and its Help button open. It
// is kept on the window as a property, so that a key handler anywhere can find the topic
// of the window that has the focus.

#include <QString>
#include <QWidget>

inline constexpr char kHelpKeywordProperty[] = "helpKeyword";

inline void SetHelpKeyword(QWidget* window, const QString& topic) {
    window->setProperty(kHelpKeywordProperty, topic);
}

inline QString HelpKeyword(const QWidget* window) {
    return window->property(kHelpKeywordProperty).toString();
}
