#include "qmfile.h"

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// What QTranslator reads of a .qm file (Qt 6.4 and 6.8: do_load, do_translate, getMessage,
// isValidNumerusRules), and so what a catalog must be for every lookup to stay inside it.
//
// The file: the 16-byte magic number, then sections, each a tag byte, a big-endian 32-bit
// length and the data; a zero tag or length, or fewer than 6 bytes left, ends them. Of each kind
// the toolkit keeps the last; it reads dependencies from every dependencies section.
//
// A catalog is broken, and never handed to the toolkit, unless all of this holds. Each rule
// either keeps a lookup inside the file or holds for every file lrelease or lconvert writes
// (Qt 5 and 6), most both:
// - it is a regular file of 16 bytes to 2 GiB (what QTranslator::load(data, len) takes) that
//   starts with the magic number, and every section fits in the file;
// - the hash table is a whole number of 8-byte entries (hash, offset), sorted by hash, none of
//   hash 0 (no text hashes to 0), each the offset of a message; it comes with messages, and
//   messages with it;
// - the messages are one message after another, each a run of fields ending in an end tag:
//   translations (an even length, or none at all), source texts, contexts and comments, every
//   field inside the messages;
// - the context table holds at least one bucket, every bucket's chain of contexts stays inside
//   it, and its pool of contexts is no larger than lrelease writes (128 KiB);
// - the plural rules are rules the toolkit accepts (at most 1 KiB);
// - each dependencies section (at most 64 KiB) is a list of non-empty names without NUL;
// - the hash table and the messages are data the file holds, not a hole in a sparse file:
//   what a catalog costs to start is what it really holds, not what it declares.
// Sections of other kinds (the language, unknown tags) are neither read nor kept. The first rule
// found broken is the QmFault the notice names, so that a user can tell what to mend.

namespace {

const uchar qmMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                           0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum SectionTag : uchar {
    ContextsTag = 0x2f,
    HashesTag = 0x42,
    MessagesTag = 0x69,
    NumerusRulesTag = 0x88,
    DependenciesTag = 0x96
};
enum FieldTag : uchar {
    EndTag = 1,
    TranslationTag = 3,
    SourceTextTag = 6,
    ContextTag = 7,
    CommentTag = 8
};
// A translation serialised from a null QString: a length and nothing after it.
constexpr quint32 nullTranslation = 0xffffffff;
constexpr quint32 maxNumerusRules = 1024;
constexpr quint32 maxDependencies = 65536;
// lrelease -compress drops a context table whose chains need more.
constexpr quint32 maxContextPool = 131072;

quint16 read16(const uchar *data)
{
    return qFromBigEndian<quint16>(data);
}
quint32 read32(const uchar *data)
{
    return qFromBigEndian<quint32>(data);
}

bool readAll(int fd, qint64 offset, uchar *to, qint64 size)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, to, size_t(std::min<qint64>(size, 1 << 30)), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        to += got;
        offset += got;
        size -= got;
    }
    return true;
}

// The section headers through pread with one block of the file kept, so that they cost a
// read per block rather than per section; the sections themselves are read straight into
// place.
class HeaderReader
{
  public:
    HeaderReader(int fd, qint64 size) : fd(fd), size(size) {}

    // Copies count bytes at offset, at most a block. False when the file ends sooner
    // (truncated under us) or cannot be read.
    bool read(qint64 offset, uchar *to, qint64 count)
    {
        if (offset < start || offset + count > start + length) {
            start = offset;
            length = std::min<qint64>(sizeof block, size - offset);
            if (length < count || !readAll(fd, start, block, length)) {
                length = 0;
                return false;
            }
        }
        std::memcpy(to, block + (offset - start), size_t(count));
        return true;
    }

  private:
    const int fd;
    const qint64 size;
    uchar block[4096];
    qint64 start = 0, length = 0;
};

// Whether the range lies over a hole of a sparse file: bytes it declares but does not hold.
// A file system that keeps no holes answers with the end of the file.
bool overHole(int fd, qint64 offset, qint64 length)
{
    const off_t hole = ::lseek(fd, off_t(offset), SEEK_HOLE);
    return hole >= 0 && hole < offset + length;
}

struct Range
{
    qint64 offset = 0; // of the data, in the file
    quint32 length = 0;
};

