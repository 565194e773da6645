#pragma once
// A parsed translation file: INI text with sections of key=value lines.
//
// Reading rules: lines end at CR or LF; each line is trimmed; empty lines, lines starting
// with ';', lines holding a NUL character and lines without '=' are skipped, as are keys
// before the first section and keys with an empty name. "[name]" starts a section (a '['
// without its ']' starts nothing). Key and value are trimmed around the first '='.
// Section and key names match without regard to case; the first occurrence of a key in a
// section wins. A missing key (nullopt) differs from one with an empty value.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

class LanguageFile {
public:
    static LanguageFile parse(const QString& text);

    std::optional<QString> value(const QString& section, const QString& key) const;

private:
    QHash<QString, QHash<QString, QString>> sections_;  // by case-folded names
};

// Translation files are small; anything larger is refused unread.
inline constexpr qint64 kMaxLanguageFileSize = 4 * 1024 * 1024;

// The bytes of `path` when it is a regular file of at most kMaxLanguageFileSize bytes;
// nullopt otherwise. Never blocks on a FIFO or device and never follows it.
std::optional<QByteArray> ReadLanguageFileBytes(const QString& path);
