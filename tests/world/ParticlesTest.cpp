#include "WorldFixture.h"
#include "game/GameTestFiles.h"
#include <world/Particles.h>
#include <algorithm>

namespace {

/**
 * Particle templates in the world's "particleTable" over a sprite sheet of 16 x 16 sprites with
 * their pivots at (4, 4): "spark", and "f1" to "f4" side by side for the animation frames.
 * Particles stand still for 10 s at scale 1 unless a template says otherwise.
 */
class ParticlesTest : public WorldFixture
{
protected:
	TempDir sheets;

	ParticlesTest()
	{
		std::vector<SpriteRecord> sprites = {{"spark", 64, 0, 16, 16, 4, 4}};
		for (int i = 0; i < 4; ++i)
			sprites.push_back({"f" + std::to_string(i + 1), 16 * i, 0, 16, 16, 4, 4});
		sheets.write("fx.chnk", singleChunkFile("SPRT", sheetBody("fx.png", sprites)));
		res->getResources()->setPath(sheets.file("").c_str());
		run("res.createSpriteSheet('fx.chnk')");
		run("local still = { lifeTime = 10, minScaleBegin = 1, maxScaleBegin = 1, minScaleEnd = 1, maxScaleEnd = 1 }"
			" local function template(fields) local t = {} for k, v in pairs(still) do t[k] = v end"
			"   for k, v in pairs(fields) do t[k] = v end return t end"
			" world.particleTable = { particles = {"
			"   spark = template({ sprites = { 'spark' } }),"
			"   anim = template({ sprites = { 'f1', 'f2', 'f3', 'f4' }, animation = 'lifeTime', lifeTime = 1 }),"
			"   ghost = template({ sprites = { 'nothing' } }),"
			"   bare = template({ sprites = {} }),"
			"   vanishing = template({ sprites = { 'spark' }, minScaleBegin = 0, maxScaleBegin = 0, minScaleEnd = 0, maxScaleEnd = 0 }),"
			"   mover = template({ sprites = { 'spark' }, minVel = 100, maxVel = 100 }),"
			" } }");
	}

	/** Live particles, counted by their menu draws. */
	int drawnParticles()
	{
		context.imageDraws.clear();
		run("world.drawMenuParticlesNative()");
		return static_cast<int>(context.imageDraws.size());
	}

