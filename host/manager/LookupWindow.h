// The look-up window of the F2 service: the rows of one look-up in a table, with a search box
// that narrows them as the user types.
//
// Keys: typing goes to the search box; Up, Down, Page Up, Page Down (with Shift to extend a
// multiple selection, Ctrl+Space to toggle one row) move in the table; Tab switches between
// the box and the table; Enter or a double-click chooses; Esc cancels.
//
// A row matches when the search text occurs in any of its columns, ASCII letters without case.
// The text is matched literally: "%", "_", quotes and the like are ordinary characters.
#pragma once

#include "DemoDatabase.h"

#include <nuv/Variant.h>

#include <QAbstractTableModel>
#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QTableView;

namespace nuv::host {

// Rows of texts shown through a filter, held as UTF-8 and turned into QString only for the
// cells being painted.
class TLookupModel : public QAbstractTableModel {
public:
    TLookupModel(QStringList captions, TextRows rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows the rows containing the text. A text that extends the previous one narrows the
    // rows already shown instead of scanning them all again.
    void SetFilter(const QString& text);
    int TotalCount() const { return static_cast<int>(rows_.size()); }
    // The row behind a shown row.
    const TextRow& SourceRow(int shownRow) const { return rows_[shown_[shownRow]]; }

private:
    QStringList captions_;
    TextRows rows_;
    std::vector<std::string> haystack_; // per row: the columns lower-cased, joined by '\x1f'
    std::vector<int> shown_;
    std::string filter_;
};

class TLookupWindow : public QDialog {
public:
    TLookupWindow(const QString& title, const QStringList& captions, TextRows rows,
                  bool multiSelect, const QString& initialText, QWidget* parent = nullptr,
                  const QString& searchHint = {});

    // The choice after exec(): an array of the chosen rows (each an array of its column
    // texts), in the order they are shown; unassigned when the user cancelled.
    const Variant& Answer() const { return answer_; }

    TLookupModel* Model() const { return model_; }
    QLineEdit* SearchBox() const { return search_; }
    QTableView* Table() const { return table_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Narrow(const QString& text);
    void Choose();
    void FitColumns();

    TLookupModel* model_;
    QLineEdit* search_;
    QTableView* table_;
    QLabel* status_;
    bool multiSelect_;
    Variant answer_;
};

// Opens the window modally over the parent and returns its answer.
Variant RunLookupWindow(const QString& title, const QStringList& captions, TextRows rows,
                        bool multiSelect, const QString& initialText, QWidget* parent,
                        const QString& searchHint = {});

} // namespace nuv::host
