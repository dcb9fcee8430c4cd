// Rows added one by one to a selection panel's list that keeps them sorted, drops duplicates
// without case and sizes its columns after every row (what a look-up returning many rows does),
// beside the same rows added to a bare list view: appended, inserted at their sorted place, and
// kept sorted by the list view itself.
//
//   selectpanel_bench [benchmark arguments]     (offscreen Qt platform unless QT_QPA_PLATFORM is
//   set)
#include "controls/SelectPnl.h"
#include "ui/Forms.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <ext/pb_ds/assoc_container.hpp>
#include <ext/pb_ds/tree_policy.hpp>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace nuv;

namespace {

using Row = std::vector<std::string>;

// n rows: a code with about one duplicate in ten (half of them in another case) and a name.
const std::vector<Row>& Rows(int n) {
    static std::vector<std::vector<Row>> cache(8);
    static std::vector<int> sizes;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i] == n)
            return cache[i];
    std::mt19937 rng(static_cast<unsigned>(n));
    const char* names[] = {"螺絲",       "螺帽",     "墊圈",   "彈簧",
                           "軸承與襯套", "大同公司", "Washer", "Bolt M8"};
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string code;
        if (i > 10 && rng() % 10 == 0) {
            code = rows[rng() % rows.size()][0];
            if (rng() % 2 == 0)
                for (char& c : code)
                    c = static_cast<char>(c >= 'a' && c <= 'z'   ? c - 32
                                          : c >= 'A' && c <= 'Z' ? c + 32
                                                                 : c);
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%c%07u", "aBcD"[rng() % 4],
                          static_cast<unsigned>(rng() % 10000000));
            code = buf;
        }
        rows.push_back({code, names[rng() % 8]});
    }
    sizes.push_back(n);
    cache[sizes.size() - 1] = std::move(rows);
    return cache[sizes.size() - 1];
}

class BenchForm {
public:
    BenchForm() {
        form = CreateForm<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    ~BenchForm() { form->Free(); }
    TSelectPanel* NewPanel(bool incremental) {
        auto* p = new TSelectPanel(form);
        p->SetParent(form);
        p->SetStyle(sp_Discrete);
        p->SetCheckDuplicate(cd_CaseInsensitive); // sorts the list as well
        p->SetColumnsAutoSize(true);
        p->ListBox->SetIncrementalRules(incremental);
        return p;
    }
    // Set up as the panel sets up its list.
    TListView* NewList() {
        auto* l = new TListView(form);
        l->SetParent(form);
        l->SetViewStyle(vsReport);
        l->SetMultiSelect(true);
        l->SetRowSelect(true);
        l->SetReadOnly(true);
        l->SetShowColumnHeaders(false);
        l->SetHideSelection(false);
        l->Columns()->Add()->SetCaption("Data1");
        l->Columns()->Add()->SetCaption("Data2");
        return l;
    }
    TForm* form;
};

void AddToPanel(benchmark::State& state, bool incremental) {
    const auto& rows = Rows(static_cast<int>(state.range(0)));
    BenchForm f;
    int kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TSelectPanel* p = f.NewPanel(incremental);
        state.ResumeTiming();
        for (const Row& r : rows)
            p->ListBox->AddItem(r);
        state.PauseTiming();
        kept = p->Items()->Count();
        p->Free();
        state.ResumeTiming();
    }
    state.counters["rows_kept"] = kept;
    state.SetComplexityN(state.range(0));
}

// The panel's list: sorted, duplicates dropped without case, columns sized after every row.
void BM_PanelAddItem(benchmark::State& state) {
    AddToPanel(state, true);
}
// The same with the plain rules: every row walks the whole list again.
void BM_PanelAddItemPlainRules(benchmark::State& state) {
    AddToPanel(state, false);
}

// A bare list view, rows appended.
void BM_BareListAppend(benchmark::State& state) {
    const auto& rows = Rows(static_cast<int>(state.range(0)));
    BenchForm f;
    for (auto _ : state) {
        state.PauseTiming();
        TListView* l = f.NewList();
        state.ResumeTiming();
        for (const Row& r : rows) {
            TListItem* it = l->Items()->Add();
            it->SetCaption(r[0]);
            it->SubItems()->Add(r[1]);
        }
        state.PauseTiming();
        l->Free();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// A bare list view, each row inserted at its sorted place (the places are worked out
// beforehand, so only the list view's own insertion is measured).
void BM_BareListSortedInsert(benchmark::State& state) {
    const auto& rows = Rows(static_cast<int>(state.range(0)));
    using Tree = __gnu_pbds::tree<std::pair<std::string, int>, __gnu_pbds::null_type,
                                  std::less<std::pair<std::string, int>>, __gnu_pbds::rb_tree_tag,
                                  __gnu_pbds::tree_order_statistics_node_update>;
    std::vector<int> places;
    {
        Tree t;
        int i = 0;
        for (const Row& r : rows) {
            places.push_back(static_cast<int>(t.order_of_key({r[0], i})));
            t.insert({r[0], i++});
        }
    }
    BenchForm f;
    for (auto _ : state) {
        state.PauseTiming();
        TListView* l = f.NewList();
        state.ResumeTiming();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            TListItem* it = l->Items()->Insert(places[i]);
            it->SetCaption(rows[i][0]);
            it->SubItems()->Add(rows[i][1]);
        }
        state.PauseTiming();
        l->Free();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// A bare list view that keeps itself sorted (SortType stText): it sorts again on every caption.
void BM_BareListSortTypeText(benchmark::State& state) {
    const auto& rows = Rows(static_cast<int>(state.range(0)));
    BenchForm f;
    for (auto _ : state) {
        state.PauseTiming();
        TListView* l = f.NewList();
        l->SetSortType(stText);
        state.ResumeTiming();
        for (const Row& r : rows) {
            TListItem* it = l->Items()->Add();
            it->SetCaption(r[0]);
            it->SubItems()->Add(r[1]);
        }
        state.PauseTiming();
        l->Free();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

// Emptying a full panel list (the clear button).
void BM_PanelClearItems(benchmark::State& state) {
    const auto& rows = Rows(static_cast<int>(state.range(0)));
    BenchForm f;
    for (auto _ : state) {
        state.PauseTiming();
        TSelectPanel* p = f.NewPanel(true);
        for (const Row& r : rows)
            p->ListBox->AddItem(r);
        state.ResumeTiming();
        p->ListBox->ClearItems();
        state.PauseTiming();
        p->Free();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_PanelAddItem)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
// Quadratic: 10,000 rows take about 40 s, so the default run stops at 3,000.
BENCHMARK(BM_PanelAddItemPlainRules)
    ->Arg(1000)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNSquared);
BENCHMARK(BM_BareListAppend)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_BareListSortedInsert)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_PanelClearItems)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// The list view sorts all rows again on every caption: 10,000 rows take minutes.
BENCHMARK(BM_BareListSortTypeText)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
