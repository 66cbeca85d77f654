#pragma once
// The frame shared by the entry editors (day item, auto-event, debt/saving, birthday): how a
// caller opens them through Exchange, how they load and place themselves over the main window's
// navigation panel, how OK, Cancel and the close box end them, how they store their record into
// the live document, their help button and F1, their page switching and the amount filter of
// their amount boxes.
//
// An opening: the caller sets Exchange.DialogMode (0 add, 1 edit), EditIndex and DialogResult 0,
// shows the form modally and releases it. Form_Load runs LoadCaptions and FillDialog; OK clears
// the cancelled flag and unloads; Form_Unload then runs StoreItem, which stores the record only
// when it differs from the slot's and leaves DialogResult 1, or sets it back to 0. Cancel and the
// close box store nothing. Enter presses OK; Escape does nothing.

#include "document/records.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

class EditorForm : public rt::Form {
public:
    explicit EditorForm(const QString& name);

    // True (-1) from the start of Form_Load until OK clears it; decides in Form_Unload whether
    // the record is stored.
    int16_t Cancelled = -1;

    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();

    // The opening's mode and record, taken from Exchange when the form loads. A nested dialog
    // (an alarm that falls due while the editor is open) may rewrite Exchange meanwhile; the
    // editor keeps working on the record it was opened for.
    int32_t OpenMode() const { return openMode_; }
    int16_t OpenIndex() const { return openIndex_; }
    bool IsEdit() const { return openMode_ != 0; }

protected:
    virtual void LoadCaptions() = 0;
    virtual void FillDialog() = 0;
    virtual void StoreItem() = 0;
    // The help topic of the page shown.
    virtual QString HelpTopic() const = 0;
    // Steps 6 and 7 of the loading: the captions, then the controls. An editor that must set
    // IsBusy around them, or act after them, overrides this.
    virtual void LoadAndFill();

    // The common captions: the form's caption by mode, the help button's picture and tooltip,
    // OK and Cancel, and the first page's caption "Général".
    void LoadFrameCaptions(rt::TabControl& Tabs, int AddCaption, int EditCaption);
    // Places the buttons under the tab control and sizes the form around them.
    void LayoutFrame(rt::TabControl& Tabs);
    // The Tab key runs through the widgets of these controls in this order.
    static void SetFocusOrder(std::initializer_list<rt::Control*> Order);

private:
    int32_t openMode_ = 0;
    int16_t openIndex_ = 0;
};

// ---- Shared pieces of the editors ----

// The absolute value of the number a text begins with, in the general number-to-text form
// without a leading blank (15 significant digits, "." as decimal point, no zero before the
// point of a value below 1, the exponent form "1E+20" / "1E-05" for values of 1E+15 and above
// or below 1E-04). A text without a number, and one whose number is beyond the range of a
// double ("1e400"), give "0".
QString AbsoluteNumberText(const QString& Text);
// The amount an amount box stores for its text: AbsoluteNumberText, with a comma (the French
// decimal separator) read as the decimal point.
QString AmountFilterText(const QString& Text);
// The amount filter while the user types: AmountFilterText, except that one decimal separator
// typed after whole digits stays (as a point), so that the decimals can follow it.
QString AmountTypingText(const QString& Text);
// Rewrites an amount box to its AmountTypingText when that differs (which raises its Change
// once more, and then settles).
void ApplyAmountFilter(rt::TextBox& Box);
// Rewrites an amount box to the amount it stores (a separator left at the end goes); the
// editors do it when the box loses the focus and after filling it.
void EndAmountEntry(rt::TextBox& Box);
// Makes Box end its amount entry when it loses the focus.
void BindAmountBox(rt::TextBox& Box);

// The date a date picker shows for a stored date. A date the calendar lacks (31 February, an
// empty 0-0-0 from a damaged file) is carried over the calendar's months as the date procedures
// do, and kept within the picker's range 1601-01-01 to 9999-12-31.
QDate PickerDate(const DateRec& D);
QDate PickerDate(int32_t Day, int32_t Month, int32_t Year);
// The date a picker shows, as a date record.
DateRec DateOfPicker(rt::DTPicker& Picker);
// The document's year as the editors take it for their default dates: the numeric value of
// CurDoc.Year rounded to a whole number, kept within the pickers' years 1601 to 9999.
int16_t EditorDocumentYear();

// A list key: the prefix ("AE", "BD") and the number written with 16 digits.
QString ListKey(const QString& Prefix, int32_t Number);
// Raises a list's NextKey and returns the new key; false (and nothing raised) when the counter
// is at its largest value.
bool IssueKey(int32_t& NextKey, const QString& Prefix, QString& Key);

// Enables the page panel of the current tab only, so that the Tab key stays on the page shown.
void EnablePages(rt::ControlArray<rt::PictureBox>& PicTab, int Tab);

// Looks of the editors' controls: a section heading (bold Arial 9.75), a line under it, a
// label or check box in the form's font (Arial 8.25), a text box or date picker in MS Sans
// Serif 8.25, a page panel without border.
void StyleHeading(rt::Label& Label);
void StyleLine(rt::Label& Line);
void StyleText(rt::Control& Control);
void StyleEntry(rt::Control& Control);
void StylePanel(rt::PictureBox& Panel);

// Stores Record into List as the editors do. Add (Mode 0): the record is appended at the end
// of the list. Edit: it replaces item Index. In both cases only when Differ(Record, slot) finds
// a difference; KeyStep(Record, slot) then gives the record its key (false refuses the store);
// the part is marked modified. Otherwise Exchange.DialogResult becomes 0 and nothing changes.
// An edit of an index that is no record, and an add to a full list (32,767 records), store
// nothing either.
template <class List, class Item>
bool StoreListRecord(List& list, int32_t Mode, int16_t Index, Item Record,
                     bool (*Differ)(const Item&, const Item&),
                     const std::function<bool(Item&, const Item&)>& KeyStep, int32_t Part);

// ---- Template definition ----

void EditorStoreRefused();
void EditorMarkStored(int32_t Part);

template <class List, class Item>
bool StoreListRecord(List& list, int32_t Mode, int16_t Index, Item Record,
                     bool (*Differ)(const Item&, const Item&),
                     const std::function<bool(Item&, const Item&)>& KeyStep, int32_t Part) {
    if (Mode == 0) {
        const Item empty{};
        if (list.Count >= 32767 || !Differ(Record, empty) || (KeyStep && !KeyStep(Record, empty))) {
            EditorStoreRefused();
            return false;
        }
        ListAppend(list, std::move(Record));
    } else {
        if (!InList(list, Index)) {
            EditorStoreRefused();
            return false;
        }
        Item& slot = list.Items[size_t(Index)];
        if (!Differ(Record, slot) || (KeyStep && !KeyStep(Record, slot))) {
            EditorStoreRefused();
            return false;
        }
        slot = std::move(Record);
    }
    EditorMarkStored(Part);
    return true;
}
