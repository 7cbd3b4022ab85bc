#ifndef TRCHECK_FUZZ_COVERAGE_CHECK_H
#define TRCHECK_FUZZ_COVERAGE_CHECK_H

#include <QByteArray>
#include <QString>

// The multi-language pass on arbitrary bytes, against the same model of the input and one
// QTranslator per catalog: verdicts, answers, conflicts and counts in every language, read at
// once and through a pipe, with and without threads. Aborts on any difference.
void setUpCoverageCheck(const QString &catalogDirectory);
void checkCoverage(const QByteArray &bytes);

#endif
