// How a file name reads as a component and a locale, which locale names a language finds, and
// how a name held by its bytes is shown.
#include "bytesastext.h"
#include "catalognames.h"

#include <gtest/gtest.h>

namespace {

// "component locale canonical", or "none" when the name is no catalog's.
std::string reading(const QByteArray &fileName)
{
    CatalogName name;
    if (!readCatalogName(fileName, name))
        return "none";
    return (QString::fromLatin1(name.component) + u' ' + name.locale + u' ' + name.canonical)
        .toStdString();
}

// A shown name read back by the rule it is shown by: \\ a backslash, \xhh a byte, any other
// character its UTF-8; "unreadable" when the text breaks the rule.
QByteArray readBack(const QString &text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'\\') {
            const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
            const QString character = text.mid(i, length);
            if (character.size() != length || !QStringView(character).isValidUtf16())
                return "unreadable";
            bytes += character.toUtf8();
            i += length;
        } else if (text.mid(i + 1, 1) == u"\\") {
            bytes += '\\';
            i += 2;
        } else {
            const QString hex = text.mid(i + 2, 2);
            bool ok = false;
            const uint byte = hex.toUInt(&ok, 16);
            if (text.mid(i + 1, 1) != u"x" || hex.size() != 2 || !ok || hex != hex.toLower())
                return "unreadable";
            bytes += char(byte);
            i += 4;
        }
    }
    return bytes;
}

} // namespace

TEST(CatalogNames, RefusesNamesOfNoCatalog)
{
    for (const char *name : {
             "app_de.ts",     // not a .qm file
             "app.qm",        // no locale
             "_de.qm",        // no component
             "app_DE.qm",     // a language is spelled in small letters
             "app_pt_Br.qm",  // neither the toolkit's spelling nor all small letters
             "app_d.qm",      // a language of one letter
             "app_deut.qm",   // or of four
             "app_de_XYZ.qm", // a region of three letters
             "app_de-AT.qm",  // parts are joined by '_'
             "app_de_.qm",    // an empty part
         })
        EXPECT_EQ(reading(name), "none") << name;
}

TEST(CatalogNames, ReadsTheLongestLocaleAtTheEnd)
{
    EXPECT_EQ(reading("app_pt_br.qm"), "app pt_br pt_BR"); // never Breton
    EXPECT_EQ(reading("app_pt_BR.qm"), "app pt_BR pt_BR");
    EXPECT_EQ(reading("app_sr_Latn_RS.qm"), "app sr_Latn_RS sr_Latn_RS");
    EXPECT_EQ(reading("app_sr_latn_rs.qm"), "app sr_latn_rs sr_Latn_RS");
    EXPECT_EQ(reading("app_es_419.qm"), "app es_419 es_419");
    EXPECT_EQ(reading("app_ca_valencia.qm"), "app ca_valencia ca_valencia");
    EXPECT_EQ(reading("app_xx.qm"), "app xx xx"); // a language the database does not know
    EXPECT_EQ(reading("_core_de.qm"), "_core de de");
    EXPECT_EQ(reading(".core_de.qm"), ".core de de");
    // A second part of two or three letters that is no language is part of the component, never
    // a locale of its own (app_DE): a locale of several parts starts with a known language.
    EXPECT_EQ(reading("my_app_de.qm"), "my_app de de");
    EXPECT_EQ(reading("my_ui_de.qm"), "my_ui de de");
}

TEST(CatalogNames, TriesTheLanguageAsGivenThenTheToolkitsNames)
{
    const QStringList austrian = languageNames(QStringLiteral("de_AT"));
    ASSERT_GE(austrian.size(), 3);
    EXPECT_EQ(austrian.mid(0, 2), QStringList({QStringLiteral("de_AT"), QStringLiteral("de_at")}));
    // A region before its language.
    EXPECT_LT(austrian.indexOf(QStringLiteral("de_AT")), austrian.indexOf(QStringLiteral("de")));
    EXPECT_FALSE(austrian.contains(QStringLiteral("C")));

    // A name the locale database does not know finds its own catalog, and no other.
    EXPECT_EQ(languageNames(QStringLiteral("en-XA")).mid(0, 2),
              QStringList({QStringLiteral("en_XA"), QStringLiteral("en_xa")}));
    const QStringList unknown = languageNames(QStringLiteral("yy"));
    EXPECT_EQ(unknown.value(0), QStringLiteral("yy"));
    EXPECT_FALSE(unknown.contains(QStringLiteral("en")));
}

TEST(CatalogNames, ShowsEveryNameSoThatItReadsBack)
{
    EXPECT_EQ(bytesAsText("caf\xe9"), QStringLiteral(u"caf\\xe9"));
    EXPECT_EQ(bytesAsText("caf\\xe9"), QStringLiteral(u"caf\\\\xe9"));
    EXPECT_EQ(bytesAsText("\xef\xbb\xbf"
                          "caf\xc3\xa9"),
              QStringLiteral(u"\uFEFFcaf\u00E9"));
    EXPECT_EQ(bytesAsText("\xf0\x9f\x98\x80\xf0\x9f\x98"),
              QStringLiteral(u"\U0001F600\\xf0\\x9f\\x98"));

    // Every name of one or two bytes, and of three or four that start with a byte that leads
    // a longer character, their last bytes at the edges of what follows a lead.
    const auto readsBack = [](const QByteArray &name) {
        const bool same = readBack(bytesAsText(name)) == name;
        EXPECT_TRUE(same) << name.toHex().constData();
        return same;
    };
    const unsigned char edges[] = {0x00, 0x5c, 0x7f, 0x80, 0xbf, 0xc0, 0xff};
    for (int a = 0; a < 256; ++a) {
        if (!readsBack(QByteArray(1, char(a))))
            return;
        for (int b = 0; b < 256; ++b) {
            QByteArray name(1, char(a));
            name += char(b);
            if (!readsBack(name))
                return;
            for (const unsigned char c : edges) {
                if (a < 0xe0)
                    break;
                if (!readsBack(name + char(c)))
                    return;
                for (const unsigned char d : edges) {
                    if (a >= 0xf0 && !readsBack(name + char(c) + char(d)))
                        return;
                }
            }
        }
    }
}
