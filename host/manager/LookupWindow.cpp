#include "LookupWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace nuv::host {

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

// --- model ---------------------------------------------------------------------------------

TLookupModel::TLookupModel(QStringList captions, TextRows rows, QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)), rows_(std::move(rows)) {
    haystack_.reserve(rows_.size());
    for (const TextRow& row : rows_) {
        std::string h;
        for (const std::string& cell : row) {
            h += cell;
            h += '\x1f';
        }
        haystack_.push_back(LowerAscii(std::move(h)));
    }
    shown_.resize(rows_.size());
    std::iota(shown_.begin(), shown_.end(), 0);
}

int TLookupModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int TLookupModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant TLookupModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const TextRow& row = SourceRow(index.row());
    const auto col = static_cast<std::size_t>(index.column());
    return col < row.size() ? QString::fromStdString(row[col]) : QString();
}

QVariant TLookupModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < captions_.size() ? captions_[section] : QVariant();
    return section + 1;
}

void TLookupModel::SetFilter(const QString& text) {
    std::string needle = LowerAscii(text.toStdString());
    if (needle == filter_)
        return;
    beginResetModel();
    const bool narrowing = needle.find(filter_) != std::string::npos;
    if (!narrowing) {
        shown_.resize(rows_.size());
        std::iota(shown_.begin(), shown_.end(), 0);
    }
    if (!needle.empty()) {
        std::erase_if(shown_, [&](int r) {
            return haystack_[static_cast<std::size_t>(r)].find(needle) == std::string::npos;
        });
    }
    filter_ = std::move(needle);
    endResetModel();
}

// --- window --------------------------------------------------------------------------------

TLookupWindow::TLookupWindow(const QString& title, const QStringList& captions, TextRows rows,
                             bool multiSelect, const QString& initialText, QWidget* parent,
                             const QString& searchHint)
    : QDialog(parent), model_(new TLookupModel(captions, std::move(rows), this)),
      search_(new QLineEdit(this)), table_(new QTableView(this)), status_(new QLabel(this)),
      multiSelect_(multiSelect) {
    setWindowTitle(title);
    setObjectName("LookupWindow");
    search_->setObjectName("edSearch");
    search_->setPlaceholderText(
        searchHint.isEmpty() ? QStringLiteral("輸入代號或名稱的一部分以縮小範圍") : searchHint);
    search_->setClearButtonEnabled(true);
    table_->setObjectName("gridRows");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("確定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &TLookupWindow::Choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* hint = new QLabel(multiSelect ? QStringLiteral("Enter 選定　Shift+↑↓ 多選　"
                                                         "Ctrl+空白鍵 加選/取消　Esc 取消")
                                        : QStringLiteral("Enter 選定　Esc 取消"),
                            this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(hint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);
    layout->addWidget(buttons);

    search_->installEventFilter(this);
    table_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, &TLookupWindow::Narrow);
    connect(table_, &QAbstractItemView::doubleClicked, this, &TLookupWindow::Choose);

    FitColumns();
    resize(std::max(560, std::min(900, table_->horizontalHeader()->length() + 60)), 440);
    search_->setText(initialText);
    Narrow(initialText);
    search_->selectAll();
    search_->setFocus();
}

void TLookupWindow::FitColumns() {
    // Widths from the captions and the first rows only: measuring every row of a large table
    // would cost more than loading it.
    const QFontMetrics fm = table_->fontMetrics();
    const int sample = std::min(model_->rowCount(), 200);
    for (int c = 0; c < model_->columnCount(); ++c) {
        int w =
            fm.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < sample; ++r)
            w = std::max(w, fm.horizontalAdvance(model_->index(r, c).data().toString()));
        table_->setColumnWidth(c, std::min(w + 20, 320));
    }
}

void TLookupWindow::Narrow(const QString& text) {
    model_->SetFilter(text);
    if (model_->rowCount() > 0)
        table_->setCurrentIndex(model_->index(0, 0));
    status_->setText(
        QStringLiteral("符合 %1 筆，共 %2 筆").arg(model_->rowCount()).arg(model_->TotalCount()));
}

void TLookupWindow::Choose() {
    std::vector<int> chosen;
    if (multiSelect_) {
        for (const QModelIndex& i : table_->selectionModel()->selectedRows())
            chosen.push_back(i.row());
        std::sort(chosen.begin(), chosen.end());
    }
    if (chosen.empty() && table_->currentIndex().isValid())
        chosen.push_back(table_->currentIndex().row());
    if (chosen.empty())
        return; // nothing to choose: the window stays open
    std::vector<Variant> rows;
    rows.reserve(chosen.size());
    for (int r : chosen) {
        std::vector<Variant> cells;
        for (const std::string& cell : model_->SourceRow(r))
            cells.emplace_back(cell);
        rows.push_back(Variant::ArrayOf(std::move(cells)));
    }
    answer_ = Variant::ArrayOf(std::move(rows));
    accept();
}

bool TLookupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (watched == search_) {
            // Moving in the table while the typing stays in the search box.
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(table_, &copy);
            return true;
        }
        break;
    case Qt::Key_Space:
        if (watched == search_ && multiSelect_ && (key->modifiers() & Qt::ControlModifier)) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(table_, &copy);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

Variant RunLookupWindow(const QString& title, const QStringList& captions, TextRows rows,
                        bool multiSelect, const QString& initialText, QWidget* parent,
                        const QString& searchHint) {
    TLookupWindow window(title, captions, std::move(rows), multiSelect, initialText, parent,
                         searchHint);
    // The window that was active before (the dialog that asked) gets the activation back, so
    // that the person types on in the field the look-up was for.
    const QPointer<QWidget> previous = QApplication::activeWindow();
    window.exec();
    if (previous != nullptr && previous->isVisible() && !previous->isActiveWindow())
        previous->activateWindow();
    return window.Answer();
}

} // namespace nuv::host
