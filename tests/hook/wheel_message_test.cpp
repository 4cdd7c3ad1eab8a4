// The parameters of the posted wheel messages: signed coordinates, signed delta, key flags.
#include "wheel_message.h"

#include <gtest/gtest.h>

namespace {

int SignedLow(std::uint32_t value)
{
    return static_cast<std::int16_t>(value & 0xFFFFu);
}

int SignedHigh(std::uint32_t value)
{
    return static_cast<std::int16_t>(value >> 16);
}

struct PointCase
{
    const char* m_name;
    int m_x;
    int m_y;
};

void PrintTo(const PointCase& c, std::ostream* os)
{
    *os << c.m_name;
}

const PointCase kPointCases[] = {
    {"PrimaryMonitor", 640, 480},   {"MonitorLeftOfThePrimary", -1500, 300}, {"MonitorAboveThePrimary", 200, -900},
    {"CornerLeftAndAbove", -1, -1}, {"FarRightHighDpiMonitor", 7679, 4319},
};

class PointPacking : public testing::TestWithParam<PointCase>
{
};

TEST_P(PointPacking, KeepsSignedCoordinates)
{
    const std::uint32_t lParam = PackPointLParam(GetParam().m_x, GetParam().m_y);
    EXPECT_EQ(SignedLow(lParam), GetParam().m_x);
    EXPECT_EQ(SignedHigh(lParam), GetParam().m_y);
}

INSTANTIATE_TEST_SUITE_P(Cases, PointPacking, testing::ValuesIn(kPointCases),
                         [](const testing::TestParamInfo<PointCase>& info) { return info.param.m_name; });

TEST(WheelWParam, CarriesSignedDeltaAboveTheKeyFlags)
{
    EXPECT_EQ(PackWheelWParam(120, 0), 0x00780000u);
    EXPECT_EQ(PackWheelWParam(-120, 0x0004), 0xFF880004u);
    EXPECT_EQ(SignedHigh(PackWheelWParam(-32768, 0x0048)), -32768);
    EXPECT_EQ(PackWheelWParam(-1, 0x007F) & 0xFFFFu, 0x007Fu);
}

} // namespace
