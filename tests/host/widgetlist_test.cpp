// The stored list of loaded widgets in the program configuration.
#include <gtest/gtest.h>

#include "host/app/widgetlist.h"
#include "tests/support/tempfiles.h"

TEST(WidgetList, ReadUpToTheFirstEmptyKey) {
    TempFolder folder;
    TSetting configuration(folder.file("nimbora.config"));
    configuration.WriteValue("widget1", "widget\\a\\a.xml");
    configuration.WriteValue("widget2", "D:\\x\\b.xml");  // absolute: used as it stands
    configuration.WriteValue("widget3", "widget\\..\\c.xml");
    configuration.WriteValue("widget5", "after\\a\\gap.xml");
    EXPECT_EQ(storedWidgets(configuration, "C:\\prog\\"),
              (std::vector<AnsiString>{"C:\\prog\\widget\\a\\a.xml", "D:\\x\\b.xml", "C:\\prog\\c.xml"}));
    configuration.WriteValue("widget1", "");
    EXPECT_TRUE(storedWidgets(configuration, "C:\\prog\\").empty());
}

TEST(WidgetList, RewrittenRelativeToTheProgramFolder) {
    TempFolder folder;
    TSetting configuration(folder.file("nimbora.config"));
    storeWidgets(configuration, "C:\\prog\\",
                 {"C:\\prog\\widget\\clock\\clock.xml", "c:\\PROG\\w.xml", "C:\\other\\o.xml", "D:\\d.xml"});
    EXPECT_EQ(configuration.ReadValue("widget1", ""), "widget\\clock\\clock.xml");
    EXPECT_EQ(configuration.ReadValue("widget2", ""), "w.xml");
    EXPECT_EQ(configuration.ReadValue("widget3", ""), "..\\other\\o.xml");
    EXPECT_EQ(configuration.ReadValue("widget4", ""), "D:\\d.xml");  // another drive
}

TEST(WidgetList, OldKeysGoAsFarAsTheyRunWithoutAGap) {
    TempFolder folder;
    TSetting configuration(folder.file("nimbora.config"));
    for (const char* key : {"widget1", "widget2", "widget3", "widget5"}) configuration.WriteValue(key, "old.xml");
    storeWidgets(configuration, "C:\\prog\\", {"C:\\prog\\a.xml"});
    EXPECT_EQ(configuration.ReadValue("widget1", ""), "a.xml");
    EXPECT_EQ(configuration.ReadValue("widget2", "gone"), "gone");
    EXPECT_EQ(configuration.ReadValue("widget3", "gone"), "gone");
    EXPECT_EQ(configuration.ReadValue("widget5", "gone"), "old.xml");
}
