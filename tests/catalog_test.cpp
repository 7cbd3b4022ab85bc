// A catalog with its dependencies, and what ZCatalogs makes of catalogs: why one is refused, as
// the notice tells it, and what one answers.
#include "catalog.h"
#include "qmbuilder.h"

#include <zcatalogs.h>

#include <QTranslator>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace qm;

namespace {

const Message hello{"Hello", QStringLiteral("Hallo")};

// Why Catalog::load refuses the file name of dir; empty when it loads.
QByteArray fault(Directory &dir, const QByteArray &name)
{
    QByteArray why;
    const std::unique_ptr<Catalog> catalog = Catalog::load(dir.fd(), name, why);
    EXPECT_EQ(catalog == nullptr, !why.isEmpty()) << why.constData();
    return why;
}

} // namespace

TEST(Catalog, SaysWhyAFileOrADependencyFails)
{
    Directory dir;
    ASSERT_EQ(::symlinkat("nowhere", dir.fd(), "dangling_de.qm"), 0);
    EXPECT_EQ(fault(dir, "dangling_de.qm"), "a link to nothing");
    ASSERT_EQ(::mkdirat(dir.fd(), "dir_de.qm", 0700), 0);
    EXPECT_EQ(fault(dir, "dir_de.qm"), "not a regular file");
    ASSERT_TRUE(dir.write("garbage_de.qm", "not a catalog, just text\n"));
    EXPECT_EQ(fault(dir, "garbage_de.qm"), "not a catalog");

    // Named as the catalog names it, but that it cannot write to the terminal through it.
    ASSERT_TRUE(dir.write("lost_de.qm",
                          catalog({hello}, dependencies({QStringLiteral("gone\x1b[31m_de")}))));
    EXPECT_EQ(fault(dir, "lost_de.qm"), "missing dependency 'gone?[31m_de'");
    // DEL and the C1 controls are control characters too, though above the others.
    ASSERT_TRUE(dir.write("rubbed_de.qm",
                          catalog({hello}, dependencies({QStringLiteral("gone\x7f\u009b_de")}))));
    EXPECT_EQ(fault(dir, "rubbed_de.qm"), "missing dependency 'gone??_de'");
    ASSERT_TRUE(
        dir.write("self_de.qm", catalog({hello}, dependencies({QStringLiteral("self_de")}))));
    EXPECT_EQ(fault(dir, "self_de.qm"), "dependency 'self_de' loops back");
    // Through another: the way round the loop is told.
    ASSERT_TRUE(
        dir.write("ping_de.qm", catalog({hello}, dependencies({QStringLiteral("pong_de")}))));
    ASSERT_TRUE(dir.write("pong_de.qm", catalog({}, dependencies({QStringLiteral("ping_de")}))));
    EXPECT_EQ(fault(dir, "ping_de.qm"),
              "dependency 'pong_de' is broken: dependency 'ping_de' loops back");
    ASSERT_TRUE(
        dir.write("meta_de.qm", catalog({hello}, dependencies({QStringLiteral("garbage_de")}))));
    EXPECT_EQ(fault(dir, "meta_de.qm"), "dependency 'garbage_de' is broken: not a catalog");

    // A chain of 65: told once, not through each of the 64 that lead to it.
    for (int i = 0; i <= 64; ++i) {
        const QStringList next =
            i < 64 ? QStringList{QStringLiteral("chain%1_de").arg(i + 1)} : QStringList();
        ASSERT_TRUE(dir.write("chain" + QByteArray::number(i) + "_de.qm",
                              catalog({hello}, dependencies(next))));
    }
    EXPECT_EQ(fault(dir, "chain1_de.qm"), "");
    EXPECT_EQ(fault(dir, "chain0_de.qm"), "more than 64 catalogs with its dependencies");
}

// A compressed catalog's context table may store each name with a trailing NUL, counted in its
// length, as older tools wrote it: the context is found all the same, so the catalog's
// dependencies are asked, as the toolkit asks them.
TEST(Catalog, ContextNamesWithTrailingNulLetDependenciesAnswer)
{
    Directory dir;
    ASSERT_TRUE(dir.write("base_de.qm",
                          catalog({hello, {"Hello", QStringLiteral("Other hello"), {}, "Other"}})));
    ASSERT_TRUE(dir.write("meta_de.qm", catalog({{"Meta", QStringLiteral("Meta!")}},
                                                contextTable({"QObject"}, 7, true) +
                                                    dependencies({QStringLiteral("base_de")}))));
    QByteArray why;
    const std::unique_ptr<Catalog> meta = Catalog::load(dir.fd(), "meta_de.qm", why);
    ASSERT_TRUE(meta) << why.constData();
    QTranslator toolkit;
    ASSERT_TRUE(toolkit.load(QStringLiteral("meta_de.qm"), QFile::decodeName(dir.path())));
    for (const char *context : {"QObject", "Other"}) {
        const QString expected = toolkit.translate(context, "Hello", "Hello");
        EXPECT_EQ(meta->translate(context, "Hello", "Hello", -1), expected) << context;
        EXPECT_EQ(meta->translate(context, "Hello", "Hello", -1).isNull(), expected.isNull());
    }
    EXPECT_EQ(meta->translate("QObject", "Hello", "Hello", -1), QStringLiteral("Hallo"));
}

// A translation of odd length cannot be read as UTF-16: the catalog is refused whole and named,
// and none of its entries answers, the sound ones included.
TEST(Catalog, OddTranslationRefusesTheWholeCatalog)
{
    Directory dir;
    ASSERT_TRUE(dir.write("app_de.qm", catalog({hello, {"World", {}, {}, "QObject", "abc"}})));
    const ZCatalogs catalogs(dir.path(), QStringLiteral("de"));
    EXPECT_TRUE(catalogs.translate("Hello").isNull());
    EXPECT_TRUE(catalogs.answers("Hello").isEmpty());
    EXPECT_EQ(catalogs.notice(), "ZApplication: cannot load catalog '" + dir.path() +
                                     "/app_de.qm': a translation of odd length\n");
}

// A translation stored empty, not null, is a translation: QObject::tr answers it (the toolkit
// returns the first non-null answer), and answers() lists it for its component.
TEST(Catalog, EmptyTranslationIsAnAnswer)
{
    Directory dir;
    ASSERT_TRUE(dir.write("app_de.qm", catalog({{"Hello", QStringLiteral("")}})));
    ASSERT_TRUE(dir.write("zoo_de.qm", catalog({hello})));
    QTranslator toolkit;
    ASSERT_TRUE(toolkit.load(QStringLiteral("app_de.qm"), QFile::decodeName(dir.path())));
    ASSERT_FALSE(toolkit.translate("QObject", "Hello", "Hello").isNull());
    const ZCatalogs catalogs(dir.path(), QStringLiteral("de"));
    const QString answer = catalogs.translate("Hello");
    EXPECT_FALSE(answer.isNull());
    EXPECT_TRUE(answer.isEmpty());
    const QList<ZCatalogs::Answer> answers = catalogs.answers("Hello");
    ASSERT_EQ(answers.size(), 2);
    EXPECT_EQ(catalogs.components().value(answers[0].component), QStringLiteral("app"));
    EXPECT_FALSE(answers[0].text.isNull());
    EXPECT_TRUE(answers[0].text.isEmpty());
    EXPECT_EQ(answers[1].text, QStringLiteral("Hallo"));
}
