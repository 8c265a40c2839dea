#include "WorldFixture.h"

using GameLuaScriptTable = WorldFixture;

TEST_F(GameLuaScriptTable, PublishesTheScreenAndInputTables)
{
	EXPECT_EQ(static_cast<float>(context.width()), number("world.screenWidth"));
	EXPECT_EQ(static_cast<float>(context.height()), number("world.screenHeight"));
	EXPECT_EQ(-1.0f, number("world.multitouchZoom.zoomCoolingTime"));
	EXPECT_TRUE(boolean("type(world.objects) == 'table' and type(world.keyPressed) == 'table'"));
}
