#include "catalogrouter.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <tuple>

namespace {

// The .qm format, as QTranslator reads it: a magic number, then sections of a tag byte, a
// big-endian 32-bit length and the data. A zero tag or length ends the sections.
const uchar qmMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                           0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
constexpr uchar hashesTag = 0x42;
constexpr uchar dependenciesTag = 0x96;

quint32 read32(const uchar *data)
{
    return quint32(data[0]) << 24 | quint32(data[1]) << 16 | quint32(data[2]) << 8 | data[3];
}

// QTranslator files a message under the ELF hash of its source text followed by its comment,
// and looks a text up under that hash and, failing a match, under its source text's alone.
void hashContinue(const char *text, quint32 &h)
{
    for (const uchar *k = reinterpret_cast<const uchar *>(text); *k; ++k) {
        h = (h << 4) + *k;
        const quint32 g = h & 0xf0000000;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    }
}
quint32 hashFinished(quint32 h)
{
    return h ? h : 1;
}

// Appends the hash of every entry in the catalog file's hash tables to hashes. False when the
// file cannot be read, is no catalog, or names dependencies, whose entries it does not hold:
// such a catalog is asked for every text.
bool readHashes(const QString &path, std::vector<quint32> &hashes)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    // Mapped, so that only the section headers and the hash tables are read.
    const uchar *data = size >= qint64(sizeof qmMagic) ? file.map(0, size) : nullptr;
    if (!data || std::memcmp(data, qmMagic, sizeof qmMagic) != 0)
        return false;
    const uchar *const end = data + size;
    data += sizeof qmMagic;
    while (end - data >= 5) {
        const uchar tag = data[0];
        const quint32 length = read32(data + 1);
        data += 5;
        if (!tag || !length)
            break;
        if (quint64(end - data) < length)
            return false;
        if (tag == dependenciesTag)
            return false;
        // Every table the file holds is taken, though QTranslator keeps only the last: a
        // catalog asked once too often still answers the same.
        if (tag == hashesTag) {
            for (const uchar *entry = data; data + length - entry >= 8; entry += 8)
                hashes.push_back(read32(entry));
        }
        data += length;
    }
    return true;
}

// The index entries holding hash, in answering order.
std::pair<const quint64 *, const quint64 *> entriesOf(const std::vector<quint64> &index,
                                                      quint32 hash)
{
    const quint64 key = quint64(hash) << 32;
    const quint64 *first = std::lower_bound(index.data(), index.data() + index.size(), key);
    const quint64 *last = first;
    while (last != index.data() + index.size() && (*last >> 32) == hash)
        ++last;
    return {first, last};
}

// Sorts entries by their hash, keeping entries of the same hash in the order given: entries
// appended catalog by catalog come out in answering order. A radix sort, 11 bits at a time,
// so that start-up grows with the catalogs' size and no faster.
void sortByHash(std::vector<quint64> &entries)
{
    std::vector<quint64> sorted(entries.size());
    for (int shift = 32; shift < 64; shift += 11) {
        size_t counts[2048 + 1] = {};
        for (quint64 entry : entries)
            ++counts[((entry >> shift) & 2047) + 1];
        for (size_t digit = 1; digit <= 2048; ++digit)
            counts[digit] += counts[digit - 1];
        for (quint64 entry : entries)
            sorted[counts[(entry >> shift) & 2047]++] = entry;
        entries.swap(sorted);
    }
}

} // namespace

CatalogRouter::CatalogRouter(const QList<QTranslator *> &loaded)
{
    catalogs.reserve(size_t(loaded.size()));
    // A single catalog has nothing to be routed past: it is asked for every text.
    if (loaded.size() == 1) {
        catalogs.emplace_back(loaded.front());
        alwaysAsked.push_back(0);
        return;
    }
    std::vector<quint32> hashes;
    for (QTranslator *catalog : loaded) {
        const quint32 position = quint32(catalogs.size());
        catalogs.emplace_back(catalog);
        hashes.clear();
        if (!readHashes(catalog->filePath(), hashes)) {
            alwaysAsked.push_back(position);
            continue;
        }
        for (quint32 hash : hashes)
            index.push_back(quint64(hash) << 32 | position);
    }
    sortByHash(index);
    index.erase(std::unique(index.begin(), index.end()), index.end());
    index.shrink_to_fit();
}

CatalogRouter::~CatalogRouter() = default;

CatalogRouter::Candidates CatalogRouter::candidates(const char *sourceText,
                                                    const char *disambiguation) const
{
    Candidates c;
    quint32 h = 0;
    hashContinue(sourceText ? sourceText : "", h);
    std::tie(c.withComment, c.withCommentEnd) = entriesOf(index, hashFinished(h));
    c.withoutComment = c.withoutCommentEnd = c.withCommentEnd;
    if (disambiguation && *disambiguation) {
        hashContinue(disambiguation, h);
        c.withoutComment = c.withComment;
        c.withoutCommentEnd = c.withCommentEnd;
        std::tie(c.withComment, c.withCommentEnd) = entriesOf(index, hashFinished(h));
    }
    c.always = alwaysAsked.data();
    c.alwaysEnd = c.always + alwaysAsked.size();
    return c;
}

// The three lists merged in answering order, each catalog once.
int CatalogRouter::next(Candidates &c) const
{
    constexpr quint32 none = ~quint32(0);
    quint32 next = none;
    if (c.withComment != c.withCommentEnd)
        next = std::min(next, quint32(*c.withComment));
    if (c.withoutComment != c.withoutCommentEnd)
        next = std::min(next, quint32(*c.withoutComment));
    if (c.always != c.alwaysEnd)
        next = std::min(next, *c.always);
    if (next == none)
        return -1;
    if (c.withComment != c.withCommentEnd && quint32(*c.withComment) == next)
        ++c.withComment;
    if (c.withoutComment != c.withoutCommentEnd && quint32(*c.withoutComment) == next)
        ++c.withoutComment;
    if (c.always != c.alwaysEnd && *c.always == next)
        ++c.always;
    return int(next);
}

QString CatalogRouter::translate(const char *context, const char *sourceText,
                                 const char *disambiguation, int n) const
{
    Candidates c = candidates(sourceText, disambiguation);
    for (int position; (position = next(c)) >= 0;) {
        QString answer =
            catalogs[size_t(position)]->translate(context, sourceText, disambiguation, n);
        if (!answer.isNull())
            return answer;
    }
    return QString();
}

bool CatalogRouter::isEmpty() const
{
    return std::all_of(
        catalogs.begin(), catalogs.end(),
        [](const std::unique_ptr<QTranslator> &catalog) { return catalog->isEmpty(); });
}
