#include "wizard/model/found_files/condition_text.h"

#include "wizard/model/found_files/base_element.h"
#include "wizard/translation/translation.h"

namespace {

// By ConditionIndex.
const char* const kConditionIds[] = {"strDeleted", "strLiveContainDeleted", "strLive"};

}  // namespace

int ConditionIndex(const TBaseElement& element) {
    if (element.IsDeleted()) return 0;
    if (element.ContainsDeleted()) return 1;
    return 2;
}

QString ConditionText(const TBaseElement& element) {
    return TranslateString(QString::fromLatin1(element.Condition()),
                           QString::fromLatin1(kConditionIds[ConditionIndex(element)]));
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
