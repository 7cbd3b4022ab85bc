#ifndef TESTS_QMBUILDER_H
#define TESTS_QMBUILDER_H

// Catalog bytes made section by section, so that a test can build a catalog with exactly one
// thing wrong, and the files and directories they go into.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace qm {

inline QByteArray magic()
{
    return QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd");
}
inline QByteArray u16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}
inline QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}
inline QByteArray utf16(const QString &text)
{
    QByteArray bytes(text.size() * 2, '\0');
    qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

enum Tag : char {
    Contexts = 0x2f,
    Hashes = 0x42,
    Messages = 0x69,
    NumerusRules = char(0x88),
    Dependencies = char(0x96)
};
enum Field : char { End = 1, Translation = 3, SourceText = 6, Context = 7, Comment = 8 };

inline QByteArray section(char tag, const QByteArray &data)
{
    return tag + u32(quint32(data.size())) + data;
}
inline QByteArray field(char tag, const QByteArray &data)
{
    return tag + u32(quint32(data.size())) + data;
}

// The toolkit's hash of a key, as it files a message.
inline quint32 hash(const QByteArray &key)
{
    quint32 h = 0;
    for (uchar c : key) {
        h = (h << 4) + c;
        const quint32 g = h & 0xf0000000;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    }
    return h != 0 ? h : 1;
}

struct Message
{
    QByteArray source;
    QString translation; // a null QString is stored as a null translation
    QByteArray comment = {};
    QByteArray context = "QObject";
    QByteArray rawTranslation = {}; // when not null, the translation's bytes instead
};

inline QByteArray messageBytes(const Message &m)
{
    const QByteArray translation = !m.rawTranslation.isNull() ? field(Translation, m.rawTranslation)
                                   : m.translation.isNull()
                                       ? Translation + u32(0xffffffff)
                                       : field(Translation, utf16(m.translation));
    return translation + field(SourceText, m.source) + field(Context, m.context) +
           (m.comment.isEmpty() ? QByteArray() : field(Comment, m.comment)) + End;
}

// The hash table and messages sections of these messages, as lrelease files them: under the
// hash of the source text and comment, sorted by hash.
inline QByteArray messageSections(const std::vector<Message> &messages)
{
    QByteArray bytes;
    std::vector<std::pair<quint32, quint32>> entries;
    for (const Message &m : messages) {
        entries.emplace_back(hash(m.source + m.comment), quint32(bytes.size()));
        bytes += messageBytes(m);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QByteArray table;
    for (const auto &[h, offset] : entries)
        table += u32(h) + u32(offset);
    return section(Hashes, table) + section(Messages, bytes);
}

// A context table of one chain per bucket the names fall into, each name's length counting
// the trailing NUL when asked to (as older tools wrote them).
inline QByteArray contextTable(const QList<QByteArray> &names, quint16 buckets, bool trailingNul)
{
    std::vector<QByteArray> chains(buckets);
    for (const QByteArray &name : names) {
        const QByteArray stored = trailingNul ? name + '\0' : name;
        chains[hash(name) % buckets] += char(stored.size()) + stored;
    }
    QByteArray table = u16(buckets), pool(2, '\0'); // offset 0 means no chain
    for (const QByteArray &chain : chains) {
        table += u16(chain.isEmpty() ? 0 : quint16(pool.size() / 2));
        if (!chain.isEmpty()) {
            pool += chain + '\0';
            if (pool.size() % 2 != 0)
                pool += '\0';
        }
    }
    return section(Contexts, table + pool);
}

inline QByteArray dependencies(const QStringList &names)
{
    QByteArray list;
    for (const QString &name : names)
        list += u32(quint32(name.size() * 2)) + utf16(name);
    return section(Dependencies, list);
}

// A catalog of these messages, with any other sections after them.
inline QByteArray catalog(const std::vector<Message> &messages, const QByteArray &more = {})
{
    return magic() + (messages.empty() ? QByteArray() : messageSections(messages)) + more;
}

// A directory of files for the length of a test.
class Directory
{
  public:
    QByteArray path() const { return QFile::encodeName(dir.path()); }
    bool write(const QByteArray &name, const QByteArray &bytes) const
    {
        QFile file(dir.filePath(QFile::decodeName(name)));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    }
    // A descriptor of the directory, closed with this object.
    int fd()
    {
        if (directoryFd < 0)
            directoryFd = ::open(path().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        return directoryFd;
    }
    ~Directory()
    {
        if (directoryFd >= 0)
            ::close(directoryFd);
    }

  private:
    QTemporaryDir dir;
    int directoryFd = -1;
};

} // namespace qm

#endif
