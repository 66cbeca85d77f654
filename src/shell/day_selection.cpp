#include "day_selection.h"

#include "core/numeric.h"
#include "core/rt_error.h"
#include "document/doc_state.h"
#include "document/records.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_fill.h"
#include "month_window.h"
#include "services/month_painting.h"

#include <QDate>
#include <QPointer>

namespace {

// The cells show the background through them when the background in force has a picture.
bool backgroundHasPicture(int16_t Month) {
    return !BackgroundInForce(Month).FileName.isEmpty();
}

// The document's year as a 16-bit number; false when its text does not give one.
bool documentYear(int16_t& Year) {
    try {
        Year = DocumentYear();
        return true;
    } catch (const rt::RtError&) {
        return false;
    }
}

} // namespace

QString SelectedDateText(const DateRec& Date) {
    if (Date.Year >= 1 && Date.Year <= 9999 && QDate(Date.Year, Date.Month, Date.Day).isValid())
        return rt::FormatDate(Date.Year, Date.Month, Date.Day, QStringLiteral("dd mmm yyyy"));
    return DateToText(Date);
}

void SelectDay(int16_t Month, int16_t Cell) {
    // The day left behind shows the background again when there is one.
    if (IsMonth(CurMonth) && IsCell(CurCell)) {
        rt::Label& previous = MonthForms(CurMonth)->LblDay(CurCell);
        previous.setBackStyle(backgroundHasPicture(CurMonth) ? 0 : 1);
        previous.setBackColor(
            DisplayColour(ColoursInForce(CurMonth).CellBack, rt::vbWindowBackground));
    }
    QString caption;
    if (IsMonth(Month) && IsCell(Cell)) caption = MonthForms(Month)->LblDay(Cell).Caption();
    int16_t year = 0;
    FrmMainForm& main = FrmMain.get();
    // A year that does not fit in 16 bits gives no date: the cell does not become current.
    if (caption.isEmpty() || !documentYear(year)) {
        main.TxtEVSelDate.setText(QString());
        CurMonth = 0;
        CurCell = 0;
        CurDate = MakeDate(0, 0, 0);
    } else {
        CurMonth = Month;
        CurCell = Cell;
        CurDate = MakeDate(rt::CInt(rt::Val(caption)), CurMonth, year);
        main.TxtEVSelDate.setText(SelectedDateText(CurDate));
        rt::Label& day = MonthForms(Month)->LblDay(Cell);
        if (backgroundHasPicture(Month)) day.setBackStyle(1);
        day.setBackColor(DisplayColour(ColoursInForce(Month).SelCellBack, rt::vbHighlight));
    }
    RefreshPane(false, -1);
}

void ShowCellMenu(int16_t Month, int16_t Cell, int16_t Line, rt::Label* Label) {
    if (!IsMonth(Month) || !IsCell(Cell)) return;
    const DayCell& cell = CurDoc.Months(Month).Cells(Cell);
    // A click on an empty line counts as a click on the day label.
    const bool onItem =
        Label != nullptr && Line >= 0 && Line < cell.Count && size_t(Line) < cell.Items.size();
    const bool hasPicture = onItem && !cell.Items[size_t(Line)].PictureFile.isEmpty();
    // The clicked line stays framed while the menu is open.
    QPointer<rt::Label> framed = onItem ? Label : nullptr;
    if (framed) framed->setBorderStyle(1);
    SelMonth = Month;
    SelCell = Cell;
    SelItem = onItem ? Line : int16_t(-1);

    FrmMonthModele& window = MonthForms(Month).get();
    const bool isDay = !window.LblDay(Cell).Caption().isEmpty();
    // Cut, Copy, Edit... and Delete need an item; Paste an item in the clipboard and a day;
    // Add... a day; Show Picture... an item with a picture file.
    for (int entry : {0, 1, 5, 6})
        window.mnuEditCmd(entry).setEnabled(onItem);
    window.mnuEditCmd(2).setEnabled(GridClip.ClipMode != ClipboardMode::None && isDay);
    window.mnuEditCmd(4).setEnabled(isDay);
    window.mnuEditCmd(8).setEnabled(hasPicture);
    // Returns once the chosen entry's command has run.
    window.PopupMenu(window.mnuEdit);
    if (framed) framed->setBorderStyle(0);
}
