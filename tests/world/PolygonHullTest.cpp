#include <box2d/box2d.h>
#include <world/PolygonHull.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Points = std::vector<b2Vec2>;

// A number as a script writes it with two decimals, read as Lua reads it: the nearest double,
// then the nearest float.
float decimal(int hundredths)
{
	return static_cast<float>(hundredths / 100.0);
}

// Points of coordinates given in hundredths, x and y in turn, each read as decimal() reads it.
Points twoDecimals(std::initializer_list<int> hundredths)
{
	Points points;
	for (auto i = hundredths.begin(); i != hundredths.end(); i += 2)
		points.emplace_back(decimal(i[0]), decimal(i[1]));
	return points;
}

std::string describe(const Points& points)
{
	std::string text;
	char point[64];
	for (const b2Vec2& p : points)
	{
		std::snprintf(point, sizeof point, "(%.9g, %.9g) ", p.x, p.y);
		text += point;
	}
	return text;
}

/**
 * Point sets of the kinds whose outcome in Set turns on rounding: points written to two decimals
 * on one line, in their order or shuffled, some given twice; such lines with one point moved a
 * little off them; thin triangles of an area about b2_epsilon; and scattered points, some closer
 * than the welding distance. 3 to 9 points each, from a fixed seed.
 */
std::vector<Points> pointSets()
{
	std::mt19937 random(44);
	const auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
	std::vector<Points> sets;
	for (int i = 0; i < 6000; ++i)
	{
		const int count = between(3, 9);
		const int x0 = between(-500, 500), y0 = between(-500, 500);
		int dx = between(-150, 150), dy = between(-150, 150);
		if (dx == 0 && dy == 0)
			dx = 1;
		Points points;
		for (int k = 0; k < count; ++k)
			points.emplace_back(decimal(x0 + k * dx), decimal(y0 + k * dy));
		if (i % 3 == 1)
			std::shuffle(points.begin(), points.end(), random);
		if (i % 5 == 2)
			points[between(0, count - 1)] = points[between(0, count - 1)];
		if (i % 4 == 3)
		{
			b2Vec2& moved = points[between(0, count - 1)];
			moved.x += decimal(between(-3, 3));
			moved.y += decimal(between(-3, 3));
		}
		sets.push_back(points);
	}
	for (int i = 0; i < 2000; ++i)
	{
		// A triangle on a base of 1 m whose height, about 2 * b2_epsilon, decides its area.
		const float height = static_cast<float>(between(1, 600)) * 1.0e-9f;
		const float offset = decimal(between(-300, 300));
		sets.push_back({{offset, offset}, {offset + 1.0f, offset}, {offset + decimal(between(0, 100)), offset + height}});
	}
	for (int i = 0; i < 4000; ++i)
	{
		const int count = between(3, 9);
		const int spread = i % 2 ? 300 : 8;
		Points points;
		for (int k = 0; k < count; ++k)
			points.emplace_back(decimal(between(-spread, spread)), decimal(between(-spread, spread)));
		sets.push_back(points);
	}
	return sets;
}

PolygonHull hullOf(const Points& points)
{
	return PolygonHull(points.data(), static_cast<int>(points.size()));
}

void setShape(b2PolygonShape& shape, const Points& points)
{
	shape.Set(points.data(), static_cast<int>(points.size()));
}

// The assertion Box2D's Set fails on a set of each fault.
const char* assertion(PolygonHull::Fault fault)
{
	switch (fault)
	{
	case PolygonHull::TOO_FEW_POINTS:
	case PolygonHull::TOO_MANY_POINTS:
		return "3 <= count && count <= 8";
	case PolygonHull::POINTS_WELDED:
	case PolygonHull::HULL_TOO_SMALL:
		return "Assertion .false. failed";
	case PolygonHull::HULL_UNCLOSED:
		return "m < 8";
	case PolygonHull::EDGE_WITHOUT_LENGTH:
		return "edge.LengthSquared";
	case PolygonHull::NO_AREA:
	case PolygonHull::NONE:
		break;
	}
	return "area > ";
}

} // namespace

// Wherever the check accepts, Set builds a hull of as many corners with an area; where Box2D's
// asserts are on, a set the check accepts wrongly stops the test inside Set. The sets reach every
// fault but too few points and an edge of no length, which takes a corner at infinity.
TEST(PolygonHull, AcceptsWhatBox2DBuilds)
{
	std::map<PolygonHull::Fault, int> faults;
	for (const Points& points : pointSets())
	{
		const PolygonHull hull = hullOf(points);
		++faults[hull.fault()];
		if (hull.fault() != PolygonHull::NONE)
			continue;
		b2PolygonShape shape;
		setShape(shape, points);
		ASSERT_EQ(hull.cornerCount(), shape.m_count) << describe(points);
		b2MassData mass;
		shape.ComputeMass(&mass, 1.0f);
		EXPECT_GT(mass.mass, b2_epsilon) << describe(points);
	}
	for (PolygonHull::Fault fault : {PolygonHull::NONE, PolygonHull::TOO_MANY_POINTS, PolygonHull::POINTS_WELDED,
			PolygonHull::HULL_UNCLOSED, PolygonHull::HULL_TOO_SMALL, PolygonHull::NO_AREA})
		EXPECT_GT(faults[fault], 20) << "fault " << fault;
}

// Wherever the check refuses, Set fails the assertion of the fault: on the lines of two-decimal
// points that reached it from scripts, on plain cases, and on the first refused sets of each fault.
TEST(PolygonHullDeathTest, RefusesWhatBox2DAssertsOn)
{
#ifdef NDEBUG
	GTEST_SKIP() << "Box2D's assertions are compiled out of this build";
#endif
	const float inf = INFINITY;
	const struct
	{
		Points points;
		PolygonHull::Fault fault;
	} cases[] = {
		{twoDecimals({0, 0, 92, -112, 184, -224, 276, -336}), PolygonHull::HULL_UNCLOSED},
		{twoDecimals({0, 0, 32, -100, 64, -200, 96, -300, 128, -400, 160, -500}), PolygonHull::HULL_TOO_SMALL},
		{twoDecimals({0, 0, 24, 87, 48, 174, 72, 261, 96, 348}), PolygonHull::NO_AREA},
		{twoDecimals({0, 0, 100, 0}), PolygonHull::TOO_FEW_POINTS},
		{twoDecimals({0, 0, 100, 0, 200, 0, 300, 0, 400, 100, 300, 200, 200, 200, 100, 200, 0, 200}), PolygonHull::TOO_MANY_POINTS},
		{twoDecimals({0, 0, 100, 0, 100, 1, 0, 0}), PolygonHull::POINTS_WELDED},
		{{{inf, 3e38f}, {0, 1}, {inf, 0}}, PolygonHull::EDGE_WITHOUT_LENGTH},
	};
	for (const auto& c : cases)
	{
		EXPECT_EQ(c.fault, hullOf(c.points).fault()) << describe(c.points);
		b2PolygonShape shape;
		EXPECT_DEATH(setShape(shape, c.points), assertion(c.fault)) << describe(c.points);
	}
	std::map<PolygonHull::Fault, int> sampled;
	for (const Points& points : pointSets())
	{
		const PolygonHull::Fault fault = hullOf(points).fault();
		if (fault == PolygonHull::NONE || sampled[fault]++ >= 3)
			continue;
		b2PolygonShape shape;
		EXPECT_DEATH(setShape(shape, points), assertion(fault)) << describe(points);
	}
}
