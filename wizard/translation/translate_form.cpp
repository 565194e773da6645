#include "wizard/translation/translate_form.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>

#include <algorithm>

namespace {

enum class TextKind { Caption, Hint, Lines, Items, Columns };

// One text of one kind of component: a single text (setText) or a list of them (count and
// setEntry).
struct TextSlot {
    TextKind kind;
    bool (*accepts)(QObject*);
    void (*setText)(QObject*, const QString&);
    int (*count)(QObject*);
    void (*setEntry)(QObject*, int, const QString&);
};

template <typename Type>
bool Is(QObject* object) {
    return qobject_cast<Type*>(object) != nullptr;
}

template <typename Type>
Type* As(QObject* object) {
    return static_cast<Type*>(object);
}

QTabWidget* TabWidgetOfPage(QObject* object) {
    auto* page = qobject_cast<QWidget*>(object);
    auto* stack = page ? qobject_cast<QStackedWidget*>(page->parentWidget()) : nullptr;
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

// The property that marks a memo's text as its layout's: how many lines it holds.
constexpr char kLayoutLinesProperty[] = "layoutLines";

QStringList MemoLines(QObject* memo) {
    const QString text = Is<QPlainTextEdit>(memo) ? As<QPlainTextEdit>(memo)->toPlainText()
                                                  : As<QTextEdit>(memo)->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void SetMemoText(QObject* memo, const QString& text) {
    if (Is<QPlainTextEdit>(memo)) {
        As<QPlainTextEdit>(memo)->setPlainText(text);
    } else {
        As<QTextEdit>(memo)->setPlainText(text);
    }
}

void SetMemoLine(QObject* memo, int index, const QString& line) {
    QStringList lines = MemoLines(memo);
    lines[index] = line;
    SetMemoText(memo, lines.join(u'\n'));
}

// Only the lines from the layout count: a memo without any, a log, has none.
int MemoLineCount(QObject* memo) {
    const int layoutLines = memo->property(kLayoutLinesProperty).toInt();
    return std::min(layoutLines, static_cast<int>(MemoLines(memo).size()));
}

// First match wins per kind: a tab page's caption is its tab's text whatever its class.
const TextSlot kTextSlots[] = {
    {TextKind::Caption, [](QObject* o) { return TabWidgetOfPage(o) != nullptr; },
     [](QObject* o, const QString& v) {
         QTabWidget* tabs = TabWidgetOfPage(o);
         tabs->setTabText(tabs->indexOf(As<QWidget>(o)), v);
     },
     nullptr, nullptr},
    {TextKind::Caption, Is<QLabel>, [](QObject* o, const QString& v) { As<QLabel>(o)->setText(v); },
     nullptr, nullptr},
    {TextKind::Caption, Is<QAbstractButton>,
     [](QObject* o, const QString& v) { As<QAbstractButton>(o)->setText(v); }, nullptr, nullptr},
    {TextKind::Caption, Is<QGroupBox>,
     [](QObject* o, const QString& v) { As<QGroupBox>(o)->setTitle(v); }, nullptr, nullptr},
    {TextKind::Caption, Is<QAction>,
     [](QObject* o, const QString& v) { As<QAction>(o)->setText(v); }, nullptr, nullptr},
    {TextKind::Caption, Is<QMenu>, [](QObject* o, const QString& v) { As<QMenu>(o)->setTitle(v); },
     nullptr, nullptr},
    {TextKind::Hint, Is<QWidget>,
     [](QObject* o, const QString& v) { As<QWidget>(o)->setToolTip(v); }, nullptr, nullptr},
    {TextKind::Hint, Is<QAction>,
     [](QObject* o, const QString& v) { As<QAction>(o)->setToolTip(v); }, nullptr, nullptr},
    {TextKind::Lines, Is<QPlainTextEdit>, nullptr, MemoLineCount, SetMemoLine},
    {TextKind::Lines, Is<QTextEdit>, nullptr, MemoLineCount, SetMemoLine},
    {TextKind::Items, Is<QComboBox>, nullptr, [](QObject* o) { return As<QComboBox>(o)->count(); },
     [](QObject* o, int i, const QString& v) { As<QComboBox>(o)->setItemText(i, v); }},
    {TextKind::Items, Is<QListWidget>, nullptr,
     [](QObject* o) { return As<QListWidget>(o)->count(); },
     [](QObject* o, int i, const QString& v) { As<QListWidget>(o)->item(i)->setText(v); }},
    {TextKind::Columns, [](QObject* o) { return Is<QTreeView>(o) || Is<QTableView>(o); }, nullptr,
     [](QObject* o) {
         QAbstractItemModel* model = As<QAbstractItemView>(o)->model();
         return model ? model->columnCount() : 0;
     },
     [](QObject* o, int i, const QString& v) {
         As<QAbstractItemView>(o)->model()->setHeaderData(i, Qt::Horizontal, v, Qt::DisplayRole);
     }},
};

const TextSlot* FindSlot(QObject* component, TextKind kind) {
    for (const TextSlot& slot : kTextSlots) {
        if (slot.kind == kind && slot.accepts(component)) {
            return &slot;
        }
    }
    return nullptr;
}

QString FormSection(const QObject* form) {
    const QString name = form->objectName();
    const qsizetype underscore = name.indexOf(u'_');
    return underscore < 0 ? name : name.first(underscore);
}

// Sets entry i of a list text from the key prefix + "[i]" + suffix; `keep` says which
// values leave the entry as it is.
void TranslateEntries(QObject* component, const TextSlot& slot, const LanguageFile& translation,
                      const QString& section, const QString& prefix, const QString& suffix,
                      bool (*keep)(const std::optional<QString>&)) {
    const int count = slot.count(component);
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> value =
            translation.value(section, prefix + u'[' + QString::number(i) + u']' + suffix);
        if (!keep(value)) {
            slot.setEntry(component, i, *value);
        }
    }
}

bool MissingOrEmpty(const std::optional<QString>& value) {
    return !value || value->isEmpty();
}

// A memo line keeps its text only for a missing key or the marker "fsdef"; an empty value
// empties the line.
bool MissingOrDefaultMarker(const std::optional<QString>& value) {
    return !value || *value == QStringLiteral("fsdef");
}

void TranslateComponent(QObject* component, const LanguageFile& translation,
                        const QString& section) {
    const QString prefix = section + u'.' + component->objectName() + u'.';
    SetComponentStringProperty(
        component, ComponentText::Caption,
        translation.value(section, prefix + QStringLiteral("Caption")).value_or(QString()));
    SetComponentStringProperty(
        component, ComponentText::Hint,
        translation.value(section, prefix + QStringLiteral("Hint")).value_or(QString()));
    if (const TextSlot* lines = FindSlot(component, TextKind::Lines)) {
        TranslateEntries(component, *lines, translation, section, prefix + QStringLiteral("lines"),
                         QString(), MissingOrDefaultMarker);
    }
    if (const TextSlot* items = FindSlot(component, TextKind::Items)) {
        TranslateEntries(component, *items, translation, section, prefix + QStringLiteral("Items"),
                         QString(), MissingOrEmpty);
    }
    if (const TextSlot* columns = FindSlot(component, TextKind::Columns)) {
        TranslateEntries(component, *columns, translation, section,
                         prefix + QStringLiteral("Columns"), QStringLiteral(".Caption"),
                         MissingOrEmpty);
    }
}

// Setting a text may delete objects of the snapshot (a memo's text replaces its document's
// blocks and layout objects), so each is reached through a guarded pointer, and only the
// named ones are kept.
void TranslateNamed(const QList<QObject*>& snapshot, const LanguageFile& translation,
                    const QString& section) {
    QList<QPointer<QObject>> named;
    for (QObject* component : snapshot) {
        if (!component->objectName().isEmpty()) named.append(component);
    }
    for (const QPointer<QObject>& component : named) {
        if (component) TranslateComponent(component, translation, section);
    }
}

}  // namespace

void SetComponentStringProperty(QObject* component, ComponentText text, const QString& value) {
    if (value.isEmpty()) {
        return;
    }
    const TextSlot* slot =
        FindSlot(component, text == ComponentText::Caption ? TextKind::Caption : TextKind::Hint);
    if (slot != nullptr) {
        slot->setText(component, value);
    }
}

void TranslateComponents(std::initializer_list<QObject*> forms, const LanguageFile& translation) {
    for (QObject* form : forms) {
        if (form == nullptr) {
            continue;
        }
        const QString section = FormSection(form);
        const QString caption =
            translation.value(section, section + QStringLiteral(".Caption")).value_or(QString());
        if (auto* window = qobject_cast<QWidget*>(form); window && !caption.isEmpty()) {
            window->setWindowTitle(caption);
        }
        TranslateNamed(form->findChildren<QObject*>(), translation, section);
    }
}

void TranslateForm(std::initializer_list<QObject*> forms) {
    if (const Translation translation = CurrentTranslation()) {
        TranslateComponents(forms, *translation);
    }
}

void TranslatePart(QObject* part, const QObject* form) {
    const Translation translation = CurrentTranslation();
    if (!translation || !part || !form) return;
    const QString section = FormSection(form);
    QList<QObject*> components = part->findChildren<QObject*>();
    components.prepend(part);
    TranslateNamed(components, *translation, section);
}

void SetMemoLayoutText(QWidget* memo, const QString& text) {
    if (!Is<QPlainTextEdit>(memo) && !Is<QTextEdit>(memo)) return;
    SetMemoText(memo, text);
    memo->setProperty(kLayoutLinesProperty, static_cast<int>(MemoLines(memo).size()));
}
