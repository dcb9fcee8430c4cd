// A shown form with one selection panel (sp01) and an edit outside it (edOutside), the scripted
// dialog presenter, and the glyph library of the build. Every form is freed after each test.
#pragma once

#include "controls/SelectPnl.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

class SelectPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef NUV_PEMTAL_PATH
        setenv("NUV_PEMTAL", NUV_PEMTAL_PATH, 0);
#endif
    }

    void SetUp() override {
        form = nuv::CreateForm<nuv::TForm>(nullptr);
        form->SetBounds(100, 100, 560, 380);
        form->Font()->SetName("細明體");
        form->Font()->SetHeight(-12);
        outside = new nuv::TEdit(form);
        outside->SetName("edOutside");
        outside->SetParent(form);
        outside->SetBounds(8, 320, 120, 21);
        panel = new nuv::TSelectPanel(form);
        panel->SetName("sp01");
        panel->SetParent(form);
        panel->SetBounds(8, 8, panel->Width(), panel->Height());
        panel->SetCaption("類別");
    }
    void TearDown() override {
        nuv::test::FreeAllForms();
    }

    // Shows the form with the focus outside the panel.
    void Show() {
        form->SetActiveControl(outside);
        form->Show();
        nuv::test::DrainEvents();
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> r;
        for (int i = 0; i < panel->Items()->Count(); ++i)
            r.push_back(panel->Items()->Item(i)->Caption());
        return r;
    }

    nuv::test::ScriptedPresenter presenter;
    nuv::test::ScopedPresenter scoped{presenter};
    nuv::TForm* form = nullptr;
    nuv::TEdit* outside = nullptr;
    nuv::TSelectPanel* panel = nullptr;
};
