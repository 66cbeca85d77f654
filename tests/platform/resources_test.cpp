#include "core/resources.h"
#include "core/rt_error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace rt;

namespace {

QString sourceRoot() {
    return QDir::cleanPath(QStringLiteral(MIROVANTA_TEST_DATA "/../.."));
}

// Ids that the program computes at run time and so never names literally.
QList<int> computedIds() {
    QList<int> ids;
    for (int id = 210; id <= 221; ++id)
        ids << id; // month names, 209 + month
    for (int id = 401; id <= 407; ++id)
        ids << id; // weekday names, Monday to Sunday
    for (int id = 10005; id <= 10011; ++id)
        ids << id; // short weekday names, 10004 + weekday
    for (int id = 1107; id <= 1109; ++id)
        ids << id; // chart series, 1107 + series
    return ids;
}

// Every id the program's windows and messages use, as closed ranges.
const QList<std::pair<int, int>> kTableIds = {
    {101, 101},     {204, 228},   {230, 246},   {250, 254},     {256, 266},     {270, 285},
    {401, 414},     {501, 506},   {508, 527},   {529, 532},     {534, 548},     {601, 604},
    {701, 702},     {706, 708},   {710, 725},   {728, 737},     {801, 811},     {901, 905},
    {1101, 1109},   {1201, 1205}, {1301, 1310}, {1401, 1407},   {1501, 1511},   {1601, 1603},
    {1607, 1607},   {1609, 1624}, {1626, 1626}, {1628, 1628},   {1636, 1637},   {1701, 1705},
    {1801, 1812},   {2101, 2110}, {2201, 2206}, {10001, 10002}, {10004, 10040}, {10044, 10052},
    {10057, 10059},
};

QByteArray compiledTable() {
    HasResString(0); // registers the compiled resources
    QFile f(QStringLiteral(":/strings.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(StringTableFormat, EntriesEscapesCommentsAndFaults) {
    const StringTable t = ParseStringTable("# a comment\n"
                                           "\n"
                                           "1\tplain\n"
                                           "2\t lead and trail \n"
                                           "3\tline\\rbreak\\nfeed\\ttab\\\\back\n"
                                           "4\tunknown \\q escape and a final \\\n"
                                           "5\t\n"
                                           "6\tWindows line end\r\n"
                                           "7\tfirst\n"
                                           "7\tsecond\n"
                                           "no tab here\n"
                                           "x\tnot a number\n"
                                           "\tno id\n"
                                           "8\tÉvénement, août, œ\n");
    EXPECT_EQ(t.Texts.value(1), QStringLiteral("plain"));
    EXPECT_EQ(t.Texts.value(2), QStringLiteral(" lead and trail "));
    EXPECT_EQ(t.Texts.value(3), QStringLiteral("line\rbreak\nfeed\ttab\\back"));
    EXPECT_EQ(t.Texts.value(4), QStringLiteral("unknown \\q escape and a final \\"));
    EXPECT_TRUE(t.Texts.contains(5));
    EXPECT_EQ(t.Texts.value(5), QString());
    EXPECT_EQ(t.Texts.value(6), QStringLiteral("Windows line end"));
    EXPECT_EQ(t.Texts.value(7), QStringLiteral("second"));
    EXPECT_EQ(t.Texts.value(8), QStringLiteral("Événement, août, œ"));
    EXPECT_EQ(t.Texts.size(), 8);
    EXPECT_EQ(t.DuplicateIds, QList<int>{7});
    EXPECT_EQ(t.BadLines, (QList<int>{11, 12, 13}));
}

TEST(StringTable, CompiledTableHasNoDuplicateOrMalformedLine) {
    const QByteArray raw = compiledTable();
    ASSERT_FALSE(raw.isEmpty());
    const StringTable t = ParseStringTable(raw);
    EXPECT_TRUE(t.DuplicateIds.isEmpty()) << "duplicate ids, first: " << t.DuplicateIds.value(0);
    EXPECT_TRUE(t.BadLines.isEmpty()) << "malformed line " << t.BadLines.value(0);
}

TEST(StringTable, HoldsEveryIdOfTheProgram) {
    QList<int> missing;
    int count = 0;
    for (const auto& [from, to] : kTableIds)
        for (int id = from; id <= to; ++id, ++count)
            if (!HasResString(id)) missing << id;
    for (int id : computedIds())
        if (!HasResString(id)) missing << id;
    EXPECT_TRUE(missing.isEmpty()) << missing.size() << " missing, first " << missing.value(0);
    EXPECT_EQ(count, 335);
}

TEST(StringTable, EveryIdTheSourceAsksForExists) {
    const QRegularExpression call(QStringLiteral(R"(LoadResString\s*\(\s*(\d+)\s*\))"));
    QDirIterator it(sourceRoot() + QStringLiteral("/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int files = 0;
    QStringList missing;
    while (it.hasNext()) {
        const QString path = it.next();
        ++files;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = call.globalMatch(text); m.hasNext();) {
            const int id = m.next().captured(1).toInt();
            if (!HasResString(id))
                missing << QStringLiteral("%1 in %2")
                               .arg(id)
                               .arg(QDir(sourceRoot()).relativeFilePath(path));
        }
    }
    EXPECT_GT(files, 0) << "no source found under " << sourceRoot().toStdString();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(StringTable, TextsAreExact) {
    const QList<std::pair<int, QString>> cases = {
        {258, QStringLiteral(" Total des revenus:")},
        {261, QStringLiteral(" Balance:")},
        {232, QStringLiteral("Auto-Évenements")},
        {271, QStringLiteral("Étendu de la Recherche:")},
        {279, QStringLiteral("À:")},
        {210, QStringLiteral("Janvier")},
        {217, QStringLiteral("Août")},
        {221, QStringLiteral("Décembre")},
        {401, QStringLiteral("Lundi")},
        {407, QStringLiteral("Dimanche")},
        {10011, QStringLiteral("SA")},
        {502, QStringLiteral("&Ok")},
        {1506, QStringLiteral("Zoom A&rrière")},
        {2106, QStringLiteral("&Afficher l'aperçu ")},
        {1618, QStringLiteral(" Utiliser le dossier du dernier fichier ouvert.")},
        {736, QStringLiteral(" Attention: Cette entrée est un Auto-Événement. Vous n'êtes pas "
                             "autorisé à changer le type, la description ou le montant de cette "
                             "entrée.")},
        {10048, QStringLiteral("Attention: Mirovanta a été dessiné pour une résolution de "
                               "(800x600) ou supérieure. Voulez-vous continuer avec le chargement "
                               "du logiciel?")},
        {10050, QStringLiteral("Tous les fichiers (*.*)|*.*|Fichiers Mirovanta (*.cal)|*.cal")},
        {10038, QStringLiteral("Numéro de l'erreur :")},
        {1201, QStringLiteral("VOUS AVEZ UN ÉVÉNEMENT EN ALERTE!")},
    };
    for (const auto& [id, text] : cases)
        EXPECT_EQ(LoadResString(id), text) << "id " << id;
}

TEST(StringTable, MissingIdRaisesResourceNotFound) {
    for (int id : {0, 229, 255, 10003, 99999}) {
        EXPECT_FALSE(HasResString(id)) << id;
        try {
            LoadResString(id);
            ADD_FAILURE() << "no error for id " << id;
        } catch (const RtError& e) {
            EXPECT_EQ(e.Number, ErrResourceNotFound);
            EXPECT_TRUE(e.Description.contains(QString::number(id)));
        }
    }
}
