#include "month_page.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "document/day_items.h"
#include "document/doc_state.h"
#include "services/main_window.h"
#include "services/month_painting.h"
#include "services/settings.h"

namespace {

const QString kArial = QStringLiteral("Arial");

// Text of the item lines and the title: bold, neither italic, struck nor underlined.
void printText(cmAPIPrinter& Engine, float X, float Y, const QString& Text, int32_t Color,
               const QString& FontName, float FontSize, bool Bold, bool AlignRight, bool Centre,
               float Width) {
    Engine.cmOutput_PrintText(X, Y, Text, Color, FontName, FontSize, Bold, false, false, false,
                              AlignRight, Centre, Width);
}

// The amount of a money text, right-justified in six places and followed by "$" (a longer
// amount is printed whole).
QString moneyAmount(const QString& Amount) {
    return Amount.rightJustified(6, QLatin1Char(' ')) + QLatin1Char('$');
}

} // namespace

void PrintMonthPage(cmAPIPrinter& Engine, int16_t Month, const ImageItem& Job) {
    const float left = Engine.cmPage_MLeft() + 0.3f;
    const float top = Engine.cmPage_MTop() + 0.3f;
    const float width = Engine.cmPage_OWidth() - 0.6f;
    const float height = Engine.cmPage_OHeight() - 0.6f;
    const float W = width / 7;
    const float H = (height - 2.0f) / 6;
    rt::PictureBox& workBox = mainWindow().WorkPicture(WorkPictureKind::PrintScratch);

    if (!Job.FileName.isEmpty()) {
        // The engine hands back the picture it drew; the job keeps its own.
        rt::Picture picture = Job.Picture;
        Engine.cmOutput_PrintPicture(left, top, width, height, picture, workBox, Job.Mode != 0,
                                     false);
        return;
    }
    if (Month < 1 || Month > 12) return;

    const ColourSet colours = ColoursInForce(Month);
    // A copy: the engine hands back the picture it drew, the document keeps its own.
    ImageItem background = BackgroundInForce(Month);

    // The background covers the grid only.
    if (Settings.PrintBackground != 0 && !background.FileName.isEmpty())
        Engine.cmOutput_PrintPicture(left, top + 2.0f, width, height - 2.0f, background.Picture,
                                     workBox, background.Mode == ImageMode::Stretched,
                                     background.Mode != ImageMode::AsIs &&
                                         background.Mode != ImageMode::Stretched);

    Engine.cmOutput_PrintBox(left, top + 1.0f, width, height - 1.0f, false, 0, 5);
    if (colours.ShowGrid != 0) {
        for (int k = 0; k <= 5; ++k) {
            const float y = top + 2.0f + float(k) * H;
            Engine.cmOutput_PrintLine(left, y, left + width, y, 0, 0);
        }
        for (int k = 1; k <= 6; ++k) {
            const float x = left + float(k) * W;
            Engine.cmOutput_PrintLine(x, top + 2.0f, x, top + height, 0, 0);
        }
    }

    printText(Engine, left, top, MonthCaption(Month), 0, kArial, 22, true, false, false, 0);

    Engine.cmOutput_PrintBox(left, top + 1.0f, width, 1.0f, true, colours.HeaderBack, 0);
    // Sunday first: "Dimanche" is string 407, "Lundi" to "Samedi" 401 to 406.
    static const int weekdayIds[7] = {407, 401, 402, 403, 404, 405, 406};
    for (int k = 0; k <= 6; ++k)
        printText(Engine, left + float(k) * W, top + 1.2f, rt::LoadResString(weekdayIds[k]),
                  colours.HeaderText, kArial, 16, true, false, true, W);

    for (int r = 0; r <= 5; ++r) {
        for (int c = 0; c <= 6; ++c) {
            float cellTop = top + 2.0f + float(r) * H;
            PrintDayCell(Engine, Month, int16_t(7 + 7 * r + c), left + float(c + 1) * W, cellTop,
                         colours.DayText, W, H);
        }
    }
}

void PrintDayCell(cmAPIPrinter& Engine, int16_t Month, int16_t Cell, float Right, float& Top,
                  int32_t DayColour, float CellWidth, float CellHeight) {
    // The day number about as tall as the cell less 0.6 cm.
    const int16_t daySize = Engine.cmConv_HeightToPoints(CellHeight - 0.6f);
    printText(Engine, Right - CellWidth, Top, DayLabel(Month, Cell), DayColour,
              QStringLiteral("Desdemona"), daySize, false, false, true, CellWidth);
    Top += 0.175f;

    const DayCell& day = CurDoc.Months(Month).Cells(Cell);
    for (int16_t k = 0; k <= 6 && k < day.Count; ++k) {
        const EVItem& item = day.Items[size_t(k)];
        const int32_t colour = GetDayItemColour(Month, Cell, k);
        const float y = Top + 0.35f * float(k);
        if (item.Kind == ItemKind::Event) {
            printText(Engine, Right - 0.15f, y, item.Text, colour, kArial, 8, true, true, false, 0);
            continue;
        }
        // A money text: the name in its first ten characters, the amount after the eleventh.
        printText(Engine, Right - 1.4f, y, rt::RTrimBlanks(item.Text.left(10)), colour, kArial, 8,
                  true, true, false, 0);
        if (item.Text.size() >= 11)
            printText(Engine, Right - 0.15f, y, moneyAmount(item.Text.mid(11)), colour, kArial, 8,
                      true, true, false, 0);
    }
}
