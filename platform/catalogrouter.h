#ifndef CATALOGROUTER_H
#define CATALOGROUTER_H

#include <QList>
#include <QTranslator>

#include <memory>
#include <vector>

// One translator standing for many loaded catalogs: it answers exactly as the catalogs would,
// installed one by one so that the first in the list is asked first. The toolkit asks every
// installed translator in turn until one answers, so a text no catalog holds would cost a
// lookup in each; this asks only the catalogs whose hash tables hold the text's hash, and
// leaves it to each QTranslator to decide what matches.
class CatalogRouter : public QTranslator
{
  public:
    // Takes ownership of the catalogs, given in the order they answer.
    explicit CatalogRouter(const QList<QTranslator *> &catalogs);
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
        const quint32 *always, *alwaysEnd;
    };
    Candidates candidates(const char *sourceText, const char *disambiguation) const;
    int next(Candidates &candidates) const;
    const QTranslator &catalog(int position) const { return *catalogs[size_t(position)]; }

  private:
    std::vector<std::unique_ptr<QTranslator>> catalogs;
    // (hash << 32) | position in catalogs, ascending: a text's candidates in answering order.
    std::vector<quint64> index;
    // Catalogs whose file could not be read for its hashes, or that defer to dependencies.
    std::vector<quint32> alwaysAsked;
};

#endif
