#include "ParticleFiles.h"
#include <support/RecordingSceneContext.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ParticleSystemDescription.h>
#include <lang/Debug.h>
#include <io/IOException.h>
#include <lang/Float.h>
#include <gtest/gtest.h>
#include <cstring>

namespace
{

using hgr::ParticleSystem;

class ParticleSystemTest : public ::testing::Test
{
protected:
	ParticleFiles files;
	lang::Ptr<RecordingSceneContext> context = new RecordingSceneContext;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;

	lang::Ptr<ParticleSystem> load(const std::string& text = particleText())
	{
		return new ParticleSystem(context, files.write("fire.prt", text).c_str(), manager, "", "");
	}

	/** Puts one particle into a new emission, as a custom emitter would. */
	static ParticleSystem::Particle& addParticle(ParticleSystem* system, const math::float3& position, float size)
	{
		ParticleSystem::Emission emission;
		ParticleSystem::Particle particle;
		particle.position = position;
		particle.size = size;
		emission.particles.add(particle);
		system->emissions().add(emission);
		return system->emissions().last().particles.last();
	}

	/** The primitive the last draw used. */
	RecordingPrimitive& drawn()								{ return *context->primitives.back(); }

	template <class T, int N>
	void vertex(gr::VertexFormat::DataType type, int index, T (&out)[N])
	{
		unsigned char* data = nullptr;
		int pitch = 0;
		drawn().getVertexDataPtr(type, &data, &pitch);
		std::memcpy(out, data + index * pitch, sizeof(out));
	}
};

TEST_F(ParticleSystemTest, LoadingBindsTheTextureToTheShaderAndStartsEmpty)
{
	lang::Ptr<ParticleSystem> system = load();
	ASSERT_EQ(1u, context->shaders.size());
	EXPECT_EQ(system->description()->texture.ptr(), context->shaders[0]->textures["BASEMAP"]);
	EXPECT_EQ(hgr::Node::NODE_PARTICLESYSTEM, system->classId());
	EXPECT_EQ(0, system->emissions().size());
	EXPECT_EQ(-lang::Float::MAX_VALUE, system->timeSinceRender());
	EXPECT_EQ(math::float3(0.f, 1.f, 0.f), system->userNormalBasis().getColumn(2));
}

TEST_F(ParticleSystemTest, TextureAndShaderComeFromTheGivenDirectories)
{
	lang::Ptr<ParticleSystem> system = new ParticleSystem(context, files.write("fx/fire.prt", particleText()).c_str(), manager, "textures", "shaders");
	EXPECT_EQ((std::vector<std::string>{"textures/spark.png"}), context->createdTextures);
	EXPECT_EQ((std::vector<std::string>{"shaders/particle-add"}), context->createdShaders);
}

TEST_F(ParticleSystemTest, LargestLimitsLoadWithoutReservingTheirProduct)
{
	std::string text = particleText("systemMaxEmissions", "10922");
	text += "emissionMaxParticles = 10922\n";
	lang::Ptr<ParticleSystem> system = load(text);
	EXPECT_EQ(10922, system->description()->emissionMaxParticles);
	EXPECT_EQ(0, system->particleCount());
}

TEST_F(ParticleSystemTest, ParticleStorageReservedAtLoadOutlivesTheEmissions)
{
	lang::Ptr<ParticleSystem> system = load();
	for (int round = 0; round < 2; ++round)
	{
		system->emissions().resize(4);
		for (const ParticleSystem::Emission& emission : system->emissions())
			EXPECT_LE(16, emission.particles.capacity()) << "round " << round;
		system->restart();
	}
}

TEST_F(ParticleSystemTest, OverlongTextureDirectoryIsRefused)
{
	const std::string path = files.write("fire.prt", particleText());
	EXPECT_THROW(new ParticleSystem(context, path.c_str(), manager, std::string(300, 'd').c_str(), ""), io::IOException);
	EXPECT_TRUE(context->createdTextures.empty());
}

TEST_F(ParticleSystemTest, RenderIsDispatchedByDevicePlatform)
{
	const struct
	{
		int platform;
		int usage;
		gr::VertexFormat::DataType position;
		gr::VertexFormat::DataFormat positionFormat;
		int vertices;
		int indices;
	} cases[] = {
		{ParticleSystem::PLATFORM_PRETRANSFORMED, 2, gr::VertexFormat::DT_POSITIONT, gr::VertexFormat::DF_V4_32, 6, 0},
		{ParticleSystem::PLATFORM_CAMERASPACE_FIXED, 2, gr::VertexFormat::DT_POSITION, gr::VertexFormat::DF_V3_16, 4, 6},
		{ParticleSystem::PLATFORM_PROJECTED, -1, gr::VertexFormat::DT_POSITION, gr::VertexFormat::DF_V4_32, 6, 0},
	};
	lang::Ptr<ParticleSystem> system = load();
	addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f);
	for (const auto& c : cases)
	{
		context->platformValue = c.platform;
		context->primitives.clear();
		system->render(context, camera, 0);

		ASSERT_EQ(1u, context->primitives.size()) << c.platform;
		EXPECT_EQ(c.usage, drawn().usage) << c.platform;
		EXPECT_EQ(gr::Primitive::PRIM_TRI, drawn().type());
		EXPECT_EQ(c.positionFormat, drawn().vertexFormat().getDataFormat(c.position)) << c.platform;
		EXPECT_EQ(c.vertices, drawn().vertexRangeEnd()) << c.platform;
		EXPECT_EQ(c.indices, drawn().indexRangeEnd()) << c.platform;
		EXPECT_EQ(1, drawn().renders) << c.platform;
		EXPECT_EQ(0.f, system->timeSinceRender());
	}
}

