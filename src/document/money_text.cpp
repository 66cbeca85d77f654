#include "money_text.h"

#include "core/numeric.h"
#include "records.h"

bool HasMoneyText(int32_t Kind) {
    return Kind == ItemKind::Income || Kind == ItemKind::Expense;
}

QString MakeMoneyText(const QString& Name, const QString& Amount) {
    return Name.left(10).leftJustified(10, u' ') + u' ' + Amount;
}

QString MoneyName(const QString& Text) {
    return rt::TrimBlanks(Text.left(10));
}

double MoneyAmount(const QString& Text) {
    // Read in place: the totals read every money item of a year.
    return Text.size() <= 10 ? 0 : rt::Val(QStringView(Text).sliced(10));
}
