// The quick-date window: a month calendar opened on a start date, used with the keyboard
// alone, that answers the chosen date or nothing.
//
// Keys: the arrows move by a day or a week, PageUp/PageDown by a month, Ctrl+PageUp/
// Ctrl+PageDown by a year, Home/End go to the first and last day of the month, T to today;
// Enter (or a double click) chooses the date, Esc cancels. A digit starts typing the date into
// the entry field ("1151210" or "115/12/10" with Minguo years, "20261210" or "2026/12/10"
// without); the calendar follows while it reads as a date, and Enter chooses it. With the Minguo
// calendar the years are shown counted from 1912 (year 1 of the Republic, Gregorian year − 1911);
// the answer is always the Gregorian date.
#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QLineEdit;

namespace nuv {

class TDayPicker : public QDialog {
    Q_OBJECT
public:
    TDayPicker(const QDate& start, bool minguo, QWidget* parent = nullptr);

    QDate SelectedDate() const;

    // The year as the window shows it: "2026年" or "民國115年" ("民國前1年" for 1911).
    static QString YearText(int year, bool minguo);
    // A typed date: digits alone (Minguo: 7, or 6 for years below 100; Gregorian: 8) or year,
    // month and day separated by '/', '.' or '-'. Invalid when it reads as no date.
    static QDate ParseTyped(const QString& text, bool minguo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Typed(const QString& text);
    void Move(const QDate& date);
    void UpdateTexts();

    bool minguo_;
    QCalendarWidget* calendar_ = nullptr;
    QLabel* header_ = nullptr;
    QLabel* chosen_ = nullptr;
    QLineEdit* typed_ = nullptr;
};

// Shows the window modally and returns the chosen date as "yyyymmdd", or an empty text when
// the user cancelled. The window is centred on the active window.
QString PickDay(const QDate& start, bool minguo);

} // namespace nuv
