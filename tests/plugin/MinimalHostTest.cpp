// A host program built against include/nuv/ alone: no platform layer, no Qt, no link-time
// symbol of the plug-in. It loads the library and drives a controller without a dialog.
#include <nuv/DLLBaseCtrller.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

struct Host {
    std::vector<std::pair<std::int32_t, nuv::TDLLBaseController*>> notified;
    void ControllerNotify(std::int32_t code, nuv::TDLLBaseController* controller) {
        notified.emplace_back(code, controller);
    }
};

void* Library() {
    static void* lib = dlopen(NUV_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return lib;
}

TEST(MinimalHost, DrivesAControllerThroughTheExport) {
    ASSERT_NE(Library(), nullptr) << dlerror();
    auto get = reinterpret_cast<nuv::TGetControllerFunc>(dlsym(Library(), nuv::GetControllerName));
    ASSERT_NE(get, nullptr);

    Host host;
    std::unique_ptr<nuv::TDLLBaseController> ctl(get());
    ASSERT_NE(ctl, nullptr);
    ctl->Manager = "manager";
    ctl->OnNotify = nuv::TDLLNotifyEvent::Bind<&Host::ControllerNotify>(&host);

    EXPECT_TRUE(ctl->IsDialogFreed());
    EXPECT_EQ(ctl->GetVisible(), nuv::LongFalse);
    EXPECT_EQ(ctl->ShowDialogModal().ToInt(), 2);
    nuv::OleVariant info;
    EXPECT_EQ(ctl->GetIdentity(info), -1);
    EXPECT_EQ(ctl->ExecuteCommand(5, 0, nuv::Variant::ArrayOf({0, 0})), -1);
    ctl->NotifyExtra();
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].first, nuv::ncNotifyExtra);
    EXPECT_EQ(host.notified[0].second, ctl.get());
    EXPECT_EQ(ctl->Manager.ToString(), "manager") << "the library never writes Manager";
}

// The library's own code stays local: a host (or another plug-in) linking its own copy of the
// platform layer never binds to the library's, nor the library to the host's.
TEST(MinimalHost, OnlyTheExportsAreVisible) {
    ASSERT_NE(Library(), nullptr) << dlerror();
    EXPECT_NE(dlsym(Library(), "GetController"), nullptr);
    for (const char* internal : {"NuvSetDialogClass", "_ZN3nuv13NewControllerEv",
                                 "_ZN3nuv16frmBaseGeneClassE", "_ZN3nuv18DLLControllerClassE"})
        EXPECT_EQ(dlsym(Library(), internal), nullptr) << internal;
}

} // namespace
