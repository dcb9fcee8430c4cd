// The Manager's look-up window over the demo database with 100,000 generated items: opening it
// to its first paint, and one keystroke of narrowing, beside a bare QTableView with a
// QSortFilterProxyModel over a QStandardItemModel filled with the same rows the plain way.
//
//   lookup_bench [benchmark arguments]     (offscreen Qt platform unless QT_QPA_PLATFORM is set)
#include "DemoDatabase.h"
#include "LookupWindow.h"
#include "NamedQueries.h"

#include <QApplication>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace nuv::host;

namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The demo database with the generated items, made once per run.
TDemoDatabase& Database() {
    static std::unique_ptr<TDemoDatabase> db = [] {
        const auto path = std::filesystem::temp_directory_path() /
                          ("nuv-lookup-bench-" + std::to_string(getpid()) + ".db");
        std::filesystem::remove(path);
        {
            SQLite::Database make(path.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            for (const char* script : {"schema.sql", "data.sql", "bench-items.sql"})
                make.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / script));
        }
        auto d = std::make_unique<TDemoDatabase>(path.string());
        std::atexit([] { std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                                     ("nuv-lookup-bench-" +
                                                      std::to_string(getpid()) + ".db")); });
        return d;
    }();
    return *db;
}

const TNamedQuery& Items() {
    return *FindNamedQuery("INVMB", "01");
}

QStringList Captions() {
    QStringList c;
    for (const char* s : Items().captions)
        c << QString::fromUtf8(s);
    return c;
}

// What the F2 service does: the rows of the look-up, then the window.
std::unique_ptr<TLookupWindow> OpenLookup() {
    TextRows rows = Database().Rows(Items().listSql, {""});
    auto w = std::make_unique<TLookupWindow>(QStringLiteral("品號資料查詢"), Captions(),
                                             std::move(rows), false, QString());
    w->show();
    return w;
}

// The plain way: one QStandardItem per cell, a filter proxy over all columns.
struct BareView {
    QStandardItemModel model;
    QSortFilterProxyModel proxy;
    QTableView view;
};

std::unique_ptr<BareView> OpenBare() {
    auto b = std::make_unique<BareView>();
    b->model.setHorizontalHeaderLabels(Captions());
    SQLite::Statement st(Database().Db(), Items().listSql);
    st.bind(1, "");
    while (st.executeStep()) {
        QList<QStandardItem*> row;
        for (int c = 0; c < st.getColumnCount(); ++c)
            row << new QStandardItem(QString::fromStdString(st.getColumn(c).getString()));
        b->model.appendRow(row);
    }
    b->proxy.setSourceModel(&b->model);
    b->proxy.setFilterKeyColumn(-1);
    b->proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    b->view.setModel(&b->proxy);
    b->view.resize(560, 440);
    b->view.show();
    return b;
}

void BM_LookupWindowFirstPaint(benchmark::State& state) {
    Database();
    for (auto _ : state) {
        auto w = OpenLookup();
        benchmark::DoNotOptimize(w->grab());
    }
}
BENCHMARK(BM_LookupWindowFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BareTableFirstPaint(benchmark::State& state) {
    Database();
    for (auto _ : state) {
        auto b = OpenBare();
        benchmark::DoNotOptimize(b->view.grab());
    }
}
BENCHMARK(BM_BareTableFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// One keystroke: from the full list to the rows holding "源" (5,000 items), painted.
void BM_LookupWindowKeystroke(benchmark::State& state) {
    auto w = OpenLookup();
    for (auto _ : state) {
        state.PauseTiming();
        w->SearchBox()->clear();
        state.ResumeTiming();
        w->SearchBox()->insert(QStringLiteral("源"));
        benchmark::DoNotOptimize(w->grab());
    }
    state.counters["rows"] = w->Model()->rowCount();
}
BENCHMARK(BM_LookupWindowKeystroke)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BareTableKeystroke(benchmark::State& state) {
    auto b = OpenBare();
    for (auto _ : state) {
        state.PauseTiming();
        b->proxy.setFilterFixedString(QString());
        state.ResumeTiming();
        b->proxy.setFilterFixedString(QStringLiteral("源"));
        benchmark::DoNotOptimize(b->view.grab());
    }
    state.counters["rows"] = b->proxy.rowCount();
}
BENCHMARK(BM_BareTableKeystroke)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
