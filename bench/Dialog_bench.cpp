// Opening the base parameter dialog as a host does: from GetController to the dialog shown and
// painted once (the reference Manager in-process over the demo database, no application
// server), beside creating, showing and painting a bare Qt form with the same number and kinds
// of widgets (BareForm.h, planned from the dialog itself).
//
//   dialog_bench [benchmark arguments]     (offscreen Qt platform unless QT_QPA_PLATFORM is set)
#include "BareForm.h"

#include "Manager.h"

#include "forms/BaseGene.h"
#include "platform/Automation.h"
#include "platform/SystemServices.h"
#include "plugin/DLLBaseCtrller.h"
#include "plugin/DLLRPCtrller.h"
#include "ui/Forms.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <SQLiteCpp/Database.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace nuv;

namespace {

// The base dialog of a report module of KEL, as the module's report dialog starts out.
class TfrmKeltBench : public TfrmBaseGene {
public:
    explicit TfrmKeltBench(TComponent* AOwner) : TfrmBaseGene(AOwner) { SetName("frmKelt58"); }
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A temporary installation: the demo database, a client configuration naming a server, and the
// registry file pointing at them. The dialog takes its program code from a library file name.
struct Installation {
    std::filesystem::path dir;
    Variant manager;

    Installation() {
        dir = std::filesystem::temp_directory_path() /
              ("nuv-dialog-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "App");
        const auto db = dir / "NuvDemo.db";
        {
            SQLite::Database make(db.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            for (const char* script : {"schema.sql", "data.sql"})
                make.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / script));
        }
        std::ofstream(dir / "App/TarvelC.ini")
            << "[Server Information]\nComputerName=127.0.0.1\nServerPort=8211\n";
        std::ofstream(dir / "registry.reg")
            << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\Tarvel]\n\"ClientPath\"=\""
            << (dir / "App").string() << "\"\n";
        setenv("NUV_REGISTRY", (dir / "registry.reg").c_str(), 1);
        SetModuleFileNameOverride((dir / "Kelt58C.so").string());
        frmBaseGeneClass = DialogClassOf<TfrmKeltBench>;
        DispatchPtr m = host::CreateManager();
        OleCall(m, "Connect", {Variant(db.string())});
        manager = Variant(m);
    }
    ~Installation() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Installation& Install() {
    static Installation install;
    return install;
}

const Variant& InitArray() {
    static const Variant init = Variant::ArrayOf({"DS", "NUV01", "DEMO", 0, Variant::MakeNull()});
    return init;
}

// Opens, shows and paints the dialog; the controller holds it.
std::unique_ptr<TDLLBaseController> OpenShown() {
    std::unique_ptr<TDLLBaseController> ctl(NewController());
    ctl->Manager = Install().manager;
    if (ctl->OpenDialog(InitArray()) != 0) {
        std::fprintf(stderr, "the dialog did not open\n");
        std::exit(1);
    }
    ctl->SetVisible(WordTrue);
    QApplication::processEvents(); // the first paint
    return ctl;
}

void BM_BaseDialog_GetControllerToPainted(benchmark::State& state) {
    Install();
    for (auto _ : state) {
        auto ctl = OpenShown();
        state.PauseTiming();
        ctl->FreeDialog();
        ctl.reset();
        Application->ProcessMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BaseDialog_GetControllerToPainted)->Unit(benchmark::kMillisecond);

// The plan of the shown dialog, read once.
const bench::FormPlan& DialogPlan() {
    static const bench::FormPlan plan = [] {
        auto ctl = OpenShown();
        auto* dialog = static_cast<TDLLRPCtrller*>(ctl.get())->Form;
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle().toStdString() == dialog->DialogForm().Caption())
                window = w;
        if (window == nullptr) {
            std::fprintf(stderr, "the dialog's window was not found\n");
            std::exit(1);
        }
        bench::FormPlan p = bench::FormPlanOf(window);
        std::fprintf(stderr, "dialog widgets: %zu (%s)\n", p.size(),
                     bench::DescribePlan(p).c_str());
        ctl->FreeDialog();
        Application->ProcessMessages();
        return p;
    }();
    return plan;
}

void BM_BareQtForm_CreateToPainted(benchmark::State& state) {
    const bench::FormPlan& plan = DialogPlan();
    for (auto _ : state) {
        std::unique_ptr<QWidget> form = bench::BuildBareForm(plan);
        form->show();
        QApplication::processEvents(); // the first paint
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareQtForm_CreateToPainted)->Unit(benchmark::kMillisecond);

} // namespace
