#include "wizard/translation/translate_form.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "tests/wizard/support/language_folder_fixture.h"

namespace {

// A form holding one component of every kind that translation knows, and a few it does not.
struct TestForm {
    template <typename Widget>
    Widget* add(const char* name, Widget* widget, QWidget* owner = nullptr) {
        widget->setObjectName(QString::fromLatin1(name));
        if (owner == nullptr) form.layout()->addWidget(widget);
        return widget;
    }

    TestForm() {
        form.setObjectName(QStringLiteral("TestForm_2"));
        form.setWindowTitle(QStringLiteral("Test"));
        new QVBoxLayout(&form);
        label = add("Label", new QLabel(QStringLiteral("label")));
        button = add("Button", new QPushButton(QStringLiteral("button")));
        group = add("Group", new QGroupBox(QStringLiteral("group")));
        radio = add("Radio", new QRadioButton(QStringLiteral("radio"), group), group);  // nested
        menu = add("Menu", new QMenu(QStringLiteral("menu"), &form), &form);
        action = menu->addAction(QStringLiteral("action"));
        action->setObjectName(QStringLiteral("MenuAction"));
        tabs = add("Tabs", new QTabWidget);
        tabs->addTab(add("Page", new QWidget, tabs), QStringLiteral("page"));
        plainMemo = add("PlainMemo", new QPlainTextEdit);
        SetMemoLayoutText(plainMemo, QStringLiteral("one\ntwo\nthree"));
        richMemo = add("RichMemo", new QTextEdit);
        SetMemoLayoutText(richMemo, QStringLiteral("first"));
        logMemo = add("LogMemo", new QPlainTextEdit);
        logMemo->appendPlainText(QStringLiteral("found: a.jpg"));
        combo = add("Combo", new QComboBox);
        combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
        list = add("List", new QListWidget);
        list->addItems({QStringLiteral("x"), QStringLiteral("y")});
        tree = add("Tree", new QTreeWidget);
        tree->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size")});
        table = add("Table", new QTableView);
        model.setHorizontalHeaderLabels({QStringLiteral("Drive"), QStringLiteral("Type")});
        table->setModel(&model);
        edit = add("Edit", new QLineEdit(QStringLiteral("typed")));
    }

    QStandardItemModel model;
    QDialog form;
    QLabel* label;
    QPushButton* button;
    QGroupBox* group;
    QRadioButton* radio;
    QMenu* menu;
    QAction* action;
    QTabWidget* tabs;
    QPlainTextEdit* plainMemo;
    QTextEdit* richMemo;
    QPlainTextEdit* logMemo;  // filled at run time
    QComboBox* combo;
    QListWidget* list;
    QTreeWidget* tree;
    QTableView* table;
    QLineEdit* edit;
};

QString Header(QAbstractItemView* view, int column) {
    return view->model()->headerData(column, Qt::Horizontal).toString();
}

const char kTranslation[] =
    "[TestForm]\n"
    "TestForm.Caption=Prüfung\n"
    "TestForm.Label.Caption=Beschriftung\n"
    "TestForm.Label.Hint=Tipp\n"
    "TestForm.Button.Caption=&Knopf\n"
    "TestForm.Group.Caption=Gruppe\n"
    "TestForm.Radio.Caption=Radio\n"
    "TestForm.Menu.Caption=Menü\n"
    "TestForm.MenuAction.Caption=Aktion\n"
    "TestForm.MenuAction.Hint=Aktionstipp\n"
    "TestForm.Page.Caption=Seite\n"
    "TestForm.PlainMemo.lines[0]=eins\n"
    "TestForm.PlainMemo.lines[1]=\n"
    "TestForm.PlainMemo.lines[2]=fsdef\n"
    "TestForm.PlainMemo.lines[3]=beyond the lines\n"
    "TestForm.RichMemo.Lines[0]=erste\n"
    "TestForm.LogMemo.lines[0]=not a log's line\n"
    "TestForm.Combo.Items[0]=A\n"
    "TestForm.Combo.Items[1]=\n"
    "TestForm.List.Items[1]=Y\n"
    "TestForm.Tree.Columns[1].Caption=Größe\n"
    "TestForm.Table.Columns[0].Caption=Laufwerk\n"
    "TestForm.Table.Columns[1].Caption=\n"
    "TestForm.Edit.Caption=not an edit's text\n"
    "TestForm.Edit.Hint=Eingabe\n"
    "TestForm.Missing.Caption=no such component\n"
    "[OtherForm]\n"
    "OtherForm.Label.Caption=wrong section\n";

using TranslateFormTest = LanguageFolderTest;

TEST_F(TranslateFormTest, EveryKindOfComponentTakesItsTexts) {
    useTranslation(kTranslation);
    TestForm f;
    TranslateForm({&f.form, nullptr});

    const std::pair<QString, const char*> texts[] = {
        {f.form.windowTitle(), "Prüfung"},    {f.label->text(), "Beschriftung"},
        {f.label->toolTip(), "Tipp"},         {f.button->text(), "&Knopf"},
        {f.group->title(), "Gruppe"},         {f.radio->text(), "Radio"},
        {f.menu->title(), "Menü"},            {f.action->text(), "Aktion"},
        {f.action->toolTip(), "Aktionstipp"},
        {f.tabs->tabText(0), "Seite"},        {f.plainMemo->toPlainText(), "eins\n\nthree"},
        {f.richMemo->toPlainText(), "erste"}, {f.logMemo->toPlainText(), "found: a.jpg"},
        {f.combo->itemText(0), "A"},
        {f.combo->itemText(1), "b"},          {f.list->item(0)->text(), "x"},
        {f.list->item(1)->text(), "Y"},       {Header(f.tree, 0), "Name"},
        {Header(f.tree, 1), "Größe"},         {Header(f.table, 0), "Laufwerk"},
        {Header(f.table, 1), "Type"},         {f.edit->text(), "typed"},
        {f.edit->toolTip(), "Eingabe"},
    };
    for (const auto& [actual, expected] : texts) {
        EXPECT_EQ(actual, QString::fromUtf8(expected));
    }
}

// Lines added to a memo after its layout text, as a log adds them, are not the layout's;
// translating again (after a language change) replaces the layout's lines only.
TEST_F(TranslateFormTest, OnlyTheLayoutLinesOfAMemoAreTranslatedAlsoTheSecondTime) {
    useTranslation("[TestForm]\n"
                   "TestForm.PlainMemo.lines[0]=eins\n"
                   "TestForm.PlainMemo.lines[3]=later line\n"
                   "TestForm.PlainMemo.lines[4]=later line\n");
    TestForm f;
    f.plainMemo->appendPlainText(QStringLiteral("four"));
    f.plainMemo->appendPlainText(QStringLiteral("five"));
    TranslateForm({&f.form});
    TranslateForm({&f.form});
    EXPECT_EQ(f.plainMemo->toPlainText(), QStringLiteral("eins\ntwo\nthree\nfour\nfive"));
}

TEST_F(TranslateFormTest, NothingChangesWithoutTranslation) {
    TestForm f;
    TranslateForm({&f.form});
    EXPECT_EQ(f.form.windowTitle(), QStringLiteral("Test"));
    EXPECT_EQ(f.label->text(), QStringLiteral("label"));
    EXPECT_EQ(f.plainMemo->toPlainText(), QStringLiteral("one\ntwo\nthree"));
}

}  // namespace
