// A plain form that carries the dialog's state, as the runtime's tests use it: the runtime sees
// it exactly as it sees a parameter dialog (the state, its form and the form's components by
// name), without the dialog classes above it. The fixture adds the doubles of the host's
// objects and the scripted dialog presenter; every form is freed after each test.
#pragma once

#include "fakes/FakeServices.h"
#include "runtime/BaseGeneState.h"
#include "ui/Forms.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nuv::test {

class TStateForm : public TForm, public TBaseGeneState {
public:
    explicit TStateForm(TComponent* owner) : TForm(owner) { SetName("frmKelt58"); }
    TCustomForm& DialogForm() override { return *this; }
};

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = CreateForm<TStateForm>(nullptr);
        dialog->SetBounds(100, 100, 420, 300);
        dialog->SetCaption("Stock report");
    }
    void TearDown() override { FreeAllForms(); }

    // The texts of the message dialogs shown so far.
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& m : presenter.Messages())
            texts.push_back(m.Text);
        return texts;
    }

    FakeServices fakes;
    ScriptedPresenter presenter;
    ScopedPresenter scoped{presenter};
    TStateForm* dialog = nullptr;
};

} // namespace nuv::test