TEST_F(ParticleSystemTest, OtherPlatformsOnlyPrintANotice)
{
	lang::Ptr<ParticleSystem> system = load();
	addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f);
	const bool wasEnabled = lang::Debug::isEnabled();
	lang::Debug::setEnabled(true);
	::testing::internal::CaptureStderr();
	system->render(context, camera, 0);
	const std::string printed = ::testing::internal::GetCapturedStderr();
	lang::Debug::setEnabled(wasEnabled);

	EXPECT_EQ("Particle systems used but ParticleSystem::render() not implemented on this platform!\n", printed);
	EXPECT_TRUE(context->primitives.empty());
}

TEST_F(ParticleSystemTest, OtherShaderPriorityDrawsNothingAndKeepsTheState)
{
	context->shaderPriority = 1;
	lang::Ptr<ParticleSystem> system = load();
	addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f);
	context->platformValue = ParticleSystem::PLATFORM_PROJECTED;
	system->render(context, camera, 0);
	EXPECT_TRUE(context->primitives.empty());
	EXPECT_EQ(-lang::Float::MAX_VALUE, system->timeSinceRender());
}

TEST_F(ParticleSystemTest, ParticlesNearerThanTheFrontPlaneAreSkipped)
{
	lang::Ptr<ParticleSystem> system = load();
	const float nearLimit = camera->front() + 0.00001f;
	addParticle(system, math::float3(0.f, 0.f, nearLimit), 1.f);
	addParticle(system, math::float3(0.f, 0.f, camera->front()), 1.f);
	for (int platform : {ParticleSystem::PLATFORM_PROJECTED, ParticleSystem::PLATFORM_CAMERASPACE_FIXED})
	{
		context->platformValue = platform;
		system->render(context, camera, 0);
		EXPECT_EQ(platform == ParticleSystem::PLATFORM_PROJECTED ? 6 : 4, drawn().vertexRangeEnd()) << platform;
	}
}

