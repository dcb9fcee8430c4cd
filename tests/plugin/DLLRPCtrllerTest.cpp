// The controller's binary interface and the parts of the library that the export cannot reach.
// Its behaviour with a dialog is tested through the built library (ExportTest.cpp).
#include "plugin/DLLRPCtrller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace nuv;

namespace {

#if defined(__GNUC__) && defined(__x86_64__)
// The virtual-table slot of a virtual member function (Itanium C++ ABI: a pointer to a virtual
// member holds 1 + the slot's byte offset).
template <class F> std::ptrdiff_t SlotOf(F member) {
    struct Representation {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    };
    static_assert(sizeof(F) == sizeof(Representation));
    Representation r;
    std::memcpy(&r, &member, sizeof r);
    EXPECT_EQ(r.ptr % sizeof(void*), 1u) << "not a virtual member";
    return static_cast<std::ptrdiff_t>((r.ptr - 1) / sizeof(void*));
}

// Hosts call the operations by slot: the order is part of the interface.
TEST(ControllerInterface, OperationsKeepTheirSlots) {
    using B = TDLLBaseController;
    const std::ptrdiff_t slots[] = {
        SlotOf(&B::GetVersion),      SlotOf(&B::GetVisible),      SlotOf(&B::SetVisible),
        SlotOf(&B::GetWindowHandle), SlotOf(&B::OpenDialog),      SlotOf(&B::ApplyValues),
        SlotOf(&B::ExecuteCommand),  SlotOf(&B::ShowDialogModal), SlotOf(&B::FreeDialog),
        SlotOf(&B::GetIdentity),     SlotOf(&B::IsDialogFreed),   SlotOf(&B::DialogCreated),
        SlotOf(&B::DialogShow),      SlotOf(&B::DialogHide),      SlotOf(&B::DialogDestroy),
        SlotOf(&B::NotifyExtra),     SlotOf(&B::Notify),          SlotOf(&B::Reserved),
    };
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(std::size(slots)); ++i)
        EXPECT_EQ(slots[i], i) << "operation " << i;
    // The controller keeps the slots of the interface.
    EXPECT_EQ(SlotOf(&TDLLRPCtrller::OpenDialog), 4);
    EXPECT_EQ(SlotOf(&TDLLRPCtrller::DialogDestroy), 14);
}
#endif

// Hosts read the fields by offset: they follow the virtual table pointer in this order.
TEST(ControllerInterface, FieldsKeepTheirOrder) {
    std::unique_ptr<TDLLBaseController> ctl(NewController());
    const auto* base = reinterpret_cast<const char*>(ctl.get());
    const auto at = [base](const void* field) {
        return reinterpret_cast<const char*>(field) - base;
    };
    EXPECT_EQ(at(&ctl->Manager), static_cast<std::ptrdiff_t>(sizeof(void*)));
    EXPECT_LT(at(&ctl->Manager), at(&ctl->ResultCode));
    EXPECT_LT(at(&ctl->ResultCode), at(&ctl->ResultValue));
    EXPECT_LT(at(&ctl->ResultValue), at(&ctl->OnNotify));
    EXPECT_EQ(sizeof(ctl->ResultCode), 4u);
    EXPECT_EQ(sizeof(LongBool), 4u);
    EXPECT_EQ(sizeof(WordBool), 2u);
    EXPECT_EQ(sizeof(WideString::value_type), 2u);
}

TEST(GetController, BuildsTheReportProgramController) {
    std::unique_ptr<TDLLBaseController> ctl(NewController());
    EXPECT_NE(dynamic_cast<TDLLRPCtrller*>(ctl.get()), nullptr);
    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->ResultCode, 0);
    EXPECT_TRUE(ctl->ResultValue.IsEmpty());
    EXPECT_FALSE(ctl->OnNotify.Assigned());
}

TEST(GetController, WithoutAControllerClassRaisesTheInternalError) {
    const TDLLControllerClass saved = DLLControllerClass;
    DLLControllerClass = nullptr;
    try {
        delete NewController();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(),
                     "NUV DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    DLLControllerClass = saved;
}

TEST(ControllerNotify, HostHandlerReceivesCodeAndController) {
    struct Host {
        std::vector<std::pair<std::int32_t, TDLLBaseController*>> seen;
        void Notified(std::int32_t code, TDLLBaseController* c) { seen.emplace_back(code, c); }
    } host;
    std::unique_ptr<TDLLBaseController> ctl(NewController());
    ctl->OnNotify = TDLLNotifyEvent::Bind<&Host::Notified>(&host);
    EXPECT_EQ(ctl->OnNotify, TDLLNotifyEvent::Bind<&Host::Notified>(&host)) << "same handler";
    ctl->Notify(ncDialogShow);
    ctl->NotifyExtra();
    ASSERT_EQ(host.seen.size(), 2u);
    EXPECT_EQ(host.seen[0], std::make_pair(std::int32_t{272}, ctl.get()));
    EXPECT_EQ(host.seen[1].first, 320);
}

TEST(Utf8ToWide, ConvertsAndReplacesInvalidSequences) {
    struct Case {
        const char* label;
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"ascii", "870401-0.00.00", u"870401-0.00.00"},
        {"two and three bytes", "é版本", u"é版本"},
        {"four bytes become a surrogate pair", "\xF0\x9F\x93\x84", u"\U0001F4C4"},
        {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
        {"truncated at the end", "a\xE7\x89", u"a\uFFFD\uFFFD"},
        {"overlong form", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"empty", "", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToWide(c.in), c.out) << c.label;
}

} // namespace
