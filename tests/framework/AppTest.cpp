#include <framework/App.h>
#include <framework/OSInterface.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <platform/Application.h>
#include <gtest/gtest.h>
#include <cstring>

using framework::App;
using framework::TouchEvent;

namespace
{

class PlainApp : public App
{
public:
	explicit PlainApp(framework::OSInterface* os = nullptr) : App(os) {}
	void update(float, gr::Context*, int) override {}
};

// An OS interface whose default data path is all it has.
class DataPathOS : public framework::OSInterface
{
public:
	void loadShaders(const lang::String&, bool) override {}
	lang::String getDefaultDataPath() override { return lang::String("/opt/game/"); }
	void setResolution(int, int) override {}
	void setOrientation(gr::Context::OrientationType) override {}
	void allowSleep(bool) override {}
	bool isSilentProfile() override { return false; }
	void startUpdate() override {}
	void stopUpdate() override {}
	void setFullscreen(bool) override {}
	bool isFullscreen() const override { return true; }
	bool captureMouse(bool) override { return true; }
	bool isMouseCaptured() const override { return false; }
	void setCursor(const lang::String&) override {}
};

std::vector<int> ids(const App& app)
{
	std::vector<int> result;
	for (const TouchEvent& t : app.touches())
		result.push_back(t.id * 100 + t.x);
	return result;
}

} // namespace

TEST(App, KeyNamesAreTheScriptTableKeys)
{
	const std::pair<int, const char*> named[] = {
		{0, "NONE"}, {1, "A"}, {26, "Z"}, {27, "PAGEDOWN"}, {40, "ESCAPE"}, {41, "F1"}, {52, "F12"}, {56, "DOWN"},
		{57, "LBUTTON"}, {60, "0"}, {69, "9"}, {70, "MULTIPLY"}, {79, "CLEAR"}, {82, "VOLUME_UP"}, {83, "VOLUME_DOWN"},
		{86, "KEY_BACK"}, {88, "KEY_ALT"},
	};
	for (const auto& n : named)
		EXPECT_STREQ(n.second, App::toString(static_cast<App::KeyType>(n.first))) << n.first;
	std::string all;
	for (int k = 0; k < App::KEY_COUNT; ++k)
		all += std::string(k ? " " : "") + App::toString(static_cast<App::KeyType>(k));
	EXPECT_EQ("NONE A B C D E F G H I J K L M N O P Q R S T U V W X Y Z PAGEDOWN PAGEUP HOME END INSERT DELETE "
		"RETURN SHIFT CONTROL TAB SPACE BACKSPACE PAUSE ESCAPE F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 LEFT RIGHT UP "
		"DOWN LBUTTON MBUTTON RBUTTON 0 1 2 3 4 5 6 7 8 9 MULTIPLY ADD SUBTRACT DIVIDE LEFTSOFT RIGHTSOFT MIDDLE "
		"ASTERISK HASH CLEAR EDIT SEND VOLUME_UP VOLUME_DOWN KEY_GAMING_A KEY_GAMING_B KEY_BACK KEY_MENU KEY_ALT", all);
	EXPECT_EQ(89, App::KEY_COUNT);
	EXPECT_EQ(57, App::LBUTTON);
	EXPECT_EQ(nullptr, App::toString(App::KEY_COUNT));
	for (int k = 0; k < App::KEY_COUNT; ++k)
		EXPECT_EQ(k, App::toKeyType(lang::String(App::toString(static_cast<App::KeyType>(k))))) << k;
	// Every key the platform can report has a key code.
	for (const std::string& name : platform::Application::keyNames())
		EXPECT_NE(App::NONE, App::toKeyType(lang::String(name.c_str()))) << name;
	EXPECT_EQ(App::NONE, App::toKeyType(lang::String("ALT")));
}

