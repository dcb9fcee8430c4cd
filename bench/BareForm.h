// A bare Qt copy of a form, for benchmarks that set the cost of one of our dialogs beside the
// cost of plain Qt widgets of the same number and kinds.
//
// FormPlanOf() reads a shown form's Qt widget tree once: for every widget the plain Qt class it
// is (the nearest of a fixed list of Qt classes among its bases; a list or spin edit that makes
// part of its inside when first shown is copied whole), its parent, geometry,
// visibility, text, a font of its own, and what a composite shows (a combo box's items, a tab
// bar's tabs, a list's column headers and rows). A widget that draws a caption itself and names
// it for screen readers (a label) is a QLabel with that text. Widgets that a composite Qt
// widget makes for itself (the viewport and scroll bars of a list, the edit of a combo or spin
// box) belong to the composite and are not listed. BuildBareForm() then creates that tree from
// plain Qt classes, hidden; the caller shows and paints it.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace nuv::bench {

enum class BareKind {
    Widget,
    Frame,
    Label,
    LineEdit,
    PushButton,
    ToolButton,
    CheckBox,
    RadioButton,
    ComboBox,
    SpinBox,
    GroupBox,
    TabBar,
    PlainTextEdit,
    TextEdit,
    TreeWidget,
    ListWidget,
    TableWidget,
    SpinEdit, // a line edit with an up and a down tool button, as our spin edits are built
};

struct BareWidget {
    BareKind Kind = BareKind::Widget;
    int Parent = -1; // index in the plan; -1 for the top-level window
    QRect Geometry;
    bool Visible = true;
    QString Text;
    // A combo box's items, a tab bar's tabs, a list's column headers.
    QStringList Items;
    // A list's rows, each with a text per column.
    std::vector<QStringList> Rows;
    int Current = -1; // the current item of a combo box or tab bar
    bool Editable = false;
    bool HeaderHidden = false;
    bool OwnFont = false; // the font was set on the widget (always for the window)
    QFont Font;
    QString Title; // of the window
};

using FormPlan = std::vector<BareWidget>;

inline const char* BareKindName(BareKind kind) {
    static const char* const names[] = {
        "QWidget",     "QFrame",       "QLabel",         "QLineEdit", "QPushButton",
        "QToolButton", "QCheckBox",    "QRadioButton",   "QComboBox", "QSpinBox",
        "QGroupBox",   "QTabBar",      "QPlainTextEdit", "QTextEdit", "QTreeWidget",
        "QListWidget", "QTableWidget", "SpinEdit"};
    return names[static_cast<int>(kind)];
}

// Controls that make part of their inside only when first shown say what they are: a list
// ("listView") makes its Qt view then, a spin edit ("spinEdit") its arrow buttons. The copy
// builds them whole, up front, as a plain Qt form would: a list, and a line edit with its two
// buttons.
inline bool IsDeferredList(const QWidget* w) {
    return w->property("listView").toBool();
}
inline bool IsSpinEdit(const QWidget* w) {
    return w->property("spinEdit").toBool();
}

// The plain Qt class of a widget, most specific first.
inline BareKind BareKindOf(const QWidget* w) {
    if (IsDeferredList(w))
        return BareKind::TreeWidget;
    if (IsSpinEdit(w))
        return BareKind::SpinEdit;
    if (qobject_cast<const QCheckBox*>(w))
        return BareKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(w))
        return BareKind::RadioButton;
    if (qobject_cast<const QToolButton*>(w))
        return BareKind::ToolButton;
    if (qobject_cast<const QAbstractButton*>(w))
        return BareKind::PushButton;
    if (qobject_cast<const QLineEdit*>(w))
        return BareKind::LineEdit;
    if (qobject_cast<const QComboBox*>(w))
        return BareKind::ComboBox;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return BareKind::SpinBox;
    if (qobject_cast<const QGroupBox*>(w))
        return BareKind::GroupBox;
    if (qobject_cast<const QTabBar*>(w))
        return BareKind::TabBar;
    if (qobject_cast<const QPlainTextEdit*>(w))
        return BareKind::PlainTextEdit;
    if (qobject_cast<const QTextEdit*>(w))
        return BareKind::TextEdit;
    if (qobject_cast<const QTableView*>(w))
        return BareKind::TableWidget;
    if (qobject_cast<const QListView*>(w))
        return BareKind::ListWidget;
    if (qobject_cast<const QTreeView*>(w) || qobject_cast<const QAbstractScrollArea*>(w))
        return BareKind::TreeWidget;
    if (qobject_cast<const QLabel*>(w))
        return BareKind::Label;
    if (qobject_cast<const QFrame*>(w))
        return BareKind::Frame;
    if (!w->accessibleName().isEmpty())
        return BareKind::Label;
    return BareKind::Widget;
}

