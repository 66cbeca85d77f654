// The month page: the engine calls that draw a calendar month or a picture page, in order and
// with their arguments, on US Letter in landscape with quarter-inch margins.

#include "document/day_items.h"
#include "printing/month_page.h"
#include "printing/print_run.h"
#include "printing_fixture.h"

#include <gtest/gtest.h>

namespace {

// An engine that records what it is asked to draw, on a page of fixed measures.
class RecordingEngine : public cmAPIPrinter {
public:
    struct Call {
        QString kind; // "box", "line", "text", "picture"
        float x = 0, y = 0, w = 0, h = 0;
        int32_t colour = 0, lineWidth = 0;
        bool flag = false; // filled box, bold text, stretched picture
        QString text{}, font{};
        float size = 0;
        bool right = false, centre = false, tile = false;
        rt::Picture picture{};
    };
    std::vector<Call> calls;

    float cmPage_MLeft() const override { return 0.635f; }
    float cmPage_MTop() const override { return 0.635f; }
    float cmPage_OWidth() const override { return 26.7f; }
    float cmPage_OHeight() const override { return 20.3f; }
    bool cmOutput_PrintBox(float L, float T, float W, float H, bool Filled, int32_t Color,
                           int32_t LineWidth) override {
        return add({.kind = QStringLiteral("box"),
                    .x = L,
                    .y = T,
                    .w = W,
                    .h = H,
                    .colour = Color,
                    .lineWidth = LineWidth,
                    .flag = Filled});
    }
    bool cmOutput_PrintLine(float X1, float Y1, float X2, float Y2, int32_t Color,
                            int32_t LineWidth) override {
        return add({.kind = QStringLiteral("line"),
                    .x = X1,
                    .y = Y1,
                    .w = X2,
                    .h = Y2,
                    .colour = Color,
                    .lineWidth = LineWidth});
    }
    bool cmOutput_PrintText(float X, float Y, const QString& Text, int32_t Color,
                            const QString& FontName, float FontSize, bool Bold, bool Italic,
                            bool Strikethru, bool Underline, bool AlignRight, bool Centre,
                            float Width) override {
        EXPECT_FALSE(Italic || Strikethru || Underline);
        return add({.kind = QStringLiteral("text"),
                    .x = X,
                    .y = Y,
                    .w = Width,
                    .colour = Color,
                    .flag = Bold,
                    .text = Text,
                    .font = FontName,
                    .size = FontSize,
                    .right = AlignRight,
                    .centre = Centre});
    }
    bool cmOutput_PrintPicture(float L, float T, float W, float H, rt::Picture& Pic,
                               rt::PictureBox& WorkPic, bool Stretch, bool Tile) override {
        EXPECT_EQ(&WorkPic, &FrmMain->PicTempPrint);
        add({.kind = QStringLiteral("picture"),
             .x = L,
             .y = T,
             .w = W,
             .h = H,
             .flag = Stretch,
             .tile = Tile,
             .picture = Pic});
        Pic = rt::Picture::fromImage(QImage(1, 1, QImage::Format_RGB32)); // as the engine does
        return true;
    }
    bool add(const Call& c) {
        calls.push_back(c);
        return true;
    }
    std::vector<Call> of(const QString& kind) const {
        std::vector<Call> v;
        for (const Call& c : calls)
            if (c.kind == kind) v.push_back(c);
        return v;
    }
};

constexpr float kLeft = 0.935f, kTop = 0.935f, kWidth = 26.1f, kHeight = 19.7f;
constexpr float kW = kWidth / 7, kH = (kHeight - 2.0f) / 6;
constexpr float kTol = 1e-4f;

class MonthPageTest : public PrintingTest {
protected:
    static void add(int16_t Month, int16_t Cell, const QString& Text, int32_t Kind,
                    int32_t Colour = -1) {
        EVItem ev;
        ev.Text = Text;
        ev.Kind = Kind;
        ev.Colour = Colour;
        DayCell& cell = CurDoc.Months(Month).Cells(Cell);
        cell.Items.push_back(ev);
        cell.Count = int16_t(cell.Items.size());
    }
    static void expectAt(const RecordingEngine::Call& c, float x, float y, float w, float h) {
        EXPECT_NEAR(c.x, x, kTol);
        EXPECT_NEAR(c.y, y, kTol);
        EXPECT_NEAR(c.w, w, kTol);
        EXPECT_NEAR(c.h, h, kTol);
    }
    RecordingEngine engine;
};

} // namespace

