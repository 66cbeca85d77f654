// Amounts typed with a decimal point, kept as the amount box writes them back, give the same
// totals, balances and saved bytes whatever the process locale: the test programs run under a
// neutral and under a French locale, and both runs must reach these fixed values.

#include "common/test_support.h"
#include "core/zip_archive.h"
#include "document/balances.h"
#include "document/cal_reader.h"
#include "document/cal_writer.h"
#include "document/day_items.h"
#include "document/doc_fixture.h"
#include "document/money_text.h"
#include "document/month_grid.h"
#include "editors/editor_frame.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <array>

namespace {

// Incomes and expenses of 10 March 2004, expenses of its week, incomes and expenses of March,
// and the debt's balance at the month's end.
std::array<int32_t, 6> totalsOfMarch() {
    const int16_t cell = CellOfDay(2004, 3, 10);
    return {DayTotal(true, 3, cell),         DayTotal(false, 3, cell),
            SummaryTotal(false, 2, 3, cell), SummaryTotal(true, 1, 3, 0),
            SummaryTotal(false, 1, 3, 0),    DEBalanceAtDate(0, {31, 3, 2004})};
}

} // namespace

using TypedAmounts = DocTest;

TEST_F(TypedAmounts, TotalsAndSavedBytesDoNotFollowTheProcessLocale) {
    SetDocDefaults(CurDoc);
    const auto money = [](const char* typed) {
        return MakeMoneyText(QStringLiteral("Compte"), AmountFilterText(QLatin1String(typed)));
    };
    ListAppend(CurDoc.DebtsSavings, DEItem{0, {1, 1, 2004}, money("1511.78")});
    const struct {
        int16_t day;
        int32_t kind;
        const char* typed;
    } items[] = {
        {10, ItemKind::Income, "1511.78"}, {10, ItemKind::Income, "0.5"},
        {10, ItemKind::Expense, "12.5"},   {10, ItemKind::Expense, "13.5"},
        {25, ItemKind::Expense, "2.5"},
    };
    for (const auto& i : items) {
        EVItem e;
        e.Text = money(i.typed);
        e.Kind = i.kind;
        e.Colour = -1;
        ListAppend(CurDoc.Months(3).Cells(CellOfDay(2004, 3, i.day)), e);
    }
    // Each sum rounds at once, halves to even: 1512 + 0.5 stays 1512, 12 + 13.5 gives 26 and
    // 26 + 2.5 gives 28; the debt opens at 1512, moves by +1512, +0, -12, -14 on the 10th
    // (1512, 1512, 1500, 1486) and by -2 on the 25th.
    const std::array<int32_t, 6> expected{1512, 26, 26, 1512, 28, 2996};
    EXPECT_EQ(totalsOfMarch(), expected);

    const QString folder = testing_support::scratchFolder() + QStringLiteral("/typed-amounts");
    QDir(folder).removeRecursively();
    const QString file = folder + QStringLiteral("/mars.cal");
    ASSERT_TRUE(QDir().mkpath(folder) && SaveCalFile(file, CurDoc));
    rt::ZipArchive::extract(file, folder, QString(), rt::ZipLimits{16, 64 << 20});
    QFile saved(folder + QStringLiteral("/caldata.cal"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    // As the amount box wrote them back: "0.5" without its leading zero.
    for (const char* kept : {"1511.78", ".5", "12.5", "13.5", "2.5"})
        EXPECT_TRUE(bytes.contains("\"Compte     " + QByteArray(kept) + "\"\r\n")) << kept;
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString(),
              "a80274dac80ce86b99cfe1e909991ca2ca1a6bc8459419796681de88035b51c7");

    CalDocument reread;
    ASSERT_TRUE(LoadCalFile(file, reread));
    CurDoc = reread;
    EXPECT_EQ(totalsOfMarch(), expected);
}
