#include "summary_pane.h"

#include "document/dates.h"
#include "document/day_items.h"
#include "document/doc_state.h"
#include "frm_main.h"

QString AmountText(int64_t Amount) {
    return QString::number(Amount) + QLatin1Char('$');
}

void ComputeSummary() {
    FrmMainForm& f = FrmMain.get();
    // 0 the day, 1 its month, 2 one week, 3 two weeks from the day.
    int16_t range = 0;
    for (int16_t i = 0; i <= 3; ++i)
        if (f.ChkSU(i).Value() == 1) range = i;

    DateRec first = CurDate;
    DateRec last = CurDate;
    switch (range) {
    case 1: {
        const int16_t year = DocumentYear();
        first = MakeDate(1, CurMonth, year);
        last = MakeDate(DaysInMonth(year, CurMonth), CurMonth, year);
        break;
    }
    case 2:
        last = AddDays(CurDate, 6);
        break;
    case 3:
        last = AddDays(CurDate, 13);
        break;
    default:
        break;
    }
    f.LblSUFrom(1).setCaption(DateToText(first));
    f.LblSUTo(1).setCaption(DateToText(last));
    for (int i = 0; i <= 2; ++i)
        f.TxtSUInf(i).setText(AmountText(0));

    const int32_t incomes = SummaryTotal(true, range, CurMonth, CurCell);
    const int32_t expenses = SummaryTotal(false, range, CurMonth, CurCell);
    f.TxtSUInf(0).setText(AmountText(incomes));
    f.TxtSUInf(1).setText(AmountText(expenses));
    f.TxtSUInf(2).setText(AmountText(int64_t(incomes) - expenses));
}
