#include "month_window.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "document/day_items.h"
#include "document/doc_state.h"
#include "document/list_ops.h"
#include "frm_main.h"
#include "main_module.h"
#include "platform/ui_accessibility.h"
#include "services/month_painting.h"

#include <QEvent>
#include <QWidget>
#include <memory>

namespace {
// Height of the weekday row, in twips.
constexpr int kHeaderHeight = 300;
// Default size of a month window: seven cells of 1500 twips, six weeks of 1440.
constexpr int kDefaultWidth = 7 * 1500 + 120;
constexpr int kDefaultHeight = kHeaderHeight + 6 * 1440 + 420;

// The application state, without creating the main window ("Unload" once it is gone).
QString appState() {
    FrmMainForm* main = FrmMain.peek();
    return main ? main->Tag() : QStringLiteral("Unload");
}
bool editing() {
    return appState() == QLatin1String("Edit") && IsBusy == 0;
}
// The windows show the live document while it is edited and while it loads (ShowMonthWindows
// then fills the windows made before it).
bool showingDocument() {
    const QString state = appState();
    return state == QLatin1String("Edit") || state == QLatin1String("Load");
}

// Calls back when a widget is shown (true) or hidden (false), its window's showing included.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget* widget, std::function<void(bool)> shown)
        : QObject(widget), shown_(std::move(shown)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            shown_(event->type() == QEvent::Show);
        return false;
    }

private:
    std::function<void(bool)> shown_;
};
} // namespace

// Made on first need (MonthForms(m).get()), not at start: a window that no road reaches costs
// nothing.
rt::FormSlot<FrmMonthModele>& MonthForms(int Month) {
    if (Month < 1 || Month > 12) rt::raise(rt::ErrSubscript);
    static std::array<std::unique_ptr<rt::FormSlot<FrmMonthModele>>, 12> windows;
    auto& slot = windows[size_t(Month - 1)];
    if (!slot)
        slot = std::make_unique<rt::FormSlot<FrmMonthModele>>([Month] {
            FrmMain.get(); // the month windows live in the main window
            auto* window = new FrmMonthModele;
            window->setTag(QString::number(Month));
            window->setIcon(rt::LoadResPicture(209 + Month, rt::vbResIcon));
            return window;
        });
    return *slot;
}

FrmMonthModele::CellBuilder FrmMonthModele::cells() {
    return [this](rt::ControlArray<rt::Label>& a) {
        for (int c = kFirstCell; c <= kLastCell; ++c)
            a.create(c, PicCal);
    };
}

FrmMonthModele::FrmMonthModele() : rt::Form(QStringLiteral("FrmMonthModele"), Type::MdiChild) {
    setKeyPreview(true);
    Move(0, 0, kDefaultWidth, kDefaultHeight);
    PicView.setBorderStyle(0);
    PicView.setBackColor(rt::vbWindowBackground);
    PicTemp.setBorderStyle(0);
    PicTemp.setAutoSize(true);
    PicTemp.setVisible(false);
    PicCal.setBorderStyle(0);
    PicCal.setBackColor(rt::vbWindowBackground);
    for (int i = 0; i <= 6; ++i) {
        PicEvent(i).setBorderStyle(1);
        LblFix(i).setAlignment(rt::vbCenter);
        LblFix(i).setBackStyle(0);
        LblFix(i).setFontSize(8);
        LblFix(i).setTop(0);
    }
    for (int c = kFirstCell; c <= kLastCell; ++c) {
        rt::Label& day = LblDay(c);
        day.setAlignment(rt::vbRightJustify);
        day.setBackStyle(1);
        day.setBorderStyle(1);
        day.setBackColor(rt::vbWindowBackground);
        day.setForeColor(rt::vbWindowText);
        day.setFontBold(true);
        day.setFontSize(8);
        for (int n = 1; n <= 7; ++n) {
            rt::Label& line = LblEV(n)(c);
            line.setBackStyle(0);
            line.setFontSize(7);
            line.setUseMnemonic(false);
        }
    }
    for (int i : {3, 7})
        mnuEditCmd(i).setCaption(QStringLiteral("-"));
    mnuEdit.setVisible(false);
    layOutGrid();
    bindEvents();
    describeGrid();
    // The watcher belongs to the grid's widget; the window removes it before its controls go.
    gridWatcher_ = new ShowWatcher(PicCal.clientWidget(), [this](bool shown) {
        if (shown && backgroundPending_)
            RefreshBackground();
        else if (!shown && PicCal.holdsSurface())
            dropBackground();
    });
}

FrmMonthModele::~FrmMonthModele() {
    delete gridWatcher_.data();
}

rt::ControlArray<rt::Label>& FrmMonthModele::LblEV(int n) {
    switch (n) {
    case 1:
        return LblEV1;
    case 2:
        return LblEV2;
    case 3:
        return LblEV3;
    case 4:
        return LblEV4;
    case 5:
        return LblEV5;
    case 6:
        return LblEV6;
    case 7:
        return LblEV7;
    default:
        rt::raise(rt::ErrSubscript);
    }
}

