#include "wizard/utilities/text/number_text.h"

#include <QLocale>

namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1024 * kKilobyte;
constexpr std::int64_t kGigabyte = 1024 * kMegabyte;

}  // namespace

QString ThousandsText(std::int64_t value) {
    static const QLocale commaGroups = [] {
        QLocale locale(QLocale::C);
        locale.setNumberOptions(QLocale::DefaultNumberOptions);
        return locale;
    }();
    return commaGroups.toString(static_cast<qlonglong>(value));
}

QString FormatFileSize(std::int64_t size) {
    if (size < 0) return {};
    if (size < kKilobyte) return ThousandsText(size);
    if (size < 2 * kMegabyte) return ThousandsText(size / kKilobyte) + QStringLiteral(" KB");
    if (size < 2 * kGigabyte) return ThousandsText(size / kMegabyte) + QStringLiteral(" MB");
    return ThousandsText(size / kGigabyte) + QStringLiteral(" GB");
}

QString FormatNumberText(std::int64_t value) {
    if (value < 0) return {};
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(static_cast<qlonglong>(value));
}
