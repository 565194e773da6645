#pragma once
// What one recovery run made of its files, for the line that ends it: the files written
// (those with unreadable sectors among them) and the files that could not be written,
// with why.

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class RecoveryTally {
public:
    // A file whose bytes were all written, `unreadableSectors` of them as zeros.
    void CountWritten(std::uint64_t unreadableSectors);
    // A file that was not written whole, for `reason` (a short text).
    void CountNotWritten(const QString& reason);

    int NotWritten() const { return notWritten_; }
    // How many of `selected` files were recovered, how many with unreadable sectors,
    // and how many could not be written and why (each reason with its count when there
    // are several).
    QString Summary(int selected) const;

private:
    int written_ = 0;
    int withUnreadable_ = 0;
    int notWritten_ = 0;
    std::vector<std::pair<QString, int>> reasons_;  // in the order they first came
};
