#pragma once
// The categories of the format list, as the type tree groups them: compared without
// regard to case in English text order (whatever the language), each shown in the
// spelling of its first format in list order. Removed formats count too, so their
// category keeps its node.

#include <QCollator>
#include <QHash>
#include <QString>
#include <QStringList>

#include <map>

#include "wizard/model/formats/formats_list.h"

class FormatCategories {
public:
    explicit FormatCategories(const TFormatsList& formats);
    FormatCategories(const FormatCategories&) = delete;  // the map points at the collator
    FormatCategories& operator=(const FormatCategories&) = delete;

    // Ascending; one entry per category.
    const QStringList& sorted() const { return sorted_; }
    // The entry of sorted() that `category` belongs to.
    QString spellingOf(const QString& category) const;

private:
    struct CollatorLess {
        const QCollator* collator;
        bool operator()(const QString& a, const QString& b) const {
            return collator->compare(a, b) < 0;
        }
    };

    QCollator collator_;
    std::map<QString, QString, CollatorLess> spellings_;  // any spelling -> the first one
    mutable QHash<QString, QString> seen_;                 // exact text -> the first one
    QStringList sorted_;
};
