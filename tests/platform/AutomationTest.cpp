#include "platform/Automation.h"

#include "platform/TestFiles.h"

#include <gtest/gtest.h>

using namespace nuv;
using nuv::test::ScopedEnv;
using nuv::test::TempDir;

namespace {

// A small in-program automation object: a greeting service with a by-reference result.
class Greeter : public TAutoObject {
public:
    explicit Greeter(bool* destroyed = nullptr) : TAutoObject("Greeter"), destroyed_(destroyed) {
        AddMethod(
            "Greet", [this](std::span<Variant> a) { return Variant(prefix_ + a[0].ToString()); }, 1,
            1);
        // Splits "a;b" into its two halves, returned through the by-reference arguments.
        AddMethod(
            "Split",
            [](std::span<Variant> a) {
                std::string s = a[0].ToString();
                auto semi = s.find(';');
                a[1].Deref() = s.substr(0, semi);
                a[2].Deref() = semi == std::string::npos ? "" : s.substr(semi + 1);
                return Variant(true);
            },
            3, 3);
        AddMethod(
            "Add", [](std::span<Variant> a) { return Variant(a[0].ToInt() + a[1].ToInt()); }, 2, 2);
        AddMethod("Fail", [](std::span<Variant>) -> Variant {
            throw Exception("The phrase table is locked");
        });
        AddMethod("Count", [this](std::span<Variant>) { return Variant(++calls_); });
        AddProperty(
            "Prefix", [this](std::span<Variant>) { return Variant(prefix_); },
            [this](std::span<Variant>, const Variant& v) { prefix_ = v.ToString(); });
        AddProperty("Version", [](std::span<Variant>) { return Variant(3); });
    }
    ~Greeter() override {
        if (destroyed_)
            *destroyed_ = true;
    }

private:
    bool* destroyed_;
    std::string prefix_ = "Hello, ";
    int calls_ = 0;
};

int ErrorCodeOf(const std::function<void()>& call, std::string* message = nullptr) {
    try {
        call();
    } catch (const EOleError& e) {
        if (message)
            *message = e.what();
        return e.ErrorCode();
    }
    return 0;
}

} // namespace

TEST(Automation, CallsByNameWithoutCase) {
    DispatchPtr g = MakeAutoObject<Greeter>();
    EXPECT_EQ(OleCall(g, "greet", {"amy"}).ToString(), "Hello, amy");
    OlePut(g, "PREFIX", "Hi ");
    EXPECT_EQ(OleGet(g, "prefix").ToString(), "Hi ");
    EXPECT_EQ(OleCall(g, "Greet", {"bo"}).ToString(), "Hi bo");
    EXPECT_EQ(OleCall(g, "Add", {2, "3"}).ToInt(), 5);
    // Without parentheses a method arrives as a property read.
    EXPECT_EQ(OleGet(g, "Count").ToInt(), 1);
    EXPECT_EQ(OleCall(g, "Version").ToInt(), 3);
}

TEST(Automation, ByReferenceArgumentsAreWrittenThrough) {
    DispatchPtr g = MakeAutoObject<Greeter>();
    Variant left, right = "old";
    EXPECT_TRUE(OleCall(g, "Split", {"a;b", Variant::ByRef(left), Variant::ByRef(right)}).ToBool());
    EXPECT_EQ(left.ToString(), "a");
    EXPECT_EQ(right.ToString(), "b");
}

TEST(Automation, FailuresRaiseEOleErrorWithAUsefulText) {
    DispatchPtr g = MakeAutoObject<Greeter>();
    struct Case {
        const char* label;
        std::function<void()> call;
        int code;
        const char* text;
    } cases[] = {
        {"unknown member", [&] { OleCall(g, "Wave"); }, InvokeUnknownName,
         "Method 'Wave' not supported by Greeter"},
        {"too few arguments", [&] { OleCall(g, "Add", {1}); }, InvokeBadArgCount,
         "Wrong number of arguments for 'Add' of Greeter: 2 expected, 1 given"},
        {"argument of the wrong kind",
         [&] {
             OleCall(g, "Add", {1, "many"});
         },
         InvokeTypeMismatch, "Bad argument for 'Add' of Greeter: Could not convert"},
        {"failure inside", [&] { OleCall(g, "Fail"); }, InvokeException,
         "The phrase table is locked"},
        {"read-only property", [&] { OlePut(g, "Version", 4); }, InvokeUnknownName,
         "Property 'Version' of Greeter is read-only"},
        {"unassigned object", [&] { OleCall(DispatchPtr(), "Greet", {"x"}); },
         static_cast<int>(0x80004003), "Cannot call 'Greet': the automation object is not"},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(ErrorCodeOf(c.call, &message), c.code) << c.label;
        EXPECT_EQ(message.rfind(c.text, 0), 0u) << c.label << ": " << message;
    }
    EXPECT_THROW(OleCall(g, "Wave"), Exception) << "caught as the general class";
}

