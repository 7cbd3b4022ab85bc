#ifndef TRCHECK_LOOKUP_H
#define TRCHECK_LOOKUP_H

#include "output.h"

// One language's translations as the pass asks them: trcheck's are the toolkit's own lookup under
// the platform's application object, trcoverage's the platform's catalogs for each language.
// Each is asked by one thread at a time.
class Lookup
{
  public:
    virtual ~Lookup() = default;
    // What the platform answers for key, a line's UTF-8 form: the answer of the first component
    // that has one; where none has, null or, from the toolkit, the key decoded again.
    virtual QString translate(const char *key) const = 0;
    // Every component whose catalog answers key, asked on its own, in answering order.
    virtual QList<ComponentAnswer> answers(const char *key) const = 0;
    // The components, as ComponentAnswer::component counts them.
    virtual QStringList components() const = 0;
};

#endif
