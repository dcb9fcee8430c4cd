// Server access: services obtained by flags, settings, the program's identity and caption, the
// connection's configuration, the date picker, phrases and counters.
#include "runtime/DLLFunc.h"

#include "RuntimeFixture.h"
#include "platform/DateTime.h"
#include "platform/SystemServices.h"
#include "platform/TestFiles.h"
#include "support/HostObjects.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <optional>

using namespace nuv;
using namespace nuv::test;

namespace {

// Runs the code as the library "Kelt58C.so" or as the stand-alone "Kelt58CE".
class ScopedModule {
public:
    explicit ScopedModule(const std::string& path) { SetModuleFileNameOverride(path); }
    ~ScopedModule() { SetModuleFileNameOverride(""); }
};

struct ModuleCase {
    const char* path;
    bool dll;
    const char* programId;
};

class ModuleNameTest : public ::testing::TestWithParam<ModuleCase> {};

} // namespace

TEST_P(ModuleNameTest, VersionAndProgramId) {
    const ModuleCase& c = GetParam();
    ScopedModule module(c.path);
    EXPECT_EQ(IsDllVersion(), c.dll);
    EXPECT_EQ(ProgramIdFromModule(), c.programId);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ModuleNameTest,
    ::testing::Values(ModuleCase{"/opt/nuv/modules/Kelt58C.so", true, "Kelt58"},
                      ModuleCase{"/opt/nuv/bin/Kelt58CE", false, "Kelt58"},
                      ModuleCase{"/opt/nuv/modules/KELT58C.SO", true, "KELT58"},
                      ModuleCase{"C:/Prowen/Kelt58C.DLL", true, "Kelt58"},
                      ModuleCase{"/opt/nuv/Kelt58C.Dll", true, "Kelt58"},
                      ModuleCase{"/opt/nuv/Abc12C.so", true, "Abc12C"},
                      ModuleCase{"/opt/nuv/Abc.so", true, "Abc"},
                      ModuleCase{"/opt/nuv/Abc1234CE", false, "Abc1234"},
                      ModuleCase{"/opt/nuv.d/Kelt58C.exe", false, "Kelt58"}));

using ServerAccessTest = RuntimeTest;

TEST_F(ServerAccessTest, WithoutVarManagerTheDefaultLayoutAndSeparator) {
    dialog->DateLayout = 4;
    dialog->DateSeparator = "-";
    EXPECT_EQ(GetDateLayout(*dialog), 1);
    EXPECT_EQ(GetDateSeparator(*dialog), "/");
    EXPECT_EQ(dialog->DateLayout, 1);
    EXPECT_EQ(dialog->DateSeparator, "/");
}

TEST_F(ServerAccessTest, SettingsLaterPairWinsAndCaptionTag) {
    ScopedModule module("/opt/nuv/Kelt58C.so");
    fakes.Host->Settings = {
        {"Sys001", "2"}, {"Sys002", "-"}, {"NUV002", "TEST"}, {"Sys001", "4"}, {"Sys007", "x"}};
    dialog->Manager = fakes.NewManager();
    dialog->CompanyCode = "SD01";
    ConnectServices(*dialog);
    EXPECT_EQ(dialog->CaptionTag, "TEST");
    EXPECT_EQ(GetDateLayout(*dialog), 4);
    EXPECT_EQ(GetDateSeparator(*dialog), "-");
    EXPECT_EQ(GetSetting(*dialog, "sys007"), "x") << "names compare without case";
    EXPECT_EQ(GetSetting(*dialog, "Sys099"), "");
    auto calls = fakes.CallsOf("GetSysInfo");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].args[0].byRef);
    EXPECT_EQ(calls[0].args[0].value.ToString(), "SD01");
}

TEST_F(ServerAccessTest, NotANumberLayoutIsOne) {
    fakes.Host->Settings = {{"Sys001", "yyyy"}};
    dialog->Manager = fakes.NewManager();
    ConnectServices(*dialog);
    EXPECT_EQ(GetDateLayout(*dialog), 1);
}

