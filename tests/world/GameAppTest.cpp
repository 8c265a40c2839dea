#include "WorldFixture.h"
#include "io/IoTestSupport.h"
#include <framework/App.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <io/FileInputStream.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <pf/OrientationObserver.h>
#include <world/GameApp.h>
#include <filesystem>
#include <memory>

namespace {

/** A data directory and a documents directory for one game application, with the path strings aimed at them. */
class GameAppFiles : public ::testing::Test
{
protected:
	RecordingContext context;
	WorldTestOS os;
	iotest::TemporaryDirectory directory;

	GameAppFiles()
	{
		framework::App::Configuration config;
		framework::configure(config, os);
		GameApp::s_datapath = lang::String(dataFile("").c_str());
		std::filesystem::create_directories(dataFile("scripts/gamecenter/ipad"));
		std::filesystem::create_directories(documentsFile(""));
		io::AppDataInputStream::setRootPath(documentsFile("").c_str());
		io::AppDataOutputStream::setRootPath(documentsFile("").c_str());
	}

	~GameAppFiles() override
	{
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
	}

	std::string dataFile(const std::string& name) const			{ return directory.file("data/" + name); }
	std::string documentsFile(const std::string& name) const		{ return directory.file("documents/" + name); }
};

TEST_F(GameAppFiles, ConfigureAsksForTheTabletScreenAndTheDataFolders)
{
	framework::App::Configuration config;
	gCurrentOrientation = 0;
	framework::configure(config, os);
	EXPECT_EQ(768, config.width);
	EXPECT_EQ(1024, config.height);
	EXPECT_EQ(1, config.orientation);
	EXPECT_TRUE(config.fullscreen);
	EXPECT_EQ(1, gCurrentOrientation);
	EXPECT_EQ(60, config.framerate);
	const std::pair<const lang::String*, const char*> paths[] = {
		{&GameApp::s_datapath, "data_ipad"}, {&GameApp::s_imagePath, "images"}, {&GameApp::s_fontPath, "fonts"},
		{&GameApp::s_audioPath, "audio"}, {&GameApp::s_localizationPath, "localization"},
		{&GameApp::s_levelPath, "levels"}, {&GameApp::s_scriptPath, "scripts"}, {&GameApp::s_deviceModel, "ipad"},
	};
	for (const auto& path : paths)
		EXPECT_STREQ(path.second, path.first->c_str());
}

// The data holds no start-up callback, so start-up fails at the start-up assets, after the
// bundle, the game world and the scripts have been made.
TEST_F(GameAppFiles, AFailingStartUpReleasesWhatItBuiltAndThrows)
{
	iotest::writeFile(dataFile("bundleIndex.idx"), "pack.bin,scripts/none.lua,0,0\n");
	EXPECT_THROW(std::unique_ptr<GameApp>(new GameApp(&context, &os)), lang::Exception);
	EXPECT_EQ(nullptr, io::FileInputStream::sm_fileBundle);
	EXPECT_FALSE(framework::App::initialized());
	EXPECT_TRUE(GameApp::s_datapath.isEmpty());
}

} // namespace
