// A particle system of 4 emissions with up to 1024 particles each: one simulation step, and one
// frame of camera-facing quads built on the CPU for each renderer, against a recording device.
#include <support/RecordingSceneContext.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

const char* const PARTICLES =
	"systemMaxEmissions = 4\n systemRate = CONSTANT 1000\n systemStopTime = CONSTANT 0\n systemLifeTime = CONSTANT 0\n"
	"emissionMaxParticles = 1024\n emissionRate = CONSTANT 100000\n emissionStopTime = CONSTANT 0\n emissionLifeTime = CONSTANT 0\n"
	"emissionPosition = BOX -5 -5 20 5 5 30\n particleLifeTime = CONSTANT 1000\n particleStartVelocity = BOX -1 -1 -1 1 1 1\n"
	"particleStartPosition = SPHERE 0 0 0 1 0\n particleStartSize = RANGE 0.5 1\n particleEndSize = CONSTANT 2\n"
	"particleStartAlpha = CONSTANT 1\n particleEndAlpha = CONSTANT 0\n particleStartColor = POINT 1 1 1\n particleEndColor = POINT 1 0.5 0\n"
	"particleSpriteElasticity = CONSTANT 0\n particleSpriteRotation = RANGE 0 6\n particleSpriteStartRotationSpeed = CONSTANT 1\n"
	"particleSpriteEndRotationSpeed = CONSTANT 0\n gravity = 1\n wind = 0 0 0\n textureFrameRate = 10\n textureFrames = 16\n"
	"textureName = spark.png\n shaderName = add\n textureAnimation = LOOP\n textureView = WORLDUP\n"
	"emissionLimitKill = OLDEST\n systemLimitKill = OLDEST\n particleUpdateAlways = true\n";

/** A full system, loaded once from a temporary file. */
struct Fixture
{
	lang::Ptr<RecordingSceneContext> context = new RecordingSceneContext;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	lang::Ptr<hgr::ParticleSystem> system;

	Fixture()
	{
		const std::string path = "/tmp/bench_particles_" + std::to_string(getpid()) + ".prt";
		FILE* file = std::fopen(path.c_str(), "wb");
		std::fputs(PARTICLES, file);
		std::fclose(file);
		lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
		system = new hgr::ParticleSystem(context, path.c_str(), manager, "", "");
		std::remove(path.c_str());
		system->update(0.1f);
	}
};

Fixture& fixture()
{
	static Fixture f;
	return f;
}

void BM_ParticleUpdate(benchmark::State& state)
{
	Fixture& f = fixture();
	for (auto _ : state)
		f.system->update(1.f / 60.f);
	state.SetItemsProcessed(state.iterations() * f.system->particleCount());
}
BENCHMARK(BM_ParticleUpdate);

void BM_ParticleRender(benchmark::State& state)
{
	Fixture& f = fixture();
	f.context->platformValue = static_cast<int>(state.range(0));
	for (auto _ : state)
	{
		f.system->render(f.context, f.camera, 0);
		// The device's pooled primitives are recorded per request; keep the record from growing.
		if (f.context->primitives.size() > 1 && f.context->platformValue == hgr::ParticleSystem::PLATFORM_PROJECTED)
			f.context->primitives.clear();
	}
	state.SetItemsProcessed(state.iterations() * f.system->particleCount());
}
BENCHMARK(BM_ParticleRender)
	->Arg(hgr::ParticleSystem::PLATFORM_PRETRANSFORMED)
	->Arg(hgr::ParticleSystem::PLATFORM_CAMERASPACE_FIXED)
	->Arg(hgr::ParticleSystem::PLATFORM_PROJECTED);

} // namespace
