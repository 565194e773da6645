#pragma once
// The condition of a found file as the lists and the preview panel show it, in the
// current language: the element's own English text, translated by the text ids the
// properties form uses for the same three states.

#include <QString>
#include <QStringList>

class TBaseElement;

QString ConditionText(const TBaseElement& element);

// The texts of all three conditions: deleted, live holding deleted, live.
QStringList ConditionTexts();
// The place of the element's condition in ConditionTexts().
int ConditionIndex(const TBaseElement& element);
