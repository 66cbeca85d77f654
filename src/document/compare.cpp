#include "compare.h"

namespace {

bool datesDiffer(const DateRec& a, const DateRec& b) {
    return a.Day != b.Day || a.Month != b.Month || a.Year != b.Year;
}

} // namespace

bool CompareAEItem(const AEItem& A, const AEItem& B) {
    return A.Text != B.Text || datesDiffer(A.EndDate, B.EndDate) ||
           datesDiffer(A.StartDate, B.StartDate) || A.Day != B.Day || A.Month != B.Month ||
           A.Recurrence != B.Recurrence || A.Kind != B.Kind;
}

bool CompareBDItem(const BDItem& A, const BDItem& B) {
    return A.Name != B.Name || datesDiffer(A.BirthDate, B.BirthDate);
}

bool CompareImageItem(const ImageItem& A, const ImageItem& B) {
    if (A.Picture.hasObject() && B.Picture.hasObject() && A.Picture.handle() != B.Picture.handle())
        return true;
    return A.FileName != B.FileName || A.UseDefault != B.UseDefault || A.Mode != B.Mode;
}

bool CompareColourSet(const ColourSet& A, const ColourSet& B) {
    return A.CellBack != B.CellBack || A.DayText != B.DayText || A.TodayText != B.TodayText ||
           A.SelCellBack != B.SelCellBack || A.EventText != B.EventText ||
           A.HeaderBack != B.HeaderBack || A.HeaderText != B.HeaderText ||
           A.IncomeText != B.IncomeText || A.ExpenseText != B.ExpenseText ||
           A.ShowGrid != B.ShowGrid || A.UseDefault != B.UseDefault;
}

bool CompareDEItem(const DEItem& A, const DEItem& B) {
    return A.Text != B.Text || datesDiffer(A.StartDate, B.StartDate) || A.IsSaving != B.IsSaving;
}

bool CompareEVItem(const EVItem& A, const EVItem& B) {
    return A.Text != B.Text || A.AlarmDaysBefore != B.AlarmDaysBefore || A.AlarmOn != B.AlarmOn ||
           A.Sound != B.Sound || A.Kind != B.Kind || A.Colour != B.Colour ||
           A.PictureFile != B.PictureFile;
}