	/** The animation frame (1 to 4) of each drawn particle, from its place in the sheet. */
	std::vector<int> drawnFrames()
	{
		context.imageDraws.clear();
		run("world.drawMenuParticlesNative()");
		std::vector<int> frames;
		for (const ImageDraw& draw : context.imageDraws)
			frames.push_back(static_cast<int>(draw.uv[0].x * static_cast<float>(context.textureWidth) + 0.5f) / 16 + 1);
		return frames;
	}
};

TEST_F(ParticlesTest, BurstsAreLimitedByTheLiveCount)
{
	const struct
	{
		int live;
		const char* count;
		int spawned;
	} cases[] = {
		{30, "20", 10},
		{120, "20", 5},
		{124, "20", 1},
		{125, "20", 0},
		{0, "2.5", 3},
		{0, "0", 0},
		{0, "-3", 0},
		{0, "0/0", 0},
	};
	for (const auto& c : cases)
	{
		run("world.clearParticlesNative()"
			" for i = 1, " + std::to_string(c.live) + " do particles.addParticles('spark', 1, 0, 0, 0, 0, 0) end");
		ASSERT_EQ(c.live, drawnParticles()) << c.live;
		run(std::string("particles.addParticles('spark', ") + c.count + ", 0, 0, 0, 0, 0)");
		EXPECT_EQ(c.live + c.spawned, drawnParticles()) << c.live << " + " << c.count;
	}
}

TEST_F(ParticlesTest, ATemplateIsReadOnceEvenForAnEmptyBurst)
{
	run("particles.addParticles('late', 0, 0, 0, 0, 0, 0)"
		" world.particleTable.particles.late = world.particleTable.particles.spark"
		" particles.addParticles('late', 1, 0, 0, 0, 0, 0)");
	EXPECT_EQ(0, drawnParticles());
}

TEST_F(ParticlesTest, BurstsWithoutADrawableSpriteSpawnNothing)
{
	run("particles.addParticles('ghost', 5, 0, 0, 0, 0, 0)"
		" particles.addParticles('bare', 5, 0, 0, 0, 0, 0)"
		" particles.addParticles('undefined', 5, 0, 0, 0, 0, 0)");
	EXPECT_EQ(0, drawnParticles());
	run("world.updateMenuParticlesNative(0.1)");
	EXPECT_EQ(0, drawnParticles());
}

TEST_F(ParticlesTest, AParticleOfScaleZeroIsNotDrawn)
{
	run("particles.addParticles('vanishing', 1, 100, 50, 0, 0, 0)"
		" particles.addParticles('spark', 1, 100, 50, 0, 0, 0)"
		" world.setMenuParticlesScale(2)");
	ASSERT_EQ(1, drawnParticles());
	// Drawn at half its place, the device's scale of 2 putting it back; the pivot is the anchor.
	EXPECT_FLOAT_EQ(46, context.imageDraws[0].x);
	EXPECT_FLOAT_EQ(21, context.imageDraws[0].y);
	EXPECT_FLOAT_EQ(1, context.getRenderState2D().scale.x);

	run("world.setMenuParticlesScale(0)");
	EXPECT_EQ(0, drawnParticles());
}

TEST_F(ParticlesTest, AnimationFramesFollowTheLifetime)
{
	run("particles.addParticles('anim', 1, 0, 0, 0, 0, 0)");
	std::vector<int> frames;
	for (const char* dt : {"0", "0.1", "0.3", "0.2", "0.3"})
	{
		run(std::string("world.updateMenuParticlesNative(") + dt + ")");
		const std::vector<int> drawn = drawnFrames();
		ASSERT_EQ(1u, drawn.size()) << dt;
		frames.push_back(drawn[0]);
	}
	EXPECT_EQ((std::vector<int>{1, 1, 2, 3, 4}), frames);
	run("world.updateMenuParticlesNative(0.2)");
	EXPECT_EQ(0, drawnParticles());
}

// The emission area turns with the burst's angle; the particles' directions do not.
TEST_F(ParticlesTest, TheEmissionAreaTurnsWithTheAngle)
{
	run("particles.addParticles('spark', 10, 0, -10, 100, 0, math.pi / 2)");
	context.imageDraws.clear();
	run("world.drawMenuParticlesNative()");
	ASSERT_EQ(10u, context.imageDraws.size());
	float lowest = 0.0f;
	float highest = -100.0f;
	for (const ImageDraw& draw : context.imageDraws)
	{
		// A 100-pixel-wide area turned upright: every particle on the line x = 0, the pivot at 4.
		EXPECT_NEAR(-4.0f, draw.x, 1e-3f);
		lowest = std::min(lowest, draw.y);
		highest = std::max(highest, draw.y);
	}
	EXPECT_GT(highest - lowest, 1.0f);
	EXPECT_GE(lowest, -64.0f);
	EXPECT_LE(highest, 36.0f);
}

// Menu speeds are given for a screen 768 pixels high; in game they are world pixels as they stand.
TEST_F(ParticlesTest, MenuParticlesMoveInProportionToTheScreenHeight)
{
	context.setViewport(gr::Rect(2048, 1536));
	Particles particles(lua, world, res->getResources());
	for (bool inGame : {false, true})
	{
		particles.clearAll();
		particles.addParticles("mover", 1, 0, -10, 0, 0, 0);
		particles.update(0.1f, inGame, &context);
		context.imageDraws.clear();
		particles.draw(&context, inGame);
		ASSERT_EQ(1u, context.imageDraws.size()) << inGame;
		EXPECT_FLOAT_EQ(inGame ? 10.0f - 4.0f : 20.0f - 4.0f, context.imageDraws[0].x) << inGame;
	}
}

TEST_F(ParticlesTest, OnlyInGameParticlesFallThroughTheGround)
{
	Particles particles(lua, world, res->getResources());
	particles.addParticles("spark", 1, 0, -10, 0, 0, 0);
	particles.addParticles("spark", 1, 0, 10, 0, 0, 0);
	particles.update(0.1f, false, &context);
	context.imageDraws.clear();
	particles.draw(&context, false);
	EXPECT_EQ(2u, context.imageDraws.size());

	particles.update(0.1f, true, &context);
	context.imageDraws.clear();
	particles.draw(&context, true);
	ASSERT_EQ(1u, context.imageDraws.size());
	EXPECT_FLOAT_EQ(-14, context.imageDraws[0].y);
}

TEST_F(ParticlesTest, InGameDrawingFollowsTheSwitch)
{
	run("particles.addParticles('spark', 1, 0, -10, 0, 0, 0) world.enableInGameParticlesNative(false)");
	context.imageDraws.clear();
	run("world.drawParticlesNative()");
	EXPECT_TRUE(context.imageDraws.empty());
	run("world.enableInGameParticlesNative(true) world.drawParticlesNative()");
	EXPECT_EQ(1u, context.imageDraws.size());
}

} // namespace
