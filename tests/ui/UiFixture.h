// A shown test form that is freed (with every other form) at the end of each test.
#pragma once

#include "ui/Forms.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = nuv::CreateForm<nuv::TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
    }
    void TearDown() override { nuv::test::FreeAllForms(); }

    template <class T>
    T* Make(nuv::TWinControl* parent, const std::string& name, int l, int t, int w, int h) {
        auto* c = new T(form);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }

    nuv::TForm* form = nullptr;
};
