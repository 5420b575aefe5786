#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Local8Bit.h"

#include <QFile>
#include <cerrno>
#include <mutex>

namespace platform {
namespace {

// Values are read through a 32767-character buffer, integers through 30.
constexpr qsizetype kStringBuffer = 32767;
constexpr qsizetype kIntBuffer = 30;

// A write reads, edits and replaces the whole file: two at once in this
// process would each drop the other's key.
std::mutex writeMutex;

struct Line {
    qsizetype begin = 0; // first byte of the line
    qsizetype end = 0;   // one past its last byte, before the line break
    qsizetype next = 0;  // first byte of the following line
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

QByteArrayView Trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && IsBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && IsBlank(v.back()))
        v.chop(1);
    return v;
}

bool SameName(QByteArrayView fileName, QStringView wanted)
{
    return QString::fromLocal8Bit(fileName).compare(wanted.trimmed(), Qt::CaseInsensitive) == 0;
}

// One parsed line of the file.
struct Parsed {
    enum Kind { Blank, Comment, Section, Key } kind = Blank;
    QByteArrayView name;
    QByteArrayView value;
    bool hasValue = false;
};

Parsed ParseLine(QByteArrayView raw)
{
    Parsed p;
    const QByteArrayView text = Trimmed(raw);
    if (text.isEmpty())
        return p;
    if (text.front() == ';') {
        p.kind = Parsed::Comment;
        return p;
    }
    if (text.front() == '[') {
        const qsizetype close = text.lastIndexOf(']');
        if (close > 0) {
            p.kind = Parsed::Section;
            p.name = Trimmed(text.sliced(1, close - 1));
            return p;
        }
    }
    p.kind = Parsed::Key;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) {
        p.name = text;
        return p;
    }
    p.name = Trimmed(text.first(eq));
    p.value = Trimmed(text.sliced(eq + 1));
    p.hasValue = true;
    return p;
}

template <typename F> void ForEachLine(const QByteArray& bytes, F&& f)
{
    // Editors on other systems may start the file with a UTF-8 byte-order mark.
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        line.end = end;
        if (end < bytes.size() && bytes[end] == '\r')
            ++end;
        if (end < bytes.size() && bytes[end] == '\n')
            ++end;
        line.next = end;
        if (!f(line))
            return;
        pos = end;
    }
}

// Where a key lives, or where it would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    qsizetype insertAt = -1; // after the section's last non-blank line
    Parsed parsed;
};

Location Find(const QByteArray& bytes, QStringView section, QStringView key)
{
    Location loc;
    enum { Before, Inside, After } state = Before;
    ForEachLine(bytes, [&](const Line& line) {
        const Parsed p = ParseLine(QByteArrayView(bytes).sliced(line.begin, line.end - line.begin));
        if (p.kind == Parsed::Section) {
            if (state == Inside)
                return false; // only the first section of a name counts
            if (SameName(p.name, section)) {
                state = Inside;
                loc.sectionFound = true;
                loc.insertAt = line.next;
            }
            return true;
        }
        if (state != Inside || p.kind == Parsed::Blank)
            return true;
        loc.insertAt = line.next;
        if (p.kind == Parsed::Key && SameName(p.name, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            loc.parsed = p;
            return false;
        }
        return true;
    });
    return loc;
}

QByteArray LineBreakOf(const QByteArray& bytes)
{
    return bytes.contains("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QString Unquoted(QString value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Quotes a value that reading would otherwise change (outer blanks, outer quotes).
QByteArray Quoted(QStringView value)
{
    QByteArray bytes = ToLocal8Bit(value);
    const bool needsQuotes = !bytes.isEmpty() && (IsBlank(bytes.front()) || IsBlank(bytes.back()) ||
                                                  bytes.front() == '"' || bytes.front() == '\'');
    return needsQuotes ? '"' + bytes + '"' : bytes;
}

std::optional<QByteArray> ReadWhole(const QString& path, int* err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *err = file.exists() ? EACCES : ENOENT;
        return std::nullopt;
    }
    if (file.size() > kMaxProfileFileSize) {
        *err = EFBIG;
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (bytes.size() > kMaxProfileFileSize) {
        *err = EFBIG;
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> LookUp(const QString& path, QStringView section, QStringView key)
{
    int err = 0;
    const auto bytes = ReadWhole(path, &err);
    if (!bytes)
        return std::nullopt;
    return IniText(*bytes).Value(section, key);
}

} // namespace

std::optional<QString> IniText::Value(QStringView section, QStringView key) const
{
    const Location loc = Find(bytes_, section, key);
    if (!loc.keyFound || !loc.parsed.hasValue)
        return std::nullopt;
    return Unquoted(QString::fromLocal8Bit(loc.parsed.value));
}

void IniText::SetValue(QStringView section, QStringView key, QStringView value)
{
    const QByteArray br = LineBreakOf(bytes_);
    const Location loc = Find(bytes_, section, key);
    if (loc.keyFound) {
        // Keep the key's spelling as the file has it.
        const QByteArray line = loc.parsed.name.toByteArray() + '=' + Quoted(value);
        bytes_.replace(loc.keyLine.begin, loc.keyLine.end - loc.keyLine.begin, line);
        return;
    }
    const QByteArray keyLine = ToLocal8Bit(key.trimmed()) + '=' + Quoted(value) + br;
    if (loc.sectionFound) {
        QByteArray insert = keyLine;
        // The line before the insertion point may be the file's last, without a break.
        if (loc.insertAt > 0 && bytes_[loc.insertAt - 1] != '\n' &&
            bytes_[loc.insertAt - 1] != '\r')
            insert.prepend(br);
        bytes_.insert(loc.insertAt, insert);
        return;
    }
    if (!bytes_.isEmpty() && !bytes_.endsWith('\n') && !bytes_.endsWith('\r'))
        bytes_.append(br);
    bytes_.append('[' + ToLocal8Bit(section.trimmed()) + ']' + br + keyLine);
}

int ParseProfileInt(QStringView value, int defaultValue)
{
    value = value.left(kIntBuffer - 1);
    if (value.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    while (i < value.size() && value[i].unicode() <= u' ')
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+'))
        negative = value[i++] == u'-';
    quint32 result = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        result = result * 10u + static_cast<quint32>(value[i].unicode() - u'0');
    if (negative)
        result = 0u - result;
    return static_cast<int>(result);
}

int GetProfileInt(const QString& path, QStringView section, QStringView key, int defaultValue)
{
    const auto value = LookUp(path, section, key);
    return value ? ParseProfileInt(*value, defaultValue) : defaultValue;
}

QString GetProfileString(const QString& path, QStringView section, QStringView key,
                         const QString& defaultValue)
{
    const auto value = LookUp(path, section, key);
    if (!value)
        return defaultValue;
    QString text = value->left(kStringBuffer - 1);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

bool WriteProfileString(const QString& path, QStringView section, QStringView key,
                        QStringView value, int* error)
{
    int dummy = 0;
    int* err = error ? error : &dummy;
    if (value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(u'\0'))) {
        *err = EINVAL;
        return false;
    }
    const std::lock_guard lock(writeMutex);
    std::optional<QByteArray> bytes = ReadWhole(path, err);
    if (!bytes) {
        if (*err != ENOENT)
            return false; // never replace a file we could not read
        bytes = QByteArray();
    }
    IniText text(std::move(*bytes));
    text.SetValue(section, key, value);
    return WriteFileAtomically(path, text.Bytes(), err);
}

} // namespace platform
