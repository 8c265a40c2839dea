#include "DrawingFixture.h"
#include <lang/Math.h>

namespace
{

class Themes : public DrawingFixture
{
protected:
	Themes()
	{
		loadSheet("scenery", {{"hill", 0, 0, 100, 40, 0, 40}, {"ground", 0, 0, 50, 30, 0, 10}, {"cloud", 0, 0, 20, 10, 5, 5}});
	}

	/** A theme "t" with the background layers and foreground layers given as Lua list entries. */
	void theme(const std::string& bgLayers, const std::string& fgLayers = "")
	{
		run("world.blockTable = {themes = {t = {skyColor = {r = 300, g = -5, b = 128}, groundColor = {r = 0, g = 255, b = 0},"
			" bgLayers = {" + bgLayers + "}, fgLayers = {" + fgLayers + "}}}}");
		run("world.setTheme('t')");
	}
};

TEST_F(Themes, SetThemeReadsLayersWithDefaultsAndSkyColour)
{
	theme("{'far', 'hill'}, {'near', 'hill', 0.5, 2}", "{'front', 'ground'}");
	EXPECT_EQ(2, GameLuaTestAccess::layerCount(*world, false));
	EXPECT_EQ(1, GameLuaTestAccess::layerCount(*world, true));

	run("world.drawBackgroundNative()");
	EXPECT_EQ(0xFF0080u, GameLuaTestAccess::backgroundColour(*world));
	// The first layer tiles 1024 pixels with 12 tiles, the second, twice the size, 512 with 7.
	EXPECT_EQ(19u, drawnX().size());

	EXPECT_NE("no exception", scriptError(*lua, "world.setTheme('missing')"));
	EXPECT_NE("no exception", scriptError(*lua, "world.blockTable.themes.bad = {skyColor = {r = 1, g = 2}}; world.setTheme('bad')"));
}

TEST_F(Themes, TilesFollowTheCameraAtTheLayersRate)
{
	struct Case
	{
		const char* layer;
		float cameraX;
		std::vector<float> firstTiles;
		float translationX;
	};
	const Case cases[] = {
		{"{'l', 'hill'}", 250.0f, {-150, -50, 50}, 0.0f},
		{"{'l', 'hill', 0}", 250.0f, {-100, 0, 100}, 0.0f},
		{"{'l', 'hill', 0}", 0.0f, {-100, 0, 100}, 0.0f},
		{"{'l', 'hill', 0.5}", 250.0f, {-125, -25, 75}, 0.0f},
		{"{'l', 'hill', 1}", 250.5f, {-150, -50, 50}, -0.5f},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(std::string(c.layer) + " at " + std::to_string(c.cameraX));
		theme(c.layer);
		GameLuaTestAccess::setCamera(*world, c.cameraX, 0.0f, 1.0f);
		run("world.drawBackgroundNative()");
		const std::vector<float> xs = drawnX();
		ASSERT_GE(xs.size(), 3u);
		EXPECT_EQ(c.firstTiles, std::vector<float>(xs.begin(), xs.begin() + 3));
		EXPECT_LT(xs.back(), 1024.0f);
		EXPECT_GE(xs.back() + 100.0f, 1024.0f);
		EXPECT_FLOAT_EQ(c.translationX, context.getRenderState2D().translation.x);
	}
}

TEST_F(Themes, LayersWithoutWidthOrScaleAndLayerNumbersOutOfRangeDrawNothing)
{
	theme("{'unknown', 'no-such-sprite'}, {'flat', 'hill', 1, 0}", "{'front', 'ground'}");
	run("world.drawBackgroundNative()");
	EXPECT_TRUE(drawnX().empty());

	for (const char* index : {"-1", "6", "0/0"})
	{
		run(std::string("world.drawLayer(") + index + ")");
		EXPECT_TRUE(drawnX().empty()) << index;
	}
	// Layer 2 is the first foreground layer; 3, one past the last, wraps to background layer 0.
	run("world.drawLayer(2)");
	EXPECT_EQ("ground", drawnSprites().front());
	run("world.drawLayer(3)");
	EXPECT_TRUE(drawnX().empty());
}

TEST_F(Themes, SetLayerOffSetShiftsOnlyWithThreeArgumentsAndAKnownLayer)
{
	theme("{'far', 'hill'}");
	run("world.setLayerOffSet(1, 10, true)");
	EXPECT_FLOAT_EQ(10.0f, GameLuaTestAccess::layerOffset(*world, 0));
	for (const char* call : {"world.setLayerOffSet(1, 10)", "world.setLayerOffSet(1, 10, 1)", "world.setLayerOffSet(1, 10, true, 4)",
			 "world.setLayerOffSet(0, 10, true)", "world.setLayerOffSet(2, 10, true)", "world.setLayerOffSet(1, 10, false)"})
	{
		run(call);
		EXPECT_FLOAT_EQ(10.0f, GameLuaTestAccess::layerOffset(*world, 0)) << call;
	}
	// Drawing wraps the offset into one period of the layer.
	run("world.setLayerOffSet(1, 240, true); world.drawBackgroundNative()");
	EXPECT_FLOAT_EQ(50.0f, GameLuaTestAccess::layerOffset(*world, 0));
	const std::vector<float> xs = drawnX();
	EXPECT_EQ((std::vector<float>{-150, -50, 50}), std::vector<float>(xs.begin(), xs.begin() + 3));
}

TEST_F(Themes, ThemeSpritesAreFoundByIdInTheirLayerAndTurnWithinOneTurn)
{
	theme("{'far', 'hill'}");
	run("world.createThemeSprite('sun', 'cloud', 1, 2, 1, 1, 0.5, 0, -1, false)");
	run("world.createThemeSprite('moon', 'cloud', 1, 2, 1, 1, 0, 7, 0, false)");
	EXPECT_EQ(1, GameLuaTestAccess::themeSpriteCount(*world, 0));

	run("world.rotateThemeSprites(1)");
	EXPECT_NEAR(2.0f * lang::Math::PI - 0.5f, GameLuaTestAccess::themeSpriteAngle(*world, 0, 0), 1e-5f);
	run("world.modifyThemeSprite('sun', 1, 2, 1, 1, 7.5, 0); world.rotateThemeSprites(0)");
	EXPECT_NEAR(7.5f - 2.0f * lang::Math::PI, GameLuaTestAccess::themeSpriteAngle(*world, 0, 0), 1e-5f);

	run("world.modifyThemeSprite('none', 9, 9, 1, 1, 0, 0); world.setThemeSprite('sun', 'hill', 3); world.removeThemeSprite('sun', 1)");
	EXPECT_EQ(1, GameLuaTestAccess::themeSpriteCount(*world, 0));
	run("world.removeThemeSprite('sun', 0)");
	EXPECT_EQ(0, GameLuaTestAccess::themeSpriteCount(*world, 0));
}

// A theme sprite follows the camera at its background layer's rate, or at rate 1 when the layer
// is drawn alone.
TEST_F(Themes, AFlippedThemeSpriteIsMirroredAndTurnsTheOtherWay)
{
	GameLuaTestAccess::setPhysicsSimulationScale(*world, 20.0f);
	for (const char* parallax : {"1", "0.5"})
	{
		theme(std::string("{'far', 'no-such-sprite', ") + parallax + "}");
		GameLuaTestAccess::setCamera(*world, 100.0f, 0.0f, 1.0f);
		for (bool flipped : {false, true})
		{
			SCOPED_TRACE(std::string("parallax ") + parallax + (flipped ? " flipped" : ""));
			run(std::string("world.removeThemeSprite('sun', 0); world.createThemeSprite('sun', 'cloud', 10, 2, 1, 1, 0.25, 0, 0, ") +
				(flipped ? "true" : "false") + "); world.drawBackgroundNative()");
			const float f = flipped ? -1.0f : 1.0f;
			const gr::RenderState2D& state = context.getRenderState2D();
			EXPECT_FLOAT_EQ(f, state.scale.x);
			EXPECT_FLOAT_EQ(0.25f * f, state.angle);
			EXPECT_FLOAT_EQ(-100.0f * std::stof(parallax) * f, state.translation.x);
			EXPECT_EQ(5.0f, state.pivot.x);
			// x 10 in physics units is 200 pixels, less the pivot.
			EXPECT_EQ(std::vector<float>{200.0f * f - 5.0f}, drawnX());
			run("world.drawLayer(0)");
			EXPECT_FLOAT_EQ(-100.0f * f, state.translation.x);
			drawnX();
		}
	}
}

TEST_F(Themes, SetRenderStateSetsOnlyTheFieldsGiven)
{
	run("world.setRenderState(1, 2, 3, 4, 0.5, 6, 7)");
	run("world.setRenderState(10, 20)");
	const gr::RenderState2D& state = context.getRenderState2D();
	EXPECT_EQ(math::float2(10, 20), state.translation);
	EXPECT_EQ(math::float2(3, 4), state.scale);
	EXPECT_FLOAT_EQ(0.5f, state.angle);
	EXPECT_FLOAT_EQ(std::cos(0.5f), state.rotation[0]);
	EXPECT_EQ(math::float2(6, 7), state.pivot);
}

TEST_F(Themes, ForegroundFillsBelowTheGroundLineAndTilesItsLayers)
{
	theme("", "{'front', 'ground', 1, 2}");
	GameLuaTestAccess::setCamera(*world, 0.0f, -100.0f, 1.0f);
	run("world.drawForegroundNative()");
	// The ground sprite stands 30 - 10 pixels above its pivot, at twice its size.
	ASSERT_EQ(1u, context.filledRects.size());
	EXPECT_EQ(gr::Rect(0, 140, 1024, 769 - 140), context.filledRects[0]);
	EXPECT_EQ("ground", drawnSprites().front());

	theme("");
	context.filledRects.clear();
	run("world.drawForegroundNative()");
	EXPECT_EQ(gr::Rect(0, 100, 1024, 669), context.filledRects.at(0));
}

} // namespace
