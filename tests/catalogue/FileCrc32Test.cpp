#include "catalogue/FileCrc32.h"

#include "TestSupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

using testsupport::TempFolder;

// The reflected table loop, written independently of the code under test.
std::uint32_t ReferenceCrc(const QByteArray& bytes)
{
    std::uint32_t table[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    std::uint32_t value = 0xFFFFFFFFu;
    for (char b : bytes)
        value = (value >> 8) ^ table[(value ^ static_cast<unsigned char>(b)) & 0xFF];
    return ~value;
}

TEST(FileCrc32, KnownValues)
{
    TempFolder dir;
    const struct {
        QByteArray bytes;
        std::uint32_t crc;
    } cases[] = {{"", 0x00000000u}, {"123456789", 0xCBF43926u}, {"a", 0xE8B7BE43u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        dir.Write(QStringLiteral("f"), c.bytes);
        std::uint32_t crc = 1;
        EXPECT_EQ(FileCrc32(dir.File(QStringLiteral("f")), crc), 0);
        EXPECT_EQ(crc, c.crc);
    }
}

TEST(FileCrc32, LargeFileMatchesTheTableLoop)
{
    // Longer than one read block and not a multiple of it.
    QByteArray bytes(3 * 256 * 1024 + 17, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (char& b : bytes)
        b = static_cast<char>(gen.bounded(256));
    TempFolder dir;
    dir.Write(QStringLiteral("big"), bytes);
    std::uint32_t crc = 0;
    ASSERT_EQ(FileCrc32(dir.File(QStringLiteral("big")), crc), 0);
    EXPECT_EQ(crc, ReferenceCrc(bytes));
}

TEST(FileCrc32, FailedOpenGivesTheErrorCodeAndZero)
{
    TempFolder dir;
    QDir(dir.Path()).mkdir(QStringLiteral("folder"));
    dir.Write(QStringLiteral("file"), "x");
    const struct {
        const char* name;
        int code;
    } cases[] = {{"missing", 2}, {"folder", 5}, {"file/below", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t crc = 1234;
        EXPECT_EQ(FileCrc32(dir.File(QString::fromLatin1(c.name)), crc), c.code);
        EXPECT_EQ(crc, 0u);
    }
}

TEST(Crc32Text, EightLowerCaseDigits)
{
    EXPECT_EQ(Crc32Text(0), QStringLiteral("0x00000000"));
    EXPECT_EQ(Crc32Text(0xCBF43926u), QStringLiteral("0xcbf43926"));
    EXPECT_EQ(Crc32Text(0xABCu), QStringLiteral("0x00000abc"));
}

} // namespace
