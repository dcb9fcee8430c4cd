// A Manager made by CreateOleObject from its module, named in a registry file of the test's
// own, over a fresh demo database in a temporary folder.
#pragma once

#include "platform/Automation.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>

namespace nuv::host::test {

class ManagerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a SQL text on the test's database (outside the Manager).
    void Sql(const std::string& sql);
    // The Manager's service property ("Com_Validator", ...).
    DispatchPtr Service(const char* name);
    // Validator.CheckValue / QueryData with every argument by reference.
    bool Look(const char* op, const std::string& table, const std::string& key,
              const Variant& params, Variant& result);

    std::filesystem::path dir_;
    std::filesystem::path db_;
    DispatchPtr manager_;
};

// Runs `drive` with the active modal window as soon as one is open (from inside the window's
// own event loop), so that a call that opens a modal window can be driven from the test.
void WhenModal(std::function<void(QWidget*)> drive);
// Types keys into the focused widget of the window.
void TypeKeys(QWidget* window, const QString& text);
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Saves the window as a PNG in the tests' output folder.
void Screenshot(QWidget* window, const std::string& name);

} // namespace nuv::host::test
