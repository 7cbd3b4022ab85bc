#ifndef TRCHECK_CHECKSTRINGS_H
#define TRCHECK_CHECKSTRINGS_H

#include <cstdio>

class QTextStream;

// Looks up every line of the input, reports each verdict on report (the program's standard
// output) and writes a table row for every line that has a translation. One pass, holding
// only the current line: the input may be of any length.
void checkStrings(QTextStream &input, QTextStream &table, std::FILE *report);

#endif
