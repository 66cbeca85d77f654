#include "doc_state.h"

#include "core/numeric.h"
#include "core/system.h"
#include "doc_views.h"

CalDocument CurDoc;
CalDocument SavedDoc;
ItemClipboard GridClip;
FormExchange Exchange;
int16_t CurMonth = 0;
int16_t CurCell = 0;
DateRec CurDate;
int16_t SelMonth = 0;
int16_t SelCell = 0;
int16_t SelItem = 0;
int16_t IsBusy = 0;
QString AppVersion;
QString HelpFilePath;
QString PasswordHandOver;
uint64_t DocGeneration = 0;

void ResetDocumentState() {
    CurDoc = CalDocument{};
    SavedDoc = CalDocument{};
    GridClip = ItemClipboard{};
    Exchange = FormExchange{};
    CurMonth = 0;
    CurCell = 0;
    CurDate = DateRec{};
    SelMonth = 0;
    SelCell = 0;
    SelItem = 0;
    IsBusy = 0;
    AppVersion.clear();
    HelpFilePath.clear();
    PasswordHandOver.clear();
}

CalDocument BlankDocument(bool KeepViews) {
    CalDocument R;
    R.DefaultBackground.Picture = rt::Picture::empty();

    if (!KeepViews) {
        CurMonth = 0;
        CurCell = 0;
        CurDate = MakeDate(0, 0, 0);
        GridClip.ClipMonth = -1;
        GridClip.ClipCell = -1;
        GridClip.ClipIndex = -1;
        GridClip.ClipMode = ClipboardMode::None;
    }

    for (int16_t m = 1; m <= 12; ++m) {
        if (!KeepViews) {
            // The labels take the cell colour of the document being replaced.
            views().ResetMonthWindow(m, CurDoc.DefaultColours.CellBack);
            if (views().AppState() == QLatin1String("Unload")) views().UnloadMonthWindow(m);
        }
        MonthRec& month = R.Months(m);
        month.Background = CurDoc.DefaultBackground;
        month.Colours = CurDoc.DefaultColours;
        month.DaysModified = 0;
    }

    ++DocGeneration;
    return R;
}

void SetDocDefaults(CalDocument& Doc) {
    Doc.OpenMonth = QStringLiteral("00");
    Doc.Year = QString::number(rt::sys().today().year());
    Doc.EmbedPictures = -1;
    Doc.IsSaved = -1;
    Doc.DefaultBackground.UseDefault = -1;

    ColourSet& c = Doc.DefaultColours;
    c.CellBack = 0x00FFFFFF;    // white
    c.DayText = 0x00C0C0C0;     // light grey
    c.TodayText = 0x0000FFFF;   // yellow
    c.SelCellBack = 0x00FF00FF; // magenta
    c.EventText = 0x00000000;   // black
    c.HeaderBack = 0x00000000;  // black
    c.HeaderText = 0x00FFFFFF;  // white
    c.IncomeText = 0x00FF0000;  // blue
    c.ExpenseText = 0x000000FF; // red
    c.ShowGrid = -1;
    c.UseDefault = -1;

    // From the live document: New passes the live document, so its months take the defaults
    // just set.
    for (int16_t m = 1; m <= 12; ++m) {
        Doc.Months(m).Background = CurDoc.DefaultBackground;
        Doc.Months(m).Colours = CurDoc.DefaultColours;
    }
}

int16_t DocumentYear() {
    return rt::CInt(rt::Val(CurDoc.Year));
}
