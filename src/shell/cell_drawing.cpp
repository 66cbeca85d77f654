#include "cell_drawing.h"

#include "document/day_items.h"
#include "document/doc_state.h"
#include "main_module.h"
#include "month_window.h"
#include "services/month_painting.h"

#include <algorithm>

namespace {

// The line that stands for the items a full cell cannot show.
const QString kMoreItems = QStringLiteral("[...]");
constexpr int16_t kLastLine = 6;

// Writes only what changed: a font change costs far more than a comparison.
void setLine(rt::Label& label, const QString& caption, bool struck) {
    if (label.Caption() != caption) label.setCaption(caption);
    if (label.FontStrikethru() != struck) label.setFontStrikethru(struck);
}

void setColour(rt::Label& label, int32_t colour) {
    if (label.ForeColor() != colour) label.setForeColor(colour);
}

} // namespace

void DrawDayCellLine(int16_t Month, int16_t Cell, rt::Label& Label, int16_t Line) {
    const DayCell& cell = CurDoc.Months(Month).Cells(Cell);
    const int count = std::min<int>(cell.Count, int(cell.Items.size()));
    if (count <= Line) {
        setLine(Label, QString(), false);
        return;
    }
    if (Line == kLastLine && count > kLastLine + 1) {
        setLine(Label, kMoreItems, false);
        setColour(Label, DisplayColour(ColoursInForce(Month).EventText, rt::vbWindowText));
        return;
    }
    const EVItem& item = cell.Items[size_t(Line)];
    setLine(Label, item.Kind == ItemKind::Event ? item.Text : item.Text + u'$', item.Checked != 0);
    setColour(Label, DisplayColour(GetDayItemColour(Month, Cell, Line), rt::vbWindowText));
}

void RedrawDayCell(int16_t Month, int16_t Cell) {
    // A window not made yet draws its cells when it is made.
    FrmMonthModele* window = MonthForms(Month).peek();
    if (!window) return;
    for (int16_t n = 1; n <= 7; ++n)
        DrawDayCellLine(Month, Cell, window->LblEV(n)(Cell), int16_t(n - 1));
}

void RedrawMonthCells(int16_t Month) {
    for (int16_t c = kFirstCell; c <= kLastCell; ++c)
        RedrawDayCell(Month, c);
}