QmFault checkHashes(const uchar *entry, quint32 length, quint32 messagesLength)
{
    quint32 previous = 0;
    for (const uchar *end = entry + length; entry != end; entry += 8) {
        const quint32 hash = read32(entry);
        if (hash == 0)
            return QmFault::HashZero;
        if (hash < previous)
            return QmFault::UnsortedHashes;
        if (read32(entry + 4) >= messagesLength)
            return QmFault::HashOutsideMessages;
        previous = hash;
    }
    return QmFault::None;
}

// Walks the messages one after another, as the toolkit's getMessage reads each field, and
// checks that every hash table entry points at the start of one.
QmFault checkMessages(const uchar *messages, quint32 length, const uchar *hashes,
                      quint32 hashesLength)
{
    std::vector<bool> starts(length);
    for (quint32 at = 0; at < length;) {
        starts[at] = true;
        for (;;) {
            if (at == length)
                return QmFault::UnendedMessage;
            const uchar tag = messages[at++];
            if (tag == EndTag)
                break;
            if (tag != TranslationTag && tag != SourceTextTag && tag != ContextTag &&
                tag != CommentTag)
                return QmFault::UnknownField;
            if (length - at < 4)
                return QmFault::FieldOutsideMessages;
            const quint32 size = read32(messages + at);
            at += 4;
            if (tag == TranslationTag && size == nullTranslation)
                continue;
            if (size > length - at)
                return QmFault::FieldOutsideMessages;
            if (tag == TranslationTag && size % 2 != 0)
                return QmFault::OddTranslation;
            at += size;
        }
    }
    for (const uchar *entry = hashes; entry != hashes + hashesLength; entry += 8) {
        if (!starts[read32(entry + 4)])
            return QmFault::HashInsideMessage;
    }
    return QmFault::None;
}

// The table: a bucket count, the buckets (offsets into the pool, in 2-byte units from its
// start, 0 for none) and the pool of chains, each of (length byte, context) ending in a zero
// length. length does not count the zero byte the image adds after the table.
bool checkContexts(const uchar *table, quint32 length)
{
    const quint32 buckets = read16(table), pool = 2 + 2 * buckets;
    // Whether a chain from each position of the pool ends before it leaves the table.
    std::vector<bool> ends(length - pool + 1);
    ends[length - pool] = true;
    for (quint32 at = length; at-- > pool;) {
        const quint32 size = table[at];
        ends[at - pool] = size == 0 || (at + 1 + size <= length && ends[at + 1 + size - pool]);
    }
    for (quint32 bucket = 0; bucket < buckets; ++bucket) {
        const quint32 offset = read16(table + 2 + 2 * bucket);
        if (offset != 0 && (pool + 2 * offset > length || !ends[2 * offset]))
            return false;
    }
    return true;
}

// The toolkit's own test, which fails the whole load.
bool checkNumerusRules(const uchar *rules, quint32 size)
{
    if (size == 0)
        return true;
    quint32 at = 0;
    do {
        const uchar opcode = rules[at];
        if ((opcode & 0x80) != 0 || ++at == size)
            return false;
        ++at;
        switch (opcode & 0x07) {
        case 1: // equal
        case 2: // less than
        case 3: // less than or equal
            break;
        case 4: // between: a third operand
            if (at == size)
                return false;
            ++at;
            break;
        default:
            return false;
        }
        if (at == size)
            return true;
    } while ((rules[at] == 0xfd || rules[at] == 0xfe || rules[at] == 0xff) && ++at != size);
    return false;
}

// QStrings as QDataStream writes them: a byte length, then UTF-16 big-endian.
bool readDependencies(const std::vector<uchar> &section, QStringList &names)
{
    const quint32 length = quint32(section.size());
    for (quint32 at = 0; at < length;) {
        if (length - at < 4)
            return false;
        const quint32 size = read32(section.data() + at);
        at += 4;
        if (size == 0 || size % 2 != 0 || size > length - at)
            return false;
        QString name(qsizetype(size / 2), Qt::Uninitialized);
        qFromBigEndian<char16_t>(section.data() + at, name.size(), name.data());
        if (name.contains(QChar(u'\0')))
            return false;
        names.append(name);
        at += size;
    }
    return true;
}

} // namespace

quint32 continueHash(const char *text, quint32 h)
{
    for (const uchar *k = reinterpret_cast<const uchar *>(text); *k; ++k) {
        h = (h << 4) + *k;
        const quint32 g = h & 0xf0000000;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    }
    return h;
}

