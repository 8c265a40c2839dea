#include <pf/Accelerometer.h>
#include <pf/AccelerometerImpl.h>
#include <gtest/gtest.h>

using pf::Accelerometer;
using pf::AccelerometerImpl;

namespace
{

struct AccelerometerTest : testing::Test
{
	void SetUp() override { AccelerometerImpl::resetData(); }
	void TearDown() override { AccelerometerImpl::resetData(); }
};

void expectVector(const math::float3& expected, const math::float3& actual)
{
	EXPECT_FLOAT_EQ(expected.x, actual.x);
	EXPECT_FLOAT_EQ(expected.y, actual.y);
	EXPECT_FLOAT_EQ(expected.z, actual.z);
}

} // namespace

TEST_F(AccelerometerTest, RemapsReadingsIntoScreenAxes)
{
	struct Case
	{
		int orientation;
		math::float3 stored;
	};
	const Case cases[] = {
		{0, math::float3(1, 2, -3)},
		{1, math::float3(-2, 1, -3)},
		{2, math::float3(1, -2, -3)},
		{3, math::float3(2, 1, -3)},
	};
	for (const Case& c : cases)
	{
		AccelerometerImpl::setData(math::float3(1, 2, 3), static_cast<gr::Context::OrientationType>(c.orientation));
		expectVector(c.stored, AccelerometerImpl::sm_data);
	}
	AccelerometerImpl::setData(math::float3(7, 7, 7), static_cast<gr::Context::OrientationType>(5));
	expectVector(math::float3(2, 1, -3), AccelerometerImpl::sm_data);
}

TEST_F(AccelerometerTest, SmoothsAndReportsOnlyWhileStarted)
{
	Accelerometer accelerometer;
	expectVector(math::float3(), accelerometer.getDataFiltered());
	AccelerometerImpl::setData(math::float3(0, 0, -1), gr::Context::ORIENTATION_0);
	expectVector(math::float3(), accelerometer.getDataFiltered());
	accelerometer.start();
	expectVector(math::float3(0, 0, 0.2f), accelerometer.getDataFiltered());
	AccelerometerImpl::setData(math::float3(0, 0, -1), gr::Context::ORIENTATION_0);
	expectVector(math::float3(0, 0, 0.36f), accelerometer.getDataFiltered());
	Accelerometer other;
	other.start();
	expectVector(math::float3(0, 0, 0.36f), other.getDataFiltered());
	accelerometer.stop();
	expectVector(math::float3(), accelerometer.getDataFiltered());
}
