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

  private:
    std::vector<std::unique_ptr<QTranslator>> catalogs;
    // (hash << 32) | position in catalogs, ascending: a text's candidates in answering order.
    std::vector<quint64> index;
    // Catalogs whose file could not be read for its hashes, or that defer to dependencies.
    std::vector<quint32> alwaysAsked;
};

#endif
