// Oddly shaped Variants through every controller operation that takes one: OpenDialog,
// ApplyValues, ExecuteCommand and GetIdentity's out-argument, then freeing. Each call returns
// its documented value (0 or -1; OpenDialog may raise an exception of the general class from
// the dialog's set-up), nothing crashes and nothing hangs. The dialog is the test dialog: it
// reads the initialisation array's user and company as texts, and host values [-, [run mode,
// values]] as the base dialog does.
#include "TestDialog.h"
#include "support/FakeAutomation.h"

#include "plugin/DLLRPCtrller.h"
#include "uitest/UiTestSupport.h"

#include <nuv/CodePageText.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace nuv;
using nuv::test::TTestDialog;

namespace {

constexpr int Raises = -2; // OpenDialog lets the dialog's set-up failure reach the host

struct ShapeCase {
    std::string label;
    Variant value;
    int open;  // OpenDialog(value): 0, -1 or Raises
    int apply; // ApplyValues(value) on an opened dialog
    int exec;  // ExecuteCommand(5, 0, value) on an opened dialog
};

Variant Nested(int depth, Variant core) {
    for (int i = 0; i < depth; ++i) {
        std::vector<Variant> one;
        one.push_back(std::move(core));
        core = Variant::ArrayOf(std::move(one));
    }
    return core;
}

// [a, b] without copying either.
Variant Pair(Variant a, Variant b) {
    std::vector<Variant> items;
    items.push_back(std::move(a));
    items.push_back(std::move(b));
    return Variant::ArrayOf(std::move(items));
}

Variant ArrayFrom(int low, std::vector<Variant> items) {
    Variant a = Variant::CreateArray(
        {ArrayBounds{low, static_cast<int>(low + static_cast<long long>(items.size()) - 1)}});
    for (std::size_t i = 0; i < items.size(); ++i)
        a[low + static_cast<int>(i)] = items[i];
    return a;
}

class ControllerShapes : public ::testing::Test {
protected:
    nuv::test::ScriptedPresenter presenter;
    nuv::test::ScopedPresenter scopedPresenter{presenter};
    TfrmBaseGeneClass previousClass = frmBaseGeneClass;

    // Values that the cases refer to; they outlive every controller of the test.
    Variant user = "NU";
    Variant company = "SDTest";
    Variant holder = Variant::ArrayOf({"NU", "SDTest"});
    Variant init = nuv::test::InitArray();
    nuv::test::FakeObject object;
    const std::string huge = std::string(4 << 20, 'x');

    void SetUp() override {
        frmBaseGeneClass = &DialogClassOf<TTestDialog>;
        holder[0] = Variant::ByRef(holder); // refers to the array that holds it
    }
    void TearDown() override {
        nuv::test::DrainEvents();
        EXPECT_EQ(TTestDialog::Live(), nullptr) << "a dialog outlived its controller";
        frmBaseGeneClass = previousClass;
    }

