// What a screen reader reads through Qt's accessibility interfaces: the labels the runtime draws,
// the fields they name, the toolbar's buttons and the month grid as a table.

#include "editors/frm_add_bd.h"
#include "panes_fixture.h"
#include "properties/frm_prop.h"
#include "shell/cell_drawing.h"
#include "shell/day_selection.h"
#include "shell/month_fill.h"

#include <QAccessible>
#include <functional>

namespace {

// The events an update handler saw: their type and the name of their object.
std::vector<std::pair<QAccessible::Event, QString>> g_events;
void recordEvent(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    g_events.emplace_back(event->type(), iface ? iface->text(QAccessible::Name) : QString());
}

QAccessibleInterface* of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The names of iface's children of role, joined by "|".
QString childNames(QAccessibleInterface* iface, QAccessible::Role role) {
    QStringList names;
    for (int i = 0; i < iface->childCount(); ++i)
        if (iface->child(i)->role() == role) names << iface->child(i)->text(QAccessible::Name);
    return names.join(u'|');
}

QAccessibleTableInterface* march() {
    return of(MonthForms(3)->PicCal.clientWidget())->tableInterface();
}
QAccessibleInterface* cellOf(int Day) {
    const int cell = CellOfDay(2004, 3, int16_t(Day));
    return march()->cellAt(cell / 7 - 1, cell % 7);
}

struct Row {
    const char* what;
    std::function<QString()> read;
    const char* expected;
};
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

class AccessibilityTest : public PanesTest, public ::testing::WithParamInterface<Row> {
protected:
    void SetUp() override {
        PanesTest::SetUp();
        g_events.clear();
        previous_ = QAccessible::installUpdateHandler(recordEvent);
        // 9 March 2004, a Tuesday, with an event, an income and an expense; the current day.
        for (const EVItem& i : {item(1, QStringLiteral("Réunion")), money(2, "Paie", "100"),
                                money(3, "Essence", "40")})
            ListAppend(day(3, 9), i);
        FillMonthDays(3);
        RedrawMonthCells(3);
        main().TbMenu.setTab(4); // the events page
        main().setTag(QStringLiteral("Edit"));
        SelectDay(3, CellOfDay(2004, 3, 9));
        ui_test::flushReleased(); // the toolbar's buttons before its last rebuild
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(previous_);
        PanesTest::TearDown();
    }

private:
    QAccessible::UpdateHandler previous_ = nullptr;
};

TEST_P(AccessibilityTest, ReadsWhatTheScreenShows) {
    EXPECT_EQ(GetParam().read().toStdString(), GetParam().expected);
}

const Row kRows[] = {
    // The labels of the events page, the balance's hidden ones left out.
    {"EventsPageLabels",
     [] { return childNames(of(FrmMain->PicEvents(1).clientWidget()), QAccessible::StaticText); },
     "Date choisie:| Total des revenus:|100$| Total des dépenses:|40$| Total de la "
     "journée:|60$"},
    {"DialogLabels",
     [] {
         return childNames(of(FrmAddBD->TbAddBD.Page(0).clientWidget()), QAccessible::StaticText);
     },
     "Anniversaire||Nom:|Date de naissance:"},
    {"FieldsNamedByTheirLabels",
     [] {
         return of(FrmAddBD->TxtGen.widget())->text(QAccessible::Name) + u'|' +
                of(FrmAddBD->DtGen.widget())->text(QAccessible::Name);
     },
     "Nom:|Date de naissance:"},
    {"LabelIsTheLabelForItsField",
     [] {
         const auto related = of(&FrmAddBD->LblGen(1))->relations(QAccessible::Labelled);
         return related.size() == 1 && related[0].first->object() == FrmAddBD->DtGen.widget()
                    ? QStringLiteral("DtGen")
                    : QString();
     },
     "DtGen"},
    {"ToolbarButtonsNamedByTheirTips",
     [] {
         return childNames(of(FrmMain->TbMain.widget()), QAccessible::Button).section(u'|', 0, 2);
     },
     "Nouveau...|Ouvrir...|Enregistrer"},
    {"MonthGridIsATableUnderTheWeekdays",
     [] {
         QStringList headers;
         for (int c = 0; c < march()->columnCount(); ++c)
             headers
                 << march()->cellAt(0, c)->tableCellInterface()->columnHeaderCells().value(0)->text(
                        QAccessible::Name);
         return QStringLiteral("%1x%2 ").arg(march()->rowCount()).arg(march()->columnCount()) +
                headers.join(u'|');
     },
     "6x7 Dimanche|Lundi|Mardi|Mercredi|Jeudi|Vendredi|Samedi"},
    {"DayCellHoldsItsLines",
     [] {
         QAccessibleInterface* cell = cellOf(9);
         QStringList texts{cell->text(QAccessible::Name)};
         for (int i = 0; i < cell->childCount(); ++i) {
             QAccessibleTextInterface* line = cell->child(i)->textInterface();
             texts << line->text(0, line->characterCount());
         }
         return texts.join(u'|');
     },
     "mardi 9 mars 2004|Réunion|Paie       100$|Essence    40$"},
    {"CellOutsideTheMonthIsEmpty",
     [] {
         QAccessibleInterface* cell = march()->cellAt(0, 0); // Sunday 29 February
         return cell->text(QAccessible::Name) + u'|' + QString::number(cell->childCount());
     },
     "|0"},
    {"CurrentDayIsSelected",
     [] {
         return march()->selectedCells().value(0)->text(QAccessible::Name) +
                (cellOf(9)->state().selected ? "|selected" : "");
     },
     "mardi 9 mars 2004|selected"},
    {"ClickSelectsTheDay",
     [] {
         cellOf(31)->actionInterface()->doAction(QStringLiteral("click"));
         return QStringLiteral("%1 %2").arg(CurMonth).arg(CurCell - CellOfDay(2004, 3, 31));
     },
     "3 0"},
    // A caption set again unchanged is not told again.
    {"CaptionChangeIsTold",
     [] {
         g_events.clear();
         for (int i = 0; i < 2; ++i)
             FrmMain->LblEVInTot(1).setCaption(QStringLiteral("250$"));
         QStringList told;
         for (const auto& [type, name] : g_events)
             if (type == QAccessible::NameChanged) told << name;
         return told.join(u'|');
     },
     "250$"},
    {"PictureButtonNamedByItsTip",
     [] { return of(FrmAddBD->CmdHelp.widget())->text(QAccessible::Name); }, "Aide..."},
    // The heading of its own column names the list, not the other column's.
    {"FieldNamedByTheLabelItsFormGives",
     [] { return of(FrmProp->LstVGen.widget())->text(QAccessible::Name); }, "Année du Calendrier"},
    {"WeekdaysAreColumnHeadersAndTheFormAWindow",
     [] {
         return QStringLiteral("%1 %2")
             .arg(of(&MonthForms(3)->LblFix(0))->role() == QAccessible::ColumnHeader)
             .arg(of(FrmMain->window())->role() == QAccessible::Window);
     },
     "1 1"},
    // A text put in through the bus (a dictation tool's) is the field's text, as typed: what
    // Windows-1252 lacks left out.
    {"TextPutInThroughTheBusIsTheFieldsText",
     [] {
         QAccessibleInterface* field = of(FrmAddBD->TxtGen.widget());
         field->editableTextInterface()->insertText(0, QStringLiteral("Léa ☺"));
         return FrmAddBD->TxtGen.Text() + u'|' +
                FrmAddBD->TxtGen.widget()->property("text").toString();
     },
     "Léa |Léa "},
};

INSTANTIATE_TEST_SUITE_P(Rows, AccessibilityTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.what); });

} // namespace
