// Fuzz target for the platform's catalog reading: the input is up to four catalog files,
// separated by "\n=qm=\n", written as a_de.qm to d_de.qm into a directory of their own, where
// any of them may depend on another by name (b_de, c_de_XX, ...). The platform installs the
// directory's catalogs for de, and then:
// - every catalog it takes must be one that a QTranslator loads from the file, dependencies
//   and all, and must answer every lookup as that QTranslator does; the platform as a whole
//   must answer as those QTranslators installed one by one, the first component asked first;
// - every file its check accepts is handed to the toolkit's reader from memory that ends, and
//   from memory that starts, at a page no one may read, and looked up in every way its own
//   messages suggest: the reader trusts the file, and a read outside it faults.
// - every catalog it refuses is named in its notice with a reason, one line each, that holds no
//   control character (a dependency's name comes from the file);
// Catalogs the check refuses are never handed to the toolkit. The lookups are every source
// text, context and comment the files' messages hold, and a few more, with and without the
// comment, in and out of plural forms. Any crash, leak, sanitizer report or difference aborts.
#include "catalog.h"
#include "catalognames.h"
#include "catalogs.h"
#include "qmfile.h"

#include <zcatalogs.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTranslator>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray directory;
const char *const fileNames[] = {"a_de.qm", "b_de.qm", "c_de.qm", "d_de.qm"};

[[noreturn]] void fail(const char *what, const std::string &context, const std::string &source,
                       const std::string &comment, int n, const QString &got,
                       const QString &expected)
{
    std::fprintf(stderr, "%s differs for (%s, %s, %s, %d)\ngot:      %s\nexpected: %s\n", what,
                 QByteArray::fromStdString(context).toHex().constData(),
                 QByteArray::fromStdString(source).toHex().constData(),
                 QByteArray::fromStdString(comment).toHex().constData(), n,
                 got.isNull() ? "(null)" : got.toUtf8().toHex().constData(),
                 expected.isNull() ? "(null)" : expected.toUtf8().toHex().constData());
    std::abort();
}

// A copy of the bytes that ends, or starts, right at a page no one may read.
class Guarded
{
  public:
    Guarded(const uchar *data, size_t size, bool atEnd)
    {
        const size_t page = size_t(::sysconf(_SC_PAGESIZE));
        span = (size + page - 1) / page * page + 2 * page;
        base = static_cast<uchar *>(
            ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (base == MAP_FAILED || ::mprotect(base, page, PROT_NONE) != 0 ||
            ::mprotect(base + span - page, page, PROT_NONE) != 0)
            std::abort();
        start = atEnd ? base + span - page - size : base + page;
        std::memcpy(start, data, size);
    }
    ~Guarded() { ::munmap(base, span); }
    Guarded(const Guarded &) = delete;
    Guarded &operator=(const Guarded &) = delete;

    const uchar *data() const { return start; }

  private:
    uchar *base, *start;
    size_t span;
};

struct Keys
{
    std::set<std::string> contexts{"QObject", "Other", ""}, sources{"", "Hello"}, comments{""};

