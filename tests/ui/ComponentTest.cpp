#include "platform/Classes.h"
#include "ui/StdCtrls.h"
#include "ui/TypInfo.h"

#include "UiFixture.h"

using namespace nuv;

TEST(Component, OwnerFreesItsComponentsAndFindsThemWithoutCase) {
    auto* owner = new TComponent(nullptr);
    auto* a = new TComponent(owner);
    a->SetName("edBegin");
    auto* b = new TComponent(owner);
    b->SetName("edFinal");
    EXPECT_EQ(owner->FindComponent("EDBEGIN"), a);
    EXPECT_EQ(owner->FindComponent("edfinal"), b);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    EXPECT_EQ(owner->FindComponent("ListBox"), nullptr);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(owner->Components(1), b);
    TComponentRef<TComponent> ra(a), rb(b);
    owner->Free();
    EXPECT_FALSE(ra);
    EXPECT_FALSE(rb);
}

// Names are looked up through the owner's index: a rename, a free, a move to another owner and
// a failed rename must each leave FindComponent and the duplicate check telling the truth.
TEST(Component, LookupFollowsRenamesFreesAndMoves) {
    TComponent owner(nullptr), other(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName("edBegin");
    a->SetName("edStart");
    EXPECT_EQ(owner.FindComponent("edBegin"), nullptr);
    EXPECT_EQ(owner.FindComponent("EDSTART"), a);
    a->SetName("EDSTART"); // a change of case only
    EXPECT_EQ(owner.FindComponent("edstart"), a);
    EXPECT_EQ(a->Name(), "EDSTART");

    auto* b = new TComponent(&owner);
    b->SetName("edBegin"); // the old name is free again
    EXPECT_THROW(b->SetName("edStart"), EComponentError);
    EXPECT_EQ(owner.FindComponent("edBegin"), b);
    EXPECT_EQ(owner.FindComponent("edStart"), a);

    other.InsertComponent(b);
    EXPECT_EQ(owner.FindComponent("edBegin"), nullptr);
    EXPECT_EQ(other.FindComponent("edBegin"), b);
    a->SetName("");
    EXPECT_EQ(owner.FindComponent("edStart"), nullptr);
    a->SetName("edBegin"); // another owner's name is no clash
    a->Free();
    EXPECT_EQ(owner.FindComponent("edBegin"), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(other.FindComponent("EDBEGIN"), b);
}

TEST(Component, DuplicateNameRaises) {
    TComponent owner(nullptr);
    (new TComponent(&owner))->SetName("btnOk");
    auto* other = new TComponent(&owner);
    EXPECT_THROW(other->SetName("BTNOK"), EComponentError);
    EXPECT_THROW(other->SetName("1abc"), EComponentError);
}

namespace {
class Holder : public TComponent {
public:
    using TComponent::TComponent;
    TComponent* target = nullptr;
    int removals = 0;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == target) {
            target = nullptr;
            ++removals;
        }
    }
};
} // namespace

TEST(Component, FreeNotificationClearsAHeldReference) {
    Holder holder(nullptr);
    auto* list = new TComponent(nullptr);
    holder.target = list;
    list->FreeNotification(&holder);
    list->Free();
    EXPECT_EQ(holder.target, nullptr);
    EXPECT_EQ(holder.removals, 1);
}

TEST(Component, DestroyingStateIsSeenByOwnedComponents) {
    auto* owner = new TComponent(nullptr);
    auto* child = new TComponent(owner);
    bool childSawDestroying = false;
    struct Spy : TComponent {
        bool* flag;
        Spy(TComponent* o, bool* f) : TComponent(o), flag(f) {}
        ~Spy() override { *flag = ComponentState().Contains(csDestroying); }
    };
    new Spy(owner, &childSawDestroying);
    (void)child;
    owner->Free();
    EXPECT_TRUE(childSawDestroying);
}

// ---------------------------------------------------------------------------------------------
// Handler values

namespace {
struct Target : TComponent {
    using TComponent::TComponent;
    std::vector<std::string>* log = nullptr;
    void A(TObject*) { log->push_back("A"); }
    void B(TObject*) { log->push_back("B"); }
};
} // namespace

TEST(Handler, IdentityIsObjectAndMember) {
    Target t1(nullptr), t2(nullptr);
    EXPECT_EQ(TNotifyEvent(&t1, &Target::A), TNotifyEvent(&t1, &Target::A));
    EXPECT_FALSE(TNotifyEvent(&t1, &Target::A) == TNotifyEvent(&t1, &Target::B));
    EXPECT_FALSE(TNotifyEvent(&t1, &Target::A) == TNotifyEvent(&t2, &Target::A));
    auto f = [](TObject*) {};
    TNotifyEvent e1(f), e2(f);
    EXPECT_FALSE(e1 == e2) << "an equal but different functor must not match";
    TNotifyEvent copy = e1;
    EXPECT_EQ(copy, e1);
    EXPECT_FALSE(TNotifyEvent().Assigned());
}

TEST(Handler, SaveReplaceChainAndRestoreByName) {
    auto* form = CreateForm<TForm>(nullptr);
    auto* btn = new TButton(form);
    btn->SetName("btnOk");
    btn->SetParent(form);
    std::vector<std::string> log;
    Target owner(nullptr);
    owner.log = &log;
    SetMethodPropByName(btn, "OnClick", TNotifyEvent(&owner, &Target::A).Method());

    // Save the current handler, install a checking one that chains to it.
    TMethod saved = GetMethodPropByName(btn, "onclick");
    ASSERT_TRUE(saved.Assigned());
    EXPECT_EQ(saved, TNotifyEvent(&owner, &Target::A).Method());
    SetMethodPropByName(btn, "OnClick", TNotifyEvent([&](TObject* sender) {
                                            log.push_back("check");
                                            CallNotifyMethod(saved, sender);
                                        }).Method());
    btn->Click();
    EXPECT_EQ(log, (std::vector<std::string>{"check", "A"}));

    // Restore: the original handler runs alone again.
    log.clear();
    SetMethodPropByName(btn, "OnClick", saved);
    btn->Click();
    EXPECT_EQ(log, (std::vector<std::string>{"A"}));
    EXPECT_EQ(GetMethodPropByName(btn, "OnClick"), saved);

    // A handler of another shape is refused instead of being called with wrong arguments.
    EXPECT_THROW(
        SetMethodPropByName(btn, "OnClick", TKeyPressEvent([](TObject*, TKeyChar&) {}).Method()),
        Exception);
    form->Free();
    test::DrainEvents();
}