// March 2004 (the 1st a Monday): frame, grid, title, band, weekday names, then the 42 cells.
TEST_F(MonthPageTest, CalendarPageLayout) {
    bandColour(3, 0x00C08040);
    CurDoc.Months(3).Colours.HeaderText = 0x0000FFFF;
    CurDoc.Months(3).Colours.DayText = 0x00336699;
    CurDoc.Months(3).Colours.ShowGrid = -1;
    PrintMonthPage(engine, 3, CalendarPrintJob());
    const auto& calls = engine.calls;
    ASSERT_EQ(calls.size(), 1u + 12 + 1 + 1 + 7 + 42);

    expectAt(calls[0], kLeft, kTop + 1, kWidth, kHeight - 1);
    EXPECT_EQ(calls[0].kind + QString::number(calls[0].lineWidth), QStringLiteral("box5"));
    EXPECT_FALSE(calls[0].flag);
    for (int k = 0; k < 6; ++k) // rows, then columns
        expectAt(calls[size_t(1 + k)], kLeft, kTop + 2 + k * kH, kLeft + kWidth, kTop + 2 + k * kH);
    for (int k = 1; k <= 6; ++k)
        expectAt(calls[size_t(6 + k)], kLeft + k * kW, kTop + 2, kLeft + k * kW, kTop + kHeight);
    EXPECT_EQ(calls[13].text, MonthForms(3)->Caption());
    EXPECT_EQ(calls[13].text, QStringLiteral("Mars 2004"));
    expectAt(calls[13], kLeft, kTop, 0, 0);
    EXPECT_EQ(calls[13].font + QString::number(calls[13].size), QStringLiteral("Arial22"));
    expectAt(calls[14], kLeft, kTop + 1, kWidth, 1.0f);
    EXPECT_TRUE(calls[14].flag);
    EXPECT_EQ(calls[14].colour, 0x00C08040);
    const QStringList names = {"Dimanche", "Lundi",    "Mardi", "Mercredi",
                               "Jeudi",    "Vendredi", "Samedi"};
    for (int k = 0; k < 7; ++k) {
        const auto& name = calls[size_t(15 + k)];
        EXPECT_EQ(name.text, names[k]);
        expectAt(name, kLeft + k * kW, kTop + 1.2f, kW, 0);
        EXPECT_TRUE(name.centre && name.flag);
        EXPECT_EQ(name.size, 16);
        EXPECT_EQ(name.colour, 0x0000FFFF);
    }
    // The day numbers the window shows: none before the 1st and after the 31st.
    for (int cell = 7; cell <= 48; ++cell) {
        const auto& n = calls[size_t(22 + cell - 7)];
        const int day = cell - 7;
        EXPECT_EQ(n.text, day >= 1 && day <= 31 ? QString::asprintf("%02d", day) : QString());
        expectAt(n, kLeft + (day % 7) * kW, kTop + 2 + (day / 7) * kH, kW, 0);
        EXPECT_EQ(n.font + QString::number(n.size), QStringLiteral("Desdemona66"));
        EXPECT_TRUE(n.centre && !n.flag);
        EXPECT_EQ(n.colour, 0x00336699);
    }
}

