// The component owner tree: owned components freed with their owner, names,
// free notification in both free orders, deferred freeing under a keep-alive,
// and the class registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/component.h"

namespace {

std::vector<std::string> journal;

// A component that writes its notifications and its end into the journal.
class TRecorder : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TRecorder(TComponent* owner, const char* name = "") : TComponent(owner) { SetName(name); }

protected:
    ~TRecorder() override { journal.push_back("destroyed " + Name().str()); }
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && component != this)
            journal.push_back(Name().str() + " heard " + component->Name().str());
        TComponent::Notification(component, operation);
    }
};

const TClassInfo TRecorder::classInfo =
    makeClassInfo("TRecorder", &TComponent::classInfo, &componentCreator<TRecorder>);

class Component : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

}  // namespace

TEST_F(Component, OwnerFreesWhatItOwnsAndKeepsItsList) {
    auto* owner = new TRecorder(nullptr, "Owner");
    auto* a = new TRecorder(owner, "A");
    auto* b = new TRecorder(owner, "B");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner->FindComponent("a"), a);
    EXPECT_THROW(owner->Components(2), EListError);
    b->SetComponentIndex(0);
    EXPECT_EQ(owner->Components(0), b);
    a->Free();
    EXPECT_EQ(owner->ComponentCount(), 1);
    owner->Free();
    EXPECT_EQ(journal, (std::vector<std::string>{"Owner heard A", "B heard A", "destroyed A", "destroyed Owner",
                                                 "destroyed B"}));
}

TEST_F(Component, NamesAreIdentifiersUniqueAmongSiblings) {
    auto* owner = new TRecorder(nullptr, "Owner");
    auto* first = new TRecorder(owner, "Button1");
    auto* second = new TRecorder(owner);
    const struct {
        const char* name;
        bool accepted;
    } cases[] = {{"", true}, {"_x9", true}, {"Label1", true}, {"1abc", false}, {"a b", false}, {"BUTTON1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.accepted) EXPECT_NO_THROW(second->SetName(c.name));
        else EXPECT_THROW(second->SetName(c.name), EComponentError);
    }
    EXPECT_NO_THROW(first->SetName("BUTTON1"));  // its own name in another case
    second->SetName("Other");
    auto* stranger = new TRecorder(nullptr, "Other");
    EXPECT_THROW(owner->InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), nullptr);
    stranger->Free();
    owner->Free();
}

// Whichever of two linked components goes first, the other hears of it and
// nothing is told to a component that is gone.
TEST_F(Component, FreeNotificationWorksInBothFreeOrders) {
    for (bool watcherFirst : {false, true}) {
        journal.clear();
        auto* watcher = new TRecorder(nullptr, "Watcher");
        auto* watched = new TRecorder(nullptr, "Watched");
        watcher->FreeNotification(watched);
        (watcherFirst ? watcher : watched)->Free();
        (watcherFirst ? watched : watcher)->Free();
        if (watcherFirst)
            EXPECT_EQ(journal, (std::vector<std::string>{"Watched heard Watcher", "destroyed Watcher", "destroyed Watched"}));
        else
            EXPECT_EQ(journal, (std::vector<std::string>{"Watcher heard Watched", "destroyed Watched", "destroyed Watcher"}));
    }
    auto* a = new TRecorder(nullptr, "A");
    auto* b = new TRecorder(nullptr, "B");
    a->FreeNotification(b);
    a->RemoveFreeNotification(b);
    journal.clear();
    b->Free();
    a->Free();
    EXPECT_EQ(journal, (std::vector<std::string>{"destroyed B", "destroyed A"}));
}

// A Free while a dispatch holds the component (or its owner) is carried out
// when the dispatch ends; meanwhile the peers have already been told.
TEST_F(Component, FreeUnderAKeepAliveWaitsForTheDispatch) {
    auto* owner = new TRecorder(nullptr, "Owner");
    auto* sender = new TRecorder(owner, "Sender");
    auto* watcher = new TRecorder(nullptr, "Watcher");
    watcher->FreeNotification(owner);
    {
        TKeepAlive hold(sender);
        owner->Free();
        EXPECT_EQ(journal, (std::vector<std::string>{"Watcher heard Owner"}));
        EXPECT_TRUE(owner->IsDestroying());
        EXPECT_EQ(sender->Name(), "Sender");  // both still whole
        journal.push_back("dispatch ends");
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"Watcher heard Owner", "dispatch ends", "destroyed Owner",
                                                 "destroyed Sender"}));
    watcher->Free();
}

TEST_F(Component, RegisteredClassesAreCreatedByName) {
    RegisterClasses({&TRecorder::classInfo, &TComponent::classInfo});
    EXPECT_NO_THROW(RegisterClasses({&TRecorder::classInfo}));
    EXPECT_EQ(GetClass("trecorder"), &TRecorder::classInfo);
    EXPECT_EQ(GetClass("TNothing"), nullptr);
    try {
        FindClass("TNothing");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TNothing not found");
    }
    static const TClassInfo impostor = makeClassInfo("TRecorder", &TComponent::classInfo);
    EXPECT_THROW(RegisterClasses({&impostor}), EComponentError);

    auto* owner = new TRecorder(nullptr, "Owner");
    TComponent* made = CreateComponent(FindClass("TRecorder"), owner);
    EXPECT_TRUE(made->InheritsFrom(&TRecorder::classInfo));
    EXPECT_EQ(made->Owner(), owner);
    owner->Free();
}

TEST_F(Component, NameAndTagArePublishedFirst) {
    auto* c = new TRecorder(nullptr, "Published");
    std::vector<AnsiString> names = GetPropNames(c->ClassType(), false);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Name");
    EXPECT_EQ(names[1], "Tag");
    TPropValue value;
    value.Ordinal = -7;
    WriteProp(c, GetPropInfo(c->ClassType(), "tag"), value);
    EXPECT_EQ(c->Tag(), -7);
    c->SetScriptWrapper(c);
    EXPECT_EQ(c->Tag(), -7);  // the wrapper slot is not the Tag
    c->Free();
}
