// A pyramid of 200 boxes on static ground: one frame of the game world (a physics step plus its
// own bookkeeping and the callbacks into a script that does nothing) against a bare physics step
// of the same bodies, timed side by side in one run, while the pyramid settles and once it
// sleeps. The counter "ratio" is game frame time over bare step time.
#include "TemporaryDocuments.h"
#include <lua/ScriptRunner.h>
#include <support/RecordingContext.h>
#include <world/WorldTestApp.h>
#include <game/LuaResources.h>
#include <lang/Ptr.h>
#include <lua/LuaState.h>
#include <world/GameLua.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace
{

// Seconds per physics step, as the game world steps.
const float STEP = 1.0f / 30.0f;
// Rows of 20 boxes down to 5: 200 boxes of 1 m, 1 kg/m^2.
const int BASE_ROW = 20;
const int TOP_ROW = 5;
// Steps the pyramid is timed while settling before it is built again; it sleeps after about 150.
const int SETTLING_STEPS = 90;
const int STEPS_TO_SLEEP = 400;
// Centre height of a box in row 0 and the rise per row (metres; y grows downward), leaving a
// small drop for each row.
const float FIRST_ROW_Y = -0.75f;
const float ROW_HEIGHT = 1.25f;
const float BOX_SPACING = 1.3f;
// Of the ground and of every box, as the script below gives them.
const float FRICTION = 0.5f;

const char* const SCRIPT =
	"function world.update() end\n"
	"function world.removeBlocks() end\n"
	"function world.blockCollision() end\n"
	"function world.projectileCollision() end\n"
	"world.scoreTable = {blocks = {score = 0}}\n"
	"function buildPyramid(baseRow, topRow, firstY, rowHeight, spacing)\n"
	"  world.createBox('ground', '', 0, 1, 60, 2, 0, 0.5, 0, true, false, 0)\n"
	"  world.objects.world.ground.material = 'rock'\n"
	"  for row = 0, baseRow - topRow do\n"
	"    local count = baseRow - row\n"
	"    for i = 1, count do\n"
	"      local name = 'box' .. row .. '_' .. i\n"
	"      world.createBox(name, '', (i - (count + 1) / 2) * spacing, firstY - row * rowHeight, 1, 1, 1, 0.5, 0, true, false, 1)\n"
	"      world.objects.world[name].material = 'wood'\n"
	"    end\n"
	"  end\n"
	"end\n";

// The same pyramid in a bare physics world with the game world's settings.
std::unique_ptr<b2World> bareWorld()
{
	auto world = std::make_unique<b2World>(b2Vec2(0.0f, 20.0f));
	world->SetAllowSleeping(true);
	world->SetAutoClearForces(false);
	b2BodyDef groundDef;
	groundDef.position.Set(0.0f, 1.0f);
	groundDef.angularDamping = 1.0f;
	b2PolygonShape groundShape;
	groundShape.SetAsBox(30.0f, 1.0f);
	b2FixtureDef groundFixture;
	groundFixture.shape = &groundShape;
	groundFixture.friction = FRICTION;
	world->CreateBody(&groundDef)->CreateFixture(&groundFixture);
	b2PolygonShape boxShape;
	boxShape.SetAsBox(0.5f, 0.5f);
	for (int row = 0; row <= BASE_ROW - TOP_ROW; ++row)
	{
		const int count = BASE_ROW - row;
		for (int i = 1; i <= count; ++i)
		{
			b2BodyDef def;
			def.type = b2_dynamicBody;
			def.position.Set((static_cast<float>(i) - (count + 1) / 2.0f) * BOX_SPACING, FIRST_ROW_Y - row * ROW_HEIGHT);
			def.angularDamping = 1.0f;
			b2FixtureDef fixture;
			fixture.shape = &boxShape;
			fixture.density = 1.0f;
			fixture.friction = FRICTION;
			world->CreateBody(&def)->CreateFixture(&fixture);
		}
	}
	return world;
}

struct Worlds
{
	RecordingContext context;
	WorldTestOS os;
	WorldTestApp app{&os};
	// Declared before the world, which saves its settings here when it goes.
	TemporaryDocuments documents;
	lang::Ptr<lua::LuaState> lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, &context);
	lang::Ptr<GameLua> game = new GameLua(&app, res->getResources(), lua, &context);
	std::unique_ptr<b2World> bare;

	Worlds()
	{
		lua->globals().setTable("world", *game);
		runScript(*lua, SCRIPT);
		game->setPhysicsEnabled(true);
		build();
	}

	~Worlds()
	{
		game = nullptr;
		res = nullptr;
		lua = nullptr;
	}

	void build()
	{
		game->clearWorld();
		char call[128];
		std::snprintf(call, sizeof(call), "buildPyramid(%d, %d, %g, %g, %g)", BASE_ROW, TOP_ROW, FIRST_ROW_Y, ROW_HEIGHT, BOX_SPACING);
		runScript(*lua, call);
		bare = bareWorld();
	}

	void stepBoth()
	{
		bare->Step(STEP, 10, 10);
		bare->ClearForces();
		game->update(STEP);
	}
};

using Clock = std::chrono::steady_clock;

// Times one bare step and one game frame, interleaved; adds the seconds to the totals.
void timeBoth(Worlds& worlds, double& bareSeconds, double& gameSeconds)
{
	const Clock::time_point start = Clock::now();
	worlds.bare->Step(STEP, 10, 10);
	worlds.bare->ClearForces();
	const Clock::time_point middle = Clock::now();
	worlds.game->update(STEP);
	const Clock::time_point end = Clock::now();
	bareSeconds += std::chrono::duration<double>(middle - start).count();
	gameSeconds += std::chrono::duration<double>(end - middle).count();
}

void report(benchmark::State& state, double bareSeconds, double gameSeconds)
{
	const double frames = static_cast<double>(state.iterations());
	state.counters["bare_us"] = 1e6 * bareSeconds / frames;
	state.counters["game_us"] = 1e6 * gameSeconds / frames;
	state.counters["ratio"] = gameSeconds / bareSeconds;
}

void BM_PyramidSettling(benchmark::State& state)
{
	Worlds worlds;
	double bareSeconds = 0.0;
	double gameSeconds = 0.0;
	int steps = 0;
	for (auto _ : state)
	{
		if (steps++ == SETTLING_STEPS)
		{
			state.PauseTiming();
			worlds.build();
			steps = 1;
			state.ResumeTiming();
		}
		timeBoth(worlds, bareSeconds, gameSeconds);
	}
	report(state, bareSeconds, gameSeconds);
}
BENCHMARK(BM_PyramidSettling)->Iterations(2000);

void BM_PyramidAsleep(benchmark::State& state)
{
	Worlds worlds;
	for (int i = 0; i < STEPS_TO_SLEEP; ++i)
		worlds.stepBoth();
	if (worlds.game->getBoolean("hasAwakeObjects"))
		state.SkipWithError("the pyramid did not fall asleep");
	double bareSeconds = 0.0;
	double gameSeconds = 0.0;
	for (auto _ : state)
		timeBoth(worlds, bareSeconds, gameSeconds);
	report(state, bareSeconds, gameSeconds);
}
BENCHMARK(BM_PyramidAsleep)->Iterations(20000);

} // namespace
