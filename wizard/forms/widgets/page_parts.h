#pragma once
// The pieces every wizard page is made of: its title at the top, wrapped plain texts, and
// the hint "Click Next to continue..." at the bottom.

#include <QString>

class QBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

// The page's column: its title label first; the caller adds the content.
QVBoxLayout* AddPageLayout(QWidget* sheet, const char* titleName, const QString& title);

// A plain-text label, wrapped to its width unless `wrap` is false.
QLabel* AddTextLabel(QWidget* parent, const char* name, const QString& text, bool wrap = true);

// The hint at the bottom of the page; below a stretch unless the page's content stretches.
QLabel* AddHintLabel(QWidget* sheet, QVBoxLayout* layout, const char* name,
                     bool stretchAbove = true);