// Up to seven item lines: events whole, money texts as a label and an amount, each in the
// colour the item colour rule gives.
TEST_F(MonthPageTest, ItemLinesOfADay) {
    const int16_t cell = 17; // Wednesday 10 March 2004
    add(3, cell, QStringLiteral("Réunion des parents d'élèves au collège"), ItemKind::Event);
    add(3, cell, QStringLiteral("Loyer      1500"), ItemKind::Income);
    add(3, cell, QStringLiteral("Assurance  12345678"), ItemKind::Expense);
    add(3, cell, QStringLiteral("Court"), ItemKind::Expense);
    add(3, cell, QStringLiteral("Bleu"), ItemKind::Event, 0x00FF0000);
    for (int i = 6; i <= 9; ++i)
        add(3, cell, QStringLiteral("Ligne %1").arg(i), ItemKind::Event);
    PrintMonthPage(engine, 3, CalendarPrintJob());

    const float right = kLeft + 4 * kW, top = kTop + 2 + kH + 0.175f;
    std::vector<RecordingEngine::Call> texts;
    for (const auto& c : engine.of(QStringLiteral("text")))
        if (c.size == 8) texts.push_back(c);
    const std::tuple<QString, float, int> expected[] = {
        {QStringLiteral("Réunion des parents d'élèves au collège"), 0.15f, 0},
        {QStringLiteral("Loyer"), 1.4f, 1},
        {QStringLiteral("  1500$"), 0.15f, 1},
        {QStringLiteral("Assurance"), 1.4f, 2},
        {QStringLiteral("12345678$"), 0.15f, 2}, // longer than six places: whole
        {QStringLiteral("Court"), 1.4f, 3},      // no amount part
        {QStringLiteral("Bleu"), 0.15f, 4},
        {QStringLiteral("Ligne 6"), 0.15f, 5},
        {QStringLiteral("Ligne 7"), 0.15f, 6},
    };
    ASSERT_EQ(texts.size(), std::size(expected));
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& [text, inset, line] = expected[i];
        EXPECT_EQ(texts[i].text, text);
        expectAt(texts[i], right - inset, top + 0.35f * line, 0, 0);
        EXPECT_TRUE(texts[i].right && texts[i].flag);
        EXPECT_EQ(texts[i].colour, GetDayItemColour(3, cell, int16_t(line)));
    }
    EXPECT_EQ(texts[6].colour, 0x00FF0000);
}

// A month outside 1 to 12 draws nothing; a picture job draws its picture only, and keeps it.
TEST_F(MonthPageTest, PictureJobsAndMonthsOutOfRange) {
    for (int16_t month : {0, 13})
        PrintMonthPage(engine, month, CalendarPrintJob());
    EXPECT_TRUE(engine.calls.empty());
    ImageItem job;
    job.FileName = QStringLiteral("/images/chat.jpg");
    job.Picture = markedPicture(30, 20, Qt::blue, Qt::red);
    for (int32_t mode : {0, 1, 2}) {
        job.Mode = mode;
        PrintMonthPage(engine, 3, job);
        const auto& c = engine.calls.back();
        expectAt(c, kLeft, kTop, kWidth, kHeight);
        EXPECT_EQ(c.flag, mode != 0);
        EXPECT_FALSE(c.tile);
        EXPECT_TRUE(c.picture.sameObject(job.Picture));
    }
    EXPECT_EQ(engine.of(QStringLiteral("picture")).size(), engine.calls.size());
}

