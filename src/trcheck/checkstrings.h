#ifndef TRCHECK_CHECKSTRINGS_H
#define TRCHECK_CHECKSTRINGS_H

#include "lookup.h"

class QTextStream;
class Writer;

// The toolkit's own lookup (QObject::tr) under the platform's application object, as the one
// language of trcheck's pass. The toolkit answers as a whole: one component, unnamed.
class ToolkitLookup final : public Lookup
{
  public:
    QString translate(const char *key) const override;
    QList<ComponentAnswer> answers(const char *key) const override;
    QStringList components() const override { return {QString()}; }
};

// Looks up every line of the input, reports each verdict on report (the program's standard
// output) and writes a table row for every line that has a translation: the pass over one
// language, the toolkit's, one line in memory at a time, so the input may be of any length.
void checkStrings(QTextStream &input, Writer &table, Writer &report);

#endif
