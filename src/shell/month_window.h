#pragma once
// The month window: one MDI child per month, held in MonthForms(1..12), its tag the month
// number as text. A grid of 7 by 7 cells: the weekday names (Sunday first) over six weeks of
// day cells 7 to 48. Each day cell is the label LblDay(c) with seven item lines LblEV1(c) to
// LblEV7(c) over it; the grid lies on the picture surface PicCal that carries the month's
// background. A close outside the state "Unload" only hides the window.
//
// The background is painted only while the grid is shown: a hidden window keeps no painted
// surface, and paints the background in force when it is shown again.

#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_menu.h"
#include "platform/ui_picture_box.h"

#include <QPointer>
#include <array>

class FrmMonthModele : public rt::Form {
public:
    FrmMonthModele();
    ~FrmMonthModele() override;

    rt::PictureBox PicView{*this, QStringLiteral("PicView")};
    rt::PictureBox PicTemp{*this, QStringLiteral("PicTemp")};
    rt::ControlArray<rt::PictureBox> PicEvent{QStringLiteral("PicEvent"), [this](auto& a) {
                                                  for (int i = 0; i <= 6; ++i)
                                                      a.create(i, PicView);
                                              }};
    rt::ControlArray<rt::Label> LblFix{QStringLiteral("LblFix"), [this](auto& a) {
                                           for (int i = 0; i <= 6; ++i)
                                               a.create(i, PicEvent(i));
                                       }};
    rt::PictureBox PicCal{PicView, QStringLiteral("PicCal")};
    rt::ControlArray<rt::Label> LblDay{QStringLiteral("LblDay"), cells()};
    rt::ControlArray<rt::Label> LblEV1{QStringLiteral("LblEV1"), cells()};
    rt::ControlArray<rt::Label> LblEV2{QStringLiteral("LblEV2"), cells()};
    rt::ControlArray<rt::Label> LblEV3{QStringLiteral("LblEV3"), cells()};
    rt::ControlArray<rt::Label> LblEV4{QStringLiteral("LblEV4"), cells()};
    rt::ControlArray<rt::Label> LblEV5{QStringLiteral("LblEV5"), cells()};
    rt::ControlArray<rt::Label> LblEV6{QStringLiteral("LblEV6"), cells()};
    rt::ControlArray<rt::Label> LblEV7{QStringLiteral("LblEV7"), cells()};
    rt::Menu mnuEdit{*this, QStringLiteral("mnuEdit")};
    rt::ControlArray<rt::Menu> mnuEditCmd{QStringLiteral("mnuEditCmd"), [this](auto& a) {
                                              for (int i = 0; i <= 8; ++i)
                                                  a.create(i, mnuEdit);
                                          }};

    // Item line n (1 to 7) of the cells: LblEV1 to LblEV7.
    rt::ControlArray<rt::Label>& LblEV(int n);

    void LoadCaptions();
    // Paints the background in force for the window's month onto PicCal now if the grid is
    // shown, else when it is next shown.
    void RefreshBackground();
    // Empties the window for a blank document: item lines and day numbers cleared, day labels
    // opaque in CellBack, background cleared, normal window state at the top left corner.
    void ResetForBlankDocument(int32_t CellBack);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_MouseMove(int Button, int Shift, float X, float Y) override;
    void Form_Resize() override;
    void LblDay_MouseUp(int Index, int Button, int Shift, float X, float Y);
    // The mouse-up of item line n (1 to 7): LblEV1_MouseUp to LblEV7_MouseUp.
    void LblEV_MouseUp(int n, int Index, int Button, int Shift, float X, float Y);
    void mnuEditCmd_Click(int Index);

private:
    using CellBuilder = std::function<void(rt::ControlArray<rt::Label>&)>;
    CellBuilder cells();
    // The window's month: the numeric value of its tag.
    int16_t month() const;
    // Places the weekday row and the 42 cells over the window's inner area.
    void layOutGrid();
    void bindEvents();
    // The grid as assistive technology reads it: six weeks of seven days under the weekday
    // names, each day named by its date ("mardi 9 mars 2004"), the current day selected.
    void describeGrid();
    QString dayCellName(int Cell) const;
    // Presses (1) or releases (0) this month's button on the main toolbar.
    void setMonthButton(int value);
    // Drops the painted background of a grid that is not shown, to be painted when shown.
    void dropBackground();
    // Takes the background off PicCal: no picture, nothing painted.
    void clearGrid();
    bool activating_ = false;
    bool backgroundPending_ = false;
    QPointer<QObject> gridWatcher_; // tells the grid's showing and hiding
};

// The twelve month windows: MonthForms(m), m = 1 to 12; referring to an empty one creates and
// loads it (with its tag and icon), filled for the live document while one is shown (the states
// "Edit" and "Load"). Run-time error 9 for any other m. Code that only updates what a window
// shows passes over a window not made yet (peek), which is filled when it is made.
rt::FormSlot<FrmMonthModele>& MonthForms(int Month);
