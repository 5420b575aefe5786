#include "platform/Local8Bit.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace platform {

QString FromLocal8BitStrict(QByteArrayView bytes)
{
    // Plain ASCII is the common case of every file we read; skip the decoder for it.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QString();
    return text;
}

QByteArray ToLocal8Bit(QStringView text)
{
    QString cleaned;
    cleaned.reserve(text.size());
    // Lone surrogates have no encoding: write the replacement character instead.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cleaned.append(c);
            cleaned.append(text[++i]);
        } else if (c.isSurrogate()) {
            cleaned.append(QLatin1Char('?'));
        } else {
            cleaned.append(c);
        }
    }
    QStringEncoder encoder(QStringEncoder::System, QStringEncoder::Flag::Stateless);
    QByteArray out = encoder.encode(cleaned);
    return out;
}

} // namespace platform
