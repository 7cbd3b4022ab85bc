#ifndef TRCHECK_CHECKSTRINGS_H
#define TRCHECK_CHECKSTRINGS_H

class QTextStream;

// Looks up every line of the input, reports each verdict on standard output and writes a
// table row for every line that has a translation.
void checkStrings(QTextStream &input, QTextStream &table);

#endif
