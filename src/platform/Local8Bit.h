#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Converts narrow text of the local 8-bit encoding to wide text. Malformed
// input gives an empty string: a text that does not convert is stored empty.
QString FromLocal8BitStrict(QByteArrayView bytes);

// Converts wide text to the local 8-bit encoding; characters without a
// counterpart become '?'.
QByteArray ToLocal8Bit(QStringView text);

} // namespace platform
