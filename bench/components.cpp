// Writes a platform of many components and an input checked against it, the same for the same
// arguments on every machine: usage: trcheck_bench_components COUNT LINES DIR
//   DIR/cNNN_de.ts    COUNT catalogs of 100 German messages each, context QObject
//   DIR/Strings.txt   LINES lines, about 45 bytes each: a third of them sources from any of the
//                     catalogs, the rest texts no catalog holds
#include "benchfiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char *const words[] = {"the",    "selected", "device",  "memory", "card",    "network",
                             "ready",  "please",   "try",     "again",  "later",   "battery",
                             "charge", "screen",   "press",   "key",    "contact", "folder",
                             "file",   "message",  "picture", "alarm",  "profile", "account"};
constexpr int messagesPerCatalog = 100;

// Message m of component c: a handful of words, made unique by its numbers.
std::string source(unsigned long c, unsigned long m)
{
    Random random{0x2545f4914f6cdd1du};
    random.state += c * 7919 + m * 104729;
    std::string text = "Check";
    for (int i = 0; i < 5; ++i) {
        text += ' ';
        text += words[random.below(sizeof words / sizeof *words)];
    }
    return text + " " + std::to_string(c) + "." + std::to_string(m);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s COUNT LINES DIR\n", argv[0]);
        return 1;
    }
    const unsigned long count = std::strtoul(argv[1], nullptr, 10);
    const unsigned long lines = std::strtoul(argv[2], nullptr, 10);
    const std::string dir = argv[3];
    if (count == 0)
        return 1;

    for (unsigned long c = 0; c < count; ++c) {
        std::string ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                         "<TS version=\"2.1\" language=\"de\">\n<context>\n"
                         "    <name>QObject</name>\n";
        for (int m = 0; m < messagesPerCatalog; ++m)
            ts += "    <message>\n        <source>" + source(c, m) +
                  "</source>\n        <translation>Prüfen " + std::to_string(c) + "." +
                  std::to_string(m) + "</translation>\n    </message>\n";
        ts += "</context>\n</TS>\n";
        char name[32];
        std::snprintf(name, sizeof name, "/c%03lu_de.ts", c);
        if (!writeFile(dir + name, ts))
            return 2;
    }

    Random random{0x2545f4914f6cdd1du};
    std::string text;
    for (unsigned long n = 0; n < lines; ++n) {
        const unsigned long c = random.below(count), m = random.below(messagesPerCatalog);
        // Untranslated lines look like sources yet name no message of any catalog.
        text += n % 3 == 0 ? source(c, m) : source(c, messagesPerCatalog + m);
        text += '\n';
    }
    return writeFile(dir + "/Strings.txt", text) ? 0 : 2;
}