TEST(App, TouchListKeepsOrderAndMatchesTheFirstOfAnId)
{
	PlainApp app;
	app.touchBegan(TouchEvent(1, 10, 0));
	app.touchBegan(TouchEvent(2, 20, 0));
	app.touchBegan(TouchEvent(1, 30, 0));
	app.touchBegan(TouchEvent(3, 40, 0));
	app.touchMoved(TouchEvent(1, 11, 0));
	EXPECT_EQ((std::vector<int>{111, 220, 130, 340}), ids(app));
	app.touchMoved(TouchEvent(9, 99, 0));
	app.touchEnded(TouchEvent(9, 99, 0));
	EXPECT_EQ(4, app.touches().size());
	app.touchEnded(TouchEvent(2, 0, 0));
	app.touchEnded(TouchEvent(1, 0, 0));
	EXPECT_EQ((std::vector<int>{130, 340}), ids(app));
}

TEST(App, ActivationClearsKeysAndTouchesEitherWay)
{
	PlainApp app;
	for (bool active : {true, false})
	{
		app.touchBegan(TouchEvent(1, 0, 0));
		app.setKeyDown(App::LBUTTON, true);
		app.setKeyDown(App::KEY_ALT, true);
		app.activate(active);
		EXPECT_TRUE(app.touches().isEmpty());
		EXPECT_FALSE(app.isKeyDown(App::LBUTTON));
		EXPECT_FALSE(app.isKeyDown(App::KEY_ALT));
	}
	EXPECT_TRUE(app.activateAudio(false));
}

TEST(App, SingletonLivesFromConstructionToDeleteApp)
{
	io::AppDataInputStream::setRootPath(lang::String("/docs"));
	io::AppDataOutputStream::setRootPath(lang::String("/docs"));
	App::deleteApp();
	EXPECT_TRUE(io::AppDataInputStream::rootPath().isEmpty());
	EXPECT_TRUE(io::AppDataOutputStream::rootPath().isEmpty());
	{
		PlainApp app;
		EXPECT_EQ(&app, App::get());
		EXPECT_TRUE(App::initialized());
	}
	EXPECT_EQ(nullptr, App::get());
	new PlainApp;
	io::AppDataInputStream::setRootPath(lang::String("/docs"));
	App::deleteApp();
	EXPECT_FALSE(App::initialized());
	EXPECT_TRUE(io::AppDataInputStream::rootPath().isEmpty());
}

TEST(App, QuitOnlyRaisesTheFlag)
{
	PlainApp app;
	EXPECT_FALSE(app.quitRequested());
	app.quit(5);
	EXPECT_TRUE(app.quitRequested());
	EXPECT_EQ(5, app.exitCode());
}

TEST(App, PathJoinsDefaultDataPathDataPathAndName)
{
	DataPathOS os;
	PlainApp app(&os);
	EXPECT_STREQ("/opt/game/images/a.png", app.path(lang::String("images/a.png")).c_str());
	app.setDataPath(lang::String("data_ipad"));
	EXPECT_STREQ("/opt/game/data_ipad/fonts/f.fnt", app.path(lang::String("/fonts/./f.fnt")).c_str());
}

TEST(App, ConfigurationDefaults)
{
	const App::Configuration c;
	EXPECT_EQ(16, c.bits);
	EXPECT_EQ(60, c.framerate);
	EXPECT_EQ(1, c.idleTime);
	EXPECT_TRUE(c.fullscreen);
	EXPECT_TRUE(c.showCursor);
	EXPECT_EQ(0, c.width + c.height + c.orientation + c.iconResourceID);
	EXPECT_FALSE(c.depthbuffer || c.stencilbuffer || c.captureMouse || c.debugMemoryAllocs || c.singleton);
	EXPECT_EQ(nullptr, c.usedShaders);
	EXPECT_EQ(nullptr, c.usedParticles);
	EXPECT_TRUE(c.name.isEmpty() && c.dbusInterface.isEmpty() && c.publisher.isEmpty() && c.product.isEmpty());
	EXPECT_TRUE(c.renderer.isEmpty());
}
