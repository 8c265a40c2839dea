#include "DrawingFixture.h"
#include <game/LuaResources.h>
#include <climits>
#include <cmath>

namespace
{

class Drawing : public DrawingFixture
{
protected:
	Drawing()
	{
		loadSheet("blocks", {{"block", 0, 0, 10, 10, 5, 5}, {"stone", 0, 0, 10, 10, 5, 5}, {"glass", 0, 0, 10, 10, 5, 5},
			{"orb", 0, 0, 10, 10, 5, 5}, {"TRAIL_WHITE_1", 0, 0, 4, 4, 2, 2}});
	}
};

TEST_F(Drawing, LayersAreDrawnInAscendingZWhateverTheOrderOfCreation)
{
	addObject("d", "orb", 40.0f);
	addObject("c", "glass", 36.0f);
	addObject("a", "block", 0.0f);
	addObject("b", "stone", 5.5f);
	addObject("a2", "block", 0.0f);
	run("world.drawGameNative()");
	EXPECT_EQ((std::vector<std::string>{"block", "block", "stone", "glass", "orb"}), drawnSprites());
}

TEST_F(Drawing, TrajectoriesLieJustBelowTheFirstProjectileOrDamagingObject)
{
	run("world.addToTrajectory(1, 100, 100)");
	addObject("below", "block", 1.0f);
	addObject("other", "stone", 3.0f).damageOverTime = true;
	run("world.drawGameNative()");
	EXPECT_EQ((std::vector<std::string>{"block", "TRAIL_WHITE_1", "stone"}), drawnSprites());

	addObject("orb", "orb", 2.0f).isProjectile = true;
	run("world.drawGameNative()");
	EXPECT_EQ((std::vector<std::string>{"block", "TRAIL_WHITE_1", "orb", "stone"}), drawnSprites());

	GameLuaTestAccess::removeAll(*world);
	addObject("calm", "block", 1.0f);
	run("world.drawGameNative()");
	EXPECT_EQ(std::vector<std::string>{"block"}, drawnSprites());
}

TEST_F(Drawing, AnObjectWithoutASpriteDrawsNothingAndAddsNoMaskedImage)
{
	lang::Ptr<gr::Image> wood = context.createImage("wood.png");
	addObject("empty", nullptr, 1.0f).texture = wood;
	addObject("compo", nullptr, 1.0f).isCompoSprite = true;
	addObject("shown", "block", 2.0f, 1.0f, 2.0f);
	run("world.drawGameNative()");
	EXPECT_EQ(std::vector<std::string>{"block"}, drawnSprites());
	EXPECT_EQ(0, GameLuaTestAccess::maskedImage(*world).positions().size());
}

TEST_F(Drawing, ObjectsAreDrawnAtTheirPoseThroughTheCamera)
{
	struct Case
	{
		bool flag8;
		bool flag10;
		float angle;
		float flip;
	};
	const Case cases[] = {{false, false, 0.3f, 1.0f}, {true, false, -0.3f, -1.0f}, {false, true, 0.0f, 1.0f}, {true, true, 0.0f, -1.0f}};
	GameLuaTestAccess::setCamera(*world, 30.0f, -40.0f, 0.5f);
	// The particles, drawn last, would install their own state.
	run("world.enableInGameParticlesNative(false)");
	for (const Case& c : cases)
	{
		SCOPED_TRACE(std::to_string(c.flag8) + std::to_string(c.flag10));
		GameLuaTestAccess::removeAll(*world);
		GameLua::RenderObjectData& object = addObject("o", "block", 1.0f, 2.0f, 3.0f);
		object.renderAngle = 0.3f;
		object.scale[0] = 2.0f;
		object.flag8 = c.flag8;
		object.flag10 = c.flag10;
		run("world.drawGameNative()");
		const gr::RenderState2D& state = context.getRenderState2D();
		EXPECT_FLOAT_EQ(c.angle, state.angle);
		EXPECT_FLOAT_EQ(2.0f * 0.5f * c.flip, state.scale.x);
		EXPECT_FLOAT_EQ(0.5f, state.scale.y);
		EXPECT_EQ(math::float2(5.0f, 5.0f), state.pivot);
		// Through the state, the pivot lands where the camera sees the object: (40 - 30) * 0.5.
		const std::vector<float> xs = drawnX();
		ASSERT_EQ(1u, xs.size());
		EXPECT_FLOAT_EQ(5.0f, (xs[0] + 5.0f + state.translation.x) * state.scale.x);
	}
}

TEST_F(Drawing, DrawRectInstallsTheDefaultStateUnlessToldToKeepIt)
{
	run("world.setRenderState(10, 20, 2, 2, 0.5)");
	run("world.drawRect(1, 0, 0, 1, 1, 2, 11, 22, true)");
	EXPECT_FLOAT_EQ(0.5f, context.getRenderState2D().angle);
	run("world.drawRect(1, 0, 0, 1, 1, 2, 11, 22, false)");
	const gr::RenderState2D& state = context.getRenderState2D();
	EXPECT_EQ(0.0f, state.angle);
	EXPECT_EQ(math::float2(0, 0), state.translation);
	EXPECT_EQ(math::float2(1, 1), state.scale);
	EXPECT_EQ(gr::Rect(-32000, -32000, 32000, 32000), state.clipRect);
	EXPECT_EQ((std::vector<gr::Rect>{gr::Rect(1, 2, 10, 20), gr::Rect(1, 2, 10, 20)}), context.filledRects);
}

// Script numbers of no value become 0 and those beyond an int the int limits, the far camera's
// foreground fill included.
TEST_F(Drawing, RectanglesOfNoNumberOrFarAwayReachTheDeviceTruncated)
{
	run("world.drawRect(0/0, 2, -1, 0/0, 0/0, 1e30, -1e30, 5, false)");
	GameLuaTestAccess::setCamera(*world, 0.0f, 1e30f, 1.0f);
	run("world.drawForegroundNative()");
	EXPECT_EQ((std::vector<gr::Rect>{gr::Rect(0, INT_MAX, 0, INT_MIN), gr::Rect(0, INT_MIN, 1024, INT_MAX)}), context.filledRects);
	// The recording device keeps no lines: this one shows its conversions to the sanitizer build.
	run("world.drawLine2D(0/0, 1e30, -1e30, 5, 1e30, 0/0, 300, -1, 1)");
}

class ClipText : public DrawingFixture
{
protected:
	/** A font whose glyphs (the lowercase letters, space and hyphen) are all 10 pixels wide. */
	ClipText()
	{
		std::vector<GlyphRecord> glyphs;
		for (int c : std::string("abcdefghijklmnopqrstuvwxyz -"))
			glyphs.push_back({c, 0, 0, 10, 10, 8});
		dir.write("font.chnk", singleChunkFile("FONT", fontBody("font.png", 12, 0, glyphs)));
		res->getResources()->createBitmapFont("font.chnk", false);
		res->getResources()->useFont("font");
	}

