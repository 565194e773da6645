#include "wizard/utilities/text/date_time_text.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

QString FourDigitYears(QString format) {
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

// The locale's long time without its zone name.
QString TimeWithoutZone(const QString& format) {
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return QString(format).remove(zone).trimmed();
}

}  // namespace

QString DateTimeText(const QDateTime& value) {
    if (!value.isValid()) return {};
    const QLocale locale;
    return locale.toString(value.date(), FourDigitYears(locale.dateFormat(QLocale::ShortFormat))) + u' ' +
           locale.toString(value.time(), TimeWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}
