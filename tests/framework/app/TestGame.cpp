#include "TestGame.h"
#include <framework/AppController.h>
#include <framework/OSInterface.h>
#include <gr/Context.h>
#include <hgr/Globals.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <algorithm>
#include <cstdio>

TestGame::TestGame(framework::OSInterface* os) :
	framework::App(os),
	m_mouseX(-1000),
	m_mouseY(-1000),
	m_throw(false),
	m_reenter(false),
	m_frames(0)
{
}

TestGame::~TestGame()
{
	log().push_back("destroyed");
	std::printf("TestGame: %d frames, touches %d, keys %d\n", m_frames,
		static_cast<int>(std::count(log().begin(), log().end(), "touchBegan")),
		static_cast<int>(std::count_if(log().begin(), log().end(), [](const std::string& s) { return s.rfind("keyDown ", 0) == 0 && s != "keyDown LBUTTON"; })));
}

std::vector<std::string>& TestGame::log()
{
	static std::vector<std::string> entries;
	return entries;
}

std::vector<float>& TestGame::frameTimes()
{
	static std::vector<float> times;
	return times;
}

void TestGame::update(float dt, gr::Context* context, int flags)
{
	++m_frames;
	log().push_back("update " + std::to_string(flags));
	frameTimes().push_back(dt);
	if (m_reenter)
	{
		m_reenter = false;
		AppController::shared()->update();
	}
	if (m_throw)
		fail();
	context->clear(BACKGROUND, true, false, false);
	context->fillRect2D(MARKER, m_mouseX - MARKER_SIZE / 2, m_mouseY - MARKER_SIZE / 2, MARKER_SIZE, MARKER_SIZE);
	context->present();
}

void TestGame::keyDown(KeyType key)
{
	log().push_back(std::string("keyDown ") + toString(key));
	if (key == ESCAPE)
		quit(5);
	else if (key == T)
		m_throw = true;
	else if (key == K)
		fail();
	else if (key == S)
		os()->stopUpdate();
	else if (key == R)
		m_reenter = true;
}

void TestGame::fail()
{
	lang::throwError(lang::Exception(lang::Format(lang::String("Test failure {0}"), lang::Formattable(7))));
}

void TestGame::keyUp(KeyType key)
{
	log().push_back(std::string("keyUp ") + toString(key));
}

void TestGame::mouseMove(int x, int y)
{
	m_mouseX = x;
	m_mouseY = y;
	log().push_back("mouseMove " + std::to_string(x) + " " + std::to_string(y));
}

void TestGame::mouseWheel(int delta)
{
	log().push_back("mouseWheel " + std::to_string(delta));
}

void TestGame::orientationChanged()
{
	log().push_back("orientationChanged");
}

void TestGame::touchBegan(const framework::TouchEvent& touch)
{
	App::touchBegan(touch);
	log().push_back("touchBegan");
}

void TestGame::touchEnded(const framework::TouchEvent& touch)
{
	App::touchEnded(touch);
	log().push_back("touchEnded");
}

void TestGame::touchCancelled(const framework::TouchEvent& touch)
{
	log().push_back("touchCancelled");
	App::touchCancelled(touch);
}

void TestGame::activate(bool active)
{
	App::activate(active);
	log().push_back(std::string("activate ") + (active ? "true" : "false"));
}

bool TestGame::activateAudio(bool active)
{
	log().push_back(std::string("activateAudio ") + (active ? "true" : "false"));
	return true;
}

namespace framework
{

void configure(App::Configuration& config, OSInterface&)
{
	AppController* controller = AppController::shared();
	TestGame::log().push_back(std::string("configure") + (controller && controller->view() ? " view" : "") +
		(controller && controller->context() ? " device" : ""));
	config.width = 768;
	config.height = 1024;
	config.orientation = 1;
	config.bits = 32;
}

App* init(OSInterface* os, gr::Context* context)
{
	AppController* controller = AppController::shared();
	TestGame::log().push_back(std::string("init") + (controller && controller->view() ? " view" : "") +
		(context && controller && controller->context() == context ? " device" : "") +
		(hgr::Globals::get() && hgr::Globals::get()->resourceManager ? " resources" : ""));
	return new TestGame(os);
}

} // framework