	/** The lines of the text (a key of no loaded set stands for itself) and the widest line's width. */
	std::pair<std::vector<std::string>, float> clip(const std::string& text, float width)
	{
		run("world.clipText('none', '" + text + "', " + std::to_string(width) + ")");
		const lua::LuaTable result = world->getTable("clippedText");
		const lua::LuaTable lines = result.getTable("lines");
		std::vector<std::string> out;
		for (int i = 1; i <= lines.size(); ++i)
			out.push_back(lines.getString(i).c_str());
		return {out, result.getNumber("widestLine")};
	}
};

TEST_F(ClipText, BreaksAtSpacesHyphensAndLineFeeds)
{
	struct Case
	{
		const char* text;
		float width;
		std::vector<std::string> lines;
		float widest;
	};
	const Case cases[] = {
		{"ab cd-ef", 61.0f, {"ab cd-", "ef"}, 60.0f},
		{"ab cd-ef", 41.0f, {"ab", "cd-", "ef"}, 30.0f},
		{"ab cd", 200.0f, {"ab cd"}, 50.0f},
		{"ab\\ncd", 200.0f, {"ab", "cd"}, 20.0f},
		{"ab\\n\\ncd", 200.0f, {"ab", "", "cd"}, 20.0f},
		{"abcdef", 35.0f, {"abc", "def"}, 30.0f},
		{"abc", 5.0f, {"a", "b", "c"}, 10.0f},
		{"ab", 0.0f, {"a", "b"}, 10.0f},
		{"", 100.0f, {}, 0.0f},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width));
		const auto [lines, widest] = clip(c.text, c.width);
		EXPECT_EQ(c.lines, lines);
		EXPECT_FLOAT_EQ(c.widest, widest);
	}
}

} // namespace
