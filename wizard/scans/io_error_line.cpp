#include "wizard/scans/io_error_line.h"

#include <string.h>

#include "wizard/translation/translation.h"

QString SystemErrorText(std::uint32_t error) {
    char buffer[256];
    // The GNU form: the text may be a static one rather than the buffer.
    return QString::fromLocal8Bit(::strerror_r(static_cast<int>(error), buffer, sizeof buffer));
}

QString IoErrorLine(const IoErrorReport& report) {
    return TranslateFormat(QStringLiteral("strErrorMessageAndRetryCount"),
                           QStringLiteral("Error: %s (Retry Count = %d; Current Position: %d)"),
                           SystemErrorText(report.SystemError),
                           static_cast<std::int64_t>(report.Attempt),
                           static_cast<std::int64_t>(report.Position));
}
