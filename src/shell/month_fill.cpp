#include "month_fill.h"

#include "cell_drawing.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_backgrounds.h"
#include "month_window.h"
#include "services/month_painting.h"
#include "editors/editors.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

QString appState() {
    FrmMainForm* main = FrmMain.peek();
    return main ? main->Tag() : QStringLiteral("Unload");
}

// The current year as the document writes it: four digits, no blanks.
bool isCurrentYear(const QString& year) {
    return year == QString::number(rt::sys().today().year());
}

QString monthName(int16_t Month) {
    return rt::LoadResString(209 + Month);
}

} // namespace

void FillMonthDays(int16_t Month) {
    FrmMonthModele& window = MonthForms(Month).get();
    for (int16_t c = kFirstCell; c <= kLastCell; ++c)
        window.LblDay(c).setCaption(DayLabel(Month, c));
}

void ApplyMonthColors(int16_t Month) {
    ApplyGridColors(Month, ColoursInForce(Month));
}

void ApplyGridColors(int16_t Month, const ColourSet& Colours) {
    FrmMonthModele& window = MonthForms(Month).get();
    const bool grid = Colours.ShowGrid != 0;
    const int32_t headerBack = DisplayColour(Colours.HeaderBack, rt::vbButtonFace);
    const int32_t headerText = DisplayColour(Colours.HeaderText, rt::vbButtonText);
    for (int i = 0; i <= 6; ++i) {
        window.PicEvent(i).setBackColor(headerBack);
        window.LblFix(i).setForeColor(headerText);
        window.PicEvent(i).setBorderStyle(grid ? 1 : 0);
        window.LblFix(i).setTop(grid ? 0 : 50);
    }

    const bool picture = !BackgroundInForce(Month).FileName.isEmpty();
    const int32_t cellBack = DisplayColour(Colours.CellBack, rt::vbWindowBackground);
    const int32_t selBack = DisplayColour(Colours.SelCellBack, rt::vbHighlight);
    const int32_t dayText = DisplayColour(Colours.DayText, rt::vbWindowText);
    const int32_t todayText = DisplayColour(Colours.TodayText, rt::vbWindowText);
    const QDate today = rt::sys().today();
    const bool todaysMonth = isCurrentYear(CurDoc.Year) && Month == today.month();
    for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
        rt::Label& day = window.LblDay(c);
        const bool selected = CurMonth == Month && CurCell == c;
        day.setBorderStyle(grid ? 1 : 0);
        day.setBackStyle(picture && !selected ? 0 : 1);
        day.setBackColor(selected ? selBack : cellBack);
        const QString& caption = day.Caption();
        const bool isToday = todaysMonth && !caption.isEmpty() && rt::Val(caption) == today.day();
        day.setForeColor(isToday ? todayText : dayText);
    }
}

void FillMonthWindow(int16_t Month) {
    MonthForms(Month)->setCaption(MonthCaption(Month));
    FillMonthDays(Month);
    ApplyMonthColors(Month);
    RefreshMonthBackground(Month);
    RedrawMonthCells(Month);
}

void ShowMonthWindows() {
    FrmMainForm& main = FrmMain.get();
    rt::SetHourglass(true);
    if (main.Tag() != QLatin1String("Load")) SetMainMode(2);
    main.LblLoading(0).setCaption(rt::LoadResString(10001));
    rt::DoEvents();
    // The pending events may have closed the program: its windows are going, stop here.
    auto closing = [] {
        if (appState() != QLatin1String("Unload")) return false;
        rt::SetHourglass(false);
        return true;
    };
    for (int16_t m = 1; m <= 12; ++m) {
        if (closing()) return;
        main.LblLoading(1).setCaption(rt::LoadResString(10002) + u' ' + monthName(m) +
                                      QStringLiteral("..."));
        // A window not made yet is filled when it is made: it shows nothing before.
        FrmMonthModele* window = MonthForms(m).peek();
        if (!window) continue;
        window->setCaption(MonthCaption(m));
        window->Unload(); // hides itself outside the state "Unload"
        rt::DoEvents();
        if (closing()) return;
        FillMonthDays(m);
        ApplyMonthColors(m);
        RefreshMonthBackground(m);
        RedrawMonthCells(m);
    }
    if (main.Tag() != QLatin1String("Edit")) SetMainMode(1);

    const double open = rt::Val(CurDoc.OpenMonth);
    if (open >= 1 && open <= 12)
        MonthForms(rt::CInt(open))->Form_Activate();
    else if (isCurrentYear(CurDoc.Year))
        MonthForms(rt::sys().today().month())->Form_Activate();
    // Tiled before anything lets it paint, so that the month shown is laid out and painted once,
    // in its place; tiling again below changes nothing then.
    main.Arrange(rt::vbTileVertical);

    RefreshPane(true, -1);
    main.setCaption(DocumentCaption());
    rt::SetHourglass(false);
    rt::DoEvents();
    main.Arrange(rt::vbTileVertical);

    // The first editor opened would wait for its fonts: they are made ready a moment after the
    // first document is shown, once its windows are drawn.
    static bool editorFontsWarmed = false;
    if (!editorFontsWarmed) {
        editorFontsWarmed = true;
        QTimer::singleShot(400, QCoreApplication::instance(), [] { WarmEditorFonts(); });
    }
}