    // Every lookup: each context and source text, with the source text as its comment (as the
    // platform asks), without one, and with each comment a message holds; singular and plural.
    template <typename Lookup> void forEach(const std::string &context, Lookup lookup) const
    {
        for (const std::string &source : sources) {
            lookup(context, source, source, -1);
            for (const std::string &comment : comments)
                for (int n : {-1, 2})
                    lookup(context, source, comment, n);
        }
    }
};

// Every field of every message, as the toolkit reads them; the check has vouched for them.
void collectKeys(const QmImage &image, Keys &keys)
{
    const uchar *const messages = image.data.get() + image.messages;
    for (quint32 at = 0; at < image.messagesLength;) {
        const uchar tag = messages[at++];
        if (tag == 1)
            continue;
        const quint32 size = qFromBigEndian<quint32>(messages + at);
        at += 4;
        if (size == 0xffffffff)
            continue;
        const std::string field(reinterpret_cast<const char *>(messages + at), size);
        at += size;
        std::set<std::string> &into = tag == 6   ? keys.sources
                                      : tag == 7 ? keys.contexts
                                                 : keys.comments;
        if (tag != 3 && into.size() < 12)
            into.insert(field);
    }
}

// Whether the toolkit, looking for context, walks a chain of the context table to its end,
// where the file goes on with other bytes (lrelease -compress writes such chains): what it
// answers then depends on those bytes, and the platform answers as if the chain ended there.
bool walksOffTable(const QmImage &image, const char *context)
{
    if (image.contextsLength == 0 || image.hashesLength == 0)
        return false;
    const uchar *const table = image.data.get() + image.contexts;
    const quint32 buckets = qFromBigEndian<quint16>(table);
    const quint32 offset =
        qFromBigEndian<quint16>(table + 2 + 2 * (finishHash(continueHash(context)) % buckets));
    if (offset == 0)
        return false;
    const size_t length = std::strlen(context);
    for (quint32 at = 2 + 2 * buckets + 2 * offset;;) {
        if (at == image.contextsLength)
            return true;
        const quint32 size = table[at++];
        if (size == 0)
            return false;
        const quint32 matched = table[at + size - 1] == 0 ? size - 1 : size;
        if (matched == length && std::memcmp(table + at, context, length) == 0)
            return false;
        at += size;
    }
}

void writeFiles(const QByteArray &input)
{
    const QByteArray separator("\n=qm=\n");
    qsizetype from = 0;
    for (const char *name : fileNames) {
        const QByteArray path = directory + '/' + name;
        ::unlink(path.constData());
        if (from > input.size())
            continue;
        qsizetype to = input.indexOf(separator, from);
        if (to < 0)
            to = input.size();
        QFile file(QFile::decodeName(path));
        if (!file.open(QIODevice::WriteOnly) || file.write(input.mid(from, to - from)) < 0 ||
            !file.flush())
            std::abort();
        from = to + separator.size();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "catalogs_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    QByteArray pattern = qgetenv("TMPDIR");
    pattern = (pattern.isEmpty() ? QByteArray("/tmp") : pattern) + "/catalogs_fuzz.XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    directory = pattern;
    std::atexit([] {
        for (const char *name : fileNames)
            ::unlink((directory + '/' + name).constData());
        ::rmdir(directory.constData());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    writeFiles(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString dir = QFile::decodeName(directory);

    // Every file the check accepts, probed in guarded memory; the lookups come from them all.
    Keys keys;
    std::vector<QmImage> images;
    for (const char *name : fileNames) {
        const int fd = ::open((directory + '/' + name).constData(), O_RDONLY | O_CLOEXEC);
        QmImage image;
        const bool sound = fd >= 0 && readQm(fd, image) == QmFault::None;
        if (fd >= 0)
            ::close(fd);
        if (!sound)
            continue;
        collectKeys(image, keys);
        images.push_back(std::move(image));
    }
    for (const QmImage &image : images) {
        for (bool atEnd : {true, false}) {
            const Guarded copy(image.data.get(), size_t(image.size), atEnd);
            QTranslator probe;
            if (!probe.load(copy.data(), image.size))
                std::abort();
            for (const std::string &context : keys.contexts)
                keys.forEach(context, [&probe](const std::string &context,
                                               const std::string &source,
                                               const std::string &comment, int n) {
                    probe.translate(context.c_str(), source.c_str(), comment.c_str(), n);
                });
        }
    }
    const auto unsure = [&images](const std::string &context) {
        for (const QmImage &image : images) {
            if (walksOffTable(image, context.c_str()))
                return true;
        }
        return false;
    };

    // Each catalog the platform takes, against the toolkit's reader of the same file.
    const std::shared_ptr<CatalogDirectory> opened = CatalogDirectory::open(directory);
    LoadedCatalogs loaded = opened->load(languageNames(QStringLiteral("de")));
    std::vector<std::unique_ptr<QTranslator>> references;
    for (size_t i = 0; i < loaded.catalogs.size(); ++i) {
        auto reference = std::make_unique<QTranslator>();
        if (!reference->load(loaded.files[qsizetype(i)], dir, QStringLiteral(""),
                             QStringLiteral(""))) {
            std::fprintf(stderr, "the toolkit does not load %s, which the platform takes\n",
                         qPrintable(loaded.files[qsizetype(i)]));
            std::abort();
        }
        for (const std::string &context : keys.contexts) {
            if (unsure(context))
                continue;
            keys.forEach(context, [&](const std::string &context, const std::string &source,
                                      const std::string &comment, int n) {
                const QString got = loaded.catalogs[i]->translate(context.c_str(), source.c_str(),
                                                                  comment.c_str(), n);
                const QString expected =
                    reference->translate(context.c_str(), source.c_str(), comment.c_str(), n);
                if (got != expected || got.isNull() != expected.isNull())
                    fail("a catalog's answer", context, source, comment, n, got, expected);
            });
        }
        references.push_back(std::move(reference));
    }

    // The platform as a whole, as ZApplication installs it.
    const ZCatalogs platform(directory, QStringLiteral("de"));
    if (platform.components() != loaded.components)
        std::abort();
    QByteArray notice;
    for (const LoadedCatalogs::Broken &broken : loaded.broken) {
        for (const char c : broken.fault) {
            if (uchar(c) < 0x20 || c == 0x7f)
                std::abort();
        }
        if (broken.fault.isEmpty())
            std::abort();
        notice += "ZApplication: cannot load catalog '" + directory + '/' + broken.file +
                  "': " + broken.fault + '\n';
    }
    if (loaded.catalogs.empty() && loaded.broken.empty())
        notice = "ZApplication: no catalog for language 'de' in '" + directory + "'\n";
    if (platform.notice() != notice) {
        std::fprintf(stderr, "notice:\n%sexpected:\n%s", platform.notice().constData(),
                     notice.constData());
        std::abort();
    }
    if (!unsure("QObject")) {
        for (const std::string &source : keys.sources) {
            QString expected;
            for (size_t i = 0; i < references.size() && expected.isNull(); ++i)
                expected = references[i]->translate("QObject", source.c_str(), source.c_str());
            const QString got = platform.translate(source.c_str());
            if (got != expected || got.isNull() != expected.isNull())
                fail("the platform's answer", "QObject", source, source, -1, got, expected);
        }
    }
    return 0;
}
