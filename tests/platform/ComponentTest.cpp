#include "platform/Forms.h"
#include "platform/UiTestSupport.h"

#include <gtest/gtest.h>

using namespace nuv;

TEST(Component, FindComponentIgnoresCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName("edBegin");
    EXPECT_EQ(owner.FindComponent("EDBEGIN"), a);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}
