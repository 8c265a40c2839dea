#include <math/Domain.h>
#include <math/RandomUtil.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>

using namespace math;

namespace
{

const int SAMPLES = 500;

Domain makeDomain(Domain::DomainType type, std::initializer_list<float> params)
{
	Domain d;
	d.setType(type);
	int i = 0;
	for (float p : params)
		d.setParameter(i++, p);
	return d;
}

// How many values of the rand() sequence the call takes.
int drawsConsumed(const std::function<void()>& call)
{
	std::srand(12345);
	call();
	const int next = std::rand();
	std::srand(12345);
	int n = 0;
	while (std::rand() != next)
		++n;
	return n;
}

} // namespace

TEST(DomainTest, KeywordsAndParameterCounts)
{
	const struct { const char* keyword; int type; int count; } cases[] = {
		{"NONE", 0, 0}, {"CONSTANT", 1, 1}, {"RANGE", 2, 2}, {"POINT", 3, 3}, {"SPHERE", 4, 5},
		{"LINE", 5, 6}, {"BOX", 6, 6}, {"CYLINDER", 7, 8}, {"DISK", 8, 8}, {"RECTANGLE", 9, 9},
		{"TRIANGLE", 10, 9}, {"POINT_2D", 11, 2}, {"CIRCLE_2D", 12, 4}, {"LINE_2D", 13, 4},
		{"BOX_2D", 14, 4}, {"RECTANGLE_2D", 15, 6}, {"TRIANGLE_2D", 16, 6},
		{"box_2d", 17, 0}, {"", 17, 0}, {"BOX_2", 17, 0}, {"BOX_2DX", 17, 0},
	};
	for (const auto& c : cases)
	{
		const Domain::DomainType type = Domain::toDomainType(c.keyword);
		EXPECT_EQ(c.type, type) << c.keyword;
		EXPECT_EQ(c.count, Domain::getParameterCount(type)) << c.keyword;
	}
	EXPECT_EQ(0, Domain::getParameterCount(static_cast<Domain::DomainType>(-1)));
}

TEST(DomainTest, DrawsStayInsideTheirShapes)
{
	const Domain range = makeDomain(Domain::RANGE, {2, 5});
	const Domain box = makeDomain(Domain::BOX, {0, 0, 0, 1, 2, 3});
	const Domain triangle = makeDomain(Domain::TRIANGLE_2D, {0, 0, 1, 0, 0, 1});
	const Domain circle = makeDomain(Domain::CIRCLE_2D, {10, 20, 1, 1});
	const Domain sphere = makeDomain(Domain::SPHERE, {1, 1, 0, 2, 2});
	std::srand(1);
	for (int i = 0; i < SAMPLES; ++i)
	{
		const float2 r = range.getRandomFloat2();
		EXPECT_TRUE(r.x >= 2 && r.x <= 5 && r.y == 0) << r.x << "," << r.y;
		const float2 b = box.getRandomFloat2();
		EXPECT_TRUE(b.x >= 0 && b.x <= 1 && b.y >= 0 && b.y <= 2) << b.x << "," << b.y;
		const float2 t = triangle.getRandomFloat2();
		EXPECT_TRUE(t.x >= 0 && t.y >= 0 && t.x + t.y <= 1.0001f) << t.x << "," << t.y;
		EXPECT_NEAR(1.f, length(circle.getRandomFloat2() - float2(10, 20)), 1e-5f);
		// The xy projection of a point on a sphere of radius 2 lies within 2 of the centre.
		EXPECT_LE(length(sphere.getRandomFloat2() - float2(1, 1)), 2.0001f);
	}
}

TEST(DomainTest, FixedValuesDrawNothing)
{
	const struct { Domain domain; float2 value; } cases[] = {
		{makeDomain(Domain::NONE, {1, 2}), float2(0, 0)},
		{makeDomain(Domain::CONSTANT, {7}), float2(7, 0)},
		{makeDomain(Domain::POINT, {3, 4, 5}), float2(3, 4)},
		{makeDomain(Domain::POINT_2D, {3, 4}), float2(3, 4)},
		{makeDomain(Domain::DOMAINTYPE_COUNT, {1, 2}), float2(0, 0)},
	};
	for (const auto& c : cases)
	{
		float2 value;
		EXPECT_EQ(0, drawsConsumed([&] { value = c.domain.getRandomFloat2(); }));
		EXPECT_EQ(c.value, value);
		EXPECT_EQ(c.value.x, c.domain.getRandomFloat());
	}
}

TEST(DomainTest, DrawCounts)
{
	const struct { Domain domain; int draws; } cases[] = {
		{makeDomain(Domain::RANGE, {2, 5}), 1},
		{makeDomain(Domain::BOX, {0, 0, 0, 1, 2, 3}), 3},
		{makeDomain(Domain::BOX_2D, {0, 0, 1, 1}), 2},
		{makeDomain(Domain::SPHERE, {0, 0, 0, 1, 2}), 3},
		{makeDomain(Domain::CYLINDER, {0, 0, 0, 0, 0, 1, 1, 2}), 3},
		{makeDomain(Domain::DISK, {0, 0, 0, 0, 0, 1, 1, 2}), 2},
		{makeDomain(Domain::TRIANGLE, {0, 0, 0, 1, 0, 0, 0, 1, 0}), 2},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.draws, drawsConsumed([&] { c.domain.getRandomFloat2(); })) << c.domain.type();
}

TEST(RandomUtilTest, ShellSamplers)
{
	std::srand(2);
	for (int i = 0; i < SAMPLES; ++i)
	{
		const float r = RandomUtil::random();
		EXPECT_TRUE(r >= 0.f && r <= 1.f);
		EXPECT_NEAR(2.f, length(RandomUtil::getPointInSphere(2, 2)), 1e-5f);

		// Disk in the plane through the centre perpendicular to the normal.
		const float3 centre(1, 2, 3);
		const float3 normal(0, 3, 4);
		const float3 d = RandomUtil::getPointOnDisk(centre, normal, 1.5f, 1.5f) - centre;
		EXPECT_NEAR(1.5f, length(d), 1e-5f);
		EXPECT_NEAR(0.f, dot(d, normal), 1e-5f);

		// Cylinder about the axis from a to b, within its radius and length.
		const float3 a(0, 0, 0), b(0, 0, 4);
		const float3 c = RandomUtil::getPointInCylinder(a, b, 1, 1);
		EXPECT_NEAR(1.f, length(c.xy()), 1e-5f);
		EXPECT_TRUE(c.z >= 0.f && c.z <= 4.f);
	}
}

TEST(RandomUtilTest, DiskDistanceFollowsSquareOfDraw)
{
	std::srand(3);
	const float u = RandomUtil::random();
	std::srand(3);
	float x, y;
	RandomUtil::getPointOnDisk(1, 0, &x, &y);
	EXPECT_NEAR(u * u, std::sqrt(x * x + y * y), 1e-6f);
}
