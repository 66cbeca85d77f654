#pragma once
// What assistive technology (a screen reader, through Qt's accessibility bridge) reads of the
// controls that the runtime draws itself.
//
// Labels have no widget (ui_label_layer.h): the accessible interface of the widget that draws
// them gives them as its children, after its child widgets, each one a label (role StaticText)
// with its caption as name and text, its place and its states. A hidden label is left out. A
// label's accessible object is made only when assistive technology asks for it, and a caption
// change is told (NameChanged) only while someone listens.
//
// The labels of one container may be read as a table instead (setLabelTable): a grid of cells,
// each a label, whose parts are the labels drawn over it.

#include <QString>
#include <functional>
#include <vector>

class QAccessibleEvent;
class QWidget;

namespace rt {

class Container;
class Label;

// Rows x Columns cells, row by row, under one header per column (a label anywhere on the form).
// A cell reads its name as name and text; its parts are the shown labels of its container whose
// centre lies in the cell, in the order they are drawn, that show a text. A cell whose name is
// empty is empty: it has no part.
// The action "click" on a cell clicks its label with the left button, as the mouse does.
struct LabelTable {
    int Rows = 0;
    int Columns = 0;
    std::vector<Label*> Cells;
    std::vector<Label*> Headers;
    std::function<QString(const Label& Cell)> CellName;
    std::function<bool(const Label& Cell)> CellSelected;
};

// The labels of container are read as Table (its cells and their parts are labels on it).
void setLabelTable(Container& container, LabelTable table);

// A caption as it reads: without the "&" that marks an access key (of "&&" one stays).
QString withoutAccessKey(const QString& caption);

// True when something reads accessibility events: the platform's bridge to assistive
// technology, or an update handler installed in the process (QAccessible::installUpdateHandler).
bool accessibilityListening();
// Hands an event to what listens. Qt gives events to an installed update handler only while its
// bridge is active; an in-process handler gets the runtime's own events whatever the platform.
void notifyAccessibility(QAccessibleEvent& event);

// For the runtime: host began to draw labels. Makes sure its accessible interface is the one
// that gives them.
void labelHostMade(QWidget* host);

} // namespace rt
