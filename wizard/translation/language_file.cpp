#include "wizard/translation/language_file.h"

#include <QFile>
#include <QStringView>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

void ParseLine(QStringView line, QHash<QString, QHash<QString, QString>>& sections,
               QHash<QString, QString>*& section) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.contains(QChar(0))) {
        return;
    }
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        if (close > 0) {
            section = &sections[line.sliced(1, close - 1).trimmed().toString().toCaseFolded()];
            return;
        }
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || section == nullptr) {
        return;
    }
    const QString key = line.first(equals).trimmed().toString().toCaseFolded();
    if (!key.isEmpty() && !section->contains(key)) {
        section->insert(key, line.sliced(equals + 1).trimmed().toString());
    }
}

}  // namespace

LanguageFile LanguageFile::parse(const QString& text) {
    LanguageFile file;
    QHash<QString, QString>* section = nullptr;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !IsLineBreak(text[end])) {
            ++end;
        }
        ParseLine(QStringView(text).sliced(start, end - start), file.sections_, section);
        start = end + 1;
    }
    return file;
}

std::optional<QString> LanguageFile::value(const QString& section, const QString& key) const {
    const auto foundSection = sections_.constFind(section.toCaseFolded());
    if (foundSection == sections_.constEnd()) {
        return std::nullopt;
    }
    const auto found = foundSection->constFind(key.toCaseFolded());
    if (found == foundSection->constEnd()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<QByteArray> ReadLanguageFileBytes(const QString& path) {
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::optional<QByteArray> bytes;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_size <= kMaxLanguageFileSize) {
        // One byte more than the size: a file that grew since fstat is refused.
        QByteArray buffer(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
        qsizetype filled = 0;
        while (filled < buffer.size()) {
            const ssize_t count = ::read(descriptor, buffer.data() + filled,
                                         static_cast<size_t>(buffer.size() - filled));
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                if (count == 0) {
                    buffer.truncate(filled);
                    bytes = std::move(buffer);
                }
                break;
            }
            filled += count;
        }
    }
    ::close(descriptor);
    return bytes;
}
