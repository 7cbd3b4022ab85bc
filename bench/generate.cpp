// Writes a benchmark input and its German catalog, the same for the same arguments on every
// machine: usage: trcheck_bench_generate LINES DIR [LONG_EVERY]
//   DIR/Strings.txt   LINES lines, about 50 bytes on average: half of them catalog sources,
//                     a tenth with characters beyond ASCII, one in LONG_EVERY (default 100)
//                     about 600 characters long
//   DIR/bench_de.ts   about 1,700 UI messages with their German translations, context QObject
#include "benchfiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Verb
{
    const char *en, *enPast, *de, *dePast;
};
struct Noun
{
    const char *en, *enPlural, *de, *dePlural;
    char gender; // m, f, n
};

const Verb verbs[] = {
    {"Open", "opened", "öffnen", "geöffnet"},
    {"Save", "saved", "speichern", "gespeichert"},
    {"Delete", "deleted", "löschen", "gelöscht"},
    {"Copy", "copied", "kopieren", "kopiert"},
    {"Move", "moved", "verschieben", "verschoben"},
    {"Rename", "renamed", "umbenennen", "umbenannt"},
    {"Send", "sent", "senden", "gesendet"},
    {"Import", "imported", "importieren", "importiert"},
    {"Export", "exported", "exportieren", "exportiert"},
    {"Edit", "edited", "bearbeiten", "bearbeitet"},
    {"Print", "printed", "drucken", "gedruckt"},
    {"Share", "shared", "teilen", "geteilt"},
    {"Restore", "restored", "wiederherstellen", "wiederhergestellt"},
    {"Update", "updated", "aktualisieren", "aktualisiert"},
    {"Lock", "locked", "sperren", "gesperrt"},
    {"Sync", "synchronised", "synchronisieren", "synchronisiert"},
    {"Download", "downloaded", "herunterladen", "heruntergeladen"},
    {"Select", "selected", "auswählen", "ausgewählt"},
    {"Remove", "removed", "entfernen", "entfernt"},
    {"Check", "checked", "prüfen", "geprüft"},
};

const Noun nouns[] = {
    {"contact", "contacts", "Kontakt", "Kontakte", 'm'},
    {"file", "files", "Datei", "Dateien", 'f'},
    {"folder", "folders", "Ordner", "Ordner", 'm'},
    {"message", "messages", "Nachricht", "Nachrichten", 'f'},
    {"picture", "pictures", "Bild", "Bilder", 'n'},
    {"ringtone", "ringtones", "Klingelton", "Klingeltöne", 'm'},
    {"bookmark", "bookmarks", "Lesezeichen", "Lesezeichen", 'n'},
    {"appointment", "appointments", "Termin", "Termine", 'm'},
    {"note", "notes", "Notiz", "Notizen", 'f'},
    {"playlist", "playlists", "Wiedergabeliste", "Wiedergabelisten", 'f'},
    {"account", "accounts", "Konto", "Konten", 'n'},
    {"key", "keys", "Schlüssel", "Schlüssel", 'm'},
    {"certificate", "certificates", "Zertifikat", "Zertifikate", 'n'},
    {"profile", "profiles", "Profil", "Profile", 'n'},
    {"call log", "call logs", "Anrufliste", "Anruflisten", 'f'},
    {"video", "videos", "Video", "Videos", 'n'},
    {"theme", "themes", "Design", "Designs", 'n'},
    {"alarm", "alarms", "Wecker", "Wecker", 'm'},
    {"download", "downloads", "Download", "Downloads", 'm'},
    {"attachment", "attachments", "Anhang", "Anhänge", 'm'},
};

const char *const fillers[] = {
    "the",    "selected", "device", "memory", "card",  "network", "is",      "not",
    "ready",  "please",   "try",    "again",  "later", "while",   "the",     "battery",
    "charge", "is",       "low",    "and",    "the",   "screen",  "stays",   "off",
    "until",  "you",      "press",  "any",    "key",   "to",      "continue"};
const char *const wideWords[] = {"café", "Résumé", "naïve", "Größe", "Čeština", "→", "…", "€"};

std::string lowercased(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = char(text[0] - 'A' + 'a');
    return text;
}
std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = char(text[0] - 'a' + 'A');
    return text;
}

