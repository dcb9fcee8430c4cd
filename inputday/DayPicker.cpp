#include "DayPicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

namespace nuv {

namespace {

// Dates answered as eight digits: four-digit Gregorian years only.
const QDate FirstDay(1000, 1, 1);
const QDate LastDay(9999, 12, 31);

} // namespace

TDayPicker::TDayPicker(const QDate& start, bool minguo, QWidget* parent)
    : QDialog(parent), minguo_(minguo) {
    setWindowTitle(QStringLiteral("選擇日期"));
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    setLocale(taiwan);

    auto* prev = new QToolButton(this);
    prev->setObjectName(QStringLiteral("previousMonth"));
    prev->setArrowType(Qt::LeftArrow);
    prev->setToolTip(QStringLiteral("上個月（PageUp）"));
    prev->setFocusPolicy(Qt::NoFocus);
    auto* next = new QToolButton(this);
    next->setObjectName(QStringLiteral("nextMonth"));
    next->setArrowType(Qt::RightArrow);
    next->setToolTip(QStringLiteral("下個月（PageDown）"));
    next->setFocusPolicy(Qt::NoFocus);
    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("header"));
    header_->setAlignment(Qt::AlignCenter);
    QFont big = header_->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    big.setBold(true);
    header_->setFont(big);
    auto* top = new QHBoxLayout;
    top->addWidget(prev);
    top->addWidget(header_, 1);
    top->addWidget(next);

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName(QStringLiteral("calendar"));
    calendar_->setLocale(taiwan);
    calendar_->setDateRange(FirstDay, LastDay);
    calendar_->setNavigationBarVisible(false);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setGridVisible(true);
    // Typed digits would open a date field in Gregorian form: not with Minguo years.
    calendar_->setDateEditEnabled(false);
    QTextCharFormat today;
    today.setFontUnderline(true);
    today.setFontWeight(QFont::Bold);
    calendar_->setDateTextFormat(QDate::currentDate(), today);

    chosen_ = new QLabel(this);
    chosen_->setObjectName(QStringLiteral("chosen"));
    auto* ok = new QPushButton(QStringLiteral("確定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setFocusPolicy(Qt::NoFocus);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setFocusPolicy(Qt::NoFocus);
    typed_ = new QLineEdit(this);
    typed_->setObjectName(QStringLiteral("typed"));
    typed_->setPlaceholderText(minguo ? QStringLiteral("如 1151210")
                                      : QStringLiteral("如 20261210"));
    typed_->setMaxLength(10);
    typed_->setFixedWidth(typed_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) +
                          24);
    auto* entry = new QHBoxLayout;
    entry->addWidget(typed_);
    entry->addWidget(chosen_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* hint = new QLabel(
        QStringLiteral("方向鍵 日、週　PageUp/PageDown 月　Ctrl+PageUp/PageDown 年\n"
                       "Home/End 月初、月底　T 今天　數字 輸入日期　Enter 確定　Esc 取消"),
        this);
    hint->setObjectName(QStringLiteral("keys"));
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    hint->setFont(small);
    QPalette muted = hint->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::Dark).darker(130));
    hint->setPalette(muted);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(calendar_, 1);
    layout->addLayout(entry);
    layout->addLayout(bottom);
    layout->addWidget(hint);

    auto shortcut = [this](const QKeySequence& keys, auto move) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, move] { Move(move(SelectedDate())); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [](QDate d) { return d.addYears(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), [](QDate d) { return d.addYears(1); });
    shortcut(QKeySequence(Qt::Key_Home), [](QDate d) { return QDate(d.year(), d.month(), 1); });
    shortcut(QKeySequence(Qt::Key_End),
             [](QDate d) { return QDate(d.year(), d.month(), d.daysInMonth()); });
    shortcut(QKeySequence(Qt::Key_T), [](QDate) { return QDate::currentDate(); });
    connect(prev, &QToolButton::clicked, this, [this] { Move(SelectedDate().addMonths(-1)); });
    connect(next, &QToolButton::clicked, this, [this] { Move(SelectedDate().addMonths(1)); });
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &TDayPicker::UpdateTexts);
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        // Paging moves the chosen day with the page, as the keys do.
        const QDate d = SelectedDate();
        if (d.year() != year || d.month() != month)
            Move(QDate(year, month, std::min(d.day(), QDate(year, month, 1).daysInMonth())));
    });
    connect(calendar_, &QCalendarWidget::activated, this, &QDialog::accept);
    connect(typed_, &QLineEdit::textEdited, this, &TDayPicker::Typed);
    connect(typed_, &QLineEdit::returnPressed, this, [this] {
        if (ParseTyped(typed_->text(), minguo_).isValid())
            accept();
    });
    // A digit typed on the calendar starts the entry.
    for (QWidget* w : calendar_->findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    Move(start.isValid() ? start : QDate::currentDate());
    calendar_->setFocus();
}

