// What ZCatalogs of one directory share while they live: one listing of the directory, one
// reading of each catalog file; and that the next ones, once they are gone or the directory is
// another, see the directory as it is then.
#include "qmbuilder.h"

#include <zcatalogs.h>

#include <QDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qm;

namespace {

QByteArray saying(const char *text)
{
    return catalog({{"Hello", QString::fromUtf8(text)}});
}

// Replaces name in dir by a file of these bytes, as a package upgrade or a build does.
void renameOver(Directory &dir, const QByteArray &name, const QByteArray &bytes)
{
    ASSERT_TRUE(dir.write("new.tmp", bytes));
    ASSERT_EQ(::renameat(dir.fd(), "new.tmp", dir.fd(), name.constData()), 0);
}

// Sets the directory's modification time, seconds ago.
void setModified(Directory &dir, const timespec &when)
{
    const timespec times[2] = {when, when};
    ASSERT_EQ(::futimens(dir.fd(), times), 0);
}

timespec modified(Directory &dir)
{
    struct stat status;
    EXPECT_EQ(::fstat(dir.fd(), &status), 0);
    return status.st_mtim;
}

} // namespace

// de, then de_AT falling back to the same catalog: one reading, whatever happens to the file in
// between, and a broken one is told alike. Once both are gone, the files are read again.
TEST(CatalogShare, LanguagesLivingTogetherReadEachCatalogOnce)
{
    Directory dir;
    ASSERT_TRUE(dir.write("app_de.qm", saying("Hallo")));
    ASSERT_TRUE(dir.write("bad_de.qm", "not a catalog, just text\n"));
    ASSERT_TRUE(dir.write("empty_de.qm", catalog({})));
    const QByteArray broken =
        "ZApplication: cannot load catalog '" + dir.path() + "/bad_de.qm': not a catalog\n";
    {
        const ZCatalogs german(dir.path(), QStringLiteral("de"));
        EXPECT_EQ(german.translate("Hello"), QStringLiteral("Hallo"));
        EXPECT_EQ(german.notice(), broken);
        renameOver(dir, "app_de.qm", saying("Servus"));
        renameOver(dir, "bad_de.qm", saying("Grüß Gott"));
        renameOver(dir, "empty_de.qm", catalog({{"Bye", QStringLiteral("Tschüss")}}));
        ASSERT_TRUE(dir.write("zoo_de.qm", saying("Tag")));
        const ZCatalogs austrian(dir.path(), QStringLiteral("de_AT"));
        EXPECT_EQ(austrian.translate("Hello"), QStringLiteral("Hallo"));
        EXPECT_TRUE(austrian.translate("Bye").isNull());
        EXPECT_EQ(austrian.components(),
                  QStringList({QStringLiteral("app"), QStringLiteral("empty")}));
        EXPECT_EQ(austrian.notice(), broken);
        EXPECT_EQ(ZCatalogs::languages(dir.path()), QStringList({QStringLiteral("de")}));
    }
    const ZCatalogs later(dir.path(), QStringLiteral("de_AT"));
    EXPECT_EQ(later.translate("Hello"), QStringLiteral("Servus"));
    EXPECT_EQ(later.translate("Bye"), QStringLiteral("Tschüss"));
    EXPECT_EQ(later.components(), QStringList({QStringLiteral("app"), QStringLiteral("bad"),
                                               QStringLiteral("empty"), QStringLiteral("zoo")}));
    EXPECT_EQ(later.notice(), "");
}

// A directory removed and made again under the same name is another directory, even while a
// ZCatalogs of the old one lives.
TEST(CatalogShare, ANewDirectoryUnderTheSameNameIsListedAfresh)
{
    QTemporaryDir parent;
    const QString path = parent.filePath(QStringLiteral("catalogs"));
    const QByteArray bytes = QFile::encodeName(path);
    ASSERT_TRUE(QDir().mkpath(path));
    QFile first(path + QStringLiteral("/app_de.qm"));
    ASSERT_TRUE(first.open(QIODevice::WriteOnly) && first.write(saying("Hallo")) > 0);
    first.close();
    const ZCatalogs old(bytes, QStringLiteral("de"));
    ASSERT_TRUE(QDir(path).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(path));
    QFile second(path + QStringLiteral("/app_fr.qm"));
    ASSERT_TRUE(second.open(QIODevice::WriteOnly) && second.write(saying("Bonjour")) > 0);
    second.close();
    EXPECT_EQ(ZCatalogs::languages(bytes), QStringList({QStringLiteral("fr")}));
    EXPECT_EQ(ZCatalogs(bytes, QStringLiteral("fr")).translate("Hello"), QStringLiteral("Bonjour"));
    EXPECT_EQ(old.translate("Hello"), QStringLiteral("Hallo"));
}

// languages() lists the directory for the ZCatalogs made right after, which takes the listing
// over only when the directory has not changed since: its modification time the same, and old
// enough that a change made after the listing would show in it.
TEST(CatalogShare, LanguagesHandsItsListingToTheNextZCatalogs)
{
    Directory dir;
    ASSERT_TRUE(dir.write("app_de.qm", saying("Hallo")));
    const timespec longAgo{std::time(nullptr) - 3600, 0};
    setModified(dir, longAgo);
    ASSERT_EQ(ZCatalogs::languages(dir.path()), QStringList({QStringLiteral("de")}));
    // The same modification time after a change: the listing is taken, and the new file not seen.
    ASSERT_TRUE(dir.write("zoo_de.qm", saying("Tag")));
    setModified(dir, longAgo);
    EXPECT_EQ(ZCatalogs(dir.path(), QStringLiteral("de")).components(),
              QStringList({QStringLiteral("app")}));

    // Changed after the listing: listed again.
    ASSERT_EQ(ZCatalogs::languages(dir.path()), QStringList({QStringLiteral("de")}));
    ASSERT_TRUE(dir.write("alpha_de.qm", saying("Moin")));
    EXPECT_EQ(ZCatalogs(dir.path(), QStringLiteral("de")).components(),
              QStringList({QStringLiteral("alpha"), QStringLiteral("app"), QStringLiteral("zoo")}));

    // Changed just before the listing, then again within the same tick of the file system's
    // clock (made so here): its time cannot tell, so the directory is listed again.
    ASSERT_EQ(ZCatalogs::languages(dir.path()).size(), 1);
    const timespec recent = modified(dir);
    ASSERT_TRUE(dir.write("beta_de.qm", saying("Moin")));
    setModified(dir, recent);
    EXPECT_EQ(ZCatalogs(dir.path(), QStringLiteral("de")).components().size(), 4);

    // Only the next ZCatalogs takes it, and only of the same directory.
    Directory other;
    ASSERT_TRUE(other.write("app_fr.qm", saying("Bonjour")));
    setModified(dir, longAgo);
    ASSERT_EQ(ZCatalogs::languages(dir.path()).size(), 1);
    EXPECT_EQ(ZCatalogs(other.path(), QStringLiteral("fr")).components().size(), 1);
    ASSERT_TRUE(dir.write("gamma_de.qm", saying("Moin")));
    setModified(dir, longAgo);
    EXPECT_EQ(ZCatalogs(dir.path(), QStringLiteral("de")).components().size(), 5);
}
