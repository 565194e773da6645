#include "wizard/model/condition_text.h"

#include "wizard/model/base_element.h"
#include "wizard/translation/translation.h"

namespace {

QString ConditionId(const TBaseElement& element) {
    if (element.IsDeleted()) return QStringLiteral("strDeleted");
    if (element.ContainsDeleted()) return QStringLiteral("strLiveContainDeleted");
    return QStringLiteral("strLive");
}

}  // namespace

QString ConditionText(const TBaseElement& element) {
    return TranslateString(QString::fromLatin1(element.Condition()), ConditionId(element));
}

QStringList ConditionTexts() {
    QStringList texts;
    for (const std::uint16_t flags : {kFileDeleted, kFileHoldsDeleted, std::uint16_t{0}}) {
        FoundFileRecord record{};
        record.Flags = flags;
        texts << ConditionText(TBaseElement(record, 0));
    }
    return texts;
}
