#pragma once
// What one recovery run made of its files, for the line that ends it: the files written
// (those with unreadable sectors among them: zero-filled ones, and ones cut short by
// unreadable sectors at their end), the files that could not be written, with why, and
// the files the user skipped, with where.

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class RecoveryTally {
public:
    // A file whose bytes were all written, `unreadableSectors` of them as zeros; one
    // `cutAtEnd` lacks the unreadable sectors at its end and holds all bytes before them.
    void CountWritten(std::uint64_t unreadableSectors, bool cutAtEnd = false);
    // `files` files that were not written whole, for `reason` (a short text).
    void CountNotWritten(const QString& reason, int files = 1);
    // A file the user chose not to recover, at the question `reason` names.
    void CountSkipped(const QString& reason);

    int NotWritten() const { return notWritten_.total; }
    // How many of `selected` files were recovered, how many with unreadable sectors,
    // how many could not be written and why, and how many were skipped and where (each
    // reason with its count when there are several).
    QString Summary(int selected) const;

private:
    struct Reasons {
        int total = 0;
        std::vector<std::pair<QString, int>> counts;  // in the order they first came

        void Add(const QString& reason, int files);
        QString Text() const;
    };

    int written_ = 0;
    int zeroFilled_ = 0;
    int cutAtEnd_ = 0;
    Reasons notWritten_;
    Reasons skipped_;
};