TEST_F(ServerAccessTest, ServiceFlagsPickTheServices) {
    struct Case {
        std::uint8_t flags;
        bool counter, f2, inputDay, phrase;
    };
    const Case cases[] = {{0, false, false, false, false},
                          {5, true, true, true, false},
                          {8, false, false, false, true},
                          {13, true, true, true, true}};
    for (const Case& c : cases) {
        TStateForm* d = CreateForm<TStateForm>(nullptr);
        d->Manager = fakes.NewManager();
        d->ServiceFlags = c.flags;
        AfterServices(*d);
        SCOPED_TRACE(int(c.flags));
        EXPECT_EQ(IsObjectAssigned(d->Counter), c.counter);
        EXPECT_EQ(IsObjectAssigned(d->F2Window), c.f2);
        EXPECT_EQ(IsObjectAssigned(d->InputDay), c.inputDay);
        EXPECT_EQ(IsObjectAssigned(d->Phrase), c.phrase);
        d->Free();
    }
}

TEST_F(ServerAccessTest, AFailingServiceLeavesOnlyItselfUnassigned) {
    ScopedModule module("/opt/nuv/Kelt58C.so");
    fakes.Host->MissingServices = {"Com_VarManager", "Com_F2Window"};
    fakes.Host->InputDayMissing = true;
    dialog->Manager = fakes.NewManager();
    dialog->ServiceFlags = 13;
    ConnectServices(*dialog);
    AfterServices(*dialog);
    EXPECT_FALSE(IsObjectAssigned(dialog->VarManager));
    EXPECT_TRUE(IsObjectAssigned(dialog->Validator));
    EXPECT_FALSE(IsObjectAssigned(dialog->F2Window));
    EXPECT_FALSE(IsObjectAssigned(dialog->InputDay));
    EXPECT_TRUE(IsObjectAssigned(dialog->Counter));
    EXPECT_TRUE(IsObjectAssigned(dialog->Phrase));
    EXPECT_EQ(dialog->CaptionTag, "");
}

TEST_F(ServerAccessTest, ManagerCreatedOnlyOutsideTheLibrary) {
    {
        ScopedModule module("/opt/nuv/Kelt58C.so");
        ConnectServices(*dialog);
        EXPECT_FALSE(IsObjectAssigned(dialog->Manager));
        EXPECT_FALSE(IsObjectAssigned(dialog->Validator));
    }
    ScopedModule module("/opt/nuv/Kelt58CE");
    ConnectServices(*dialog);
    EXPECT_TRUE(IsObjectAssigned(dialog->Manager));
    EXPECT_TRUE(IsObjectAssigned(dialog->Validator));
}

TEST_F(ServerAccessTest, ProgramCodeNameAndCaption) {
    fakes.Host->Validate = [](bool query, const std::string& table, const std::string& key,
                              const Variant& params, Variant& result) {
        if (query || table != "ADMMB" || key != "01" || params[0].ToString() != "KELT58")
            return false;
        result = Variant::ArrayOf({"庫存異動表", "x", "y", "z", "R1"});
        return true;
    };
    dialog->Manager = fakes.NewManager();
    dialog->Validator = ManagerService(dialog->Manager, TManagerService::Validator);
    dialog->CaptionTag = "TEST";
    dialog->DataSourceCode = "DS";
    {
        ScopedModule module("/opt/nuv/Kelt58C.so");
        SetProgramCode(*dialog, "Kelt58");
    }
    EXPECT_EQ(dialog->ProgramCode, "KELT58");
    EXPECT_EQ(dialog->ServerClassName, "KELT58S.Class1");
    EXPECT_EQ(dialog->ProgramName, "庫存異動表");
    EXPECT_EQ(dialog->ProgramAttr, "R1");
    EXPECT_EQ(dialog->Caption(), "庫存異動表[TEST]");
    EXPECT_EQ(dialog->LastCheckCall, "ADMMB-01");
    auto calls = fakes.CallsOf("CheckValue");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[2].value.ToString(), "DS");

    ScopedModule exe("/opt/nuv/Kelt58CE");
    SetProgramCode(*dialog, "abc12");
    EXPECT_EQ(dialog->ProgramName, "ABC12") << "a program not found is named by its code";
    EXPECT_EQ(dialog->ProgramAttr, "");
    EXPECT_EQ(dialog->TitleText, "ABC12[您現在執行的是Exe版本!]");
    EXPECT_EQ(dialog->Caption(), "ABC12[您現在執行的是Exe版本!][TEST]");
}