TEST_F(ParticleSystemTest, ScreenQuadsAreSquareInPixelsWithClampedColourAndFrameCoordinates)
{
	lang::Ptr<ParticleSystem> system = load();
	ParticleSystem::Particle& p = addParticle(system, math::float3(0.5f, 0.f, 1.f), 2.f);
	p.colour = math::float3(1.5f, 0.5f, -0.2f);
	p.alpha = 1.f;
	p.frame = 3;

	// Identity projection on a 1024 x 768 viewport: half size 1 is 512 pixels, 1 + 1/3 in y.
	context->platformValue = ParticleSystem::PLATFORM_PROJECTED;
	system->render(context, camera, 0);
	float position[4];
	vertex(gr::VertexFormat::DT_POSITION, 0, position);
	EXPECT_FLOAT_EQ(-0.5f, position[0]);
	EXPECT_FLOAT_EQ(0.f + 512.f / 384.f, position[1]);
	EXPECT_FLOAT_EQ(1.f, position[2]);
	EXPECT_FLOAT_EQ(1.f, position[3]);
	unsigned int colour[1];
	vertex(gr::VertexFormat::DT_DIFFUSE, 5, colour);
	EXPECT_EQ(0xFFFF7F00u, colour[0]);
	float uv[2];
	vertex(gr::VertexFormat::DT_TEX0, 2, uv);
	EXPECT_EQ(1.f, uv[0]);
	EXPECT_EQ(1.f, uv[1]);
	vertex(gr::VertexFormat::DT_TEX0, 5, uv);
	EXPECT_EQ(0.5f, uv[0]);
	EXPECT_EQ(1.f, uv[1]);

	// The same quad in viewport pixels, y growing downwards.
	context->platformValue = ParticleSystem::PLATFORM_PRETRANSFORMED;
	system->render(context, camera, 0);
	vertex(gr::VertexFormat::DT_POSITIONT, 0, position);
	EXPECT_FLOAT_EQ(256.f, position[0]);
	EXPECT_FLOAT_EQ(384.f - 512.f, position[1]);
	vertex(gr::VertexFormat::DT_POSITIONT, 2, position);
	EXPECT_FLOAT_EQ(1280.f, position[0]);
	EXPECT_FLOAT_EQ(384.f + 512.f, position[1]);

	// A quarter-turned device swaps the half viewport sizes: 384 pixels across, 0.75 upwards.
	context->orientationValue = gr::Context::ORIENTATION_90;
	context->platformValue = ParticleSystem::PLATFORM_PROJECTED;
	system->render(context, camera, 0);
	vertex(gr::VertexFormat::DT_POSITION, 0, position);
	EXPECT_FLOAT_EQ(-0.5f, position[0]);
	EXPECT_FLOAT_EQ(0.75f, position[1]);
}

TEST_F(ParticleSystemTest, WorldUpSpritesStayUprightUnderARolledCamera)
{
	lang::Ptr<ParticleSystem> system = load(particleText("textureView", "WORLDUP"));
	addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f);
	camera->setTransform(math::float3x4(math::float3x3(math::float3(0.f, 0.f, 1.f), 0.5f), math::float3()));
	context->platformValue = ParticleSystem::PLATFORM_PROJECTED;
	system->render(context, camera, 0);

	// The sprite's top edge midpoint (between the first two vertices) lies from its centre
	// (between the first and third) along the world's up axis as the camera sees it.
	float v0[4], v1[4], v2[4];
	vertex(gr::VertexFormat::DT_POSITION, 0, v0);
	vertex(gr::VertexFormat::DT_POSITION, 1, v1);
	vertex(gr::VertexFormat::DT_POSITION, 2, v2);
	const math::float2 top(((v0[0] + v1[0]) - (v0[0] + v2[0])) * 0.5f * 512.f, ((v0[1] + v1[1]) - (v0[1] + v2[1])) * 0.5f * 384.f);
	const math::float3x4 world = camera->worldTransform();
	const math::float2 up(world.getColumn(0).y, world.getColumn(1).y);
	EXPECT_NEAR(0.f, top.x * up.y - top.y * up.x, 1e-3f * 512.f);
	EXPECT_GT(top.x * up.x + top.y * up.y, 0.f);
}

