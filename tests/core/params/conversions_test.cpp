// Text-to-number conversions, display formats and the light-sensor tables.
#include <gtest/gtest.h>

#include "params/lux_tables.h"
#include "params/numbers.h"

namespace zrk::params {
namespace {

const platform::NumberFormat kPoint{".", ","};
const platform::NumberFormat kComma{",", "."};

TEST(LenientNumber, ReadsTheLeadingNumberAndIgnoresTheRest) {
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c :
         {Case{"", 0}, Case{"abc", 0}, Case{"12", 12}, Case{" 1 2 ", 12}, Case{"\t-3.5x", -3.5}, Case{"1200 rpm", 1200},
          Case{"1.2.3", 1.2}, Case{"12,5", 12}, Case{"1e3", 1000}, Case{"2D2", 200}, Case{"&H1F", 31},
          Case{"&HFFFF", -1}, Case{"&O17", 15}, Case{"+7", 7}, Case{".5", 0.5}, Case{"-", 0}, Case{"3E", 3}}) {
        EXPECT_DOUBLE_EQ(lenientNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(StrictNumber, FollowsTheRegionalSeparators) {
    struct Case {
        const char* text;
        platform::NumberFormat format;
        std::int64_t scaled;
    };
    const Case cases[] = {
        {"12.345", kPoint, 123450},    {"12,345", kComma, 123450}, {"12,345", kPoint, 123450000},
        {"1.234,5", kComma, 12345000}, {" -0.5 ", kPoint, -5000},  {"+3", kPoint, 30000},
        {"1.00005", kPoint, 10000},    {"1.00015", kPoint, 10002}, {"1.000051", kPoint, 10001},
        {",5", kComma, 5000},          {"7.", kPoint, 70000},      {"12.5", kComma, 1250000},
    };
    for (const auto& c : cases) EXPECT_EQ(strictNumber(c.text, c.format).scaled, c.scaled) << c.text;
    for (const char* bad : {"", "  ", "abc", "12a", "1.2.3", "-", "1 2", "12,", ",5", "1e3"})
        EXPECT_THROW(strictNumber(bad, kPoint), ConversionError) << '"' << bad << '"';
    EXPECT_FALSE(isNumeric("12,5x", kComma));
    EXPECT_TRUE(isNumeric("12,5", kComma));
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndOverflowIsAnError) {
    EXPECT_EQ(scaleToInt32(strictNumber("12,345", kComma), 100, "f"), 1234);
    EXPECT_EQ(scaleToInt32(strictNumber("12.355", kPoint), 100, "f"), 1236);
    EXPECT_EQ(scaleToInt32(strictNumber("-0.5", kPoint), 1, "f"), 0);
    EXPECT_EQ(scaleToInt32(strictNumber("1.5", kPoint), 1, "f"), 2);
    EXPECT_EQ(scaleToInt32(strictNumber("1677.7216", kPoint), 10000, "f"), 16777216);
    EXPECT_THROW(scaleToInt32(strictNumber("300000", kPoint), 10000, "f"), ConversionError);
    EXPECT_THROW(strictNumber("99999999999999999999", kPoint), ConversionError);
    EXPECT_EQ(roundToInt32(2.5, "f"), 2);
    EXPECT_EQ(roundToInt32(-3.5, "f"), -4);
    EXPECT_THROW(roundToInt32(3e9, "TPulsosRevolucion"), ConversionError);
}

TEST(DisplayFormat, FixedDecimalsWithTheRegionalSeparator) {
    EXPECT_EQ(formatScaled(0, 4, "."), "0.0000");
    EXPECT_EQ(formatScaled(100000, 4, ","), "10,0000");
    EXPECT_EQ(formatScaled(5, 2, "."), "0.05");
    EXPECT_EQ(formatScaled(65535, 2, ","), "655,35");
    EXPECT_EQ(formatScaled(300, 1, "."), "30.0");
    EXPECT_EQ(formatScaled(-5, 1, "."), "-0.5");
    EXPECT_EQ(formatScaled(42, 0, "."), "42");
}

TEST(LuxTables, ConversionsBothWays) {
    LuxTables t;
    t.InicializarTablasLux();
    struct Case {
        int sensor;
        std::int32_t in;
        std::int32_t out;
        std::int32_t writtenBack;
    };
    // Lux to AD.
    for (const Case& c :
         {Case{0, 0, 0, 0}, Case{0, 1, 8, 1}, Case{0, 100, 214, 100}, Case{0, 102, 214, 102}, Case{0, 549, 635, 549},
          Case{0, 550, 0, 550}, Case{0, 2000, 0, 550}, Case{0, -5, 0, 0}, Case{1, 0, 969, 0}, Case{1, 100, 192, 100},
          Case{1, 549, 123, 549}, Case{1, 550, 0, 550}, Case{2, 123, 550, 123}, Case{-1, 123, 0, 123}}) {
        std::int32_t lux = c.in;
        EXPECT_EQ(t.LuxAAD(lux, c.sensor), c.out) << "sensor " << c.sensor << " lux " << c.in;
        EXPECT_EQ(lux, c.writtenBack) << "sensor " << c.sensor << " lux " << c.in;
    }
    // AD to lux.
    for (const Case& c : {Case{0, 0, 0, 0}, Case{0, 8, 1, 8}, Case{0, 214, 100, 214}, Case{0, 635, 520, 635},
                          Case{0, 636, 0, 636}, Case{0, 900, 0, 840}, Case{1, 969, 0, 969}, Case{1, 500, 5, 500},
                          Case{1, 192, 100, 192}, Case{1, 123, 520, 123}, Case{1, 122, 0, 122}, Case{1, 50, 0, 50},
                          Case{1, 1000, 0, 969}, Case{2, 300, 0, 300}}) {
        std::int32_t ad = c.in;
        EXPECT_EQ(t.ADALux(ad, c.sensor), c.out) << "sensor " << c.sensor << " ad " << c.in;
        EXPECT_EQ(ad, c.writtenBack) << "sensor " << c.sensor << " ad " << c.in;
    }
    // There and back gives the largest lux step not above the value.
    for (int sensor : {0, 1}) {
        std::int32_t lux = 102;
        std::int32_t ad = t.LuxAAD(lux, sensor);
        EXPECT_EQ(t.ADALux(ad, sensor), 100) << sensor;
    }
}

}  // namespace
}  // namespace zrk::params