    std::vector<ShapeCase> Cases() {
        const Variant obj = object.held;
        const int Min = INT_MIN, Max = INT_MAX;
        // Four times the depth at which a recursive copy or free overflows the stack in the
        // sanitizer build the tests run in (the Variant's own test goes to 100,000).
        constexpr int Deep = 20'000;
        // Built from temporaries, so that each deep value is made once and moved in.
        std::vector<ShapeCase> cases;
        const auto add = [&cases](std::string label, Variant value, int open, int apply, int exec) {
            cases.push_back(ShapeCase{std::move(label), std::move(value), open, apply, exec});
        };
        add("very deep", Nested(Deep, "core"), Raises, -1, -1);
        add("deep values", Pair("NU", Nested(Deep, "core")), Raises, -1, -1);
        add("values with a deep value", Pair(0, Pair(1, Nested(Deep, 1))), Raises, 0, 0);
        const ShapeCase table[] = {
            // Not arrays at all.
            {"unassigned", Variant(), Raises, -1, -1},
            {"Null", Variant::MakeNull(), Raises, -1, -1},
            {"Boolean", Variant(true), Raises, -1, -1},
            {"INT_MIN", Variant(Min), Raises, -1, -1},
            {"NaN", Variant(std::nan("")), Raises, -1, -1},
            {"date beyond 9999", Variant::FromDate(1e300), Raises, -1, -1},
            {"huge text", Variant(huge), Raises, -1, -1},
            {"ill-formed byte text", Variant::FromBytes("\xC0\xAF\xED\xA0\x80", 65001), Raises, -1,
             -1},
            {"object", obj, Raises, -1, -1},
            // Arrays without the elements the operations read.
            {"empty array", Variant::ArrayOf({}), Raises, -1, -1},
            {"one element", Variant::ArrayOf({"NU"}), Raises, -1, -1},
            {"lower bound 1", ArrayFrom(1, {"a", "b", "c"}), Raises, 0, 0},
            {"lower bound -3", ArrayFrom(-3, {"a", "b", "c"}), Raises, -1, -1},
            {"lower bound 100", ArrayFrom(100, {"a", "b"}), Raises, -1, -1},
            {"at INT_MIN", ArrayFrom(Min, {"a", "b"}), Raises, -1, -1},
            {"up to INT_MAX", ArrayFrom(Max - 1, {"a", "b"}), Raises, -1, -1},
            {"two dimensions", Variant::CreateArray({ArrayBounds{0, 1}, ArrayBounds{0, 1}}), Raises,
             -1, -1},
            {"two dimensions at the extremes",
             Variant::CreateArray({ArrayBounds{Min, Min + 1}, ArrayBounds{Max - 1, Max}}), Raises,
             -1, -1},
            {"empty second dimension",
             Variant::CreateArray({ArrayBounds{Max - 1, Max}, ArrayBounds{0, -1}}), Raises, -1, -1},
            // Arrays the operations can read.
            {"two texts", Variant::ArrayOf({"NU", "SDTest"}), 0, 0, 0},
            {"the initialisation array", nuv::test::InitArray(), 0, 0, 0},
            {"lower bound -1 covering 0 and 1", ArrayFrom(-1, {"x", "NU", "SDTest"}), 0, 0, 0},
            {"Null elements", Variant::ArrayOf({Variant::MakeNull(), Variant::MakeNull()}), 0, 0,
             0},
            {"huge text elements", Variant::ArrayOf({huge, huge}), 0, 0, 0},
            {"ill-formed byte text element",
             Variant::ArrayOf({Variant::FromBytes("N\xC0\xAFU", 65001), "SDTest"}), 0, 0, 0},
            {"by-reference argument", Variant::ByRef(init), 0, 0, 0},
            {"by-reference elements",
             Variant::ArrayOf({Variant::ByRef(user), Variant::ByRef(company)}), 0, 0, 0},
            {"element refers to its own array", holder, Raises, 0, 0},
            {"object where a text is expected", Variant::ArrayOf({obj, "SDTest"}), Raises, 0, 0},
            {"object as the values", Variant::ArrayOf({"NU", obj}), Raises, 0, 0},
            {"date beyond 9999 as the user", Variant::ArrayOf({Variant::FromDate(1e300), "SD"}),
             Raises, 0, 0},
            {"values shown to the user",
             Variant::ArrayOf({0, Variant::ArrayOf({0, Variant::ArrayOf({"me01"})})}), Raises, 0,
             0},
            {"values run unattended",
             Variant::ArrayOf({0, Variant::ArrayOf({1, Variant::ArrayOf({"me01"})})}), Raises, 0,
             0},
        };
        for (const ShapeCase& c : table)
            cases.push_back(c);
        return cases;
    }

    static std::unique_ptr<TDLLBaseController> Opened() {
        std::unique_ptr<TDLLBaseController> ctl(NewController());
        EXPECT_EQ(ctl->OpenDialog(nuv::test::InitArray()), 0);
        return ctl;
    }

    // The identity array [user, company, program code, program name].
    static void ExpectIdentity(TDLLBaseController& ctl, Variant info, const std::string& user,
                               const std::string& label) {
        ASSERT_EQ(ctl.GetIdentity(info), 0) << label;
        ASSERT_EQ(info.ArrayCount(), 4) << label;
        EXPECT_EQ(info[0].ToString(), user) << label;
        EXPECT_TRUE(IsValidUtf8(info[0].ToString())) << label;
        EXPECT_EQ(info[2].ToString(), "KELT58") << label;
    }
};

TEST_F(ControllerShapes, EveryOperationReturnsItsDocumentedValue) {
    const std::vector<ShapeCase> cases = Cases();
    ASSERT_GE(cases.size(), 30u);
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.label);
        {
            auto ctl = Opened();
            EXPECT_EQ(ctl->ApplyValues(c.value), c.apply);
            // The out-argument may come in with any shape; it is replaced.
            ExpectIdentity(*ctl, c.value, "NU", c.label);
            nuv::test::DrainEvents();
        }
        {
            auto ctl = Opened();
            EXPECT_EQ(ctl->ExecuteCommand(5, 0, c.value), c.exec);
            EXPECT_EQ(ctl->ExecuteCommand(7, 0, c.value), -1) << "not a command of the dialog";
            nuv::test::DrainEvents();
        }
        {
            std::unique_ptr<TDLLBaseController> ctl(NewController());
            int open = 0;
            try {
                open = ctl->OpenDialog(c.value);
            } catch (const Exception&) {
                open = Raises;
            }
            EXPECT_EQ(open, c.open);
            if (open == 0)
                ExpectIdentity(*ctl, Variant(), ValidUtf8(c.value[0].Bytes()), c.label);
            // A dialog whose set-up failed is still freed with its controller.
            EXPECT_FALSE(ctl->IsDialogFreed());
        }
        nuv::test::DrainEvents();
        EXPECT_EQ(TTestDialog::Live(), nullptr);
    }
}

// Without a dialog every operation says so, whatever it is given.
TEST_F(ControllerShapes, WithoutADialogEveryOperationFails) {
    for (const ShapeCase& c : Cases()) {
        std::unique_ptr<TDLLBaseController> ctl(NewController());
        Variant info = c.value;
        EXPECT_EQ(ctl->ApplyValues(c.value), -1) << c.label;
        EXPECT_EQ(ctl->ExecuteCommand(5, 0, c.value), -1) << c.label;
        EXPECT_EQ(ctl->GetIdentity(info), -1) << c.label;
    }
}

} // namespace