TEST_F(ServerAccessTest, CheckDataWithoutValidatorOrWhenItFails) {
    Variant result;
    EXPECT_FALSE(CheckData(*dialog, "INVMB", "02", true, Variant::ArrayOf({"A"}), result));
    EXPECT_EQ(dialog->LastCheckCall, "INVMB-02");
    fakes.Host->Validate = [](bool, const std::string&, const std::string&, const Variant&,
                              Variant&) -> bool { throw Exception("table missing"); };
    dialog->Manager = fakes.NewManager();
    dialog->Validator = ManagerService(dialog->Manager, TManagerService::Validator);
    EXPECT_FALSE(CheckData(*dialog, "INVMB", "02", true, Variant::ArrayOf({"A"}), result));
    fakes.Host->Validate = [](bool query, const std::string&, const std::string&, const Variant&,
                              Variant& r) {
        r = Variant::ArrayOf({"rows"});
        return query;
    };
    EXPECT_TRUE(CheckData(*dialog, "INVMB", "02", true, Variant::ArrayOf({"A"}), result));
    EXPECT_EQ(result[0].ToString(), "rows");
    EXPECT_EQ(fakes.CallsOf("QueryData").size(), 2u);
}

TEST_F(ServerAccessTest, PickDateInTheDialogsLayout) {
    EXPECT_EQ(PickDate(*dialog, "20031201", true), "") << "no picker";
    dialog->InputDay = CreateAutomationObject(InputDayClassName);
    dialog->DataSourceCode = "DS";
    dialog->DateLayout = 4;
    dialog->DateSeparator = "/";
    fakes.Host->InputDayAnswer = "20031215";
    EXPECT_EQ(PickDate(*dialog, "20031201", true), "92/12/15");
    EXPECT_EQ(PickDate(*dialog, "20031201", false), "92/12");
    auto calls = fakes.CallsOf("ShowInputDay");
    ASSERT_GE(calls.size(), 2u);
    const Variant& args = calls[0].args[0].value;
    EXPECT_TRUE(args[0].ToBool()) << "layouts above 3 ask for the calendar";
    EXPECT_EQ(args[1].ToString(), "20031201");
    EXPECT_EQ(args[2].ToString(), "DS");

    PickDate(*dialog, "92/12/01", true);
    EXPECT_EQ(fakes.CallsOf("ShowInputDay").back().args[0].value[1].ToString(), "20031201")
        << "the field's text in the layout is eight characters but no stored date";

    ScopedNow now(EncodeDate(2004, 3, 5));
    dialog->DateLayout = 1;
    PickDate(*dialog, "92/12/01", true);
    const Variant second = fakes.CallsOf("ShowInputDay").back().args[0].value;
    EXPECT_FALSE(second[0].ToBool());
    EXPECT_EQ(second[1].ToString(), "20040305") << "a text that is no date starts today";

    fakes.Host->InputDayAnswer = "   ";
    EXPECT_EQ(PickDate(*dialog, "2003/12/01", true), "2003/12/01") << "cancelled";
    fakes.Host->InputDayAnswer = "20030230";
    EXPECT_EQ(PickDate(*dialog, "2003/12/01", true), "2003/12/01") << "no date: the field keeps";
}

TEST_F(ServerAccessTest, PhraseAndCounter) {
    auto* memo = new TEdit(dialog);
    memo->SetText("old");
    ApplyPhrase(*dialog, memo);
    EXPECT_EQ(memo->Text(), "old");
    Variant value = 7;
    EXPECT_TRUE(GetCounter(*dialog, "UserDef", value).IsEmpty());

    dialog->Manager = fakes.NewManager();
    dialog->ServiceFlags = sf_Counter | sf_Phrase;
    AfterServices(*dialog);
    fakes.Host->PhraseAnswer = "";
    ApplyPhrase(*dialog, memo);
    EXPECT_EQ(memo->Text(), "old") << "cancelled";
    fakes.Host->PhraseAnswer = "請於月底前完成";
    ApplyPhrase(*dialog, memo);
    EXPECT_EQ(memo->Text(), "請於月底前完成");

    dialog->CompanyCode = "SD";
    dialog->DataSourceCode = "DS";
    fakes.Host->CounterAnswer = 8;
    Variant result;
    RemoteCall(*dialog, "GetUserDEFOption", value, result);
    EXPECT_EQ(result.ToInt(), 8);
    auto calls = fakes.CallsOf("GetCounter");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0].value.ToString(), "GETUSERDEFOPTION");
    EXPECT_EQ(calls[0].args[2].value[0].ToString(), "SD");
    EXPECT_EQ(calls[0].args[2].value[1].ToString(), "DS");
}