inline bool BareKindIsComposite(BareKind kind) {
    switch (kind) {
    case BareKind::ComboBox:
    case BareKind::SpinBox:
    case BareKind::SpinEdit:
    case BareKind::PlainTextEdit:
    case BareKind::TextEdit:
    case BareKind::TreeWidget:
    case BareKind::ListWidget:
    case BareKind::TableWidget:
        return true;
    default:
        return false;
    }
}

namespace detail {
inline QString BareTextOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return w->accessibleName();
}

// A list's column headers and rows.
inline void CopyModel(const QAbstractItemModel* m, BareWidget& item) {
    for (int c = 0; c < m->columnCount(); ++c)
        item.Items << m->headerData(c, Qt::Horizontal).toString();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c)
            row << m->index(r, c).data().toString();
        item.Rows.push_back(row);
    }
}

// What a composite widget shows: its items, tabs or column headers and rows.
inline void CopyContents(const QWidget* w, BareWidget& item) {
    if (IsDeferredList(w)) {
        // The view if made, else the rows' model, which the list holds from the start.
        if (auto* v = w->findChild<const QAbstractItemView*>(QString(), Qt::FindDirectChildrenOnly))
            CopyContents(v, item);
        else if (auto* m =
                     w->findChild<const QAbstractItemModel*>(QString(), Qt::FindDirectChildrenOnly))
            CopyModel(m, item);
    } else if (auto* c = qobject_cast<const QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i)
            item.Items << c->itemText(i);
        item.Current = c->currentIndex();
        item.Editable = c->isEditable();
    } else if (auto* t = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < t->count(); ++i)
            item.Items << t->tabText(i);
        item.Current = t->currentIndex();
    } else if (auto* v = qobject_cast<const QAbstractItemView*>(w); v && v->model()) {
        CopyModel(v->model(), item);
        if (auto* tree = qobject_cast<const QTreeView*>(w))
            item.HeaderHidden = tree->isHeaderHidden();
    }
}

inline void AddToPlan(const QWidget* w, int parent, FormPlan& plan) {
    BareWidget item;
    item.Kind = parent < 0 ? BareKind::Widget : BareKindOf(w);
    item.Parent = parent;
    item.Geometry = w->geometry();
    item.Visible = parent < 0 || w->isVisibleTo(w->parentWidget());
    item.Text = parent < 0 ? QString() : BareTextOf(w);
    item.Title = parent < 0 ? w->windowTitle() : QString();
    item.OwnFont = parent < 0 || w->testAttribute(Qt::WA_SetFont);
    item.Font = w->font();
    CopyContents(w, item);
    plan.push_back(item);
    const int self = static_cast<int>(plan.size()) - 1;
    if (BareKindIsComposite(item.Kind))
        return;
    for (QObject* child : w->children())
        if (auto* cw = qobject_cast<const QWidget*>(child); cw != nullptr && !cw->isWindow())
            AddToPlan(cw, self, plan);
}
} // namespace detail

// The plan of a form's window and everything in it.
inline FormPlan FormPlanOf(const QWidget* window) {
    FormPlan plan;
    detail::AddToPlan(window, -1, plan);
    return plan;
}