const char *faultPhrase(QmFault fault)
{
    switch (fault) {
    case QmFault::None:
        break;
    case QmFault::NotRegularFile:
        return "not a regular file";
    case QmFault::Unreadable:
        return "cannot be read";
    case QmFault::Empty:
        return "empty";
    case QmFault::TooLarge:
        return "larger than 2 GiB";
    case QmFault::NotCatalog:
        return "not a catalog";
    case QmFault::CutShort:
        return "cut short";
    case QmFault::LongDependencies:
        return "a list of dependencies larger than 64 KiB";
    case QmFault::BadDependencies:
        return "a garbled list of dependencies";
    case QmFault::PartialHashEntry:
        return "a hash table with a partial entry";
    case QmFault::HashesWithoutMessages:
        return "a hash table without messages";
    case QmFault::MessagesWithoutHashes:
        return "messages without a hash table";
    case QmFault::HashesOverHole:
        return "a hash table over a hole of a sparse file";
    case QmFault::MessagesOverHole:
        return "messages over a hole of a sparse file";
    case QmFault::HashZero:
        return "a message filed under hash 0";
    case QmFault::UnsortedHashes:
        return "a hash table not sorted by hash";
    case QmFault::HashOutsideMessages:
        return "a hash table that points outside the messages";
    case QmFault::HashInsideMessage:
        return "a hash table that points inside a message";
    case QmFault::UnknownField:
        return "a message field of an unknown kind";
    case QmFault::FieldOutsideMessages:
        return "a message field that runs past the messages";
    case QmFault::UnendedMessage:
        return "a message without an end";
    case QmFault::OddTranslation:
        return "a translation of odd length";
    case QmFault::ContextsCutShort:
        return "a table of contexts cut short";
    case QmFault::ContextsWithoutBuckets:
        return "a table of contexts without buckets";
    case QmFault::ContextsTooLarge:
        return "a table of contexts larger than lrelease makes";
    case QmFault::ContextChainOutside:
        return "a table of contexts whose chains leave it";
    case QmFault::LongPluralRules:
        return "plural rules longer than 1 KiB";
    case QmFault::BadPluralRules:
        return "plural rules the toolkit refuses";
    case QmFault::OutOfMemory:
        return "too large for the memory available";
    }
    return "";
}

