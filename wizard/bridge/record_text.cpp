#include "wizard/bridge/record_text.h"

#include <QStringDecoder>

#include <cstring>

QString RecordFieldText(const char* field, std::size_t width) {
    const void* end = std::memchr(field, '\0', width);
    const auto length = static_cast<qsizetype>(end ? static_cast<const char*>(end) - field : width);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(field, length));
    return utf8.hasError() ? QString::fromLatin1(field, length) : text;
}
