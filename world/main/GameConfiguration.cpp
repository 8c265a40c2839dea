#include <world/GameApp.h>

#include <pf/OrientationObserver.h>

namespace {

// The tablet's portrait screen in pixels, shown turned to landscape.
const int SCREEN_WIDTH = 768;
const int SCREEN_HEIGHT = 1024;
const int LANDSCAPE_RIGHT = 1;

} // namespace

namespace framework
{

void configure(App::Configuration& config, OSInterface&)
{
	gCurrentOrientation = LANDSCAPE_RIGHT;
	config.width = SCREEN_WIDTH;
	config.height = SCREEN_HEIGHT;
	config.orientation = LANDSCAPE_RIGHT;
	config.fullscreen = true;
	GameApp::s_datapath = lang::String("data_ipad");
	GameApp::s_imagePath = lang::String("images");
	GameApp::s_fontPath = lang::String("fonts");
	GameApp::s_audioPath = lang::String("audio");
	GameApp::s_localizationPath = lang::String("localization");
	GameApp::s_levelPath = lang::String("levels");
	GameApp::s_scriptPath = lang::String("scripts");
	GameApp::s_deviceModel = lang::String("ipad");
}

App* init(OSInterface* os, gr::Context* context)
{
	return new GameApp(context, os);
}

} // framework
