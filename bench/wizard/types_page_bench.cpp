// The Types page and Preferences, printed as figures:
//  1. rebuilding the type tree from the 43 built-in formats;
//     (every figure includes the repaint that follows; the best of five runs)
//  2. 10,000 formats in 20 categories: rebuild, Check All, Inverse, Uncheck All and the
//     write-back of a click;
//  3. opening Preferences (created, shown and painted) over a folder of 1,000 ".lng" files.
// Usage: types_page_bench (headless; uses temporary folders of its own).

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/settings/settings_store.h"
#include "wizard/translation/language_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr int kFormats = 10'000;
constexpr int kCategories = 20;
constexpr int kLanguageFiles = 1'000;

// Shows the widget and handles events until it is on screen.
void ShowExposed(QWidget& widget) {
    widget.show();
    while (widget.windowHandle() == nullptr || !widget.windowHandle()->isExposed()) {
        QApplication::processEvents();
    }
    QApplication::processEvents();
}

// The best of kRounds runs, in milliseconds, each after an untimed `prepare`.
double BestMilliseconds(const std::function<void()>& run,
                        const std::function<void()>& prepare = [] {}) {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        prepare();
        QApplication::processEvents();
        const auto start = Clock::now();
        run();
        QApplication::processEvents();  // the tree's layout and repaint
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

void BuiltinRebuild(QWidget& page) {
    DataStorage = std::make_unique<TDataStorage>();
    DataStorage->AddDefaultFormats(true);
    TTypesPanel panel(&page);
    panel.show();
    const auto start = Clock::now();
    panel.LoadFileFormats();
    const double first = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("built-in list (43 formats): first rebuild (icons looked up) %.2f ms, then %.2f ms\n",
                first, BestMilliseconds([&] { panel.LoadFileFormats(); }));
}

void LargeList(QWidget& page) {
    const auto start = Clock::now();
    DataStorage = std::make_unique<TDataStorage>();
    static const char* const extensions[] = {"jpg", "png", "txt", "doc", "mp3", "avi", "xyz", "raf"};
    for (int i = 0; i < kFormats; ++i) {
        TFormat format;
        format.Title = "Format " + std::to_string(i);
        format.Category = "Category " + std::to_string(i % kCategories);
        format.DefaultExtension = extensions[i % 8];
        format.Search = i % 3 == 0;
        DataStorage->AppendFormat(format);
    }
    std::printf("(%d formats appended in %.1f s)\n", kFormats,
                std::chrono::duration<double>(Clock::now() - start).count());

    TTypesPanel panel(&page);
    panel.show();
    std::printf("%d formats in %d categories: rebuild %.1f ms", kFormats, kCategories,
                BestMilliseconds([&] { panel.LoadFileFormats(); }));
    // Each from the mixed states of the list, so that every run changes nodes.
    const auto mixed = [&] { panel.LoadFileFormats(); };
    std::printf(", Check All %.1f ms",
                BestMilliseconds([&] { panel.TypesMiCheckAllClick(); }, mixed));
    std::printf(", Inverse %.1f ms",
                BestMilliseconds([&] { panel.TypesMiInverseCheckClick(); }, mixed));
    std::printf(", Uncheck All %.1f ms",
                BestMilliseconds([&] { panel.TypesMiUncheckAllClick(); }, mixed));
    std::printf(", click write-back %.1f ms\n", BestMilliseconds([&] { panel.TypesTreeViewClick(); }));
}

void PreferencesOpening() {
    QTemporaryDir folder;
    for (int i = 0; i < kLanguageFiles; ++i) {
        QFile file(folder.filePath(QStringLiteral("Language%1.lng").arg(i, 4, 10, QChar(u'0'))));
        file.open(QIODevice::WriteOnly);
        file.write("[Misc]\nstrYes=Yes\n");
    }
    SetLanguageFolder(folder.path());
    const double opening = BestMilliseconds([] {
        TAdvancedParamsForm form;
        form.setActivePage(3);
        ShowExposed(form);
    });
    std::printf("Preferences with %d .lng files: opened and painted in %.1f ms\n", kLanguageFiles,
                opening);
    SetLanguageFolder(QString());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QTemporaryDir registry;
    qputenv("UNDELETE_REGISTRY", QFile::encodeName(registry.path()));
    QApplication application(argc, argv);
    LoadSettings();

    QWidget page;
    page.resize(600, 500);
    ShowExposed(page);
    BuiltinRebuild(page);
    LargeList(page);
    PreferencesOpening();
    DataStorage.reset();
    return 0;
}
