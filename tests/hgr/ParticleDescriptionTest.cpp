#include "ParticleFiles.h"
#include <hgr/ParticleSystemDescription.h>
#include <io/ByteArrayInputStream.h>
#include <io/IOException.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace
{

using Description = hgr::ParticleSystem::Description;

/** A stream that promises more bytes than it delivers. */
class ShortStream : public io::InputStream
{
public:
	int read(void* data, int size) override					{ return 0; }
	bool seek(int, SeekMode) override						{ return false; }
	int available() const override							{ return 100; }
	lang::String toString() const override					{ return "short.prt"; }
};

lang::Ptr<Description> readText(const std::string& text)
{
	lang::Ptr<Description> d = new Description;
	io::ByteArrayInputStream in(text.data(), static_cast<int>(text.size()));
	d->read(&in);
	return d;
}

/** The message of the IOException that reading the text throws, or "" when none is thrown. */
std::string readFailure(const std::string& text)
{
	try
	{
		readText(text);
	}
	catch (const io::IOException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "";
}

std::string checkFailure(const Description& d)
{
	try
	{
		d.check("fx/fire.prt");
	}
	catch (const io::IOException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "";
}

void setConstant(math::Domain& domain, float value)
{
	domain.setType(math::Domain::CONSTANT);
	domain.setParameter(0, value);
}

TEST(ParticleDescriptionTest, ReadsEveryKeyWithTheOptionalOnesDefaulted)
{
	lang::Ptr<Description> d = readText(particleText());
	EXPECT_EQ(4, d->systemMaxEmissions);
	EXPECT_EQ(16, d->emissionMaxParticles);
	EXPECT_EQ(math::Domain::RANGE, d->particleLifeTime.type());
	EXPECT_EQ(2.f, d->particleLifeTime.getParameter(1));
	EXPECT_EQ(math::Domain::BOX, d->particleStartVelocity.type());
	EXPECT_EQ(-1.f, d->particleStartVelocity.getParameter(0));
	EXPECT_FLOAT_EQ(9.8f, d->gravity);
	EXPECT_STREQ("spark.png", d->textureName.c_str());
	EXPECT_STREQ("particle-add", d->shaderName.c_str());
	EXPECT_EQ(hgr::ParticleSystem::ANIMATION_LOOP, d->textureAnimation);
	EXPECT_EQ(hgr::ParticleSystem::VIEW_CAMERAUP, d->view);
	EXPECT_EQ(hgr::ParticleSystem::KILL_OLDEST, d->emissionLimitKill);
	EXPECT_EQ(hgr::ParticleSystem::KILL_NONE, d->systemLimitKill);
	EXPECT_FALSE(d->particleAlignedToUserNormal);
	EXPECT_EQ(math::float3(0.f, 1.f, 0.f), d->particleUserNormal);
	EXPECT_EQ("", checkFailure(*d));

	lang::Ptr<Description> aligned = readText(particleText() + "particleAlignedToUserNormal = true\nparticleUserNormal = 0 0 -1\n");
	EXPECT_TRUE(aligned->particleAlignedToUserNormal);
	EXPECT_EQ(math::float3(0.f, 0.f, -1.f), aligned->particleUserNormal);
}

TEST(ParticleDescriptionTest, FileLargerThanTheScratchArenaIsRead)
{
	lang::Ptr<Description> d = readText("padding = " + std::string(70000, 'x') + "\n" + particleText());
	EXPECT_EQ(4, d->systemMaxEmissions);
}

TEST(ParticleDescriptionTest, DomainTypeWordIsAcceptedInAnyCase)
{
	lang::Ptr<Description> d = readText(particleText("systemRate", "range 1 3 trailing words"));
	EXPECT_EQ(math::Domain::RANGE, d->systemRate.type());
	EXPECT_EQ(3.f, d->systemRate.getParameter(1));
}

TEST(ParticleDescriptionTest, MalformedOrMissingValuesFailNamingTheKey)
{
	const struct
	{
		const char* key;
		const char* value;
		const char* message;
	} cases[] = {
		{"systemRate", "RANGE 1", "Failed to parse value domain systemrate in file ByteArrayInputStream"},
		{"systemRate", "RANGE 1 x", "Failed to parse value domain systemrate in file ByteArrayInputStream"},
		{"systemRate", "POINT 1 2", "Failed to parse value domain systemrate in file ByteArrayInputStream"},
		{"systemRate", "SQUARE 1", "Invalid value domain type string in variable systemrate in file ByteArrayInputStream"},
		{"systemRate", ";", "Failed to value domain type string from variable systemrate in file ByteArrayInputStream"},
		{"wind", "1 2", "Failed to parse 3-vector wind in file ByteArrayInputStream"},
		{"textureView", "SIDEWAYS", "Failed to read ViewType textureview from ByteArrayInputStream"},
		{"textureAnimation", "loop", "Failed to read AnimationType textureanimation from ByteArrayInputStream"},
		{"systemLimitKill", "ALL", "Failed to read KillType systemlimitkill from ByteArrayInputStream"},
		{"systemRate", nullptr, "Failed to parse value domain, no key systemrate in \"ByteArrayInputStream\""},
		{"wind", nullptr, "Failed to parse 3-vector, no key wind in \"ByteArrayInputStream\""},
		{"textureView", nullptr, "Failed to parse ViewType, no key textureview in \"ByteArrayInputStream\""},
		{"textureName", nullptr, "Failed to parse name, no key texturename in \"ByteArrayInputStream\""},
		{"shaderName", nullptr, "Failed to parse name, no key shadername in \"ByteArrayInputStream\""},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.message, readFailure(particleText(c.key, c.value))) << c.key << " = " << (c.value ? c.value : "(missing)");
}

TEST(ParticleDescriptionTest, UnknownViewWordStoresTheInvalidValue)
{
	Description d;
	const std::string text = particleText("textureView", "SIDEWAYS");
	io::ByteArrayInputStream in(text.data(), static_cast<int>(text.size()));
	EXPECT_THROW(d.read(&in), io::IOException);
	EXPECT_EQ(hgr::ParticleSystem::VIEW_INVALID, d.view);
}

TEST(ParticleDescriptionTest, StreamEndingEarlyFails)
{
	Description d;
	ShortStream in;
	try
	{
		d.read(&in);
		FAIL() << "no exception";
	}
	catch (const io::IOException& e)
	{
		EXPECT_STREQ("Failed to read particle system short.prt", e.getMessage().format().c_str());
	}
}

TEST(ParticleDescriptionTest, CheckEnforcesEachRuleWithItsMessage)
{
	const struct
	{
		const char* what;
		std::function<void(Description&)> change;
		const char* message;
	} cases[] = {
		{"valid", [](Description&) {}, ""},
		{"max emissions at limit", [](Description& d) { d.systemMaxEmissions = 10922; }, ""},
		{"max emissions above", [](Description& d) { d.systemMaxEmissions = 10923; },
			"Invalid value in \"fx/fire.prt\": SystemMaxEmissions=10923 (out-of-range, max is 10922)"},
		{"max emissions zero", [](Description& d) { d.systemMaxEmissions = 0; },
			"Invalid value in \"fx/fire.prt\": SystemMaxEmissions=0 (out-of-range, max is 10922)"},
		{"system kill", [](Description& d) { d.systemLimitKill = hgr::ParticleSystem::KILL_INVALID; },
			"Invalid value  in \"fx/fire.prt\": systemLimitKill invalid"},
		{"max particles at limit", [](Description& d) { d.emissionMaxParticles = 10922; }, ""},
		{"max particles above", [](Description& d) { d.emissionMaxParticles = 10923; },
			"Invalid value in \"fx/fire.prt\": MaxParticles=10923 (out-of-range, max is 10922)"},
		{"max particles zero", [](Description& d) { d.emissionMaxParticles = 0; },
			"Invalid value in \"fx/fire.prt\": MaxParticles=0 (out-of-range, max is 10922)"},
		{"emission kill", [](Description& d) { d.emissionLimitKill = hgr::ParticleSystem::KILL_INVALID; },
			"Invalid value  in \"fx/fire.prt\": emissionLimitKill invalid"},
		{"constant 0 elasticity with rotation", [](Description& d) { setConstant(d.particleSpriteRotation, 1.f); }, ""},
		{"elasticity without rotation", [](Description& d) { setConstant(d.particleSpriteElasticity, 2.f); }, ""},
		{"elasticity with rotation", [](Description& d) { setConstant(d.particleSpriteElasticity, 2.f); setConstant(d.particleSpriteRotation, 1.f); },
			"Invalid combination in \"fx/fire.prt\": Sprite rotation and elasticity are mutually exclusive"},
		{"elasticity with rotation speed", [](Description& d) { setConstant(d.particleSpriteElasticity, 2.f); d.particleSpriteStartRotationSpeed.setType(math::Domain::RANGE); },
			"Invalid combination in \"fx/fire.prt\": Sprite rotation and elasticity are mutually exclusive"},
		{"elasticity aligned", [](Description& d) { setConstant(d.particleSpriteElasticity, 2.f); d.particleAlignedToUserNormal = true; },
			"Invalid combination in \"fx/fire.prt\": particleAlignedToUserNormal and elasticity are mutually exclusive"},
		{"frame rate 100", [](Description& d) { d.textureFrameRate = 100.f; }, ""},
		{"frame rate 100.5", [](Description& d) { d.textureFrameRate = 100.5f; },
			"Invalid value in \"fx/fire.prt\": textureFrameRate=100.5 (out-of-range 0-100)"},
		{"frame rate negative", [](Description& d) { d.textureFrameRate = -1.f; },
			"Invalid value in \"fx/fire.prt\": textureFrameRate=-1 (out-of-range 0-100)"},
		{"frame rate not a number", [](Description& d) { d.textureFrameRate = NAN; },
			"Invalid value in \"fx/fire.prt\": textureFrameRate=nan (out-of-range 0-100)"},
		{"one frame", [](Description& d) { d.textureFrames = 1; }, ""},
		{"eight frames", [](Description& d) { d.textureFrames = 8; },
			"Invalid value in \"fx/fire.prt\": TextureFrames=8 (not square of integer)"},
		{"no frames", [](Description& d) { d.textureFrames = 0; },
			"Invalid value in \"fx/fire.prt\": TextureFrames=0 (not square of integer)"},
		{"too many frames", [](Description& d) { d.textureFrames = 257 * 257; },
			"Invalid value in \"fx/fire.prt\": TextureFrames=66049 (out-of-range, max is 65536)"},
		{"animation", [](Description& d) { d.textureAnimation = hgr::ParticleSystem::ANIMATION_INVALID; },
			"Invalid value  in \"fx/fire.prt\": textureAnimation invalid"},
		{"view", [](Description& d) { d.view = hgr::ParticleSystem::VIEW_INVALID; },
			"Invalid value  in \"fx/fire.prt\": particleView invalid"},
	};
	for (const auto& c : cases)
	{
		lang::Ptr<Description> d = readText(particleText());
		c.change(*d);
		EXPECT_EQ(c.message, checkFailure(*d)) << c.what;
	}
}

TEST(ParticleDescriptionTest, TextureFramesFormASquareGrid)
{
	const struct
	{
		int frames;
		float size;
		int frame;
		float u;
		float v;
	} cases[] = {
		{1, 1.f, 0, 0.f, 0.f},
		{16, 0.25f, 5, 0.25f, 0.25f},
		{16, 0.25f, 15, 0.75f, 0.75f},
		{9, 1.f / 3.f, 7, 1.f / 3.f, 2.f / 3.f},
	};
	for (const auto& c : cases)
	{
		Description d;
		d.textureFrames = c.frames;
		d.computeTextureFrames();
		EXPECT_EQ(2 * c.frames, d.textureFrameOffsets.size());
		EXPECT_FLOAT_EQ(c.size, d.textureFrameSize);
		EXPECT_FLOAT_EQ(c.u, d.textureFrameOffsets[2 * c.frame]) << c.frames << " frames, frame " << c.frame;
		EXPECT_FLOAT_EQ(c.v, d.textureFrameOffsets[2 * c.frame + 1]) << c.frames << " frames, frame " << c.frame;
	}
}

} // namespace
