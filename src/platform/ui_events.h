#pragma once
// The one table of events that the runtime raises when a property changes.
//
// Code that sets one of these properties raises the event at once, before the setter returns,
// exactly as a user's action that changes the same property does: both go through the table.
// A property that is absent raises nothing when set (captions, colours, Enabled, Visible, a
// toolbar button's Value, a menu entry's Enabled, a progress bar's Value...). Setting a
// property to the value it already holds raises nothing.

#include <QString>

namespace rt {

enum class ControlKind {
    Form,
    MdiForm,
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    OptionButton,
    Frame,
    ComboBox,
    ListBox,
    PictureBox,
    Image,
    ScrollBar,
    Timer,
    Menu,
    Toolbar,
    ImageList,
    ListView,
    ProgressBar,
    Slider,
    StatusBar,
    TabControl,
    DTPicker,
    UpDown,
    DriveListBox,
    DirListBox,
    FileListBox,
    TreeView,
};

// The properties that can raise an event.
enum class Property { Value, ListIndex, Text, ItemTick, Tab, Drive, Path, Pattern, Shown };

enum class Event { None, Click, Change, ItemCheck, Activate, PathChange, PatternChange };

// When a change raises the event.
enum class Raise {
    OnChange,   // every change of the value
    OnSetTrue,  // only when the value becomes true (option buttons, a command button's Value)
    OnActivate, // when showing makes the window the active one
};

struct PropertyEvent {
    ControlKind kind;
    Property property;
    Event event;
    Raise when;
};

inline constexpr PropertyEvent kPropertyEvents[] = {
    // Lists: choosing a row, by code or by the user, clicks the list.
    {ControlKind::ListBox, Property::ListIndex, Event::Click, Raise::OnChange},
    {ControlKind::ComboBox, Property::ListIndex, Event::Click, Raise::OnChange},
    {ControlKind::FileListBox, Property::ListIndex, Event::Click, Raise::OnChange},
    // A row's tick in a check-box list raises ItemCheck with the row.
    {ControlKind::ListBox, Property::ItemTick, Event::ItemCheck, Raise::OnChange},
    // Check boxes click on any change of Value; option buttons and command buttons only when
    // they become true.
    {ControlKind::CheckBox, Property::Value, Event::Click, Raise::OnChange},
    {ControlKind::OptionButton, Property::Value, Event::Click, Raise::OnSetTrue},
    {ControlKind::CommandButton, Property::Value, Event::Click, Raise::OnSetTrue},
    // Texts and values that change.
    {ControlKind::TextBox, Property::Text, Event::Change, Raise::OnChange},
    {ControlKind::ComboBox, Property::Text, Event::Change, Raise::OnChange},
    {ControlKind::ScrollBar, Property::Value, Event::Change, Raise::OnChange},
    {ControlKind::Slider, Property::Value, Event::Change, Raise::OnChange},
    {ControlKind::UpDown, Property::Value, Event::Change, Raise::OnChange},
    {ControlKind::DTPicker, Property::Value, Event::Change, Raise::OnChange},
    // The tab control's current tab raises its Click with the previous tab.
    {ControlKind::TabControl, Property::Tab, Event::Click, Raise::OnChange},
    // Drive, folder and file lists.
    {ControlKind::DriveListBox, Property::Drive, Event::Change, Raise::OnChange},
    {ControlKind::DirListBox, Property::Path, Event::Change, Raise::OnChange},
    {ControlKind::DirListBox, Property::ListIndex, Event::Click, Raise::OnChange},
    {ControlKind::FileListBox, Property::Path, Event::PathChange, Raise::OnChange},
    {ControlKind::FileListBox, Property::Pattern, Event::PatternChange, Raise::OnChange},
    // Showing a form (an MDI child window too) that becomes the active window activates it.
    {ControlKind::Form, Property::Shown, Event::Activate, Raise::OnActivate},
    {ControlKind::MdiForm, Property::Shown, Event::Activate, Raise::OnActivate},
};

// The table's row for a property of a kind of control, or nullptr: the change raises nothing.
const PropertyEvent* propertyEvent(ControlKind kind, Property property);

// The event a change raises: None when the table has no row, or when the row raises only on
// true and the new value is false.
Event eventOnChange(ControlKind kind, Property property, bool newValueIsTrue = true);

QString kindName(ControlKind kind);

} // namespace rt
