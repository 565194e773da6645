#pragma once
// What the main-window benchmarks share: the real TMainForm on the scripted engine with
// one volume, in a registry folder of their own; the walk to a page by Next; sector hits
// of the searched formats; the resident memory; a clock that records paints.

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/wizard/support/scripted_engine.h"
#include "wizard/app/program_units.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/settings/settings_values.h"

namespace mainbench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Resident bytes of the process.
inline std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// The signature ids of the formats the sector scan keeps (Search set), from the
// format list the units loaded.
inline std::vector<std::uint16_t> SearchedTypeCodes() {
    std::vector<std::uint16_t> codes;
    const TFormatsList& formats = DataStorage->Formats();
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const TFormat& format = formats[i];
        if (format.Search && format.SignatureId > 0 && format.SignatureId <= 0xFFFF) {
            codes.push_back(static_cast<std::uint16_t>(format.SignatureId));
        }
    }
    return codes;
}

// Nameless sector hits, one per 512-byte unit, of the given formats in turn; every
// third of unknown size (the scan fills those in), the others of a size from a generator.
inline std::vector<FoundFileRecord> SectorHits(std::size_t count, const std::vector<std::uint16_t>& types) {
    std::vector<FoundFileRecord> hits(count);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        FoundFileRecord& hit = hits[i];
        hit.Flags = kFileDeleted | kFileFoundBySignature;
        hit.TypeCode = types[(state >> 8) % types.size()];
        hit.Size = i % 3 == 0 ? kUnknownSize : state % 20'000'000;
        hit.DataPosition = std::uint64_t{i} * 512;
    }
    return hits;
}

// The scripted engine with one FAT32 volume C, the program's units on a registry of
// the run's own, and the main window, shown. Not a first start.
class ScriptedMainForm {
public:
    explicit ScriptedMainForm(EngineScript script)
        : folder_(std::filesystem::temp_directory_path() / ("main-form-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        ::setenv("UNDELETE_REGISTRY", (folder_ / "registry").c_str(), 1);
        // Named disks need no administrator: no question at start-up.
        ::setenv("UNDELETE_DISKS", (folder_ / "scripted").c_str(), 1);
        _LDRIVE volume = scriptedDrive(2, 'C', 2);
        std::memcpy(volume.FileSystemName, "FAT32", 5);
        volume.SerialNumber = 1;
        volume.SpaceTotal = std::uint64_t{1} << 40;
        script.drives = {volume};
        engine_ = std::make_unique<ScriptedEngine>(std::move(script));
        units_ = std::make_unique<RunningUnits>(programUnits());
        Settings().GlobalFirstStart = false;
        Settings().ConfirmationsScanAbort = false;
        form_ = std::make_unique<TMainForm>();
        form_->resize(1000, 720);
        form_->show();
        QCoreApplication::processEvents();
    }
    ~ScriptedMainForm() {
        form_.reset();
        units_.reset();
        engine_.reset();
        std::filesystem::remove_all(folder_);
    }

    TMainForm& Form() const { return *form_; }

    void ClickNext() const {
        form_->findChild<QPushButton*>(QStringLiteral("BottomButtonNext"))->click();
    }

    // From the active page to `page` by Next, drive C chosen on the way; false when a
    // Next stays on its page.
    bool WalkTo(int page) const {
        while (form_->ActivePage() < page) {
            if (form_->ActivePage() == TMainForm::kDriveSelectPage && !form_->SelectedDrive) {
                auto* drives = form_->findChild<QTreeWidget*>(QStringLiteral("DriveSelectListViewDrives"));
                drives->setCurrentItem(drives->topLevelItem(0));
            }
            const int before = form_->ActivePage();
            ClickNext();
            if (form_->ActivePage() != before + 1) {
                std::fprintf(stderr, "Next did not leave page %d\n", before);
                return false;
            }
        }
        return true;
    }

private:
    std::filesystem::path folder_;
    std::unique_ptr<ScriptedEngine> engine_;
    std::unique_ptr<RunningUnits> units_;
    std::unique_ptr<TMainForm> form_;
};

// Records the paints of the widgets it watches while active; a timer asks them to
// repaint every 20 ms, so a long gap means the GUI thread was kept from painting.
class PaintClock : public QObject {
public:
    explicit PaintClock(std::vector<QWidget*> widgets) : widgets_(std::move(widgets)) {
        for (QWidget* widget : widgets_) widget->installEventFilter(this);
        QObject::connect(&ask_, &QTimer::timeout, [this] {
            for (QWidget* widget : widgets_) widget->update();
        });
    }
    void Start() {
        paints_.clear();
        ask_.start(20);
    }
    void Stop() { ask_.stop(); }

    // The times between paints (of any watched widget), in milliseconds, sorted.
    std::vector<double> Gaps() const {
        std::vector<double> gaps;
        for (std::size_t i = 1; i < paints_.size(); ++i) {
            gaps.push_back(std::chrono::duration<double, std::milli>(paints_[i] - paints_[i - 1]).count());
        }
        std::sort(gaps.begin(), gaps.end());
        return gaps;
    }
    std::size_t Paints() const { return paints_.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ask_.isActive()) paints_.push_back(Clock::now());
        return QObject::eventFilter(watched, event);
    }

private:
    std::vector<QWidget*> widgets_;
    std::vector<Clock::time_point> paints_;
    QTimer ask_;
};

}  // namespace mainbench
