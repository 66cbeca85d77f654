#include "modified.h"

#include "core/resources.h"
#include "doc_state.h"
#include "doc_views.h"

namespace {

bool anyFlagSet(const CalDocument& d) {
    if (d.HeaderModified || d.DefaultBackground.Modified || d.DefaultColours.Modified ||
        d.AutoEvents.Modified || d.Birthdays.Modified || d.DebtsSavings.Modified)
        return true;
    for (const MonthRec& m : d.Months.Store)
        if (m.Background.Modified || m.Colours.Modified || m.DaysModified) return true;
    return false;
}

} // namespace

void SetModified(int32_t Part, int16_t Value, int16_t Month) {
    CalDocument& d = CurDoc;
    switch (Part) {
    case DocPart::All:
        d.HeaderModified = Value;
        d.DefaultBackground.Modified = Value;
        d.DefaultColours.Modified = Value;
        d.AutoEvents.Modified = Value;
        d.Birthdays.Modified = Value;
        d.DebtsSavings.Modified = Value;
        for (MonthRec& m : d.Months.Store) {
            m.Background.Modified = Value;
            m.Colours.Modified = Value;
            m.DaysModified = Value;
        }
        break;
    case DocPart::Header:
        d.HeaderModified = Value;
        break;
    case DocPart::AutoEvents:
        d.AutoEvents.Modified = Value;
        break;
    case DocPart::DebtsSavings:
        d.DebtsSavings.Modified = Value;
        break;
    case DocPart::DefaultBackground:
        d.DefaultBackground.Modified = Value;
        break;
    case DocPart::DefaultColours:
        d.DefaultColours.Modified = Value;
        break;
    case DocPart::Birthdays:
        d.Birthdays.Modified = Value;
        break;
    case DocPart::MonthDays:
        if (IsMonth(Month)) d.Months(Month).DaysModified = Value;
        break;
    case DocPart::MonthBackground:
        if (IsMonth(Month)) d.Months(Month).Background.Modified = Value;
        break;
    case DocPart::MonthColours:
        if (IsMonth(Month)) d.Months(Month).Colours.Modified = Value;
        break;
    default:
        break;
    }

    d.IsSaved = anyFlagSet(d) ? 0 : -1;

    const QString prefix = QStringLiteral("Mirovanta v") + AppVersion;
    if (views().AppState() == QLatin1String("Logo")) {
        views().SetMainCaption(prefix + u' ' + rt::LoadResString(10004));
        return;
    }
    views().SetMainCaption(DocumentCaption());
}

QString DocumentCaption() {
    QString caption = QStringLiteral("Mirovanta v") + AppVersion + QStringLiteral(" - ") +
                      (CurDoc.FileName.isEmpty() ? rt::LoadResString(540) : CurDoc.FileName);
    if (CurDoc.IsSaved == 0) caption += u'*';
    return caption;
}
