#ifndef ZAPPBASE_QMFILE_H
#define ZAPPBASE_QMFILE_H

// A catalog file in the toolkit's .qm format, read once into memory the platform owns and
// checked so that no lookup the toolkit makes in it can leave it.

#include <QStringList>

#include <memory>

struct QmImage
{
    // What the toolkit's reader uses of the file, to hand to QTranslator::load(data, size): the
    // magic number, then the hash table, the messages, the context table and the plural rules,
    // each a section as the file holds it. The context table has one zero byte more, which ends
    // a chain of contexts that lrelease -compress leaves running to the end of the table.
    std::unique_ptr<uchar[]> data;
    int size = 0;
    // Where the hash table, the messages and the context table start in data, and their
    // lengths (0: none).
    quint32 hashes = 0, hashesLength = 0, messages = 0, messagesLength = 0, contexts = 0,
            contextsLength = 0;
    // The catalogs this one depends on, by the names the file gives them, in the order they
    // are asked. Left out of data, so that the toolkit never opens them by itself.
    QStringList dependencies;
};

// Why a file cannot be installed as a catalog: each is told to the user by its phrase.
enum class QmFault {
    None,
    NotRegularFile,
    Unreadable,
    Empty,
    TooLarge,
    NotCatalog,
    CutShort,
    LongDependencies,
    BadDependencies,
    PartialHashEntry,
    HashesWithoutMessages,
    MessagesWithoutHashes,
    HashesOverHole,
    MessagesOverHole,
    HashZero,
    UnsortedHashes,
    HashOutsideMessages,
    HashInsideMessage,
    UnknownField,
    FieldOutsideMessages,
    UnendedMessage,
    OddTranslation,
    ContextsCutShort,
    ContextsWithoutBuckets,
    ContextsTooLarge,
    ContextChainOutside,
    LongPluralRules,
    BadPluralRules,
    OutOfMemory,
};

// The phrase the platform's notice gives for a fault, such as "not a catalog".
const char *faultPhrase(QmFault fault);

// Reads the catalog file open on fd, which stays open. QmFault::None when it is a sound
// catalog (see qmfile.cpp for what that takes); otherwise the first fault found, and image is
// undefined.
QmFault readQm(int fd, QmImage &image);

// Whether the toolkit's reader looks for a text of this context among the catalog's messages
// (or, for a catalog without messages, its dependencies') rather than answer nothing at once,
// as its context table decides.
bool holdsContext(const QmImage &image, const char *context);

// The toolkit's hash of a lookup key: ELF over the bytes of text, continued from h.
quint32 continueHash(const char *text, quint32 h = 0);
// What the toolkit files a key under: its hash, or 1 for a key that hashes to 0.
inline quint32 finishHash(quint32 h)
{
    return h != 0 ? h : 1;
}

#endif
