#pragma once
// The few calls the document makes into the windows of the program.
//
// The document library has no widget. Where its rules must redraw a cell, refresh the side pane,
// switch the application state, rebuild or reset the month windows, or open a dialog that lives
// with the forms, it calls this interface. The program installs its implementation at start-up;
// tests install a RecordingViews (tests/support/recording_views.h). Until one is installed, a
// silent implementation answers: state "", no caption, dialogs cancelled.

#include <QString>
#include <cstdint>
#include <memory>

class DocViews {
public:
    virtual ~DocViews() = default;

    // The application state held in the main window's tag: "Logo", "Load", "Edit", "Unload",
    // or "" before the first switch.
    virtual QString AppState() const = 0;
    // Switches the application state: 1 "Edit", 2 "Load" (which empties the two loading
    // captions), 3 "Logo".
    virtual void SetMainMode(int32_t Mode) = 0;

    // The main window's caption.
    virtual QString MainCaption() const = 0;
    virtual void SetMainCaption(const QString& Caption) = 0;

    // The loading view's captions: 0 the heading, 1 the current step.
    virtual void SetLoadingCaption(int16_t Index, const QString& Caption) = 0;

    // Redraws the item lines of one day cell from the live document.
    virtual void RedrawDayCell(int16_t Month, int16_t Cell) = 0;
    // Rebuilds the side pane that is shown and selects row SelectIndex (-1: the first row when
    // there is one); UpdateToolbar also recomputes the toolbar.
    virtual void RefreshPane(bool UpdateToolbar, int16_t SelectIndex) = 0;

    // Empties month window Month for a blank document: item lines cleared, day labels opaque in
    // CellBack with no caption, background cleared, window back to the normal state at the top
    // left corner. Creates the window when it does not exist yet.
    virtual void ResetMonthWindow(int16_t Month, int32_t CellBack) = 0;
    // Unloads month window Month and releases its slot (only at shutdown).
    virtual void UnloadMonthWindow(int16_t Month) = 0;
    // Asks month window Month to close: outside shutdown it hides itself and stays loaded.
    virtual void HideMonthWindow(int16_t Month) = 0;
    // Fills and shows the twelve month windows for the live document; ends in "Edit".
    virtual void ShowMonthWindows() = 0;

    // Opens the document properties dialog modally; true when closed with OK.
    virtual bool ShowPropertiesDialog(bool NewDocument) = 0;
    // Opens the alarm window modally for item Index of day cell (Month, Cell); true when the
    // window changed the item.
    virtual bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) = 0;
    // Asks for the read password. Expected "" is read mode: true after OK, with the typed
    // password left in PasswordHandOver (doc_state.h). Otherwise confirm mode: true only when
    // the typed password equals Expected.
    virtual bool AskPassword(const QString& Expected) = 0;
};

// The installed views.
DocViews& views();
// Installs new views and returns the previous ones; nullptr installs the silent views.
std::shared_ptr<DocViews> setDocViews(std::shared_ptr<DocViews> Views);
