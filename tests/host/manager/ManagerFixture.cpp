#include "ManagerFixture.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <SQLiteCpp/Database.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nuv::host::test {

namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

void ManagerFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("nuv-manager-" + std::to_string(getpid()) + "-" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    db_ = dir_ / "NuvDemo.db";
    {
        SQLite::Database db(db_.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / "schema.sql"));
        db.exec(ReadFile(std::filesystem::path(NUV_DEMO_SQL_DIR) / "data.sql"));
    }
    const auto reg = dir_ / "registry.reg";
    std::ofstream(reg) << "REGEDIT4\n\n"
                       << "[HKEY_LOCAL_MACHINE\\Software\\NUV\\Tarvel]\n"
                       << "\"DemoDatabase\"=\"" << db_.string() << "\"\n\n"
                       << "[HKEY_CLASSES_ROOT\\ProwenWorkCenter.Manager\\InprocServer32]\n"
                       << "@=\"" << NUV_MANAGER_MODULE << "\"\n";
    setenv("NUV_REGISTRY", reg.c_str(), 1);
    unsetenv("NUV_DEMO_DB");
    manager_ = CreateOleObject("ProwenWorkCenter.Manager");
}

void ManagerFixture::TearDown() {
    manager_.Reset();
    std::filesystem::remove_all(dir_);
}

void ManagerFixture::Sql(const std::string& sql) {
    SQLite::Database db(db_.string(), SQLite::OPEN_READWRITE);
    db.exec(sql);
}

DispatchPtr ManagerFixture::Service(const char* name) {
    return OleGet(manager_, name).ToDispatch();
}

bool ManagerFixture::Look(const char* op, const std::string& table, const std::string& key,
                          const Variant& params, Variant& result) {
    Variant t(table), k(key), ds("DEMO"), p(params);
    return OleCall(Service("Com_Validator"), op,
                   {Variant::ByRef(t), Variant::ByRef(k), Variant::ByRef(ds), Variant::ByRef(p),
                    Variant::ByRef(result)})
        .ToBool();
}

namespace {
// Waits for the modal window to be shown and activated, a bounded number of event-loop turns
// (activation arrives as an event of its own after the window is shown).
void DriveWhenActive(std::function<void(QWidget*)> drive, int turnsLeft) {
    QTimer::singleShot(0, [drive = std::move(drive), turnsLeft]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (w && (QApplication::activeWindow() == w || turnsLeft == 0)) {
            drive(w);
            return;
        }
        DriveWhenActive(std::move(drive), w ? turnsLeft - 1 : turnsLeft);
    });
}
} // namespace

void WhenModal(std::function<void(QWidget*)> drive) {
    DriveWhenActive(std::move(drive), 500);
}

void TypeKeys(QWidget* window, const QString& text) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    for (QChar c : text) {
        // Letters beyond Latin-1 (Chinese names) arrive as key events carrying their text.
        if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

void Screenshot(QWidget* window, const std::string& name) {
    std::filesystem::create_directories(NUV_TEST_OUTPUT_DIR);
    window->grab().save(QString::fromStdString(std::string(NUV_TEST_OUTPUT_DIR) + "/" + name));
}

} // namespace nuv::host::test
