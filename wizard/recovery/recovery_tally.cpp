#include "wizard/recovery/recovery_tally.h"

#include <QStringList>

#include <algorithm>

#include "wizard/recovery/recovery_texts.h"

void RecoveryTally::CountWritten(std::uint64_t unreadableSectors) {
    ++written_;
    if (unreadableSectors > 0) ++withUnreadable_;
}

void RecoveryTally::CountNotWritten(const QString& reason) {
    ++notWritten_;
    const auto known = std::find_if(reasons_.begin(), reasons_.end(),
                                    [&reason](const auto& counted) { return counted.first == reason; });
    if (known == reasons_.end()) {
        reasons_.emplace_back(reason, 1);
    } else {
        ++known->second;
    }
}

QString RecoveryTally::Summary(int selected) const {
    QStringList parts{RecoveryLine(kRecoverySummary, written_, selected)};
    if (withUnreadable_ > 0) parts << RecoveryLine(kRecoverySummaryUnreadable, withUnreadable_);
    if (notWritten_ > 0) {
        QStringList reasons;
        for (const auto& [reason, count] : reasons_) {
            reasons << (reasons_.size() == 1 ? reason : reason + QStringLiteral(": ") + QString::number(count));
        }
        parts << RecoveryLine(kRecoverySummaryNotWritten, notWritten_, reasons.join(QStringLiteral(", ")));
    }
    return parts.join(u' ');
}
