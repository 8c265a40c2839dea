#include <platform/Application.h>
#include <platform/AccelerometerDelegate.h>
#include <platform/BackgroundThreads.h>
#include <platform/ApplicationDelegate.h>
#include <platform/Device.h>
#include <platform/Directories.h>
#include <platform/DisplayLink.h>
#include <platform/GameService.h>
#include <platform/HttpFetch.h>
#include <platform/InputScript.h>
#include <platform/NotificationCenter.h>
#include <platform/Responder.h>
#include <platform/HeadlessApplication.h>
#include "sdl/SdlApplication.h"
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

Application* s_shared = nullptr;

// File name of the game service's store in the library directory.
const char* const GAME_SERVICE_FILE = "game-service.txt";

std::string loginName()
{
	for (const char* variable : {"USER", "LOGNAME"})
	{
		const char* name = std::getenv(variable);
		if (name && name[0])
			return name;
	}
	return "Player";
}

} // namespace

std::unique_ptr<Application> Application::create(const LaunchOptions& options)
{
	if (s_shared)
		throw std::runtime_error("An application exists already");
	if (options.headless)
		return std::make_unique<HeadlessApplication>(options);
	return std::make_unique<SdlApplication>(options);
}

Application* Application::shared()
{
	return s_shared;
}

const std::vector<std::string>& Application::keyNames()
{
	static const std::vector<std::string> names = [] {
		std::vector<std::string> n;
		for (char c = 'A'; c <= 'Z'; ++c)
			n.push_back(std::string(1, c));
		for (char c = '0'; c <= '9'; ++c)
			n.push_back(std::string(1, c));
		for (int i = 1; i <= 12; ++i)
			n.push_back("F" + std::to_string(i));
		for (const char* name : {"PAGEDOWN", "PAGEUP", "HOME", "END", "INSERT", "DELETE", "RETURN",
				"SHIFT", "CONTROL", "TAB", "SPACE", "BACKSPACE", "PAUSE", "ESCAPE", "LEFT", "RIGHT",
				"UP", "DOWN", "MULTIPLY", "ADD", "SUBTRACT", "DIVIDE", "CLEAR", "VOLUME_UP",
				"VOLUME_DOWN", "KEY_BACK", "KEY_MENU", "KEY_ALT"})
			n.push_back(name);
		return n;
	}();
	return names;
}

Application::Application(const LaunchOptions& options) :
	m_options(options)
{
	Directories::setProgram(options.program);
	Directories::setBundle(options.dataDirectory);
	Directories::setDocuments(options.documentsDirectory);
	Directories::setLibrary(options.libraryDirectory);
	Directories::setCaches(options.cachesDirectory);
	s_shared = this;
}

Application::~Application()
{
	s_shared = nullptr;
}

int Application::run(ApplicationDelegate& delegate)
{
	m_delegate = &delegate;
	try
	{
		m_delegate->didFinishLaunching();
		NotificationCenter::defaultCenter().post(DID_FINISH_LAUNCHING_NOTIFICATION);
		// A window system without a window manager may never report the focus: start active.
		if (!m_terminating)
			becomeActive();
		if (!m_terminating)
			loop();
		m_delegate->willTerminate();
	}
	catch (...)
	{
		// The caller ends the failed delegate; the observers still hear of the end first.
		m_delegate = nullptr;
		endObservers();
		throw;
	}
	m_delegate = nullptr;
	endObservers();
	return m_exitCode;
}

void Application::endObservers()
{
	NotificationCenter::defaultCenter().post(WILL_TERMINATE_NOTIFICATION);
	// Nothing waits for the answers any more: a lookup or upload in flight ends now, not at its
	// time-out.
	HttpFetch::AbortAll ending;
	BackgroundThreads::shared().joinAll();
}

void Application::terminate(int exitCode)
{
	if (m_terminating)
		return;
	m_terminating = true;
	m_exitCode = exitCode;
}

void Application::endScriptedRun(const InputScript& script, size_t nextEvent, int frames, bool captureFailed)
{
	const bool captureMissed = script.reportNotRun(nextEvent, frames);
	if (!captureFailed && !captureMissed)
	{
		terminate(0);
		return;
	}
	m_terminating = true;
	if (m_exitCode == 0)
		m_exitCode = EXIT_CAPTURE_FAILED;
}

