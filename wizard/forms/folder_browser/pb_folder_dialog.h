#pragma once
// The folder browser: a component that shows a folder tree in a modal window of ours,
// with a title, a status line with the selected path, and a "New folder" button at the
// lower left. Its texts are picked by the system's language from lists of "key=text"
// entries (folder_dialog_captions.h). Callers set Folder, call Execute and read Folder
// back when it returns true.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QLabel;
class QPushButton;
class QModelIndex;
class FolderTreeModel;

// Browse options, valued as the shell's browse flags they stand for. Only ShowPath and
// OnlyFileSystem change what this browser does; the others are kept as given.
enum class BrowseInfoFlag : unsigned {
    OnlyFileSystem = 0x1,
    OnlyDomains = 0x2,
    ShowPath = 0x4,
    OnlyAncestors = 0x8,
    OnlyComputers = 0x1000,
    OnlyPrinters = 0x2000,
};
Q_DECLARE_FLAGS(TBrowseInfoFlags, BrowseInfoFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TBrowseInfoFlags)

// Roots of the tree, valued as the shell's special-folder numbers (foDesktopExpanded has
// none). foMyComputer and foDesktopExpanded show the Computer item; the others their
// folder, or the Computer item where this system has no such folder.
enum class TSHFolders : int {
    foDesktopExpanded = -1,
    foDesktop = 0,
    foPrograms = 2,
    foControlPanel = 3,
    foPrinters = 4,
    foPersonal = 5,
    foFavorites = 6,
    foStartup = 7,
    foRecent = 8,
    foSendto = 9,
    foRecycleBin = 10,
    foStartMenu = 11,
    foDesktopFolder = 16,
    foMyComputer = 17,
    foNetwork = 18,
    foNetworkNeighborhood = 19,
    foFonts = 20,
    foTemplates = 21,
};

// The folder of a root; empty for the Computer item.
QString RootFolderPath(TSHFolders root);

class TPBFolderDialog : public QObject {
    Q_OBJECT

public:
    static inline const QString kVersion = QStringLiteral("3.00.00.00");

    // The owner's window, when it is a widget, owns the browser window.
    explicit TPBFolderDialog(QObject* owner = nullptr);
    ~TPBFolderDialog() override;

    QString Folder() const { return folder_; }
    void SetFolder(const QString& folder) { folder_ = folder; }
    TBrowseInfoFlags Flags() const { return flags_; }
    // Takes effect at the next Execute.
    void SetFlags(TBrowseInfoFlags flags) { flags_ = flags; }
    TSHFolders RootFolder() const { return rootFolder_; }
    void SetRootFolder(TSHFolders root) { rootFolder_ = root; }
    bool NewFolderVisible() const { return newFolderVisible_; }
    void SetNewFolderVisible(bool visible);
    bool NewFolderEnabled() const { return newFolderEnabled_; }
    void SetNewFolderEnabled(bool enabled);
    const QStringList& LabelCaptions() const { return labelCaptions_; }
    void SetLabelCaptions(const QStringList& captions);
    const QStringList& NewFolderCaptions() const { return newFolderCaptions_; }
    void SetNewFolderCaptions(const QStringList& captions);
    QString Version() const { return kVersion; }
    void SetVersion(const QString&) {}

    // The system's language id taken at creation, and the texts picked for it.
    const QString& LanguageKey() const { return languageKey_; }
    const QString& TitleText() const { return titleText_; }
    const QString& NewFolderCaption() const { return newFolderCaption_; }

    // Shows the browser modally; true when the user chose an item, Folder then holding
    // its path (empty for the Computer item). On cancel Folder holds the path the browser
    // was last opened with.
    bool Execute();

signals:
    void Initialized(QDialog* dialog);
    void SelectionChanged(QDialog* dialog, const QString& folder);

private:
    void PickCaptions();
    void OpenWindow(bool& chosen);
    void Initialize(QDialog* window, FolderTreeModel* model, class QTreeView* tree);
    void SelectionChangedIn(QDialog* window, FolderTreeModel* model, const QModelIndex& index);
    void NewFolderClick(QDialog* window);
    void UpdateNewFolderButton();

    QString folder_;
    TBrowseInfoFlags flags_ = BrowseInfoFlag::ShowPath;
    TSHFolders rootFolder_ = TSHFolders::foDesktopExpanded;
    bool newFolderVisible_ = true;
    bool newFolderEnabled_ = true;
    QStringList labelCaptions_;
    QStringList newFolderCaptions_;
    QString languageKey_;
    QString titleText_;
    QString newFolderCaption_;

    // While a browser window is open.
    QPointer<QPushButton> newFolderButton_;
    QPointer<QPushButton> okButton_;
    QPointer<QLabel> statusLabel_;
    QString currentPath_;
    bool selectionValid_ = false;
    bool reopenRequested_ = false;
    std::optional<QString> lastSelected_;
};
