#pragma once
// One recovery run over the selected files of a preview list: the destination dialog,
// the progress window, and for each file its size, its folder and name in the target,
// the engine's copy with a responsive window, and a check of what was written. The run
// ends with a line of what became of its files; when some could not be written, a
// message says so too (under the auto-pilot the window stays open with that line).
//
// The main window owns one RecoveryFlow and lends it what the run needs through
// RecoveryHost. GUI thread only.

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/records.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/recovery/recovery_placement.h"
#include "wizard/recovery/recovery_tally.h"

class QWidget;
class TBaseElement;

// The program-wide "don't ask for probable sizes again" of this program run; never stored.
extern bool DontAskProbableSize;

class RecoveryHost {
public:
    // The selected elements of the file-system list (true) or the sector list, in row
    // order.
    virtual std::vector<TBaseElement*> SelectedElements(bool fileSystemList) = 0;
    // A file of that list written; each file counts once, however often it is written.
    virtual void CountRecovered(bool fileSystemList, const TBaseElement& element) = 0;
    // The answer of the file-exists dialog that the window keeps from run to run.
    virtual int& FileExistsAnswer() = 0;
    // The settings record whose WorkFlag the engine's copy reads.
    virtual EngineSettings& EngineRecord() = 0;
    // How many failed reads the engine has reported while no scan ran, reports still
    // queued counted first: a copy that ends short after new ones lost the unreadable
    // sectors at its end.
    virtual std::uint64_t ReadErrorsReported() = 0;
    // Whether writing at a place of that status would write onto the drive being
    // recovered (see source_check.h).
    virtual bool OnSourceDrive(const struct stat& target) = 0;
    // The owner of the run's dialogs and its progress window; it outlives the flow, which
    // deletes the progress window itself.
    virtual QWidget* DialogOwner() = 0;

protected:
    ~RecoveryHost() = default;
};

class RecoveryFlow {
public:
    enum class FileOutcome {
        Recovered,     // written whole, unreadable sectors as zeros or cut off at the end
        NotRecovered,  // skipped, failed or cut; the run goes on
        EndRun,        // the user ended the run, or the target cannot be used (then no
                       // file left in the run can be written)
    };

    explicit RecoveryFlow(RecoveryHost& host, int renameLimit = kRenameLimit);
    ~RecoveryFlow();
    RecoveryFlow(const RecoveryFlow&) = delete;
    RecoveryFlow& operator=(const RecoveryFlow&) = delete;

    // One run over the list's selected files; false when the destination dialog was
    // cancelled or a file ended the run, and, doing nothing, while another long action
    // pumps events (a run pumps events itself while it waits).
    bool DoRealRecovery(bool fileSystemList);
    FileOutcome DoRecoverFile(TBaseElement& element, TRecoveringFilesForm& progress);

    // The progress window of the last run, kept until the next one.
    TRecoveringFilesForm* ProgressWindow() const { return progress_.get(); }

private:
    bool AskDestination(bool fileSystemList);
    std::optional<FileOutcome> SettleSize(TBaseElement& element, TRecoveringFilesForm& progress);
    std::optional<FileOutcome> AskProbableSize(TBaseElement& element, TRecoveringFilesForm& progress);
    std::shared_ptr<const RecoveryFolder> OpenTarget(TBaseElement& element, TRecoveringFilesForm& progress,
                                                     FileOutcome& failure);
    std::optional<PlacedFile> Place(const std::shared_ptr<const RecoveryFolder>& folder, const std::string& name,
                                    TRecoveringFilesForm& progress, FileOutcome& failure);
    enum class EarlierFileChoice { Overwrite, Rename, SaveAs, EndRun };
    // By the remembered answer, asking when it says so.
    EarlierFileChoice AskAboutEarlierFile(const QString& path);
    std::optional<PlacedFile> PlaceNumbered(const std::shared_ptr<const RecoveryFolder>& folder,
                                            const std::string& name, TRecoveringFilesForm& progress);
    std::optional<PlacedFile> PlaceChosen(const std::shared_ptr<const RecoveryFolder>& folder,
                                          const std::string& name, TRecoveringFilesForm& progress);
    FileOutcome Write(TBaseElement& element, const PlacedFile& file, TRecoveringFilesForm& progress);
    // The file `path` could not be created, for the reason errno gives.
    void NotCreated(const QString& path, TRecoveringFilesForm& progress);
    // Logs `line` and counts the file as not written for `reason`.
    void NotWritten(TRecoveringFilesForm& progress, const QString& line, const QString& reason);

    RecoveryHost& host_;
    int renameLimit_;
    std::unique_ptr<TRecoveringFilesForm> progress_;
    std::unique_ptr<RecoveryPlacement> placement_;
    RecoveryTally tally_;
    // The files of the run from the one in hand on.
    int filesLeft_ = 1;
};