TEST_F(ParticleSystemTest, CameraSpaceQuadsAreFixedPointWithSharedCorners)
{
	lang::Ptr<ParticleSystem> system = load();
	addParticle(system, math::float3(10.f, 20.f, 30.f), 4.f).frame = 1;
	context->platformValue = ParticleSystem::PLATFORM_CAMERASPACE_FIXED;
	system->render(context, camera, 0);

	const short expected[4][5] = {
		{8, 22, 30, 2048, 0}, {12, 22, 30, 4096, 0}, {12, 18, 30, 4096, 2048}, {8, 18, 30, 2048, 2048}};
	for (int i = 0; i < 4; ++i)
	{
		short position[3];
		short uv[2];
		vertex(gr::VertexFormat::DT_POSITION, i, position);
		vertex(gr::VertexFormat::DT_TEX0, i, uv);
		EXPECT_EQ((std::vector<short>(expected[i], expected[i] + 5)), (std::vector<short>{position[0], position[1], position[2], uv[0], uv[1]})) << i;
	}
	int indices[6];
	drawn().getIndices(0, indices, 6);
	EXPECT_EQ((std::vector<int>{0, 2, 1, 0, 3, 2}), std::vector<int>(indices, indices + 6));
	EXPECT_EQ(1, context->shaders[0]->begins);
	EXPECT_EQ(math::float4x4(1.f), context->shaders[0]->matrices[gr::Shader::PARAM_VIEWTM]);
}

TEST_F(ParticleSystemTest, SimulationHonoursTheLimitsAndRetiresEverything)
{
	lang::Ptr<ParticleSystem> system = load(particleText("emissionRate", "CONSTANT 100"));
	for (int step = 0; step < 10; ++step)
	{
		system->update(0.1f);
		EXPECT_LE(system->emissions().size(), 4);
		for (const ParticleSystem::Emission& emission : system->emissions())
			EXPECT_LE(emission.particles.size(), 16);
	}
	EXPECT_EQ(16, system->emissions().first().particles.size());
	const ParticleSystem::Particle& p = system->emissions().first().particles.first();
	EXPECT_LT(p.alpha, 1.f);
	EXPECT_GT(p.size, 1.f);
	EXPECT_EQ(1.f, p.colour.x);
	EXPECT_LT(p.colour.z, 1.f);

	// No emission outlives its life time of 3 s; the system rate starts new ones meanwhile.
	lang::Ptr<ParticleSystem> stopped = load(particleText("systemStopTime", "CONSTANT 0.5"));
	for (int step = 0; step < 50; ++step)
		stopped->update(0.1f);
	EXPECT_EQ(0, stopped->particleCount());
	EXPECT_EQ(0, stopped->emissions().size());
}

TEST_F(ParticleSystemTest, UndrawnSystemPausesUnlessAskedToUpdateAlways)
{
	for (const char* always : {"false", "true"})
	{
		lang::Ptr<ParticleSystem> system = load(particleText("particleUpdateAlways", always));
		addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f).lifeTime = 100.f;
		context->platformValue = ParticleSystem::PLATFORM_PROJECTED;
		system->render(context, camera, 0);
		for (int step = 0; step < 3; ++step)
			system->update(0.6f);
		EXPECT_FLOAT_EQ(std::strcmp(always, "true") == 0 ? 1.8f : 0.6f, system->time()) << always;
	}
}

TEST_F(ParticleSystemTest, CopyStartsAfreshSharingTheDescription)
{
	lang::Ptr<ParticleSystem> system = load();
	addParticle(system, math::float3(0.f, 0.f, 5.f), 1.f);
	lang::Ptr<hgr::Node> copy = system->clone();
	const ParticleSystem* particles = static_cast<const ParticleSystem*>(copy.ptr());
	EXPECT_EQ(system->description(), particles->description());
	EXPECT_EQ(0, particles->particleCount());
	EXPECT_EQ(hgr::Node::NODE_PARTICLESYSTEM, copy->classId());
}

} // namespace
