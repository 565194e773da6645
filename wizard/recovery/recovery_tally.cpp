#include "wizard/recovery/recovery_tally.h"

#include <QStringList>

#include <algorithm>

#include "wizard/recovery/recovery_texts.h"

void RecoveryTally::Reasons::Add(const QString& reason, int files) {
    total += files;
    const auto known =
        std::find_if(counts.begin(), counts.end(), [&reason](const auto& counted) { return counted.first == reason; });
    if (known == counts.end()) {
        counts.emplace_back(reason, files);
    } else {
        known->second += files;
    }
}

QString RecoveryTally::Reasons::Text() const {
    QStringList reasons;
    for (const auto& [reason, count] : counts) {
        reasons << (counts.size() == 1 ? reason : reason + QStringLiteral(": ") + QString::number(count));
    }
    return reasons.join(QStringLiteral(", "));
}

void RecoveryTally::CountWritten(std::uint64_t unreadableSectors, bool cutAtEnd) {
    ++written_;
    if (unreadableSectors > 0) ++zeroFilled_;
    if (cutAtEnd) ++cutAtEnd_;
}

void RecoveryTally::CountNotWritten(const QString& reason, int files) { notWritten_.Add(reason, files); }

void RecoveryTally::CountSkipped(const QString& reason) { skipped_.Add(reason, 1); }

QString RecoveryTally::Summary(int selected) const {
    QStringList parts{RecoveryLine(kRecoverySummary, written_, selected)};
    if (zeroFilled_ > 0) parts << RecoveryLine(kRecoverySummaryUnreadable, zeroFilled_);
    if (cutAtEnd_ > 0) parts << RecoveryLine(kRecoverySummaryCutAtEnd, cutAtEnd_);
    if (notWritten_.total > 0) {
        parts << RecoveryLine(kRecoverySummaryNotWritten, notWritten_.total, notWritten_.Text());
    }
    if (skipped_.total > 0) parts << RecoveryLine(kRecoverySummarySkipped, skipped_.total, skipped_.Text());
    return parts.join(u' ');
}
