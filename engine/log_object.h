#pragma once
// The engine's wide log object. Every entry is kept in memory as one line of UTF-16
// text: local date and time, the level, the text. An entry can also be copied to a log
// file, posted to a window and sent to the debugging output; all entries can be dumped
// into "Recovery log file.txt" in the temporary folder and opened with the desktop's
// text viewer. One lock serialises every operation, so any thread may write entries.

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/records.h"
#include "platform/win_types.h"

// Entry levels and the words their lines carry.
inline constexpr int kLogObjectDebug = 1;     // "DBG: "
inline constexpr int kLogObjectError = 2;     // "ERR: "
inline constexpr int kLogObjectNote = 4;      // no word
inline constexpr int kLogObjectCritical = 8;  // "CRITICALERR: "

// Posted to the post window for each entry; wParam points at the line, which the object
// keeps owning until Close.
inline constexpr UINT WM_LOG_OBJECT_ENTRY = WM_APP + 0x69;

class CLogObject {
public:
    // Receives each entry's line, and then "\r\n", while debugging output is on.
    using DebugOutput = std::function<void(std::u16string_view text)>;

    CLogObject();
    ~CLogObject();
    CLogObject(const CLogObject&) = delete;
    CLogObject& operator=(const CLogObject&) = delete;

    std::size_t entryCount() const;
    std::vector<std::u16string> entries() const;
    FILETIME lastTime() const;

    // Closes the log file and empties the entries.
    void Close();

    void SetPostWindow(HWND window);
    // Copies each later entry to the file at `path`, created empty when `createNew`,
    // else appended to. The file is opened with the first entry; when it cannot be
    // opened, copying is switched off.
    void SetFileOutput(bool enabled, std::u16string_view path, bool createNew);
    // On at creation; the default output is standard error.
    void SetDebugOutput(bool enabled);
    void SetDebugSink(DebugOutput sink);

    void Add(int level, std::u16string_view text, std::u16string_view timeText);
    // Stamps the entry with the current time.
    void AddNow(std::u16string_view text, int level);
    void Note(std::u16string_view text) { AddNow(text, kLogObjectNote); }
    void Error(std::u16string_view text) { AddNow(text, kLogObjectError); }
    // The engine's log format dialect (platform/format.h).
    void Printf(const char* format, ...);

    // "<local short date> <local time>"; empty for no time.
    static std::u16string FormatLogTime(const FILETIME* time);

    // Writes every entry, each followed by "\r\n", as UTF-16 without a byte-order mark to
    // "Recovery log file.txt" in the temporary folder ($TMPDIR, else /tmp) and opens it.
    // 1 on success; 0, with an error entry, when the file cannot be created.
    int ShowLog();

    // Makes an error entry from a posted read-error report and frees it (LocalFree).
    // Only the report's 38 bytes are read; a report of code 3 carries its own text as
    // up to 9 UTF-16 units in bytes 20..37.
    void ReportIoError(IoErrorReport* report);

private:
    void addLocked(int level, std::u16string_view text, std::u16string_view timeText);
    void writeToFileLocked(const std::u16string& line);
    void addNowLocked(std::u16string_view text, int level);

    mutable std::mutex mutex_;
    std::deque<std::u16string> lines_;  // a deque keeps posted lines in place
    FILETIME lastTime_{};
    int fileHandle_ = -1;
    HWND postWindow_ = 0;
    bool fileOutput_ = false;
    bool debugOutput_ = true;
    bool createNew_ = false;
    std::u16string filePath_;
    DebugOutput debugSink_;
};