QmFault readQm(int fd, QmImage &image)
{
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return QmFault::Unreadable;
    if (!S_ISREG(status.st_mode))
        return QmFault::NotRegularFile;
    if (status.st_size == 0)
        return QmFault::Empty;
    if (status.st_size > INT_MAX)
        return QmFault::TooLarge;
    const qint64 size = status.st_size;
    HeaderReader headers(fd, size);
    uchar magic[16];
    const qint64 magicLength = std::min<qint64>(size, 16);
    if (!headers.read(0, magic, magicLength))
        return QmFault::Unreadable;
    if (std::memcmp(magic, qmMagic, size_t(magicLength)) != 0)
        return QmFault::NotCatalog;
    // The start of the magic number alone: a catalog that lost its end.
    if (size < 16)
        return QmFault::CutShort;

    // The section headers alone, as the toolkit walks them.
    Range hashes, messages, contexts, numerusRules;
    std::vector<Range> dependencies;
    for (qint64 at = 16; size - at > 5;) {
        uchar section[5];
        if (!headers.read(at, section, 5))
            return QmFault::Unreadable;
        const uchar tag = section[0];
        const quint32 length = read32(section + 1);
        at += 5;
        if (tag == 0 || length == 0)
            break;
        if (quint64(size - at) < length)
            return QmFault::CutShort;
        const Range range{at, length};
        switch (tag) {
        case HashesTag:
            hashes = range;
            break;
        case MessagesTag:
            messages = range;
            break;
        case ContextsTag:
            contexts = range;
            break;
        case NumerusRulesTag:
            numerusRules = range;
            break;
        case DependenciesTag:
            if (length > maxDependencies)
                return QmFault::LongDependencies;
            dependencies.push_back(range);
            break;
        default:
            break;
        }
        at += length;
    }

    // What can be told from the lengths, before anything large is read.
    if (hashes.length % 8 != 0)
        return QmFault::PartialHashEntry;
    if (hashes.length != 0 && messages.length == 0)
        return QmFault::HashesWithoutMessages;
    if (hashes.length == 0 && messages.length != 0)
        return QmFault::MessagesWithoutHashes;
    if (numerusRules.length > maxNumerusRules)
        return QmFault::LongPluralRules;
    if (hashes.length != 0 && overHole(fd, hashes.offset, hashes.length))
        return QmFault::HashesOverHole;
    if (messages.length != 0 && overHole(fd, messages.offset, messages.length))
        return QmFault::MessagesOverHole;
    if (contexts.length != 0) {
        uchar buckets[2];
        if (contexts.length < 2)
            return QmFault::ContextsCutShort;
        if (!headers.read(contexts.offset, buckets, 2))
            return QmFault::Unreadable;
        const quint32 pool = 2 + 2 * quint32(read16(buckets));
        if (pool == 2)
            return QmFault::ContextsWithoutBuckets;
        if (contexts.length < pool)
            return QmFault::ContextsCutShort;
        if (contexts.length - pool > maxContextPool)
            return QmFault::ContextsTooLarge;
    }

    // Each section fits in the file, so the image, which holds fewer sections than the file
    // and one byte more, fits in an int unless the file is nearly 2 GiB of headers.
    qint64 total = 16;
    for (const Range *range : {&hashes, &messages, &contexts, &numerusRules}) {
        if (range->length != 0)
            total += 5 + qint64(range->length);
    }
    total += contexts.length != 0;
    if (total > INT_MAX)
        return QmFault::TooLarge;
    image.data.reset(new (std::nothrow) uchar[size_t(total)]);
    if (!image.data)
        return QmFault::OutOfMemory;
    image.size = int(total);
    uchar *const data = image.data.get();
    std::memcpy(data, qmMagic, 16);
    quint32 at = 16;
    // Copies a section into the image; returns where its data starts there, or -1 when the
    // file cannot be read (or was cut short under us).
    const auto take = [&](uchar tag, const Range &range, quint32 extra) -> qint64 {
        data[at] = tag;
        qToBigEndian<quint32>(range.length + extra, data + at + 1);
        const quint32 start = at + 5;
        if (!readAll(fd, range.offset, data + start, range.length))
            return -1;
        std::memset(data + start + range.length, 0, extra);
        at = start + range.length + extra;
        return start;
    };

    // Cheapest first: a table of entries that cannot be is found before the messages are read.
    if (hashes.length != 0) {
        const qint64 start = take(HashesTag, hashes, 0);
        if (start < 0)
            return QmFault::Unreadable;
        if (const QmFault fault = checkHashes(data + start, hashes.length, messages.length);
            fault != QmFault::None)
            return fault;
        image.hashes = quint32(start);
        image.hashesLength = hashes.length;
        const qint64 messagesStart = take(MessagesTag, messages, 0);
        if (messagesStart < 0)
            return QmFault::Unreadable;
        if (const QmFault fault = checkMessages(data + messagesStart, messages.length,
                                                data + image.hashes, hashes.length);
            fault != QmFault::None)
            return fault;
        image.messages = quint32(messagesStart);
        image.messagesLength = messages.length;
    }
    if (contexts.length != 0) {
        const qint64 start = take(ContextsTag, contexts, 1);
        if (start < 0)
            return QmFault::Unreadable;
        if (!checkContexts(data + start, contexts.length))
            return QmFault::ContextChainOutside;
        image.contexts = quint32(start);
        image.contextsLength = contexts.length;
    }
    if (numerusRules.length != 0) {
        const qint64 start = take(NumerusRulesTag, numerusRules, 0);
        if (start < 0)
            return QmFault::Unreadable;
        if (!checkNumerusRules(data + start, numerusRules.length))
            return QmFault::BadPluralRules;
    }
    for (const Range &range : dependencies) {
        std::vector<uchar> section(range.length);
        if (!readAll(fd, range.offset, section.data(), range.length))
            return QmFault::Unreadable;
        if (!readDependencies(section, image.dependencies))
            return QmFault::BadDependencies;
    }
    return QmFault::None;
}

bool holdsContext(const QmImage &image, const char *context)
{
    if (image.contextsLength == 0)
        return true;
    const uchar *const table = image.data.get() + image.contexts;
    const quint32 buckets = read16(table);
    const quint32 offset = read16(table + 2 + 2 * (finishHash(continueHash(context)) % buckets));
    if (offset == 0)
        return false;
    const size_t contextLength = std::strlen(context);
    for (const uchar *chain = table + 2 + 2 * buckets + 2 * offset;;) {
        size_t size = *chain++;
        if (size == 0)
            return false;
        const size_t matched = chain[size - 1] == '\0' ? size - 1 : size;
        if (matched == contextLength && std::memcmp(chain, context, matched) == 0)
            return true;
        chain += size;
    }
}
