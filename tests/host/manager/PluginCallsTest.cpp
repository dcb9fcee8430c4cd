// The plug-in's calls on the work-center manager and its services, made on the reference
// Manager: what the dialogs send is what the Manager reads, and its answers have the shapes
// the dialogs read.
#include "ManagerFixture.h"

#include "support/HostObjects.h"

#include <QWidget>

#include <gmock/gmock.h>

namespace nuv::host::test {
namespace {

class PluginCallsTest : public ManagerFixture {
protected:
    Variant manager() { return Variant(manager_); }
};

TEST_F(PluginCallsTest, ManagerCallsAndServices) {
    EXPECT_EQ(ManagerVersionType(manager()), 2);
    EXPECT_EQ(ManagerGetMessage(manager(), "E", "100082"), "%s的結束日期不可早於%s的開始日期！");

    std::string company = "NUV01";
    Variant settings =
        VarManagerGetSysInfo(ManagerService(manager(), TManagerService::VarManager), company);
    ASSERT_EQ(settings.ArrayDimCount(), 2);
    EXPECT_GT(settings.ArrayHighBound(2), 5);

    Variant validator = ManagerService(manager(), TManagerService::Validator);
    std::string table = "ADMMB", key = "01", ds = "DEMO";
    Variant params = Variant::ArrayOf({"KELT58"}), row;
    ASSERT_TRUE(ValidatorCheckValue(validator, table, key, ds, params, row));
    EXPECT_EQ(row[0].ToString(), "客戶別品號出貨排程表");
    table = "INVMA", key = "02", params = Variant::ArrayOf({"4"});
    ASSERT_TRUE(ValidatorQueryData(validator, table, key, ds, params, row));
    EXPECT_EQ(row.ArrayCount(), 3);

    Variant counter = ManagerService(manager(), TManagerService::Counter);
    Variant value;
    EXPECT_EQ(CounterGetCounter(counter, "ReportNo", value, "NUV01", "DEMO").ToInt(), 1);
    Variant list = Variant::ArrayOf({"1", "NUV01", "MARY", "KELT58"});
    EXPECT_EQ(CounterGetCounter(counter, "GetUserDEFOption", list, "NUV01", "DEMO")[0].ToInt(), 0);
}

TEST_F(PluginCallsTest, ConversionsKeepTheKindOfTheirArgument) {
    Variant text("資料庫連線");
    EXPECT_EQ(ManagerConvertValue(manager(), TConvertCall::BIG5toGB, text).ToString(),
              "资料库连线");
    EXPECT_EQ(ManagerConvertElement(manager(), TConvertCall::GBtoBig5, "资料库连线").ToString(),
              "資料庫連線");
    std::string caption = "使用者自訂條件";
    EXPECT_EQ(ManagerBig5ToGBText(manager(), caption), "使用者自订条件");
}

TEST_F(PluginCallsTest, LookupAndPhraseWindowsOpenOverTheDialog) {
    QWidget dialog;
    dialog.setWindowTitle("Kelt58");
    dialog.resize(400, 300);
    dialog.show();
    const auto handle = static_cast<std::intptr_t>(dialog.winId());

    QWidget* lookupParent = nullptr;
    WhenModal([&](QWidget* w) {
        lookupParent = w->parentWidget();
        TypeKeys(w, QStringLiteral("C002"));
        PressKey(w, Qt::Key_Down);
        PressKey(w, Qt::Key_Return);
    });
    Variant answer =
        F2WindowF2GetData(ManagerService(manager(), TManagerService::F2Window),
                          Variant::ArrayOf({"COPMA", "01", Variant::ArrayOf({""}), false, "",
                                            "NUV01", "DEMO", static_cast<int>(handle),
                                            Variant::MakeNull(), Variant::MakeNull(), true, true}));
    EXPECT_EQ(lookupParent, &dialog);
    ASSERT_TRUE(answer.IsArray());
    EXPECT_EQ(answer[0][0].ToString(), "C0021");

    WhenModal([&](QWidget* w) { PressKey(w, Qt::Key_Return); });
    std::string user = "JOHN", ds = "DEMO";
    EXPECT_EQ(PhraseGetPhrase(ManagerService(manager(), TManagerService::Phrase), user, ds, handle),
              "john@nuv-demo.example");
}

} // namespace
} // namespace nuv::host::test
