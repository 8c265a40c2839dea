// A pyramid of 200 boxes on static ground: one frame of the game world (a physics step plus its
// own bookkeeping and the callbacks into a script that does nothing) against a bare physics step
// of the same bodies, timed side by side in one run, while the pyramid settles and once it
// sleeps. The counter "ratio" is game frame time over bare step time.
#include "PyramidScene.h"
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
// Rows of 20 boxes down to 5: 200 boxes of 1 m, 1 kg/m^2, each row's centre 1.25 m above the one
// below (y grows downward), leaving a small drop for each row.
const PyramidScene PYRAMID{20, 5, -0.75f, 1.25f, 1.3f};
// Steps the pyramid is timed while settling before it is built again; it sleeps after about 150.
const int SETTLING_STEPS = 90;
const int STEPS_TO_SLEEP = 400;

const char* const SCRIPT =
	"function world.update() end\n"
	"function world.removeBlocks() end\n"
	"function world.blockCollision() end\n"
	"function world.projectileCollision() end\n"
	"world.scoreTable = {blocks = {score = 0}}\n";

// The same pyramid in a bare physics world with the game world's settings.
std::unique_ptr<b2World> bareWorld()
{
	std::unique_ptr<b2World> world = PyramidScene::bareWorld();
	PyramidScene::addBox(*world, 0.0f, 1.0f, 60.0f, 2.0f, 0.0f);
	PYRAMID.addBoxes(*world, [](b2Body*) {});
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
		runScript(*lua, PyramidScene::BUILD_PYRAMID);
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
		runScript(*lua, "world.createBox('ground', '', 0, 1, 60, 2, 0, 0.5, 0, true, false, 0)"
			" world.objects.world.ground.material = 'rock'");
		runScript(*lua, PYRAMID.scriptCall("world", "").c_str());
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