// How many widgets of each kind the plan holds, e.g. "QLabel 3, QLineEdit 2, ...".
inline std::string DescribePlan(const FormPlan& plan) {
    std::map<std::string, int> counts;
    for (const BareWidget& w : plan)
        ++counts[BareKindName(w.Kind)];
    std::string text;
    for (const auto& [name, n] : counts)
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(n);
    return text;
}

// The plain Qt widgets of the plan, hidden; the top-level window owns the rest.
inline std::unique_ptr<QWidget> BuildBareForm(const FormPlan& plan) {
    std::vector<QWidget*> made(plan.size(), nullptr);
    std::unique_ptr<QWidget> top;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const BareWidget& p = plan[i];
        QWidget* parent = p.Parent >= 0 ? made[static_cast<std::size_t>(p.Parent)] : nullptr;
        QWidget* w = nullptr;
        switch (p.Kind) {
        case BareKind::Widget:
            w = new QWidget(parent);
            break;
        case BareKind::Frame:
            w = new QFrame(parent);
            break;
        case BareKind::Label:
            w = new QLabel(p.Text, parent);
            break;
        case BareKind::LineEdit:
            w = new QLineEdit(p.Text, parent);
            break;
        case BareKind::PushButton:
            w = new QPushButton(p.Text, parent);
            break;
        case BareKind::ToolButton:
            w = new QToolButton(parent);
            break;
        case BareKind::CheckBox:
            w = new QCheckBox(p.Text, parent);
            break;
        case BareKind::RadioButton:
            w = new QRadioButton(p.Text, parent);
            break;
        case BareKind::ComboBox: {
            auto* box = new QComboBox(parent);
            box->setEditable(p.Editable);
            box->addItems(p.Items);
            box->setCurrentIndex(p.Current);
            w = box;
            break;
        }
        case BareKind::SpinBox:
            w = new QSpinBox(parent);
            break;
        case BareKind::SpinEdit: {
            auto* edit = new QLineEdit(p.Text, parent);
            const int h = p.Geometry.height() - 4, x = p.Geometry.width() - 17;
            auto* up = new QToolButton(edit);
            up->setArrowType(Qt::UpArrow);
            up->setGeometry(x, 2, 15, h / 2);
            auto* down = new QToolButton(edit);
            down->setArrowType(Qt::DownArrow);
            down->setGeometry(x, 2 + h / 2, 15, h - h / 2);
            edit->setTextMargins(0, 0, 15, 0);
            w = edit;
            break;
        }
        case BareKind::GroupBox:
            w = new QGroupBox(p.Text, parent);
            break;
        case BareKind::TabBar: {
            auto* bar = new QTabBar(parent);
            for (const QString& tab : p.Items)
                bar->addTab(tab);
            bar->setCurrentIndex(p.Current);
            w = bar;
            break;
        }
        case BareKind::PlainTextEdit:
            w = new QPlainTextEdit(parent);
            break;
        case BareKind::TextEdit:
            w = new QTextEdit(parent);
            break;
        case BareKind::TreeWidget: {
            auto* tree = new QTreeWidget(parent);
            tree->setColumnCount(std::max(1, static_cast<int>(p.Items.size())));
            tree->setHeaderLabels(p.Items);
            tree->setHeaderHidden(p.HeaderHidden);
            for (const QStringList& row : p.Rows)
                new QTreeWidgetItem(tree, row);
            w = tree;
            break;
        }
        case BareKind::ListWidget: {
            auto* list = new QListWidget(parent);
            for (const QStringList& row : p.Rows)
                list->addItem(row.value(0));
            w = list;
            break;
        }
        case BareKind::TableWidget:
            w = new QTableWidget(parent);
            break;
        }
        if (p.OwnFont)
            w->setFont(p.Font);
        if (parent == nullptr)
            w->setWindowTitle(p.Title);
        w->setGeometry(p.Geometry);
        if (parent != nullptr && !p.Visible)
            w->hide();
        made[i] = w;
        if (parent == nullptr)
            top.reset(w);
    }
    return top;
}

} // namespace nuv::bench
