#pragma once
// Finding and working the named controls of a dialog that a test answers.

#include <QAbstractButton>
#include <QTabWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

template <typename Widget>
Widget* FindControl(const QWidget* dialog, const char* name) {
    auto* found = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void PressButton(const QWidget* dialog, const char* name) {
    FindControl<QAbstractButton>(dialog, name)->click();
}

// The page shown by the dialog's page control "MainPageControl".
inline int CurrentPage(const QWidget* dialog) {
    return FindControl<QTabWidget>(dialog, "MainPageControl")->currentIndex();
}

// An answer that turns to `page` and presses `button`.
inline std::function<void(QWidget*)> CloseOnPage(int page, const char* button) {
    return [page, button](QWidget* dialog) {
        FindControl<QTabWidget>(dialog, "MainPageControl")->setCurrentIndex(page);
        PressButton(dialog, button);
    };
}