void FrmMonthModele::layOutGrid() {
    const int w = std::max(ScaleWidth(), 7 * 150);
    const int h = std::max(ScaleHeight(), kHeaderHeight + 6 * 160);
    PicView.Move(0, 0, w, h);
    auto column = [w](int col) { return w * col / 7; };
    for (int i = 0; i <= 6; ++i) {
        const int x0 = column(i), x1 = column(i + 1);
        PicEvent(i).Move(x0, 0, x1 - x0, kHeaderHeight);
        // The name keeps its offset from the top of its box (0 or 50 twips).
        const int inner = int(PicEvent(i).ScaleWidth());
        LblFix(i).Move(0, LblFix(i).Top(), inner, kHeaderHeight - 60);
    }
    const int gridHeight = h - kHeaderHeight;
    PicCal.Move(0, kHeaderHeight, w, gridHeight);
    for (int c = kFirstCell; c <= kLastCell; ++c) {
        const int row = c / 7 - 1, col = c % 7;
        const int x0 = column(col), x1 = column(col + 1);
        const int y0 = gridHeight * row / 6, y1 = gridHeight * (row + 1) / 6;
        LblDay(c).Move(x0, y0, x1 - x0, y1 - y0);
        // Under the day number's line, seven item lines share the cell's height.
        const int line = (y1 - y0) / 8;
        for (int n = 1; n <= 7; ++n)
            LblEV(n)(c).Move(x0 + 45, y0 + n * line, std::max(0, x1 - x0 - 75), line);
    }
}

void FrmMonthModele::bindEvents() {
    auto move = [this](int b, int s, float x, float y) { Form_MouseMove(b, s, x, y); };
    PicView.onMouseMove = move;
    PicCal.onMouseMove = move;
    for (int i = 0; i <= 6; ++i) {
        PicEvent(i).onMouseMove = move;
        LblFix(i).onMouseMove = move;
    }
    for (int c = kFirstCell; c <= kLastCell; ++c) {
        LblDay(c).onMouseMove = move;
        LblDay(c).onMouseUp = [this, c](int b, int s, float x, float y) {
            LblDay_MouseUp(c, b, s, x, y);
        };
        for (int n = 1; n <= 7; ++n) {
            LblEV(n)(c).onMouseMove = move;
            LblEV(n)(c).onMouseUp = [this, n, c](int b, int s, float x, float y) {
                LblEV_MouseUp(n, c, b, s, x, y);
            };
        }
    }
    for (int i = 0; i <= 8; ++i)
        mnuEditCmd(i).onClick = [this, i] { mnuEditCmd_Click(i); };
}

void FrmMonthModele::describeGrid() {
    rt::LabelTable grid;
    grid.Rows = 6;
    grid.Columns = 7;
    for (int c = kFirstCell; c <= kLastCell; ++c)
        grid.Cells.push_back(&LblDay(c));
    for (int i = 0; i <= 6; ++i)
        grid.Headers.push_back(&LblFix(i));
    grid.CellName = [this](const rt::Label& Cell) { return dayCellName(Cell.Index()); };
    grid.CellSelected = [this](const rt::Label& Cell) {
        return CurMonth == month() && CurCell == Cell.Index();
    };
    rt::setLabelTable(PicCal, std::move(grid));
}

QString FrmMonthModele::dayCellName(int Cell) const {
    const QString day = LblDay(Cell).Caption();
    if (day.isEmpty() || month() < 1 || month() > 12) return {};
    // The weekday of the cell's column, Sunday first; the string table has Monday to Sunday.
    const int column = Cell % 7;
    return rt::LoadResString(column == 0 ? 407 : 400 + column).toLower() + u' ' +
           QString::number(rt::CInt(rt::Val(day))) + u' ' +
           rt::LoadResString(209 + month()).toLower() + u' ' + CurDoc.Year;
}

int16_t FrmMonthModele::month() const {
    return rt::CInt(rt::Val(Tag()));
}

void FrmMonthModele::setMonthButton(int value) {
    FrmMainForm* main = FrmMain.peek();
    if (!main) return;
    const QString key = QStringLiteral("m") + rt::FormatNumber(month(), QStringLiteral("00"));
    // The toolbar holds the month buttons once the main window is set up.
    for (int i = 1; i <= main->TbMain.Buttons().Count(); ++i)
        if (main->TbMain.Buttons(i).Key() == key) main->TbMain.Buttons(i).setValue(value);
}

void FrmMonthModele::LoadCaptions() {
    LblFix(0).setCaption(rt::LoadResString(407));
    for (int i = 1; i <= 6; ++i)
        LblFix(i).setCaption(rt::LoadResString(400 + i));
    const int ids[] = {408, 409, 410, 0, 411, 412, 413, 0, 414};
    for (int i = 0; i <= 8; ++i)
        mnuEditCmd(i).setCaption(ids[i] ? rt::LoadResString(ids[i]) : QStringLiteral("-"));
}

