#ifndef TRCOVERAGE_OPTIONS_H
#define TRCOVERAGE_OPTIONS_H

#include "checks.h"
#include "findings.h"
#include "share.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// A trcoverage run as the command line asks for it. Names and paths are kept by their bytes: a
// file or directory name need not be valid UTF-8.
struct CoverageOptions
{
    QByteArray directory;  // the catalog directory as given, or the platform's default
    QStringList languages; // as given, each once; empty: every language of the directory
    FindingsOptions shown; // -missing, -conflicts, -checks, and whether translations are checked
    CheckLimits limits;    // -max-width, -max-growth
    const NamedFormat *format = &formats[0];
    std::optional<Percent> failUnder;
    QByteArray failUnderText; // as given, for the message
    bool countSame = false;   // -fail-under counts the lines kept the same as translated
    bool failOnChecks = false;
    QByteArray page;    // -html FILE; null without
    QByteArray strings; // the strings file
};

// Reads the command line into options. Returns -1 when the run goes ahead; otherwise the exit
// status of a run that ends here, having said why (a usage error) or shown what was asked
// (--help, --version).
int readOptions(int argc, char **argv, CoverageOptions &options);

#endif
