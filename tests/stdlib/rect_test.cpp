// Point and Rect as the GUI bridge uses them: text forms and their parsing
// (blanks, case, a form inside other text, texts that change nothing), the
// shared corner points, corners written from any object, and the platform
// rectangle both ways.
#include "stdlib/rectobject.h"
#include "tests/engine/valuetest.h"

namespace {

class RectTest : public ::testing::Test {
protected:
    TJValue read(TJObject* object, const char* name) {
        TJValue value;
        object->GetValue(name, false, value);
        return value;
    }
    void write(TJObject* object, const char* name, const TJValue& value) { object->SetValue(name, value); }

    FakeRuntime engine;
    TJPoint* point = createObject<TJPoint>(&engine, true, nullptr);
    TJRect* rect = createObject<TJRect>(&engine, true, nullptr);
};

TEST_F(RectTest, PointTexts) {
    EXPECT_EQ(ValueToString(read(point, "point")), "{x:0,y:0}");
    struct {
        const char* text;
        int32_t x, y;
    } cases[] = {
        {" { X : 10 , Y : -4 } ", 10, -4},
        {"at {x:7,y:8} and {x:1,y:1}", 7, 8},
        {"{x:3}", 7, 8},                      // no y: nothing changes
        {"{x:-,y:1}", 7, 8},                  // a sign without digits
        {"{x:99999999999,y:-2}", 0, -2},      // beyond 32 bits: 0
    };
    for (const auto& c : cases) {
        write(point, "point", textValue(c.text));
        EXPECT_EQ(point->X(), c.x) << c.text;
        EXPECT_EQ(point->Y(), c.y) << c.text;
    }
    EXPECT_EQ(point->ToString(), "{x:0,y:-2}");
}

TEST_F(RectTest, RectTexts) {
    write(rect, "rect", textValue("{LEFT:-1, top:2,right:30,bottom:-40}"));
    EXPECT_EQ(ValueToString(read(rect, "rect")), "{left:-1,top:2,right:30,bottom:-40}");
    write(rect, "rect", textValue("{left:5,top:6,right:7}"));
    EXPECT_EQ(rect->ToString(), "{left:-1,top:2,right:30,bottom:-40}");
}

TEST_F(RectTest, CornersAreShared) {
    TJValue corner = read(rect, "topLeft");
    ASSERT_TRUE(IsObjectValue(corner));
    EXPECT_EQ(read(rect, "topLeft").ObjValue, corner.ObjValue);
    write(corner.ObjValue, "x", intValue(12));
    EXPECT_EQ(ValueToInteger(read(rect, "left")), 12);
    write(rect, "bottom", intValue(9));
    EXPECT_EQ(ValueToInteger(read(read(rect, "bottomRight").ObjValue, "y")), 9);
}

TEST_F(RectTest, CornersWrittenFromObjects) {
    TJObject* plain = createObject<TJObject>(&engine, true, nullptr);
    write(plain, "x", intValue(3));
    write(plain, "y", textValue("4"));
    write(rect, "bottomRight", objectValue(plain));
    EXPECT_EQ(rect->Right(), 3);
    EXPECT_EQ(rect->Bottom(), 4);
    EXPECT_NE(read(rect, "bottomRight").ObjValue, plain);  // copied, not kept
    write(rect, "bottomRight", nullValue());
    EXPECT_EQ(rect->Right(), 3);
    write(rect, "topLeft", objectValue(createObject<TJObject>(&engine, true, nullptr)));
    EXPECT_EQ(rect->ToString(), "{left:0,top:0,right:3,bottom:4}");
}

TEST_F(RectTest, PlatformRectangles) {
    rect->CopyFromRect(RECT{-5, 6, 70, 80});
    EXPECT_EQ(rect->ToString(), "{left:-5,top:6,right:70,bottom:80}");
    RECT back{};
    rect->CopyToRect(back);
    EXPECT_EQ(back.left, -5);
    EXPECT_EQ(back.top, 6);
    EXPECT_EQ(back.right, 70);
    EXPECT_EQ(back.bottom, 80);
}

}  // namespace