// The background goes under the grid when the settings print it and the month has one: as
// is, stretched or tiled; the month's or the document's, chosen apart from the colours, which
// may come from the defaults while the picture does not.
TEST_F(MonthPageTest, BackgroundAndDefaults) {
    const rt::Picture own = markedPicture(10, 10, Qt::blue, Qt::red);
    const rt::Picture byDefault = markedPicture(10, 10, Qt::green, Qt::red);
    CurDoc.DefaultBackground = {.Mode = ImageMode::Stretched,
                                .FileName = QStringLiteral("/images/d.bmp"),
                                .Picture = byDefault};
    CurDoc.DefaultColours.HeaderBack = 0x00112233;
    CurDoc.DefaultColours.ShowGrid = 0;
    CurDoc.Months(6).Colours.UseDefault = -1;
    const std::tuple<int32_t, QString, int32_t, int16_t, int> cases[] = {
        // print flag, file, mode, use default, 0 none / 1 as is / 2 stretched / 3 tiled
        {1, QStringLiteral("/images/m.bmp"), 0, 0, 1},
        {1, QStringLiteral("/images/m.bmp"), 1, 0, 2},
        {-1, QStringLiteral("/images/m.bmp"), 7, 0, 3},
        {0, QStringLiteral("/images/m.bmp"), 1, 0, 0},
        {1, QString(), 1, 0, 0},
        {1, QString(), 0, -1, 2},
    };
    for (const auto& [print, file, mode, useDefault, drawn] : cases) {
        engine.calls.clear();
        Settings.PrintBackground = print;
        CurDoc.Months(6).Background = {
            .Mode = mode, .FileName = file, .Picture = own, .UseDefault = useDefault};
        PrintMonthPage(engine, 6, CalendarPrintJob());
        EXPECT_TRUE(engine.of(QStringLiteral("line")).empty()); // the default has no grid
        EXPECT_EQ(engine.of(QStringLiteral("box"))[1].colour, 0x00112233);
        const auto pictures = engine.of(QStringLiteral("picture"));
        ASSERT_EQ(pictures.size(), drawn ? 1u : 0u) << print << " " << mode;
        if (!drawn) continue;
        expectAt(engine.calls[0], kLeft, kTop + 2, kWidth, kHeight - 2); // under everything
        EXPECT_EQ(pictures[0].flag, drawn == 2);
        EXPECT_EQ(pictures[0].tile, drawn == 3);
        EXPECT_TRUE(pictures[0].picture.sameObject(useDefault ? byDefault : own));
        EXPECT_TRUE(CurDoc.Months(6).Background.Picture.sameObject(own));
    }
}

// The title and the day numbers come from the document, not from the month windows: with none
// loaded, a page shows the month's name and the year as written, and the days of that year
// (none when the year is no 16-bit whole number); it loads no month window.
TEST_F(MonthPageTest, TitleAndDaysWithoutMonthWindows) {
    FrmMain->setTag(QStringLiteral("Unload")); // month windows unload only at shutdown
    for (int16_t m = 1; m <= 12; ++m)
        ASSERT_TRUE(MonthForms(m).release());
    const std::tuple<int16_t, QString, QString, int, int> cases[] = {
        // month, year, title, cell of the 1st (0 none), days
        {3, QStringLiteral("2004"), QStringLiteral("Mars 2004"), 8, 31},
        {2, QStringLiteral("2004"), QStringLiteral("Février 2004"), 7, 29},
        {3, QStringLiteral("2005"), QStringLiteral("Mars 2005"), 9, 31},
        {3, QStringLiteral("70000"), QStringLiteral("Mars 70000"), 0, 0},
    };
    for (const auto& [month, year, title, first, days] : cases) {
        engine.calls.clear();
        CurDoc.Year = year;
        PrintMonthPage(engine, month, CalendarPrintJob());
        ASSERT_EQ(engine.calls.size(), 1u + 12 + 1 + 1 + 7 + 42) << qPrintable(year);
        EXPECT_EQ(engine.calls[13].text, title);
        for (int cell = 7; cell <= 48; ++cell) {
            const int day = first ? cell - first + 1 : 0;
            EXPECT_EQ(engine.calls[size_t(22 + cell - 7)].text,
                      day >= 1 && day <= days ? QString::asprintf("%02d", day) : QString())
                << qPrintable(year) << " " << month << " " << cell;
        }
        EXPECT_FALSE(MonthForms(month).exists());
    }
}
