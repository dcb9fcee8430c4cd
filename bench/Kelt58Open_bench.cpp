// Opening the report dialog of Kelt58C.so through the host's session with the reference Manager
// over the demo database: from OpenDialog to the dialog shown and painted, with the interface
// in code page 950 and converted to 936, beside a bare Qt form with the same widgets (the
// dialog's own widget tree copied once into plain Qt widgets of the same kinds, places, texts,
// fonts and contents: BareForm.h), built, shown and painted the same way.
//
//   kelt58open_bench [benchmark arguments]    (offscreen Qt platform unless QT_QPA_PLATFORM is set)
#include "BareForm.h"
#include "ReportModule.h"
#include "ReportSession.h"
#include "WorkCenter.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace nuv;

namespace {

// The demo installed into a temporary folder once per run; the process uses its registry.
class TDemo {
public:
    TDemo() {
        dir_ = std::filesystem::temp_directory_path() /
               ("nuv-kelt58-bench-" + std::to_string(getpid()));
        const std::string command = std::string("bash '") + NUV_INSTALL_DEMO + "' --modules '" +
                                    NUV_MODULES + "' '" + dir_.string() + "' >/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("tools/install-demo failed");
        setenv("NUV_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
    }
    ~TDemo() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    // The interface code page of the client configuration.
    void SetCodePage(const char* codePage) {
        QFile file(QString::fromStdString((dir_ / "TarvelC.ini").string()));
        file.open(QIODevice::ReadOnly);
        QString text = QString::fromUtf8(file.readAll());
        file.close();
        text.replace(QRegularExpression(QStringLiteral("UICodePage=\\d+")),
                     QStringLiteral("UICodePage=") + QLatin1String(codePage));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text.toUtf8());
        file.close();
        // An installed system's files were written long before a dialog opens; files written
        // within the last seconds are read again on every opening (their times may not yet show
        // a change made within the same tick), which no user's opening pays.
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }

private:
    std::filesystem::path dir_;
};

TDemo& Demo() {
    static TDemo demo;
    return demo;
}

struct THost {
    TManagerConnection Manager = ConnectManager();
    TReportModule Module = LoadReportModule(QStringLiteral("Kelt58C"), QStringLiteral(NUV_MODULES));
};

THost& Host() {
    Demo();
    static THost host;
    return host;
}

// Shows a window and lets its first paint happen, as on a screen: the window is exposed and
// every visible widget painted once. (Kept out of line, as OpenShown is, so that a profiler can
// count exactly what the timed part does.)
[[gnu::noinline]] void ShowAndPaint(QWidget* window) {
    window->show();
    QCoreApplication::processEvents();
}

// Opens the dialog through the controller, shows it and lets it paint; the session keeps it.
[[gnu::noinline]] QWidget* OpenShown(TReportSession& session) {
    if (!session.Open({QStringLiteral("DS"), QStringLiteral("NUV01"), QStringLiteral("DEMO")}))
        return nullptr;
    session.Show();
    QWidget* window = session.DialogWindow();
    if (window != nullptr)
        QCoreApplication::processEvents();
    return window;
}

// Counts the paint events of all widgets while it lives.
class TPaintCount : public QObject {
public:
    TPaintCount() { qApp->installEventFilter(this); }
    ~TPaintCount() override { qApp->removeEventFilter(this); }
    int Painted() const { return painted_.size(); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted_.insert(o);
        return false;
    }

private:
    QSet<QObject*> painted_;
};

int VisibleWidgets(QWidget* window) {
    int n = 1;
    for (QWidget* w : window->findChildren<QWidget*>())
        n += w->isVisible() ? 1 : 0;
    return n;
}

// Both sides are timed to the same point: every visible widget painted once. Checked on an
// opening apart from the timed ones; an empty text when it holds.
std::string PaintedAll(const std::function<QWidget*()>& open) {
    TPaintCount count;
    QWidget* window = open();
    if (window == nullptr)
        return "the window did not open";
    const int visible = VisibleWidgets(window);
    if (count.Painted() < visible)
        return std::to_string(count.Painted()) + " of " + std::to_string(visible) +
               " visible widgets painted";
    return {};
}

// --- the benchmarks --------------------------------------------------------------------------

void Kelt58Dialog(benchmark::State& state, const char* codePage) {
    Demo().SetCodePage(codePage);
    THost& host = Host();
    // The first opening in this code page, apart: it converts every text afresh, where the
    // openings after it find the Manager's conversions already made.
    {
        const auto start = std::chrono::steady_clock::now();
        TReportSession session(host.Module, host.Manager.Manager);
        const std::string fault = PaintedAll([&] { return OpenShown(session); });
        if (!fault.empty()) {
            state.SkipWithError(fault.c_str());
            return;
        }
        state.counters["first_ms"] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        session.FreeController();
        SettleEvents();
    }
    for (auto _ : state) {
        TReportSession session(host.Module, host.Manager.Manager);
        if (OpenShown(session) == nullptr) {
            state.SkipWithError("the dialog did not open");
            break;
        }
        state.PauseTiming();
        // Freed widgets go at the next turn of an event loop, as in the host; left waiting,
        // every later opening would walk the earlier dialogs' widgets too.
        session.FreeController();
        SettleEvents();
        state.ResumeTiming();
    }
}

void BareForm(benchmark::State& state, const char* codePage) {
    Demo().SetCodePage(codePage);
    THost& host = Host();
    bench::FormPlan plan;
    {
        TReportSession session(host.Module, host.Manager.Manager);
        QWidget* dialog = OpenShown(session);
        if (dialog == nullptr) {
            state.SkipWithError("the dialog did not open");
            return;
        }
        plan = bench::FormPlanOf(dialog);
        session.FreeController();
        QCoreApplication::processEvents();
    }
    state.counters["widgets"] = static_cast<double>(plan.size());
    {
        std::unique_ptr<QWidget> form;
        const std::string fault = PaintedAll([&] {
            form = bench::BuildBareForm(plan);
            ShowAndPaint(form.get());
            return form.get();
        });
        if (!fault.empty()) {
            state.SkipWithError(fault.c_str());
            return;
        }
        form.reset();
        SettleEvents();
    }
    for (auto _ : state) {
        std::unique_ptr<QWidget> form = bench::BuildBareForm(plan);
        ShowAndPaint(form.get());
        state.PauseTiming();
        form.reset();
        SettleEvents();
        state.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(Kelt58Dialog, cp950, "950")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareForm, cp950, "950")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Kelt58Dialog, cp936, "936")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareForm, cp936, "936")->Unit(benchmark::kMillisecond);

} // namespace
