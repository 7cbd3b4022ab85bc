// The router: which catalogs it asks for a text, and that it answers as the catalogs installed
// one by one would.
#include "catalogrouter.h"
#include "qmbuilder.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

// The catalogs of these files of dir, in this order, routed.
CatalogRouter route(Directory &dir, const QList<QByteArray> &names)
{
    std::vector<std::shared_ptr<const Catalog>> catalogs;
    for (const QByteArray &name : names) {
        QByteArray why;
        catalogs.push_back(Catalog::load(dir.fd(), name, why));
        EXPECT_TRUE(catalogs.back()) << name.constData() << ": " << why.constData();
    }
    return CatalogRouter(std::move(catalogs));
}

// The places of the catalogs the router asks for a text with the text as its comment.
std::vector<int> asked(const CatalogRouter &router, const char *text)
{
    std::vector<int> places;
    CatalogRouter::Candidates candidates = router.candidates(text, text);
    for (int place; (place = router.next(candidates)) >= 0;)
        places.push_back(place);
    return places;
}

} // namespace

// Only the catalogs holding a message under a hash the toolkit looks the text up by (source and
// comment, then source alone), each once, in answering order; a single catalog is asked for
// everything.
TEST(CatalogRouter, AsksOnlyTheCatalogsThatMayHoldTheText)
{
    Directory dir;
    ASSERT_TRUE(dir.write("a_de.qm", catalog({{"Open", QStringLiteral("a: Öffnen")}})));
    // Filed under the source text with its comment, and again without.
    ASSERT_TRUE(dir.write("b_de.qm", catalog({{"Open", QStringLiteral("b: Öffnen [c]"), "Open"},
                                              {"Open", QStringLiteral("b: Öffnen")}})));
    ASSERT_TRUE(dir.write("c_de.qm", catalog({{"Open", QStringLiteral("c: Öffnen [c]"), "Open"},
                                              {"Save", QStringLiteral("c: Sichern")}})));
    const CatalogRouter router = route(dir, {"c_de.qm", "a_de.qm", "b_de.qm"});
    EXPECT_EQ(asked(router, "Open"), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(asked(router, "Save"), std::vector<int>({0}));
    EXPECT_EQ(asked(router, "Close"), std::vector<int>());
    EXPECT_EQ(router.translate("QObject", "Open", "Open"), QStringLiteral("c: Öffnen [c]"));
    EXPECT_EQ(router.translate("QObject", "Open", nullptr), QStringLiteral("a: Öffnen"));
    EXPECT_TRUE(router.translate("QObject", "Close", "Close").isNull());

    const CatalogRouter single = route(dir, {"a_de.qm"});
    EXPECT_EQ(asked(single, "Close"), std::vector<int>({0}));
}

// The empty text hashes to 0, which the toolkit files under 1.
TEST(CatalogRouter, FindsTheTextThatHashesToZero)
{
    Directory dir;
    ASSERT_TRUE(dir.write("a_de.qm", catalog({{"Open", QStringLiteral("Öffnen")}})));
    ASSERT_TRUE(dir.write("b_de.qm", catalog({{"", QStringLiteral("(leer)")}})));
    const CatalogRouter router = route(dir, {"a_de.qm", "b_de.qm"});
    EXPECT_EQ(asked(router, ""), std::vector<int>({1}));
    EXPECT_EQ(router.translate("QObject", "", ""), QStringLiteral("(leer)"));
}
