#include "engine/log_object.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "platform/format.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/time.h"

namespace {

constexpr std::size_t kTextCapacity = 2048;
constexpr std::size_t kTimePartCapacity = 100;
constexpr std::size_t kFilePathCapacity = 1024;
constexpr std::size_t kReportTextUnits = 9;
constexpr const char* kDumpFileName = "Recovery log file.txt";

constexpr std::uint32_t kReportQuietFirst = 1, kReportQuietSecond = 2, kReportQuietThird = 4;
constexpr std::uint32_t kReportText = 3;
constexpr std::uint32_t kReportWrite = 29;

std::u16string_view levelWord(int level) {
    switch (level) {
        case kLogObjectDebug: return u"DBG: ";
        case kLogObjectError: return u"ERR: ";
        case kLogObjectCritical: return u"CRITICALERR: ";
        default: return u"";
    }
}

void writeToStandardError(std::u16string_view text) {
    const std::string narrow = platform::toUtf8(text);
    std::fwrite(narrow.data(), 1, narrow.size(), stderr);
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// UTF-16 little-endian, two bytes per unit.
bool writeUtf16(int fd, std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return writeAll(fd, bytes.data(), bytes.size());
}

std::string temporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    if (path.back() != '/') path.push_back('/');
    return path;
}

std::string systemMessage(std::uint32_t error) {
    char buffer[256];
    return ::strerror_r(static_cast<int>(error), buffer, sizeof buffer);
}

std::u16string reportText(const IoErrorReport& report) {
    std::string text;
    switch (report.Code) {
        case kReportText: {
            char16_t units[kReportTextUnits];
            std::memcpy(units, report.Reserved20, sizeof units);
            text = "Error: " +
                   platform::toUtf8({units, platform::boundedLength(units, kReportTextUnits)});
            break;
        }
        case kIoErrorSeek:
            text = "Drive seek error on position " +
                   std::to_string(static_cast<std::int64_t>(report.Position)) + "; ";
            break;
        case kReportWrite:
        case kIoErrorRead:
            text = std::string(report.Code == kIoErrorRead ? "Drive read" : "Drive write") +
                   " error at position " + std::to_string(static_cast<std::int64_t>(report.Position)) +
                   ", try retry " + std::to_string(static_cast<std::int32_t>(report.Attempt)) + "; ";
            break;
        default:
            break;
    }
    const bool quiet = report.Code == kReportQuietFirst || report.Code == kReportQuietSecond ||
                       report.Code == kReportQuietThird;
    if (!quiet && report.SystemError != 0)
        text += "Windows Error: " + systemMessage(report.SystemError);
    std::u16string wide = platform::toUtf16(text);
    if (wide.size() >= kTextCapacity) wide.resize(kTextCapacity - 1);
    return wide;
}

}  // namespace

CLogObject::CLogObject() : debugSink_(writeToStandardError) {}

CLogObject::~CLogObject() { Close(); }

std::size_t CLogObject::entryCount() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
}

std::vector<std::u16string> CLogObject::entries() const {
    std::lock_guard lock(mutex_);
    return {lines_.begin(), lines_.end()};
}

FILETIME CLogObject::lastTime() const {
    std::lock_guard lock(mutex_);
    return lastTime_;
}

void CLogObject::Close() {
    std::lock_guard lock(mutex_);
    if (fileHandle_ >= 0) ::close(fileHandle_);
    fileHandle_ = -1;
    lines_.clear();
}

void CLogObject::SetPostWindow(HWND window) {
    std::lock_guard lock(mutex_);
    postWindow_ = window;
}

void CLogObject::SetFileOutput(bool enabled, std::u16string_view path, bool createNew) {
    std::lock_guard lock(mutex_);
    fileOutput_ = enabled;
    filePath_ = path.substr(0, kFilePathCapacity - 1);
    createNew_ = createNew;
    if (fileHandle_ >= 0) ::close(fileHandle_);
    fileHandle_ = -1;
}