TEST(Automation, ObjectLivesWhileReferenced) {
    bool destroyed = false;
    DispatchPtr a = MakeAutoObject<Greeter>(&destroyed);
    auto* raw = static_cast<Greeter*>(a.get());
    EXPECT_EQ(raw->RefCount(), 1);
    {
        Variant held(a); // a Variant holding the object shares it
        DispatchPtr b = held.ToDispatch();
        EXPECT_EQ(raw->RefCount(), 3);
    }
    EXPECT_EQ(raw->RefCount(), 1);
    a.Reset();
    EXPECT_TRUE(destroyed);
}

TEST(Automation, InProgramFactoriesComeFirst) {
    TempDir dir;
    ScopedEnv reg("NUV_REGISTRY", dir.Write("r.reg", "REGEDIT4\n"));
    RegisterOleFactory("Test.Greeter", [] { return MakeAutoObject<Greeter>(); });
    DispatchPtr g = CreateOleObject("test.GREETER");
    ASSERT_TRUE(g);
    EXPECT_EQ(OleCall(g, "Greet", {"x"}).ToString(), "Hello, x");
    UnregisterOleFactory("TEST.greeter");
    std::string message;
    EXPECT_EQ(ErrorCodeOf([] { CreateOleObject("Test.Greeter"); }, &message),
              static_cast<int>(0x800401F3));
    EXPECT_NE(message.find("Invalid class string 'Test.Greeter'"), std::string::npos) << message;
}

class AutomationLibrary : public ::testing::Test {
protected:
    TempDir dir;
    std::optional<ScopedEnv> reg;

    void UseRegistry(const std::string& classes) {
        reg.emplace("NUV_REGISTRY",
                    dir.Write("r.reg", "Windows Registry Editor Version 5.00\n\n" + classes));
    }
    static std::string Entry(const std::string& progId, const std::string& library) {
        return "[HKEY_CLASSES_ROOT\\" + progId + "\\InprocServer32]\n@=\"" + library + "\"\n";
    }
};

TEST_F(AutomationLibrary, CreatesObjectsFromTheRegisteredLibrary) {
    UseRegistry(Entry("NuvTest.Counter", NUV_TEST_AUTOMATION_SERVER));
    DispatchPtr c = CreateOleObject("NuvTest.Counter");
    ASSERT_TRUE(c);
    EXPECT_EQ(OleCall(c, "Add", {2, 3}).ToInt(), 5);
    OlePut(c, "total", 10);
    EXPECT_EQ(OleGet(c, "Total").ToInt(), 10);
    Variant n = 21;
    OleCall(c, "Twice", {Variant::ByRef(n)});
    EXPECT_EQ(n.ToInt(), 42) << "by reference across the library boundary";
    std::string message;
    EXPECT_EQ(ErrorCodeOf([&] { OleCall(c, "Reset"); }, &message), InvokeUnknownName);
    EXPECT_NE(message.find("'Reset'"), std::string::npos);
    // A second object from the library already loaded is independent of the first.
    DispatchPtr d = CreateOleObject("nuvtest.counter");
    EXPECT_EQ(OleGet(d, "Total").ToInt(), 0);
}

TEST_F(AutomationLibrary, ClassesThatCannotBeCreated) {
    UseRegistry(Entry("NuvTest.Missing", dir / "missing.so") +
                Entry("NuvTest.Other", NUV_TEST_AUTOMATION_SERVER) + Entry("NuvTest.Empty", ""));
    struct Case {
        const char* progId;
        const char* text;
    } cases[] = {
        {"NuvTest.Unknown", "Invalid class string 'NuvTest.Unknown'"},
        {"NuvTest.Empty", "Invalid class string 'NuvTest.Empty'"},
        {"NuvTest.Missing", "Cannot load the library"},
        {"NuvTest.Other", "does not serve the class 'NuvTest.Other'"},
        {"", "Invalid class string ''"},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_NE(ErrorCodeOf([&] { CreateOleObject(c.progId); }, &message), 0) << c.progId;
        EXPECT_NE(message.find(c.text), std::string::npos) << c.progId << ": " << message;
    }
}

TEST_F(AutomationLibrary, BrokenRegistryFileIsReportedAsAnAutomationError) {
    reg.emplace("NUV_REGISTRY", dir.Write("r.reg", "REGEDIT4\nnonsense\n"));
    std::string message;
    EXPECT_NE(ErrorCodeOf([] { CreateOleObject("NuvTest.Counter"); }, &message), 0);
    EXPECT_NE(message.find("line 2"), std::string::npos) << message;
}