// The connection's configuration from a real client configuration.
namespace {

struct FakeConnection {
    std::string Address = "design-time";
    int Port = 0;
    bool SupportCallbacks = false;
    void* ObjectBroker = this;
    int closed = 0;
    void Close() { ++closed; }
};

class ConnectToServerTest : public RuntimeTest {
protected:
    TempDir dir;
    std::optional<ScopedEnv> registry;
    ScopedEnv acp{"NUV_ACP", "950"};

    void Install(const std::string& ini) {
        registry.emplace(
            "NUV_REGISTRY",
            dir.Write("registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\NUV\\"
                                      "Tarvel]\n\"ClientPath\"=\"" +
                                          dir / "App" + "\"\n"));
        dir.Write("App/TarvelC.ini", ini);
    }
};

} // namespace

TEST_F(ConnectToServerTest, TwoServersConnectToTheFirst) {
    Install("[Server Information]\nComputerName=10.0.0.1;10.0.0.2;\nServerPort=300\n"
            "SupportCallBack=yes\n");
    FakeConnection c;
    EXPECT_TRUE(ConnectToServer(*dialog, c));
    EXPECT_EQ(c.closed, 1);
    EXPECT_EQ(c.Address, "10.0.0.1");
    EXPECT_EQ(c.Port, 300);
    EXPECT_TRUE(c.SupportCallbacks);
    EXPECT_EQ(c.ObjectBroker, nullptr);
}

TEST_F(ConnectToServerTest, PendingMessagesFailTheSetUp) {
    Install("[Server Information]\nComputerName=10.0.0.1\n");
    dialog->Manager = fakes.NewManager();
    PostMessageRef(*dialog, "I;-000009");
    FakeConnection c;
    EXPECT_FALSE(ConnectToServer(*dialog, c));
    EXPECT_EQ(c.Address, "design-time");
    EXPECT_EQ(dialog->MessageRefs, "I;-000009; ") << "the pending references are not posted again";
}

TEST_F(ConnectToServerTest, NoServerNamedPostsTheCause) {
    Install("[Server Information]\nComputerName= ; \n");
    dialog->Manager = fakes.NewManager();
    FakeConnection c;
    EXPECT_FALSE(ConnectToServer(*dialog, c));
    EXPECT_EQ(c.Address, "design-time");
    EXPECT_EQ(dialog->MessageRefs, "E;000016; ");
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(ConnectToServerTest, AnUnreadableRegistryIsAFailureText) {
    registry.emplace("NUV_REGISTRY", dir.Write("registry.reg", "not a registry file\n"));
    FakeConnection c;
    EXPECT_FALSE(ConnectToServer(*dialog, c));
    EXPECT_EQ(dialog->MessageRefs, "E;-1; ");
    EXPECT_FALSE(dialog->MessageTexts.empty());
}

TEST_F(ServerAccessTest, FilePropertiesWindow) {
    TempDir dir;
    const std::string file = dir.Write("Kelt58C.so", std::string(2048, 'x'));
    std::vector<std::string> labels;
    presenter.OnModalForm([&](TCustomForm& form) {
        for (int i = 0; i < form.ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(form.Controls(i)))
                labels.push_back(label->Caption());
        EXPECT_TRUE(
            GrabForm(&form, std::string(NUV_TEST_OUTPUT_DIR) + "/runtime-fileproperties.png"));
        form.SetModalResult(mrOk);
    });
    ShowFileProperties(file, "870401-0.00.00");
    EXPECT_EQ(presenter.UnansweredForms(), 0);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(labels[1], file);
    EXPECT_EQ(labels[3], "2048 bytes");
    EXPECT_EQ(labels[7], "870401-0.00.00");
    EXPECT_EQ(labels[5].size(), std::string("2004/03/05 10:00:00").size());

    labels.clear();
    presenter.OnModalForm([](TCustomForm& form) { form.SetModalResult(mrOk); });
    ShowFileProperties(dir / "missing.so");
}