void FrmMonthModele::RefreshBackground() {
    if (!PicCal.clientWidget()->isVisible()) {
        dropBackground();
        return;
    }
    backgroundPending_ = false;
    PaintBackground(PicCal, PicTemp, BackgroundInForce(month()));
}

void FrmMonthModele::clearGrid() {
    PicCal.setAutoRedraw(false);
    PicCal.setPicture(rt::Picture::empty());
    PicCal.Cls();
}

void FrmMonthModele::dropBackground() {
    backgroundPending_ = true;
    if (!PicCal.holdsSurface() && PicCal.Picture().isEmpty()) return;
    clearGrid();
}

void FrmMonthModele::Form_Load() {
    LoadCaptions();
    // Made on first need: it shows the document at once, as if it had been filled with the
    // others when the document opened.
    if (showingDocument()) FillMonthWindow(month());
}

void FrmMonthModele::ResetForBlankDocument(int32_t CellBack) {
    for (int c = kFirstCell; c <= kLastCell; ++c) {
        for (int n = 1; n <= 7; ++n)
            LblEV(n)(c).setCaption(QString());
        LblDay(c).setBackStyle(1);
        LblDay(c).setBackColor(CellBack);
        LblDay(c).setCaption(QString());
    }
    backgroundPending_ = false;
    clearGrid();
    setWindowState(rt::vbNormal);
    if (WindowState() == rt::vbNormal) {
        setTop(0);
        setLeft(0);
    }
}

void FrmMonthModele::Form_Activate() {
    // Showing the window activates it again: one activation at a time.
    if (activating_ || !editing()) return;
    activating_ = true;
    rt::DoEvents();
    setMonthButton(1);
    Show();
    ZOrder(0);
    activating_ = false;
}

void FrmMonthModele::Form_QueryUnload(int& Cancel, int) {
    rt::DoEvents();
    if (appState() == QLatin1String("Unload")) return; // closing for good
    setMonthButton(0);
    Hide();
    Cancel = 1;
}

void FrmMonthModele::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == rt::vbKeyF1) ShowHelp(QStringLiteral("Html\\d_month.htm"));
}

void FrmMonthModele::Form_MouseMove(int, int, float, float) {
    // The state alone decides: the panel also collapses while code fills the controls.
    if (appState() == QLatin1String("Edit")) SetNavPanel(false, false);
}

void FrmMonthModele::Form_Resize() {
    const int width = PicCal.Width(), height = PicCal.Height();
    layOutGrid();
    // The background is painted to the grid's size: a shown month paints it again.
    if (appState() == QLatin1String("Edit") &&
        (PicCal.Width() != width || PicCal.Height() != height))
        RefreshMonthBackground(month());
}

void FrmMonthModele::LblDay_MouseUp(int Index, int Button, int, float, float) {
    if (!editing()) return;
    if (Button == rt::vbLeftButton)
        SelectDay(month(), int16_t(Index));
    else if (Button == rt::vbRightButton)
        ShowCellMenu(month(), int16_t(Index), -1, nullptr);
}

void FrmMonthModele::LblEV_MouseUp(int n, int Index, int Button, int, float, float) {
    if (!editing()) return;
    if (Button == rt::vbLeftButton)
        SelectDay(month(), int16_t(Index));
    else if (Button == rt::vbRightButton)
        ShowCellMenu(month(), int16_t(Index), int16_t(n - 1), &LblEV(n)(Index));
}

void FrmMonthModele::mnuEditCmd_Click(int Index) {
    FrmMainForm& main = FrmMain.get();
    // Add, Edit and Show Picture work on the events page: switching to it before selecting
    // the day makes the list show that day's items, so that row SelItem is the item clicked.
    auto openDay = [&] {
        main.TbMenu.setTab(4);
        rt::DoEvents();
        SelectDay(SelMonth, SelCell);
    };
    // Only the item clicked in the day now current: a cell that shows no day (damaged data)
    // leaves no current day, and the list then holds no row of it.
    auto selectClickedRow = [&] {
        if (CurMonth != SelMonth || CurCell != SelCell || !IsMonth(SelMonth)) return false;
        if (SelItem >= CurDoc.Months(SelMonth).Cells(SelCell).Count) return false;
        if (SelItem < 0 || SelItem >= main.LstEV.ListCount()) return false;
        main.LstEV.setListIndex(SelItem);
        return true;
    };
    switch (Index) {
    case 0:
        CutDayItem();
        break;
    case 1:
        CopyDayItem();
        break;
    case 2:
        PasteDayItem();
        break;
    case 4:
        openDay();
        main.CmdEVAdd_Click();
        break;
    case 5:
        openDay();
        if (selectClickedRow()) main.CmdEVEdit_Click();
        break;
    case 6:
        RemoveDayItem(SelMonth, SelCell, false, SelItem);
        break;
    case 8:
        openDay();
        if (selectClickedRow()) main.CmdEVShowPic_Click();
        break;
    default:
        break;
    }
}

void ActivateMonthWindow(int16_t Month) {
    FrmMonthModele& window = MonthForms(Month).get();
    window.Form_Activate();
    window.setWindowState(rt::vbNormal);
}