std::string Application::systemVersion() const
{
	return m_options.systemVersion.empty() ? Device::systemVersion() : m_options.systemVersion;
}

void Application::setStatusBarOrientation(int orientation)
{
	if (orientation >= PORTRAIT && orientation <= LANDSCAPE_LEFT)
		m_statusBarOrientation = orientation;
}

DisplayRotation Application::screenRotation() const
{
	return DisplayRotation::fromStatusBar(m_statusBarOrientation, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void Application::setAccelerometerDelegate(AccelerometerDelegate* delegate, double interval)
{
	m_accelerometer = delegate;
	m_accelerometerInterval = interval;
	m_nextReading = 0;
}

void Application::showAlert(const Alert& alert, std::function<void(int button)> done)
{
	int button = alert.cancelButton;
	if (!m_alertAnswers.empty())
	{
		button = m_alertAnswers.front();
		m_alertAnswers.pop_front();
	}
	else
		button = presentAlert(alert);
	m_mainQueue.post(this, [done = std::move(done), button] { done(button); });
}

GameService& Application::gameService()
{
	if (!m_gameService)
	{
		const std::string alias = !m_options.player.empty() ? m_options.player : m_options.headless ? "Player" : loginName();
		const GameService::SignIn signIn = m_options.gameService == "off" ? GameService::SignIn::Unsupported :
			m_options.gameService == "cancel" ? GameService::SignIn::Cancelled : GameService::SignIn::Succeeds;
		m_gameService = std::make_unique<GameService>(*this, Directories::library() + "/" + GAME_SERVICE_FILE, alias, signIn);
	}
	return *m_gameService;
}

std::unique_ptr<DisplayLink> Application::createDisplayLink(std::function<void()> tick)
{
	return std::make_unique<DisplayLink>(*this, std::move(tick));
}

void Application::addDisplayLink(DisplayLink* link)
{
	m_displayLinks.push_back(link);
}

void Application::removeDisplayLink(DisplayLink* link)
{
	m_displayLinks.erase(std::remove(m_displayLinks.begin(), m_displayLinks.end(), link), m_displayLinks.end());
}

void Application::becomeActive()
{
	if (m_active || !m_delegate)
		return;
	m_active = true;
	m_delegate->didBecomeActive();
	NotificationCenter::defaultCenter().post(DID_BECOME_ACTIVE_NOTIFICATION);
}

void Application::resignActive()
{
	if (!m_active || !m_delegate)
		return;
	m_active = false;
	m_delegate->willResignActive();
	NotificationCenter::defaultCenter().post(WILL_RESIGN_ACTIVE_NOTIFICATION);
}

void Application::dispatchTouch(TouchPhase phase, std::uintptr_t finger, float screenX, float screenY)
{
	if (!m_responder)
		return;
	const DisplayRotation rotation = screenRotation();
	Touch touch{finger, 0, 0};
	rotation.toView(screenX, screenY, touch.x, touch.y);
	m_responder->touches(phase, {touch});
}

void Application::dispatchKey(const std::string& name, bool down)
{
	if (m_responder)
		m_responder->key(name, down);
}

void Application::dispatchWheel(int delta)
{
	if (m_responder)
		m_responder->wheel(delta);
}

void Application::dispatchNotification(const std::string& eventName)
{
	if (!m_delegate)
		return;
	LocalNotification notification;
	if (!eventName.empty())
	{
		notification.hasUserInfo = true;
		notification.userInfo["eventName"] = eventName;
	}
	m_delegate->didReceiveLocalNotification(notification);
}

void Application::sampleAccelerometer(int64_t now, double x, double y, double z)
{
	if (!m_accelerometer || m_accelerometerInterval <= 0 || now < m_nextReading)
		return;
	const int64_t step = static_cast<int64_t>(m_accelerometerInterval * 1e6);
	m_nextReading = m_nextReading == 0 || now - m_nextReading > step ? now + step : m_nextReading + step;
	m_accelerometer->didAccelerate(x, y, z);
}

void Application::refreshDisplay()
{
	m_mainQueue.runPending();
	// A tick may create or destroy links: walk a copy and skip the ones gone meanwhile.
	const std::vector<DisplayLink*> links = m_displayLinks;
	for (DisplayLink* link : links)
	{
		if (m_terminating)
			return;
		if (std::find(m_displayLinks.begin(), m_displayLinks.end(), link) != m_displayLinks.end())
			link->refresh();
	}
}

} // platform
