#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// The initialisation-file format with the rules of the classic private-profile
// functions: section and key names compare case-insensitively after trimming,
// the first section of a name and the first key of a name in it win, a value
// is trimmed and loses one pair of enclosing quotes, ';' starts a comment
// line, a missing or unreadable file reads as empty.
//
// IniText works on the file's bytes so that an edit changes one line and keeps
// every other byte.
class IniText {
public:
    IniText() = default;
    explicit IniText(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
    }

    // The value of `key` in `section`; nullopt when the section or key is
    // missing, or the key's line has no '='.
    std::optional<QString> Value(QStringView section, QStringView key) const;

    // Sets `key` in `section`, adding the key or the section when missing.
    void SetValue(QStringView section, QStringView key, QStringView value);

    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

// The classic integer rule: leading blanks, an optional sign, decimal digits
// up to the first non-digit, wrapping modulo 2^32; an empty value gives
// `defaultValue`, a value without digits gives 0.
int ParseProfileInt(QStringView value, int defaultValue);

int GetProfileInt(const QString& path, QStringView section, QStringView key, int defaultValue);
QString GetProfileString(const QString& path, QStringView section, QStringView key,
                         const QString& defaultValue);

// Writes one key and keeps every other line of the file. The file is replaced
// atomically; on failure it stays as it was and `error` holds the errno value.
// A value holding a line break is refused (EINVAL): it would split the line.
bool WriteProfileString(const QString& path, QStringView section, QStringView key,
                        QStringView value, int* error = nullptr);

// Files larger than this are not read as settings (and not rewritten).
inline constexpr qint64 kMaxProfileFileSize = 16 * 1024 * 1024;

} // namespace platform
