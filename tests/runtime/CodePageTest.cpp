// The runtime on a Simplified Chinese interface: message texts converted for display and padded,
// settings read from a Traditional database converted once the captions are, condition texts
// converted for the database.
#include "RuntimeFixture.h"
#include "codepage/CodeConverter.h"
#include "codepage/CodePageSetup.h"
#include "codepage/TestConvertManager.h"
#include "runtime/DLLFunc.h"
#include "runtime/NuMsg.h"
#include "runtime/RequestBlock.h"
#include "support/HostObjects.h"
#include "ui/Mask.h"
#include "ui/StdCtrls.h"

#include <gtest/gtest.h>

using namespace nuv;
using namespace nuv::test;

namespace {

class TConvertingForm : public TStateForm {
public:
    explicit TConvertingForm(TComponent* owner) : TStateForm(owner) {
        converter = new TCodeConverter(this);
    }
    TCodeConverter* DialogConverter() override { return converter; }
    bool DialogCaptionsConverted() override { return captionsConverted; }
    TCodeConverter* converter;
    bool captionsConverted = false;
};

class RuntimeCodePageTest : public RuntimeTest {
protected:
    CodePageSetup setup{"950", {"936", "950"}};
};

} // namespace

TEST_F(RuntimeCodePageTest, MessagesSettingsAndConditionTexts) {
    auto* d = CreateForm<TConvertingForm>(nullptr);
    d->Manager = fakes.NewManager();
    fakes.Host->Messages["E000001"] = "資料錯誤";
    fakes.Host->Settings = {{"Sys007", "報表"}};
    d->VarManager = ManagerService(d->Manager, TManagerService::VarManager);
    GetSetting(*d, "");
    d->converter->SetManager(TestConvertManager::Make());

    PostMessageRef(*d, "E;000001");
    EXPECT_EQ(Shown().back(), "资料错误      ") << "converted for display, six blanks on GB";
    EXPECT_EQ(d->MessageTexts, "资料错误; ");

    EXPECT_EQ(GetSetting(*d, "Sys007"), "報表") << "captions not converted yet";
    d->captionsConverted = true;
    EXPECT_EQ(GetSetting(*d, "Sys007"), "报表");

    auto* label = new TLabel(d);
    label->SetName("lblToday");
    label->SetCaption("类别");
    auto* edit = new TMaskEdit(d);
    edit->SetName("edPrintDate");
    d->ConditionCount = 1;
    ASSERT_TRUE(BuildRequestBlock(*d));
    EXPECT_EQ(d->Request[1][1][0].ToString(), "類別") << "texts go to the database in Big5";
}

TEST_F(RuntimeCodePageTest, ConnectServicesHandsTheManagerToTheConverter) {
    auto* d = CreateForm<TConvertingForm>(nullptr);
    d->Manager = fakes.NewManager();
    ConnectServices(*d);
    EXPECT_TRUE(d->converter->Manager().SameAs(d->Manager));
}
