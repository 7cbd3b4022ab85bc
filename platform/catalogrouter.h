#ifndef CATALOGROUTER_H
#define CATALOGROUTER_H

#include "catalog.h"

#include <QTranslator>

#include <memory>
#include <vector>

// One translator standing for many loaded catalogs: it answers exactly as the catalogs would,
// installed one by one so that the first in the list is asked first. The toolkit asks every
// installed translator in turn until one answers, so a text no catalog holds would cost a
// lookup in each; this asks only the catalogs whose hash tables (or their dependencies') hold
// the text's hash, read from the bytes the catalogs answer from, and leaves it to each catalog
// to decide what matches.
class CatalogRouter : public QTranslator
{
  public:
    // The catalogs, given in the order they answer. They may be shared with other routers and
    // asked from other threads at the same time: a catalog's lookups change nothing in it.
    explicit CatalogRouter(std::vector<std::shared_ptr<const Catalog>> catalogs);
    ~CatalogRouter() override;

    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override;

    // The catalogs that may hold a text, in answering order:
    //   for (Candidates c = candidates(text, comment); (position = next(c)) >= 0;) ...
    // where position is the catalog's place in the list given.
    struct Candidates
    {
        const quint64 *withComment, *withCommentEnd, *withoutComment, *withoutCommentEnd;
        bool always; // a single catalog, asked for every text
    };
    Candidates candidates(const char *sourceText, const char *disambiguation) const;
    int next(Candidates &candidates) const;
    const Catalog &catalog(int position) const { return *catalogs[size_t(position)]; }
    int size() const { return int(catalogs.size()); }

  private:
    std::vector<std::shared_ptr<const Catalog>> catalogs;
    // (hash << 32) | position in catalogs, ascending: a text's candidates in answering order.
    std::vector<quint64> index;
};

#endif
