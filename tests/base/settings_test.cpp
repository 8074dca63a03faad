// The date/time label format and crosshair settings objects: setter rules, notifications,
// published order and the copy protocol.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/KVB_kvbbase.h"

namespace kvb {
namespace {

std::vector<std::string> PublishedNames(const TClassInfo& info) {
    std::vector<std::string> names;
    for (const TPropInfo* p : info.AllProps()) names.push_back(p->Name);
    return names;
}

// Counts notifications and checks the sender.
struct Counter {
    int calls = 0;
    TObject* expected = nullptr;
    TNotifyEvent Handler() {
        return [this](TObject* sender) {
            ++calls;
            EXPECT_EQ(sender, expected);
        };
    }
};

TEST(TDTLabel, NewOneIsAllZero) {
    TDTLabel d;
    EXPECT_EQ(d.TimeFormat(), tfHHMMSS);
    EXPECT_EQ(d.DateSeparator(), '\0');
    EXPECT_EQ(d.TimeSeparator(), '\0');
    EXPECT_EQ(d.YearLength(), ylNone);
    EXPECT_FALSE(d.MonthName());
    EXPECT_EQ(d.DateOrder(), doMMDDYY);
    EXPECT_EQ(d.DateForTime(), dtNone);
    EXPECT_FALSE(d.OnChange());
}

TEST(TDTLabel, SettersNotifyAlwaysOrOnlyOnChange) {
    // Each setter applied twice with the same value: how many notifications in all.
    struct Case { const char* name; std::function<void(TDTLabel&)> set; int notifications; } cases[] = {
        {"TimeFormat same", [](TDTLabel& d) { d.SetTimeFormat(tfHHMMSS); }, 2},
        {"TimeFormat new", [](TDTLabel& d) { d.SetTimeFormat(tfAMPM); }, 2},
        {"DateOrder same", [](TDTLabel& d) { d.SetDateOrder(doMMDDYY); }, 2},
        {"DateSeparator", [](TDTLabel& d) { d.SetDateSeparator('/'); }, 1},
        {"DateSeparator same", [](TDTLabel& d) { d.SetDateSeparator('\0'); }, 0},
        {"TimeSeparator", [](TDTLabel& d) { d.SetTimeSeparator('.'); }, 1},
        {"YearLength", [](TDTLabel& d) { d.SetYearLength(ylYY); }, 1},
        {"YearLength same", [](TDTLabel& d) { d.SetYearLength(ylNone); }, 0},
        {"MonthName", [](TDTLabel& d) { d.SetMonthName(true); }, 1},
        {"DateForTime", [](TDTLabel& d) { d.SetDateForTime(dtAllTicks); }, 1},
        {"DateForTime same", [](TDTLabel& d) { d.SetDateForTime(dtNone); }, 0},
    };
    for (const auto& c : cases) {
        TDTLabel d;
        Counter n;
        n.expected = &d;
        d.SetOnChange(n.Handler());
        c.set(d);
        c.set(d);
        EXPECT_EQ(n.calls, c.notifications) << c.name;
    }
}

TEST(TDTLabel, OwnerDefaultsArriveThroughTheSetters) {
    TDTLabel d;
    Counter n;
    n.expected = &d;
    d.SetOnChange(n.Handler());
    d.SetOwnerDefaults();
    EXPECT_EQ(d.TimeFormat(), tfHHMMSS);
    EXPECT_EQ(d.DateSeparator(), '-');
    EXPECT_EQ(d.TimeSeparator(), ':');
    EXPECT_EQ(d.YearLength(), ylYYYY);
    EXPECT_TRUE(d.MonthName());
    EXPECT_EQ(d.DateForTime(), dtOnePerDay);
    EXPECT_EQ(d.DateOrder(), doDDMMYY);
    EXPECT_EQ(n.calls, 7);  // every one of them is a change or an always-notifying field
    d.SetOwnerDefaults();
    EXPECT_EQ(n.calls, 9);  // again: only the time format and the date order speak
}

TEST(TDTLabel, PublishedInLayoutOrder) {
    EXPECT_EQ(PublishedNames(TDTLabel::StaticClassInfo()),
              (std::vector<std::string>{"TimeFormat", "DateSeparator", "TimeSeparator", "YearLength",
                                        "MonthName", "DateOrder", "DateForTime", "OnChange"}));
    // The registry's setters are the object's own: a layout value notifies like a setter.
    TDTLabel d;
    Counter n;
    n.expected = &d;
    d.SetOnChange(n.Handler());
    const TClassInfo& info = d.ClassInfo();
    info.FindProp("DateOrder")->SetOrd(&d, EnumInfo<TDateOrder>().IndexOf("doYYMMDD"));
    info.FindProp("DateSeparator")->SetOrd(&d, '.');
    EXPECT_EQ(d.DateOrder(), doYYMMDD);
    EXPECT_EQ(d.DateSeparator(), '.');
    EXPECT_EQ(n.calls, 2);
}

TEST(TCrossHair, NewOneIsAllZero) {
    TCrossHair c;
    EXPECT_EQ(c.PosX(), 0.0);
    EXPECT_EQ(c.PosY(), 0.0);
    EXPECT_EQ(c.Color(), clBlack);
    EXPECT_EQ(c.Mode(), chOff);
    EXPECT_EQ(c.LineType(), psSolid);
    EXPECT_EQ(c.LineWid(), 0);
    EXPECT_EQ(c.Layer(), 0);
}

TEST(TCrossHair, LayerIsClampedAndAlwaysNotifies) {
    struct Case { Integer in, out; } cases[] = {
        {0, 1}, {40, 16}, {1, 1}, {16, 16}, {7, 7}, {-2147483647 - 1, 1}, {2147483647, 16},
    };
    TCrossHair c;
    Counter n;
    n.expected = &c;
    c.SetOnChange(n.Handler());
    int expectedCalls = 0;
    for (const auto& k : cases) {
        c.SetLayer(k.in);
        EXPECT_EQ(c.Layer(), k.out) << k.in;
        EXPECT_EQ(n.calls, ++expectedCalls);
    }
}

TEST(TCrossHair, EverySetterStoresAndNotifiesEvenUnchanged) {
    TCrossHair c;
    Counter n;
    n.expected = &c;
    c.SetOnChange(n.Handler());
    c.SetPosX(1.5);
    c.SetPosY(-2.25);
    c.SetColor(clRed);
    c.SetMode(chCrossBox);
    c.SetLineType(psDashDotDot);
    c.SetLineWid(3);
    c.SetLineWid(3);
    EXPECT_EQ(n.calls, 7);
    EXPECT_EQ(c.PosX(), 1.5);
    EXPECT_EQ(c.PosY(), -2.25);
    EXPECT_EQ(c.Color(), clRed);
    EXPECT_EQ(c.Mode(), chCrossBox);
    EXPECT_EQ(c.LineType(), psDashDotDot);
    EXPECT_EQ(c.LineWid(), 3);
    EXPECT_EQ(PublishedNames(TCrossHair::StaticClassInfo()),
              (std::vector<std::string>{"PosX", "PosY", "Color", "Layer", "Mode", "LineType",
                                        "LineWid", "OnChange"}));
}

TEST(Assign, CopiesEverySettingAndTellsNobody) {
    TDTLabel a, b;
    a.SetTimeFormat(tfAMPM);
    a.SetDateSeparator('/');
    a.SetTimeSeparator('.');
    a.SetYearLength(ylYY);
    a.SetMonthName(true);
    a.SetDateOrder(doYYMMDD);
    a.SetDateForTime(dtAllTicks);
    Counter na, nb;
    na.expected = &a;
    nb.expected = &b;
    a.SetOnChange(na.Handler());
    b.SetOnChange([](TObject*) { FAIL() << "notified during Assign"; });
    b.Assign(&a);
    EXPECT_EQ(b.TimeFormat(), tfAMPM);
    EXPECT_EQ(b.DateSeparator(), '/');
    EXPECT_EQ(b.TimeSeparator(), '.');
    EXPECT_EQ(b.YearLength(), ylYY);
    EXPECT_TRUE(b.MonthName());
    EXPECT_EQ(b.DateOrder(), doYYMMDD);
    EXPECT_EQ(b.DateForTime(), dtAllTicks);
    // The receiver keeps its own handler: its changes never reach the source's owner.
    b.SetOnChange(nb.Handler());
    b.SetTimeFormat(tfHHhMM);
    EXPECT_EQ(na.calls, 0);
    EXPECT_EQ(nb.calls, 1);

    TCrossHair p, q;
    p.SetPosX(4.5);
    p.SetPosY(-1e300);
    p.SetColor(clAqua);
    p.SetMode(chBox);
    p.SetLineType(psDot);
    p.SetLineWid(5);
    p.SetLayer(9);
    q.SetOnChange([](TObject*) { FAIL() << "notified during Assign"; });
    q.Assign(&p);
    EXPECT_EQ(q.PosX(), 4.5);
    EXPECT_EQ(q.PosY(), -1e300);
    EXPECT_EQ(q.Color(), clAqua);
    EXPECT_EQ(q.Mode(), chBox);
    EXPECT_EQ(q.LineType(), psDot);
    EXPECT_EQ(q.LineWid(), 5);
    EXPECT_EQ(q.Layer(), 9);
    // AssignTo hands over to the destination's Assign.
    TCrossHair r;
    p.AssignTo(&r);
    EXPECT_EQ(r.Layer(), 9);
    EXPECT_EQ(r.Mode(), chBox);
}

TEST(Assign, ImpossiblePairingsRaiseConvertError) {
    TDTLabel d;
    TCrossHair c;
    TPen pen;
    TPersistent plain;
    d.SetDateSeparator('/');
    EXPECT_THROW(d.Assign(&c), EConvertError);
    EXPECT_THROW(c.Assign(&d), EConvertError);
    EXPECT_THROW(c.Assign(&pen), EConvertError);
    EXPECT_THROW(pen.Assign(&c), EConvertError);
    EXPECT_THROW(d.AssignTo(&c), EConvertError);
    EXPECT_THROW(c.AssignTo(nullptr), EConvertError);
    EXPECT_THROW(d.Assign(nullptr), EConvertError);
    // A plain persistent object is an ancestor class of both, yet cannot take their settings:
    // the request must end in the error, not bounce between Assign and AssignTo.
    EXPECT_THROW(c.AssignTo(&plain), EConvertError);
    EXPECT_THROW(d.AssignTo(&plain), EConvertError);
    EXPECT_EQ(d.DateSeparator(), '/');
    try {
        c.Assign(&d);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TDTLabel to a TCrossHair");
    }
}

}  // namespace
}  // namespace kvb
