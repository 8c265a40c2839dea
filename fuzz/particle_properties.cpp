// Particle property files through the loader, the simulation and every renderer, against a
// recording device turned to every orientation. Malformed files must fail with exceptions only.
#include "../tests/support/RecordingSceneContext.h"
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ParticleSystemDescription.h>
#include <lang/Throwable.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

/** Most particles a fuzzed system may hold, so that large but valid limits stay fast. */
const long long MAX_SIMULATED_PARTICLES = 4096;
/** Simulation steps per input, in seconds each. */
const int STEPS = 4;
const float STEP = 0.25f;
/** Quarter turns of the screen. */
const int ORIENTATIONS = 4;

/** The file each input is written to for the loader to open; removed when the process ends. */
struct InputFile
{
	const std::string path = "/tmp/fuzz_particle_properties_" + std::to_string(getpid()) + ".prt";
	~InputFile()											{ std::remove(path.c_str()); }
};

const std::string& inputPath()
{
	static const InputFile file;
	return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	FILE* file = std::fopen(inputPath().c_str(), "wb");
	if (!file)
		return 0;
	std::fwrite(data, 1, size, file);
	std::fclose(file);

	lang::Ptr<RecordingSceneContext> context = new RecordingSceneContext;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	// Back from the origin, where the seeds emit, so that their particles are drawn.
	camera->setTransform(math::float3x4(math::float3x3(1.f), math::float3(0.f, 0.f, -10.f)));
	try
	{
		lang::Ptr<hgr::ParticleSystem> system = manager->getParticleSystem(inputPath().c_str(), "", "");
		const hgr::ParticleSystem::Description& d = *system->description();
		if (static_cast<long long>(d.systemMaxEmissions) * d.emissionMaxParticles > MAX_SIMULATED_PARTICLES)
			return 0;
		lang::Ptr<hgr::ParticleSystem> copy = manager->getParticleSystem(inputPath().c_str(), "", "");
		for (int step = 0; step < STEPS; ++step)
		{
			// Each step turns the screen a further quarter, which swaps the viewport's axes every other step.
			context->setOrientation(static_cast<gr::Context::OrientationType>(step % ORIENTATIONS));
			system->update(STEP);
			for (int platform : {0, 1, 4, 5})
			{
				context->platformValue = platform;
				system->render(context, camera, 0);
			}
		}
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