void CLogObject::SetDebugOutput(bool enabled) {
    std::lock_guard lock(mutex_);
    debugOutput_ = enabled;
}

void CLogObject::SetDebugSink(DebugOutput sink) {
    std::lock_guard lock(mutex_);
    debugSink_ = sink ? std::move(sink) : DebugOutput(writeToStandardError);
}

void CLogObject::Add(int level, std::u16string_view text, std::u16string_view timeText) {
    std::lock_guard lock(mutex_);
    addLocked(level, text, timeText);
}

void CLogObject::addLocked(int level, std::u16string_view text, std::u16string_view timeText) {
    std::u16string line(timeText);
    line += u" - ";
    line += levelWord(level);
    line += text;
    const std::u16string& kept = lines_.emplace_back(std::move(line));
    if (fileOutput_) writeToFileLocked(kept);
    if (postWindow_ != 0)
        PostMessageW(postWindow_, WM_LOG_OBJECT_ENTRY, reinterpret_cast<WPARAM>(kept.c_str()), 0);
    if (debugOutput_ && debugSink_) {
        debugSink_(kept);
        debugSink_(u"\r\n");
    }
}

void CLogObject::writeToFileLocked(const std::u16string& line) {
    if (fileHandle_ < 0) {
        const std::string path = platform::toUtf8(filePath_);
        const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (createNew_ ? O_TRUNC : 0);
        fileHandle_ = path.empty() ? -1 : ::open(path.c_str(), flags, 0644);
        if (fileHandle_ < 0) {
            fileOutput_ = false;
            return;
        }
    }
    if (::lseek(fileHandle_, 0, SEEK_END) >= 0) writeUtf16(fileHandle_, line);
}

void CLogObject::AddNow(std::u16string_view text, int level) {
    std::lock_guard lock(mutex_);
    addNowLocked(text, level);
}

void CLogObject::addNowLocked(std::u16string_view text, int level) {
    try {
        GetSystemTimeAsFileTime(&lastTime_);
        addLocked(level, text, FormatLogTime(&lastTime_));
    } catch (...) {
        // An entry that cannot be made is dropped; logging never fails its caller.
    }
}

void CLogObject::Printf(const char* format, ...) {
    char text[kTextCapacity];
    va_list arguments;
    va_start(arguments, format);
    platform::formatv(text, sizeof text, format, arguments);
    va_end(arguments);
    Note(platform::toUtf16(text));
}

std::u16string CLogObject::FormatLogTime(const FILETIME* time) {
    if (!time) return {};
    const auto unixTime = platform::fileTimeToUnix(platform::toUint64(*time));
    if (!unixTime) return {};
    std::tm local{};
    if (!::localtime_r(&unixTime->tv_sec, &local)) return {};
    char date[kTimePartCapacity], clock[kTimePartCapacity];
    if (std::strftime(date, sizeof date, "%x", &local) == 0) date[0] = '\0';
    if (std::strftime(clock, sizeof clock, "%X", &local) == 0) clock[0] = '\0';
    return platform::toUtf16(std::string(date) + " " + clock);
}

int CLogObject::ShowLog() {
    const std::string path = temporaryFolder() + kDumpFileName;
    std::unique_lock lock(mutex_);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        addNowLocked(u"Could not create temporary file", kLogObjectError);
        return 0;
    }
    for (const std::u16string& line : lines_) {
        writeUtf16(fd, line);
        writeUtf16(fd, u"\r\n");
    }
    ::close(fd);
    lock.unlock();
    platform::shellOpen(path);  // whether a viewer came up is not examined
    return 1;
}

void CLogObject::ReportIoError(IoErrorReport* report) {
    if (!report) return;
    IoErrorReport copy;
    std::memcpy(&copy, report, sizeof copy);
    const std::u16string text = reportText(copy);
    if (text.size() > 3) Error(text);
    LocalFree(report);
}

UNDELETE_API CLogObject* GetLogObject() { return engine::state().logObject.get(); }
