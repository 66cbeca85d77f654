#include "ui_events.h"

namespace rt {

const PropertyEvent* propertyEvent(ControlKind kind, Property property) {
    for (const PropertyEvent& row : kPropertyEvents)
        if (row.kind == kind && row.property == property) return &row;
    return nullptr;
}

Event eventOnChange(ControlKind kind, Property property, bool newValueIsTrue) {
    const PropertyEvent* row = propertyEvent(kind, property);
    if (!row) return Event::None;
    if (row->when == Raise::OnSetTrue && !newValueIsTrue) return Event::None;
    return row->event;
}

QString kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Form:
        return QStringLiteral("Form");
    case ControlKind::MdiForm:
        return QStringLiteral("MDIForm");
    case ControlKind::Label:
        return QStringLiteral("Label");
    case ControlKind::TextBox:
        return QStringLiteral("TextBox");
    case ControlKind::CommandButton:
        return QStringLiteral("CommandButton");
    case ControlKind::CheckBox:
        return QStringLiteral("CheckBox");
    case ControlKind::OptionButton:
        return QStringLiteral("OptionButton");
    case ControlKind::Frame:
        return QStringLiteral("Frame");
    case ControlKind::ComboBox:
        return QStringLiteral("ComboBox");
    case ControlKind::ListBox:
        return QStringLiteral("ListBox");
    case ControlKind::PictureBox:
        return QStringLiteral("PictureBox");
    case ControlKind::Image:
        return QStringLiteral("Image");
    case ControlKind::ScrollBar:
        return QStringLiteral("ScrollBar");
    case ControlKind::Timer:
        return QStringLiteral("Timer");
    case ControlKind::Menu:
        return QStringLiteral("Menu");
    case ControlKind::Toolbar:
        return QStringLiteral("Toolbar");
    case ControlKind::ImageList:
        return QStringLiteral("ImageList");
    case ControlKind::ListView:
        return QStringLiteral("ListView");
    case ControlKind::ProgressBar:
        return QStringLiteral("ProgressBar");
    case ControlKind::Slider:
        return QStringLiteral("Slider");
    case ControlKind::StatusBar:
        return QStringLiteral("StatusBar");
    case ControlKind::TabControl:
        return QStringLiteral("TabControl");
    case ControlKind::DTPicker:
        return QStringLiteral("DTPicker");
    case ControlKind::UpDown:
        return QStringLiteral("UpDown");
    case ControlKind::DriveListBox:
        return QStringLiteral("DriveListBox");
    case ControlKind::DirListBox:
        return QStringLiteral("DirListBox");
    case ControlKind::FileListBox:
        return QStringLiteral("FileListBox");
    case ControlKind::TreeView:
        return QStringLiteral("TreeView");
    }
    return {};
}

} // namespace rt
