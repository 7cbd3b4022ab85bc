#include "checkstrings.h"
#include "platform.h"
#include "table.h"
#include "wholecharacters.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

// The table goes beside the program as it was started (argv[0] unchanged); a bare name
// resolves against the working directory.
QString tablePath(const char *programPath)
{
    const QString directory = QFileInfo(QFile::decodeName(programPath)).absolutePath();
    return QStringLiteral("%1/%2").arg(directory, QLatin1String(tableFileName));
}

// Everything the table stream held must have reached the file.
bool tableWritten(QTextStream &stream, QFile &file)
{
    stream.flush();
    return stream.status() == QTextStream::Ok && file.flush() && file.error() == QFile::NoError;
}

} // namespace

int main(int argc, char **argv)
{
    ZApplication application(argc, argv, ZApplication::GuiClient);

    if (argc != 2) {
        std::fprintf(stderr, "Usage:\n\t%s Strings.txt\n", argc > 0 ? argv[0] : "trcheck");
        return 1;
    }

    QFile strings(QFile::decodeName(argv[1]));
    if (!strings.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot open '%s' file for read.\n", argv[1]);
        return 2;
    }

    QFile table(tablePath(argv[0]));
    if (!table.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "Cannot open '%s' file for write.\n", tableFileName);
        return 3;
    }

    WholeCharacters characters(strings);
    QTextStream input(&characters);
    QTextStream output(&table);
    output.setEncoding(QStringConverter::Utf8);

    checkStrings(input, output, stdout);

    const bool written = tableWritten(output, table);
    table.close();
    strings.close();
    if (!written) {
        std::fprintf(stderr, "Cannot write '%s' file.\n", tableFileName);
        return 3;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "Cannot write the report to standard output.\n");
        return 4;
    }
    return 0;
}
