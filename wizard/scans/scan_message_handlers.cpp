#include "wizard/scans/scan_message_handlers.h"

#include <QLabel>
#include <QTimer>

#include <cstring>
#include <exception>
#include <functional>
#include <limits>

#include "engine/messages.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/io_error_line.h"
#include "wizard/utilities/text/text_helpers.h"

namespace {

// An exception must not travel through Qt's event dispatch: it is noted and dropped.
MessageWindow::Handler Guarded(std::function<LRESULT(WPARAM, LPARAM)> handler) {
    return [handler = std::move(handler)](WPARAM wParam, LPARAM lParam) -> LRESULT {
        try {
            return handler(wParam, lParam);
        } catch (const std::exception& failure) {
            qWarning("scan message handler failed: %s", failure.what());
        } catch (...) {
            qWarning("scan message handler failed");
        }
        return 0;
    };
}

}  // namespace

ScanMessageHandlers::ScanMessageHandlers(ScanContext& context, DriveSectorsScan& sectorScan,
                                         TScanFileSystemPage& fileSystemPage,
                                         TScanDriveSectorsPage& sectorsPage)
    : context_(context),
      sectorScan_(sectorScan),
      fileSystemPage_(fileSystemPage),
      sectorsPage_(sectorsPage) {}

void ScanMessageHandlers::Install() {
    MessageWindow& window = context_.window;
    window.setHandler(WM_ENGINE_FILE_FOUND, PayloadKind::SameBlockInBoth,
                      Guarded([this](WPARAM, LPARAM hit) { return WMFileFound(hit); }));
    window.setHandler(WM_ENGINE_SEARCH_PROGRESS, PayloadKind::None,
                      Guarded([this](WPARAM, LPARAM) { return WMSearchProgress(); }));
    window.setHandler(WM_ENGINE_IO_ERROR, PayloadKind::LParam,
                      Guarded([this](WPARAM, LPARAM report) { return WMIoErrorReport(report); }));
    window.setHandler(kWmSearchLogText, PayloadKind::WParam,
                      Guarded([this](WPARAM text, LPARAM) { return WMSearchLogText(text); }));
    window.setHandler(kWmShowAbout, PayloadKind::None,
                      Guarded([this](WPARAM, LPARAM) { return WMShowAbout(); }));
}

bool ScanMessageHandlers::StopIfRequested() {
    if (!context_.host.DriveSectorsHalf().StopRequested) return false;
    sectorScan_.StopSearch();
    return true;
}

LRESULT ScanMessageHandlers::WMFileFound(LPARAM hit) {
    if (StopIfRequested() || hit == 0) return 0;
    // A packed record: any address will do.
    sectorScan_.FileFound(*reinterpret_cast<const FoundFileRecord*>(hit));
    return 0;
}

LRESULT ScanMessageHandlers::WMSearchProgress() {
    StopIfRequested();
    sectorScan_.SearchProgress();
    return 0;
}

LRESULT ScanMessageHandlers::WMIoErrorReport(LPARAM block) {
    StopIfRequested();
    if (block == 0) return 0;
    IoErrorReport report;
    std::memcpy(&report, reinterpret_cast<const void*>(block), sizeof report);
    TWorkHalfState& fileSystem = context_.host.FileSystemHalf();
    TWorkHalfState& sectors = context_.host.DriveSectorsHalf();
    if (fileSystem.ScanRunning) {
        CountReadError(fileSystem, fileSystemPage_, report);
    } else if (sectors.ScanRunning) {
        CountReadError(sectors, sectorsPage_, report);
    } else {
        ++readErrorsOutsideScans_;
    }
    return 0;
}

void ScanMessageHandlers::CountReadError(TWorkHalfState& half, TScanPageBase& page,
                                         const IoErrorReport& report) {
    if (half.ReadErrors < std::numeric_limits<std::int32_t>::max()) ++half.ReadErrors;
    page.LabelReadErrors->setText(QString::number(half.ReadErrors));
    page.Log().Add(IoErrorLine(report));
}

LRESULT ScanMessageHandlers::WMSearchLogText(WPARAM text) {
    sectorsPage_.Log().Add(text == 0 ? QStringLiteral("<EMPTY>")
                                     : WideToNarrow(reinterpret_cast<const char16_t*>(text)));
    return 0;
}

LRESULT ScanMessageHandlers::WMShowAbout() {
    // After this message: the About box runs a modal loop of its own.
    QTimer::singleShot(0, &context_.window, [&host = context_.host] { host.ShowAbout(); });
    return 0;
}