QDate TDayPicker::SelectedDate() const {
    return calendar_->selectedDate();
}

bool TDayPicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text().size() == 1 && key->text()[0].isDigit() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            typed_->setFocus();
            typed_->setText(key->text());
            Typed(typed_->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TDayPicker::Typed(const QString& text) {
    const QDate d = ParseTyped(text, minguo_);
    QPalette p = typed_->palette();
    p.setColor(QPalette::Text, d.isValid() || text.size() < 6 ? palette().color(QPalette::Text)
                                                              : QColor(0xb0, 0, 0));
    typed_->setPalette(p);
    if (d.isValid())
        Move(d);
}

QDate TDayPicker::ParseTyped(const QString& text, bool minguo) {
    const QString t = text.trimmed();
    int y = 0, m = 0, d = 0;
    static const QRegularExpression separated(
        QStringLiteral("^(\\d{1,4})[/.-](\\d{1,2})[/.-](\\d{1,2})$"));
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    if (const QRegularExpressionMatch match = separated.match(t); match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    } else if (digits.match(t).hasMatch() && t.size() == (minguo ? 7 : 8)) {
        const int yearDigits = minguo ? 3 : 4;
        y = t.left(yearDigits).toInt();
        m = t.mid(yearDigits, 2).toInt();
        d = t.mid(yearDigits + 2, 2).toInt();
    } else if (minguo && digits.match(t).hasMatch() && t.size() == 6) {
        y = t.left(2).toInt();
        m = t.mid(2, 2).toInt();
        d = t.mid(4, 2).toInt();
    } else {
        return {};
    }
    if (minguo) {
        if (y < 1)
            return {};
        y += 1911;
    } else if (y < 1000) {
        return {};
    }
    const QDate date(y, m, d);
    return date.isValid() && date >= FirstDay && date <= LastDay ? date : QDate();
}

QString TDayPicker::YearText(int year, bool minguo) {
    if (!minguo)
        return QStringLiteral("%1年").arg(year);
    const int roc = year - 1911;
    return roc >= 1 ? QStringLiteral("民國%1年").arg(roc)
                    : QStringLiteral("民國前%1年").arg(1 - roc);
}

void TDayPicker::Move(const QDate& date) {
    const QDate d = std::clamp(date, FirstDay, LastDay);
    calendar_->setSelectedDate(d);
    calendar_->setCurrentPage(d.year(), d.month());
    UpdateTexts();
}

void TDayPicker::UpdateTexts() {
    const QDate d = SelectedDate();
    header_->setText(QStringLiteral("%1 %2月").arg(YearText(d.year(), minguo_)).arg(d.month()));
    chosen_->setText(QStringLiteral("%1%2月%3日（%4）")
                         .arg(YearText(d.year(), minguo_))
                         .arg(d.month())
                         .arg(d.day())
                         .arg(locale().dayName(d.dayOfWeek(), QLocale::LongFormat)));
}

QString PickDay(const QDate& start, bool minguo) {
    TDayPicker picker(start, minguo, QApplication::activeWindow());
    picker.setWindowModality(Qt::ApplicationModal);
    if (picker.exec() != QDialog::Accepted)
        return {};
    return picker.SelectedDate().toString(QStringLiteral("yyyyMMdd"));
}

} // namespace nuv
