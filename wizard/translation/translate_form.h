#pragma once
// Translation of a form's components by their object names.
//
// A form's section is its objectName cut before the first '_' ("MainForm_1" reads
// "MainForm"). Keys: S.Caption (the window title), S.C.Caption, S.C.Hint (tool tip),
// S.C.lines[i], S.C.Items[i], S.C.Columns[i].Caption for a component C found by its
// objectName among all of the form's descendants. Memo lines are translated only where
// the form set them with SetMemoLayoutText: a log filled at run time keeps its lines. Which Qt class has which text is one
// table in translate_form.cpp; a component without the text is left alone (a QLineEdit
// has no caption).
//
// Columns are the horizontal header captions of a QTreeView's or QTableView's model: every
// model shown in such a view keeps them settable through
// setHeaderData(column, Qt::Horizontal, text, Qt::DisplayRole).

#include <QObject>
#include <QString>

#include <initializer_list>

#include "wizard/translation/translation.h"

class QWidget;

enum class ComponentText { Caption, Hint };

// Translates each form with the current translation; nothing without one. Forms call it
// with themselves on construction, before they fill anything in.
void TranslateForm(std::initializer_list<QObject*> forms);

void TranslateComponents(std::initializer_list<QObject*> forms, const LanguageFile& translation);
// Translates `part` and its descendants in the section of `form`, with the current
// translation: for components made after their form was translated.
void TranslatePart(QObject* part, const QObject* form);

// Sets `text` of `component` when `value` is non-empty and the component has that text.
void SetComponentStringProperty(QObject* component, ComponentText text, const QString& value);

// Sets the text of a memo (QPlainTextEdit or QTextEdit) as its form's layout holds it; its
// lines are then the ones translation replaces.
void SetMemoLayoutText(QWidget* memo, const QString& text);
