#include "catalogrouter.h"

#include "qmfile.h"

#include <algorithm>
#include <tuple>

namespace {

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

CatalogRouter::CatalogRouter(std::vector<std::shared_ptr<const Catalog>> loaded)
    : catalogs(std::move(loaded))
{
    // A single catalog has nothing to be routed past: it is asked for every text.
    if (catalogs.size() == 1)
        return;
    std::vector<quint32> hashes;
    for (size_t position = 0; position < catalogs.size(); ++position) {
        hashes.clear();
        catalogs[position]->appendHashes(hashes);
        for (quint32 hash : hashes)
            index.push_back(quint64(hash) << 32 | position);
    }
    sortByHash(index);
    index.erase(std::unique(index.begin(), index.end()), index.end());
    index.shrink_to_fit();
}

CatalogRouter::~CatalogRouter() = default;

// The toolkit looks a text up under the hash of its source text and comment, then, failing a
// match, under that of its source text alone; each finished so that a key hashing to 0 is
// filed under 1.
CatalogRouter::Candidates CatalogRouter::candidates(const char *sourceText,
                                                    const char *disambiguation) const
{
    Candidates c;
    c.always = catalogs.size() == 1;
    // A single catalog is asked for every text: nothing to hash.
    if (c.always) {
        c.withComment = c.withCommentEnd = c.withoutComment = c.withoutCommentEnd = nullptr;
        return c;
    }
    const quint32 source = continueHash(sourceText ? sourceText : "");
    std::tie(c.withComment, c.withCommentEnd) = entriesOf(index, finishHash(source));
    c.withoutComment = c.withoutCommentEnd = c.withCommentEnd;
    if (disambiguation && *disambiguation) {
        c.withoutComment = c.withComment;
        c.withoutCommentEnd = c.withCommentEnd;
        std::tie(c.withComment, c.withCommentEnd) =
            entriesOf(index, finishHash(continueHash(disambiguation, source)));
    }
    return c;
}

// The two lists merged in answering order, each catalog once.
int CatalogRouter::next(Candidates &c) const
{
    if (c.always) {
        c.always = false;
        return 0;
    }
    constexpr quint32 none = ~quint32(0);
    quint32 next = none;
    if (c.withComment != c.withCommentEnd)
        next = std::min(next, quint32(*c.withComment));
    if (c.withoutComment != c.withoutCommentEnd)
        next = std::min(next, quint32(*c.withoutComment));
    if (next == none)
        return -1;
    if (c.withComment != c.withCommentEnd && quint32(*c.withComment) == next)
        ++c.withComment;
    if (c.withoutComment != c.withoutCommentEnd && quint32(*c.withoutComment) == next)
        ++c.withoutComment;
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
        [](const std::shared_ptr<const Catalog> &catalog) { return catalog->isEmpty(); });
}
