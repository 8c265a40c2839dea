#include "ParticleFiles.h"
#include <support/RecordingSceneContext.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Globals.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ParticleSystemDescription.h>
#include <io/IOException.h>
#include <lang/GlobalStorage.h>
#include <gtest/gtest.h>

namespace
{

class ResourceManagerTest : public ::testing::Test
{
protected:
	lang::Ptr<RecordingSceneContext> context = new RecordingSceneContext;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);

	void TearDown() override								{ hgr::Globals::cleanup(); }
};

/** A manager that counts its live instances, to show when the holder releases it. */
class CountedManager : public hgr::DefaultResourceManager
{
public:
	static int& live()										{ static int count = 0; return count; }
	explicit CountedManager(gr::Context* context) : hgr::DefaultResourceManager(context)	{ ++live(); }
	~CountedManager() override								{ --live(); }
};

TEST_F(ResourceManagerTest, TextureIsCreatedOncePerName)
{
	gr::Texture* first = manager->getTexture("images/a.png");
	EXPECT_EQ(first, manager->getTexture("images/a.png"));
	EXPECT_NE(first, manager->getTexture("images/b.png"));
	EXPECT_EQ((std::vector<std::string>{"images/a.png", "images/b.png"}), context->createdTextures);
}

TEST_F(ResourceManagerTest, FailedTextureIsTriedAgainOnTheNextRequest)
{
	context->missingFiles.insert("late.png");
	EXPECT_THROW(manager->getTexture("late.png"), io::IOException);
	context->missingFiles.clear();
	EXPECT_NE(nullptr, manager->getTexture("late.png"));
}

TEST_F(ResourceManagerTest, EveryShaderRequestCreatesANewShader)
{
	lang::Ptr<gr::Shader> first = manager->getShader("shaders/add", 0);
	lang::Ptr<gr::Shader> second = manager->getShader("shaders/add", 0);
	EXPECT_NE(first, second);
	EXPECT_EQ(2u, context->createdShaders.size());
}

TEST_F(ResourceManagerTest, TextureSystemSuffixReplacesTheExtension)
{
	const struct
	{
		const char* suffix;
		const char* name;
		const char* expected;
	} cases[] = {
		{"", "images/a.png", "images/a.png"},
		{"_etc.ntx", "images/a.png", "images/a_etc.ntx"},
		{"_etc.ntx", "a.pn", "a.pn"},
		{"_etc.ntx", "ab.png", "ab_etc.ntx"},
	};
	for (const auto& c : cases)
	{
		manager->setTextureSystemSuffix(c.suffix);
		EXPECT_STREQ(c.expected, manager->getTextureSystemFilename(c.name).c_str()) << c.suffix << " " << c.name;
	}
}

TEST_F(ResourceManagerTest, SameBaseNameGivesACopyOfTheFirstTemplate)
{
	ParticleFiles files;
	const std::string first = files.write("fx/fire.prt", particleText());
	const std::string other = files.write("other/fire.txt", particleText("textureFrames", "9"));

	lang::Ptr<hgr::ParticleSystem> a = manager->getParticleSystem(first.c_str(), "", "");
	lang::Ptr<hgr::ParticleSystem> b = manager->getParticleSystem(other.c_str(), "", "");
	lang::Ptr<hgr::ParticleSystem> c = manager->getParticleSystem(first.c_str(), "", "");

	EXPECT_NE(a, b);
	EXPECT_NE(b, c);
	EXPECT_EQ(a->description(), b->description());
	EXPECT_EQ(4, b->description()->textureFrames);
	EXPECT_EQ((std::vector<std::string>{files.root() + "/fx/spark.png"}), context->createdTextures);
	EXPECT_EQ((std::vector<std::string>{files.root() + "/fx/particle-add"}), context->createdShaders);
}

TEST_F(ResourceManagerTest, InstalledManagerIsKeptWhateverTheDevice)
{
	hgr::DefaultResourceManager::set(manager);
	lang::Ptr<RecordingSceneContext> otherDevice = new RecordingSceneContext;
	EXPECT_EQ(manager.ptr(), hgr::DefaultResourceManager::get(otherDevice));
}

TEST_F(ResourceManagerTest, GetCreatesAManagerWhenNoneIsInstalled)
{
	hgr::ResourceManager* created = hgr::DefaultResourceManager::get(context);
	ASSERT_NE(nullptr, created);
	EXPECT_EQ(created, hgr::Globals::get()->resourceManager.ptr());
	EXPECT_EQ(created, hgr::DefaultResourceManager::get(context));
}

TEST_F(ResourceManagerTest, UninstallingAndCleanupReleaseTheManager)
{
	hgr::DefaultResourceManager::set(new CountedManager(context));
	EXPECT_EQ(1, CountedManager::live());
	hgr::DefaultResourceManager::set(nullptr);
	EXPECT_EQ(0, CountedManager::live());
	EXPECT_EQ(nullptr, hgr::Globals::get()->resourceManager.ptr());

	hgr::DefaultResourceManager::set(new CountedManager(context));
	hgr::Globals::cleanup();
	EXPECT_EQ(0, CountedManager::live());
	EXPECT_EQ(nullptr, lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_SCENE_GLOBALS]);
	hgr::Globals::cleanup();
	EXPECT_EQ(nullptr, hgr::Globals::get());
}

} // namespace
