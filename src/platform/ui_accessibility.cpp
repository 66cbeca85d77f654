#include "ui_accessibility.h"

#include "ui_controls.h"
#include "ui_form.h"
#include "ui_form_windows.h"
#include "ui_label_layer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QWidget>
#include <algorithm>

namespace rt {

namespace {

// The action that clicks a table's cell: the name AT-SPI clients look for first.
const QString& clickAction() {
    static const QString name = QStringLiteral("click");
    return name;
}

QAccessible::UpdateHandler installedUpdateHandler() {
    const QAccessible::UpdateHandler handler = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(handler);
    return handler;
}

int cellIndex(const LabelTable& table, const Label* label) {
    const auto at = std::find(table.Cells.begin(), table.Cells.end(), label);
    return at == table.Cells.end() ? -1 : int(at - table.Cells.begin());
}

// The cell of table whose place holds the middle of part (a label that is no cell), or nullptr.
Label* cellHolding(const LabelTable& table, const Label* part) {
    if (cellIndex(table, part) >= 0) return nullptr;
    const QPoint middle = part->placeInHost().center();
    for (Label* cell : table.Cells)
        if (cell->placeInHost().contains(middle)) return cell;
    return nullptr;
}

// The parts of a cell: the shown labels over it that show a text; none in an empty cell.
std::vector<Label*> partsOf(const LabelLayer& layer, const LabelTable& table, const Label* cell) {
    std::vector<Label*> parts;
    if (!table.CellName || table.CellName(*cell).isEmpty()) return parts;
    for (Label* label : layer.labels())
        if (label->Visible() && !label->shownText().isEmpty() && cellHolding(table, label) == cell)
            parts.push_back(label);
    return parts;
}

// The labels that a host gives as its children: a table's cells, or its shown labels.
std::vector<Label*> childLabels(const LabelLayer& layer) {
    if (const LabelTable* table = layer.table()) return table->Cells;
    std::vector<Label*> shown;
    for (Label* label : layer.labels())
        if (label->Visible()) shown.push_back(label);
    return shown;
}

QAccessibleInterface* interfaceOf(QObject* object) {
    return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}

int indexIn(const std::vector<Label*>& labels, const QAccessibleInterface* child) {
    if (!child) return -1;
    const auto at = std::find(labels.begin(), labels.end(), child->object());
    return at == labels.end() ? -1 : int(at - labels.begin());
}

// One label: role StaticText, its shown text as name and text; or, in a table, a cell with its
// name as name and text, and its parts as children.
class LabelAccessible : public QAccessibleObject,
                        public QAccessibleTextInterface,
                        public QAccessibleTableCellInterface,
                        public QAccessibleActionInterface {
public:
    explicit LabelAccessible(Label* label) : QAccessibleObject(label) {}

    Label* label() const { return static_cast<Label*>(object()); }
    const LabelLayer* layer() const {
        const Label* l = label();
        return l ? LabelLayer::find(l->host()) : nullptr;
    }
    const LabelTable* labelTable() const {
        const LabelLayer* l = layer();
        return l ? l->table() : nullptr;
    }
    // The label's place among the table's cells, -1 when it is none.
    int cell() const {
        const LabelTable* t = labelTable();
        return t ? cellIndex(*t, label()) : -1;
    }
    std::vector<Label*> parts() const {
        return cell() >= 0 ? partsOf(*layer(), *labelTable(), label()) : std::vector<Label*>();
    }

    bool isValid() const override { return label() && label()->host(); }

    QAccessibleInterface* parent() const override {
        if (!isValid()) return nullptr;
        if (const LabelTable* t = labelTable())
            if (Label* holder = cellHolding(*t, label())) return interfaceOf(holder);
        return interfaceOf(label()->host());
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<Label*> p = parts();
        return index >= 0 && index < int(p.size()) ? interfaceOf(p[size_t(index)]) : nullptr;
    }
    int childCount() const override { return int(parts().size()); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return indexIn(parts(), child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (Label* part : parts())
            if (QAccessibleInterface* iface = interfaceOf(part); iface->rect().contains(x, y))
                return iface;
        return nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Description) return label()->ToolTipText();
        if (t != QAccessible::Name) return {};
        if (cell() >= 0)
            return labelTable()->CellName ? labelTable()->CellName(*label()) : QString();
        return label()->shownText();
    }
    QAccessible::Role role() const override {
        if (cell() >= 0) return QAccessible::Cell;
        return isValid() && label()->tableHeader() ? QAccessible::ColumnHeader
                                                   : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const Label* l = label();
        if (!l->Visible() || !l->host()->isVisible()) s.invisible = true;
        if (!l->shownEnabled()) s.disabled = true;
        if (cell() >= 0) {
            s.selectable = true;
            s.selected = isSelected();
        }
        return s;
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect place = label()->placeInHost();
        return QRect(label()->host()->mapToGlobal(place.topLeft()), place.size());
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        QList<QPair<QAccessibleInterface*, QAccessible::Relation>> related;
        const Form* form = isValid() ? label()->form() : nullptr;
        if (!form || !(match & QAccessible::Labelled)) return related;
        for (const auto& [field, itsLabel] : form->fieldLabels())
            if (itsLabel == label() && field->widget())
                related.append({interfaceOf(field->widget()), QAccessible::Labelled});
        return related;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        const bool isCell = cell() >= 0;
        switch (type) {
        case QAccessible::TextInterface:
            return static_cast<QAccessibleTextInterface*>(this);
        case QAccessible::TableCellInterface:
            return isCell ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
        case QAccessible::ActionInterface:
            return isCell ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
        default:
            return nullptr;
        }
    }

    // ---- Text, read only: the shown text, a cell's name ----
    QString shown() const { return text(QAccessible::Name); }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    // The characters are not placed one by one: each lies in the label's place, which puts the
    // text on its line for a reader that lays out what it reads by place (Orca's flat review).
    QRect characterRect(int offset) const override {
        return offset >= 0 && offset < characterCount() ? rect() : QRect();
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // ---- Table cell ----
    bool isSelected() const override {
        const LabelTable* t = labelTable();
        return t && t->CellSelected && t->CellSelected(*label());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        const LabelTable* t = labelTable();
        const int column = columnIndex();
        if (!t || column >= int(t->Headers.size()) || !t->Headers[size_t(column)]) return {};
        return {interfaceOf(t->Headers[size_t(column)])};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        const LabelTable* t = labelTable();
        return t && t->Columns > 0 ? cell() % t->Columns : 0;
    }
    int rowIndex() const override {
        const LabelTable* t = labelTable();
        return t && t->Columns > 0 ? cell() / t->Columns : 0;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        return isValid() ? interfaceOf(label()->host()) : nullptr;
    }

    // ---- Action: a cell clicks as the mouse does ----
    QStringList actionNames() const override { return {clickAction()}; }
    void doAction(const QString& name) override {
        if (name != clickAction() || !isValid() || !label()->Visible()) return;
        if (LabelLayer* l = LabelLayer::find(label()->host())) l->click(label());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// The widget that draws labels, or a form's own window: its child widgets and, after them, its
// labels; or a table of its labels. A group box keeps what Qt gives one: its title as name, the
// label of what it holds.
class LabelHostAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit LabelHostAccessible(QWidget* host)
        : QAccessibleWidget(host, qobject_cast<QGroupBox*>(host) ? QAccessible::Grouping
                                                                 : QAccessible::Client) {}

    const LabelLayer* layer() const { return LabelLayer::find(widget()); }
    const LabelTable* labelTable() const {
        const LabelLayer* l = layer();
        return l ? l->table() : nullptr;
    }
    std::vector<Label*> labels() const {
        const LabelLayer* l = layer();
        return l ? childLabels(*l) : std::vector<Label*>();
    }
    // A table's cells come first, as table readers count them; other labels follow the widgets.
    int labelsFrom() const { return labelTable() ? 0 : QAccessibleWidget::childCount(); }

    int childCount() const override {
        return QAccessibleWidget::childCount() + int(labels().size());
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<Label*> l = labels();
        const int first = labelsFrom();
        if (index >= first && index < first + int(l.size()))
            return interfaceOf(l[size_t(index - first)]);
        return QAccessibleWidget::child(index < first ? index : index - int(l.size()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<Label*> l = labels();
        if (const int at = indexIn(l, child); at >= 0) return labelsFrom() + at;
        const int widgetAt = QAccessibleWidget::indexOfChild(child);
        if (widgetAt < 0) return -1;
        return labelTable() ? int(l.size()) + widgetAt : widgetAt;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        if (QWidget* w = widget()->childAt(at)) {
            while (w->parentWidget() != widget())
                w = w->parentWidget();
            return interfaceOf(w);
        }
        Label* label = LabelLayer::labelAt(widget(), at);
        if (label && labelTable())
            if (Label* cell = cellHolding(*labelTable(), label)) label = cell;
        return label ? interfaceOf(label) : nullptr;
    }

    QAccessible::Role role() const override {
        if (labelTable()) return QAccessible::Table;
        // A form's own window reads as a window, or as a dialog while it is shown modal.
        if (const auto* window = dynamic_cast<const FormWindow*>(widget());
            window && window->isWindow() && window->form())
            return window->form()->isModal() ? QAccessible::Dialog : QAccessible::Window;
        return QAccessibleWidget::role();
    }
    QString text(QAccessible::Text t) const override {
        const auto* box = qobject_cast<QGroupBox*>(widget());
        if (box && t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutAccessKey(box->title());
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto related = QAccessibleWidget::relations(match);
        const auto* box = qobject_cast<QGroupBox*>(widget());
        if (box && !box->title().isEmpty() && (match & QAccessible::Labelled))
            for (int i = 0; i < QAccessibleWidget::childCount(); ++i)
                related.append({QAccessibleWidget::child(i), QAccessible::Labelled});
        return related;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface && labelTable())
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // ---- Table ----
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const LabelTable* t = labelTable();
        if (!t || row < 0 || column < 0 || row >= t->Rows || column >= t->Columns) return nullptr;
        const size_t at = size_t(row * t->Columns + column);
        return at < t->Cells.size() ? interfaceOf(t->Cells[at]) : nullptr;
    }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        if (const LabelTable* t = labelTable(); t && t->CellSelected)
            for (Label* cell : t->Cells)
                if (t->CellSelected(*cell)) cells.append(interfaceOf(cell));
        return cells;
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QString columnDescription(int column) const override {
        const LabelTable* t = labelTable();
        if (!t || column < 0 || column >= int(t->Headers.size()) || !t->Headers[size_t(column)])
            return {};
        return t->Headers[size_t(column)]->shownText();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return labelTable() ? labelTable()->Columns : 0; }
    int rowCount() const override { return labelTable() ? labelTable()->Rows : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}
};

QAccessibleInterface* labelFactory(const QString&, QObject* object) {
    if (!object) return nullptr;
    if (object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object);
        const bool formWindow = widget->isWindow() && dynamic_cast<FormWindow*>(widget);
        return LabelLayer::find(widget) || formWindow ? new LabelHostAccessible(widget) : nullptr;
    }
    if (auto* label = dynamic_cast<Label*>(object)) return new LabelAccessible(label);
    return nullptr;
}

} // namespace

QString withoutAccessKey(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i; // the marked letter, or one "&"
        text += caption[i];
    }
    return text;
}

bool accessibilityListening() {
    return QAccessible::isActive() || installedUpdateHandler();
}

void notifyAccessibility(QAccessibleEvent& event) {
    if (QAccessible::isActive())
        QAccessible::updateAccessibility(&event);
    else if (const QAccessible::UpdateHandler handler = installedUpdateHandler())
        handler(&event);
}

void labelHostMade(QWidget* host) {
    // Installed once widgets have their own factory, and so asked before it.
    static const bool installed = [] {
        QAccessible::installFactory(labelFactory);
        return true;
    }();
    (void)installed;
    // An interface that Qt made for the host before it drew labels does not give them.
    if (!accessibilityListening()) return;
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(host);
    if (made && !dynamic_cast<LabelHostAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void setLabelTable(Container& container, LabelTable table) {
    for (Label* header : table.Headers)
        if (header) header->setTableHeader(true);
    LabelLayer::of(container.clientWidget())
        .setTable(std::make_unique<LabelTable>(std::move(table)));
}

} // namespace rt
