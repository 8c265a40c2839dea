#include "WorldFixture.h"

class GameLuaQueries : public WorldFixture
{
protected:
	GameLuaQueries()
	{
		recordCallbacks();
		createGround();
		run("world.createBox('crate', '', 0, -0.7, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"world.createBox('block', '', 3, -0.7, 1, 1, 100, 0.5, 0, true, false, 1)\n"
			"function names(t) return table.concat(t, ',') end");
	}
};

TEST_F(GameLuaQueries, RayListsEveryDynamicFixtureItCrosses)
{
	// A second fixture on the crate, 1.5 m to its right: the ray crosses the body twice.
	b2PolygonShape shape;
	shape.SetAsBox(0.25f, 0.25f, b2Vec2(1.5f, 0.0f), 0.0f);
	world->getBody("crate")->CreateFixture(&shape, 1.0f);
	run("world.setSleeping('crate', true)\n"
		"hits = world.getRayCastedObjects({x1 = -5, y1 = -0.7, x2 = 5, y2 = -0.7})");
	EXPECT_EQ("crate,crate", text("names(hits)"));
}

TEST_F(GameLuaQueries, BoxListsDynamicBodiesOnly)
{
	EXPECT_EQ("crate", text("names(world.getIntersectingObjects({x = 0, y = -0.7, left = -5, right = 5, down = -2, up = 2}))"));
	EXPECT_EQ("", text("names(world.getIntersectingObjects({x = 3, y = -0.7, left = -0.5, right = 0.5, down = -0.5, up = 0.5}))"));
}

TEST_F(GameLuaQueries, QueriesOfNoLengthOrOfNoNumberFindNothing)
{
	const char* const queries[] = {
		"world.getRayCastedObjects({x1 = 0, y1 = -0.7, x2 = 0, y2 = -0.7})",
		"world.getRayCastedObjects({x1 = -5, y1 = 0/0, x2 = 5, y2 = -0.7})",
		"world.getRayCastedObjects({x1 = -5, y1 = -0.7, x2 = 1/0, y2 = -0.7})",
		"world.getIntersectingObjects({x = 0/0, y = -0.7, left = -5, right = 5, down = -2, up = 2})",
		"world.getIntersectingObjects({x = 0, y = -0.7, left = -5, right = 5, down = 0/0, up = 2})",
		"world.getIntersectingObjects({x = 1/0, y = -0.7, left = -1/0, right = 5, down = -2, up = 2})",
	};
	for (const char* query : queries)
		EXPECT_EQ(0.0f, number(std::string("#") + query)) << query;
}
