#pragma once
// Each window names its help topic (its help keyword); F1 in the window, or its Help
// button (PostHelpKey, form_widgets.h), opens that topic through the help service.

#include <QString>

class QWidget;

// The topic path F1 opens for `window`, for example "/files/about.html". A window with
// pages that have topics of their own sets the active page's keyword when the page
// changes.
void SetHelpKeyword(QWidget* window, const QString& keyword);
// The keyword of `widget`'s window; empty when it has none.
QString HelpKeywordOf(const QWidget* widget);
