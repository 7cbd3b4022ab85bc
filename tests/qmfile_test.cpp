// The check of a catalog file: every way a file is refused, each told by its own fault, and
// files that must pass though they look odd.
#include "qmbuilder.h"
#include "qmfile.h"

#include <QFile>
#include <QTranslator>

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <unistd.h>

using namespace qm;

namespace {

const Message hello{"Hello", QStringLiteral("Hallo")};

// The check of these bytes as a catalog file.
QmFault check(const QByteArray &bytes)
{
    Directory dir;
    EXPECT_TRUE(dir.write("app_de.qm", bytes));
    const int fd = ::openat(dir.fd(), "app_de.qm", O_RDONLY | O_CLOEXEC);
    QmImage image;
    const QmFault fault = readQm(fd, image);
    ::close(fd);
    return fault;
}

// A catalog whose hash table and messages are as given, raw.
QByteArray raw(const QByteArray &hashes, const QByteArray &messages)
{
    return magic() + section(Hashes, hashes) + section(Messages, messages);
}

// Whether the file system keeps holes, so that a sparse file can be told from a full one.
bool keepsHoles(int fd, qint64 size)
{
    const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
    return hole >= 0 && hole < size;
}

} // namespace

TEST(QmFile, RefusesWhatIsNoCatalogFile)
{
    Directory dir;
    QmImage image;
    const int directory = ::open(dir.path().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(readQm(directory, image), QmFault::NotRegularFile);
    ::close(directory);

    // A descriptor that cannot be read from (root reads any file, so not by its permissions).
    ASSERT_TRUE(dir.write("app_de.qm", catalog({hello})));
    const int writeOnly = ::openat(dir.fd(), "app_de.qm", O_WRONLY | O_CLOEXEC);
    EXPECT_EQ(readQm(writeOnly, image), QmFault::Unreadable);
    ::close(writeOnly);

    EXPECT_EQ(check(""), QmFault::Empty);
    EXPECT_EQ(check("not a catalog, just text\n"), QmFault::NotCatalog);
    // The start of the magic number, or a section that runs past the end of the file: a catalog
    // that lost its end.
    EXPECT_EQ(check(magic().left(10)), QmFault::CutShort);
    EXPECT_EQ(check(catalog({hello}).chopped(1)), QmFault::CutShort);

    // Larger than QTranslator::load(data, len) takes; a sparse file, so nothing is written.
    ASSERT_TRUE(dir.write("large_de.qm", magic()));
    const int large = ::openat(dir.fd(), "large_de.qm", O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::ftruncate(large, qint64(INT_MAX) + 1), 0);
    EXPECT_EQ(readQm(large, image), QmFault::TooLarge);
    ::close(large);
}

TEST(QmFile, RefusesBrokenHashTablesAndMessages)
{
    const QByteArray message = messageBytes(hello);
    const QByteArray entry = u32(hash("Hello")) + u32(0);
    EXPECT_EQ(check(raw(entry + u32(7), message)), QmFault::PartialHashEntry);
    EXPECT_EQ(check(magic() + section(Hashes, entry)), QmFault::HashesWithoutMessages);
    EXPECT_EQ(check(magic() + section(Messages, message)), QmFault::MessagesWithoutHashes);
    EXPECT_EQ(check(raw(u32(0) + u32(0), message)), QmFault::HashZero);
    EXPECT_EQ(check(raw(u32(9) + u32(0) + u32(8) + u32(0), message)), QmFault::UnsortedHashes);
    EXPECT_EQ(check(raw(u32(hash("Hello")) + u32(quint32(message.size())), message)),
              QmFault::HashOutsideMessages);
    EXPECT_EQ(check(raw(u32(hash("Hello")) + u32(1), message)), QmFault::HashInsideMessage);

    const QByteArray source = field(SourceText, "Hello");
    EXPECT_EQ(check(raw(entry, source + field(2, "x") + End)), QmFault::UnknownField);
    EXPECT_EQ(check(raw(entry, SourceText + u32(100) + "Hello" + End)),
              QmFault::FieldOutsideMessages);
    EXPECT_EQ(check(raw(entry, source)), QmFault::UnendedMessage);
    EXPECT_EQ(check(raw(entry, field(Translation, "abc") + source + End)), QmFault::OddTranslation);
}

TEST(QmFile, RefusesBrokenContextTablesPluralRulesAndDependencies)
{
    const QByteArray good = catalog({hello});
    EXPECT_EQ(check(good + section(Contexts, "\x01")), QmFault::ContextsCutShort);
    EXPECT_EQ(check(good + section(Contexts, u16(4) + u16(0))), QmFault::ContextsCutShort);
    EXPECT_EQ(check(good + section(Contexts, u16(0) + "\x07QObject")),
              QmFault::ContextsWithoutBuckets);
    EXPECT_EQ(check(good + section(Contexts, u16(1) + u16(1) + QByteArray(131074, '\0'))),
              QmFault::ContextsTooLarge);
    // The only bucket leads to a chain of a context longer than what is left of the table.
    EXPECT_EQ(check(good + section(Contexts, u16(1) + u16(1) + QByteArray(2, '\0') + "\x07QObj")),
              QmFault::ContextChainOutside);

    EXPECT_EQ(check(good + section(NumerusRules, QByteArray(1025, '\x01'))),
              QmFault::LongPluralRules);
    EXPECT_EQ(check(good + section(NumerusRules, "\x80\x01")), QmFault::BadPluralRules);

    EXPECT_EQ(check(good + section(Dependencies, QByteArray(65537, '\0'))),
              QmFault::LongDependencies);
    EXPECT_EQ(check(good + section(Dependencies, u32(3) + "abc")), QmFault::BadDependencies);
    EXPECT_EQ(check(good + dependencies({QStringLiteral("a\u0000b")})), QmFault::BadDependencies);
}

// A hash table or messages that a sparse file declares but does not hold.
TEST(QmFile, RefusesSectionsOverHoles)
{
    Directory dir;
    const quint32 length = 1 << 20;
    for (const char tag : {Hashes, Messages}) {
        const QByteArray name = tag == Hashes ? "hashes_de.qm" : "messages_de.qm";
        // The other section first, small and whole; then this one, declared and not written.
        const QByteArray other = tag == Hashes ? section(Messages, messageBytes(hello))
                                               : section(Hashes, u32(hash("Hello")) + u32(0));
        ASSERT_TRUE(dir.write(name, magic() + other + tag + u32(length)));
        const int fd = ::openat(dir.fd(), name.constData(), O_RDWR | O_CLOEXEC);
        const qint64 start = 16 + other.size() + 5;
        ASSERT_EQ(::ftruncate(fd, start + length), 0);
        if (!keepsHoles(fd, start + length)) {
            ::close(fd);
            GTEST_SKIP() << "this file system keeps no holes";
        }
        QmImage image;
        EXPECT_EQ(readQm(fd, image),
                  tag == Hashes ? QmFault::HashesOverHole : QmFault::MessagesOverHole);
        ::close(fd);
    }
}

// What lrelease writes for a source without a language (its messages end the file, no plural
// rules), the 16 bytes it writes when there are no messages either, and stray bytes after a
// catalog that the toolkit's reader passes over: all are catalogs the toolkit loads.
TEST(QmFile, TakesWhatTheToolkitLoads)
{
    for (const char *name : {"nolanguage.qm", "nolanguage-empty.qm"}) {
        QFile file(QStringLiteral(TEST_CATALOG_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QmImage image;
        EXPECT_EQ(readQm(file.handle(), image), QmFault::None) << name;
    }
    QFile empty(QStringLiteral(TEST_CATALOG_DIR "/nolanguage-empty.qm"));
    EXPECT_EQ(empty.size(), 16);

    const QByteArray good = catalog({hello});
    for (const QByteArray &stray :
         {QByteArray("junk\n"), QByteArray(8, '\0'), QByteArray("\x42") + u32(0) + "tail"}) {
        QTranslator toolkit;
        const QByteArray bytes = good + stray;
        ASSERT_TRUE(
            toolkit.load(reinterpret_cast<const uchar *>(bytes.constData()), int(bytes.size())));
        EXPECT_EQ(check(bytes), QmFault::None) << stray.toHex().constData();
    }
}
