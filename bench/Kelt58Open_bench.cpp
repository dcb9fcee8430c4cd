// Opening the report dialog of Kelt58C.so through the host's session with the reference Manager
// over the demo database: from OpenDialog to the dialog shown and painted, with the interface
// in code page 950 and converted to 936, beside a bare Qt form with the same widgets (the
// dialog's own widget tree copied once into plain Qt widgets of the same kinds, places and
// texts), built, shown and painted the same way.
//
//   kelt58open_bench [benchmark arguments]    (offscreen Qt platform unless QT_QPA_PLATFORM is set)
#include "ReportModule.h"
#include "ReportSession.h"
#include "WorkCenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
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

// Shows a window and paints all of it now, as its first show on a screen would.
void ShowAndPaint(QWidget* window) {
    window->show();
    QCoreApplication::processEvents();
    window->repaint();
}

// Opens the dialog through the controller, shows and paints it; the session keeps it.
QWidget* OpenShown(TReportSession& session) {
    if (!session.Open({QStringLiteral("DS"), QStringLiteral("NUV01"), QStringLiteral("DEMO")}))
        return nullptr;
    session.Show();
    QWidget* window = session.DialogWindow();
    if (window != nullptr) {
        QCoreApplication::processEvents();
        window->repaint();
    }
    return window;
}

// --- the bare form: the dialog's widget tree in plain Qt widgets -------------------------------

struct TWidgetCopy {
    int Parent = -1; // index of the parent in the list; -1 for the window
    enum Kind {
        Plain,
        Label,
        Edit,
        Combo,
        Check,
        Radio,
        Push,
        Tool,
        Group,
        List,
        Tree,
        Spin,
        Memo,
        Tabs
    } What = Plain;
    QRect Geometry;
    QString Text;
    bool Visible = true;
};

TWidgetCopy::Kind KindOf(const QWidget* w) {
    if (qobject_cast<const QLabel*>(w))
        return TWidgetCopy::Label;
    if (qobject_cast<const QLineEdit*>(w))
        return TWidgetCopy::Edit;
    if (qobject_cast<const QComboBox*>(w))
        return TWidgetCopy::Combo;
    if (qobject_cast<const QCheckBox*>(w))
        return TWidgetCopy::Check;
    if (qobject_cast<const QRadioButton*>(w))
        return TWidgetCopy::Radio;
    if (qobject_cast<const QPushButton*>(w))
        return TWidgetCopy::Push;
    if (qobject_cast<const QToolButton*>(w))
        return TWidgetCopy::Tool;
    if (qobject_cast<const QGroupBox*>(w))
        return TWidgetCopy::Group;
    if (qobject_cast<const QTreeView*>(w))
        return TWidgetCopy::Tree;
    if (qobject_cast<const QListView*>(w))
        return TWidgetCopy::List;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return TWidgetCopy::Spin;
    if (qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w))
        return TWidgetCopy::Memo;
    if (qobject_cast<const QTabBar*>(w))
        return TWidgetCopy::Tabs;
    return TWidgetCopy::Plain;
}

QString TextOf(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    return {};
}

// The widgets of a kind that draws its own inside (a spin box's edit, a list's viewport) are
// made by the copy of their owner.
bool OwnedInside(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
        if (KindOf(p) != TWidgetCopy::Plain && KindOf(p) != TWidgetCopy::Group)
            return true;
    return false;
}

std::vector<TWidgetCopy> CopyTree(QWidget* window) {
    std::vector<TWidgetCopy> copies;
    std::vector<const QWidget*> originals;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || OwnedInside(w))
            continue;
        TWidgetCopy c;
        c.What = KindOf(w);
        c.Geometry = w->geometry();
        c.Text = TextOf(w);
        c.Visible = w->isVisibleTo(window);
        for (std::size_t i = 0; i < originals.size(); ++i)
            if (originals[i] == w->parentWidget())
                c.Parent = static_cast<int>(i);
        originals.push_back(w);
        copies.push_back(c);
    }
    return copies;
}

std::unique_ptr<QWidget> BuildBareForm(const std::vector<TWidgetCopy>& copies, QSize size,
                                       const QString& title) {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->resize(size);
    std::vector<QWidget*> made;
    made.reserve(copies.size());
    for (const TWidgetCopy& c : copies) {
        QWidget* parent = c.Parent < 0 ? window.get() : made[c.Parent];
        QWidget* w = nullptr;
        switch (c.What) {
        case TWidgetCopy::Label:
            w = new QLabel(c.Text, parent);
            break;
        case TWidgetCopy::Edit:
            w = new QLineEdit(c.Text, parent);
            break;
        case TWidgetCopy::Combo: {
            auto* box = new QComboBox(parent);
            box->addItem(c.Text);
            w = box;
            break;
        }
        case TWidgetCopy::Check:
            w = new QCheckBox(c.Text, parent);
            break;
        case TWidgetCopy::Radio:
            w = new QRadioButton(c.Text, parent);
            break;
        case TWidgetCopy::Push:
            w = new QPushButton(c.Text, parent);
            break;
        case TWidgetCopy::Tool: {
            auto* b = new QToolButton(parent);
            b->setText(c.Text);
            w = b;
            break;
        }
        case TWidgetCopy::Group:
            w = new QGroupBox(c.Text, parent);
            break;
        case TWidgetCopy::List:
            w = new QListWidget(parent);
            break;
        case TWidgetCopy::Tree:
            w = new QTreeWidget(parent);
            break;
        case TWidgetCopy::Spin:
            w = new QSpinBox(parent);
            break;
        case TWidgetCopy::Memo:
            w = new QPlainTextEdit(parent);
            break;
        case TWidgetCopy::Tabs: {
            auto* tabs = new QTabBar(parent);
            tabs->addTab(QStringLiteral("基本選項"));
            tabs->addTab(QStringLiteral("進階選項"));
            tabs->addTab(QStringLiteral("系統選項"));
            w = tabs;
            break;
        }
        case TWidgetCopy::Plain:
            w = new QWidget(parent);
            break;
        }
        w->setGeometry(c.Geometry);
        w->setVisible(c.Visible);
        made.push_back(w);
    }
    return window;
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
        if (OpenShown(session) == nullptr) {
            state.SkipWithError("the dialog did not open");
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
    std::vector<TWidgetCopy> copies;
    QSize size;
    QString title;
    {
        TReportSession session(host.Module, host.Manager.Manager);
        QWidget* dialog = OpenShown(session);
        if (dialog == nullptr) {
            state.SkipWithError("the dialog did not open");
            return;
        }
        copies = CopyTree(dialog);
        size = dialog->size();
        title = dialog->windowTitle();
        session.FreeController();
        QCoreApplication::processEvents();
    }
    state.counters["widgets"] = static_cast<double>(copies.size());
    for (auto _ : state) {
        auto form = BuildBareForm(copies, size, title);
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