// German accusative: "den/die/das ausgewählten/-e" as the gender demands.
std::string selectedAccusative(const Noun &noun)
{
    switch (noun.gender) {
    case 'm':
        return std::string("den ausgewählten ") + noun.de;
    case 'f':
        return std::string("die ausgewählte ") + noun.de;
    default:
        return std::string("das ausgewählte ") + noun.de;
    }
}
std::string nominative(const Noun &noun)
{
    return std::string(noun.gender == 'm'   ? "Der "
                       : noun.gender == 'f' ? "Die "
                                            : "Das ") +
           noun.de;
}

struct Message
{
    std::string source, translation;
};

// Every (template, verb, noun) combination once, in a fixed order: 5 x 20 x 20 = 2,000, of
// which the first 1,700 make the catalog and the rest stay untranslated.
std::vector<Message> allMessages()
{
    std::vector<Message> messages;
    for (int shape = 0; shape < 5; ++shape)
        for (const Verb &verb : verbs)
            for (const Noun &noun : nouns) {
                Message m;
                switch (shape) {
                case 0:
                    m = {std::string(verb.en) + " " + noun.en,
                         std::string(noun.de) + " " + verb.de};
                    break;
                case 1:
                    m = {capitalised(noun.en) + " " + verb.enPast,
                         std::string(noun.de) + " " + verb.dePast};
                    break;
                case 2:
                    m = {"Could not " + lowercased(verb.en) + " the " + noun.en + ".",
                         nominative(noun) + " konnte nicht " + verb.dePast + " werden."};
                    break;
                case 3:
                    m = {"Do you want to " + lowercased(verb.en) + " the selected " + noun.en + "?",
                         "Möchten Sie " + selectedAccusative(noun) + " " + verb.de + "?"};
                    break;
                default:
                    m = {std::string(verb.en) + " all " + noun.enPlural + "…",
                         std::string("Alle ") + noun.dePlural + " " + verb.de + " …"};
                    break;
                }
                messages.push_back(m);
            }
    return messages;
}

std::string xmlEscaped(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string fillerSentence(Random &random, std::size_t words, bool wide)
{
    std::string line;
    for (std::size_t i = 0; i < words; ++i) {
        if (i)
            line += ' ';
        line += fillers[random.below(sizeof fillers / sizeof *fillers)];
    }
    if (wide)
        line += std::string(" ") + wideWords[random.below(sizeof wideWords / sizeof *wideWords)];
    return capitalised(line);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s LINES DIR [LONG_EVERY]\n", argv[0]);
        return 1;
    }
    const unsigned long long lines = std::strtoull(argv[1], nullptr, 10);
    const std::string dir = argv[2];
    const unsigned long long longEvery = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 100;

    const std::vector<Message> messages = allMessages();
    const std::size_t catalogSize = 1700;

    std::string ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                     "<TS version=\"2.1\" language=\"de\">\n<context>\n    <name>QObject</name>\n";
    for (std::size_t i = 0; i < catalogSize; ++i)
        ts += "    <message>\n        <source>" + xmlEscaped(messages[i].source) +
              "</source>\n        <translation>" + xmlEscaped(messages[i].translation) +
              "</translation>\n    </message>\n";
    ts += "</context>\n</TS>\n";
    if (!writeFile(dir + "/bench_de.ts", ts))
        return 2;

    std::FILE *out = std::fopen((dir + "/Strings.txt").c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s/Strings.txt\n", dir.c_str());
        return 2;
    }
    Random random{0x9e3779b97f4a7c15u};
    std::string line;
    for (unsigned long long n = 1; n <= lines; ++n) {
        const bool wide = n % 10 == 3; // a tenth beyond ASCII
        if (longEvery && n % longEvery == 7) {
            line.clear();
            while (line.size() < 590)
                line += fillerSentence(random, 12, wide && line.empty()) + ". ";
            line.pop_back();
        } else if (random.below(2) == 0) {
            // A catalog source: the last 100 end in "…", the rest are ASCII.
            line = wide ? messages[catalogSize - 100 + random.below(100)].source
                        : messages[random.below(catalogSize - 100)].source;
        } else if (random.below(4) == 0) {
            // Looks like a catalog source, yet is none.
            line = messages[catalogSize + random.below(messages.size() - catalogSize)].source;
            line.erase(line.size() - 3); // "…"
            if (wide)
                line += " é";
        } else {
            line = fillerSentence(random, 7 + random.below(15), wide);
        }
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) {
            std::fprintf(stderr, "cannot write %s/Strings.txt\n", dir.c_str());
            return 2;
        }
    }
    return std::fclose(out) == 0 ? 0 : 2;
}
