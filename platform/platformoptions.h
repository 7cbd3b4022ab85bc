#ifndef ZAPPBASE_PLATFORMOPTIONS_H
#define ZAPPBASE_PLATFORMOPTIONS_H

// The platform's own options, read the same way by ZApplication and by every program that
// reports on the platform's catalogs (trcoverage). Each may stand anywhere on the command line,
// spelled with one dash or two, its value as the next argument or after '=':
//   -translations DIR   --translations DIR   -translations=DIR   --translations=DIR
//   -lang LOCALE        --lang LOCALE        -lang=LOCALE        --lang=LOCALE
// An option without a value (the last argument) stays on the command line, where the program
// sees it as a stray argument rather than losing it silently.

#include <QByteArray>
#include <QList>

struct PlatformOptions
{
    QByteArray translations;     // the bytes as given; null when not given (the last one counts)
    QList<QByteArray> languages; // every -lang, in the order given, by their bytes
};

// Takes the platform's options out of argc/argv, keeping the other arguments in their order.
PlatformOptions takePlatformOptions(int &argc, char **argv);

#endif
