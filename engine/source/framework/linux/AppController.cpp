#include <framework/AppController.h>
#include <framework/AppActivationListener.h>
#include <framework/IphoneOSInterface.h>
#include <framework/MyEAGLView.h>
#include <framework/MyEAGLViewController.h>
#include <gr/ogles/EGL_Context.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Globals.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <pf/AccelerometerImpl.h>
#include <pf/LocalNotificationsImpl.h>
#include <platform/Application.h>
#include <platform/Directories.h>
#include <platform/DisplayLink.h>
#include <platform/GLContext.h>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace
{

AppController* s_shared = nullptr;

// Longest frame time passed to the application, seconds: a stall counts as this.
const float MAX_FRAME_TIME = 0.1f;
// The system version from which display links exist, and from which the screen mode gives the pixel size.
const char* const DISPLAY_LINK_VERSION = "3.1";
const double SCREEN_MODE_VERSION = 3.2;
// The system version from which content scales to high-density screens.
const double CONTENT_SCALE_VERSION = 4.0;
// The device orientation the configuration starts from: landscape, turned three quarters.
const int DEFAULT_ORIENTATION = 3;
// The accelerometer's interval asked of the platform, seconds, computed in single precision.
const float ACCELEROMETER_INTERVAL = 1.0f / AppController::ACCELEROMETER_RATE;

void installSceneResources(gr::Context* context)
{
	hgr::DefaultResourceManager::set(new hgr::DefaultResourceManager(context));
}

void cleanupSceneResources()
{
	hgr::Globals::cleanup();
}

// A launch or a notification answers one of the badge's pending notifications.
void takeBadge(platform::Application& application)
{
	if (application.badgeNumber() > 0)
		application.setBadgeNumber(application.badgeNumber() - 1);
}

lang::String text(const std::string& s)
{
	return lang::String(s.c_str(), static_cast<int>(s.size()));
}

} // namespace

AppController::AppController(platform::Application& application) :
	m_application(application),
	m_oldtime(0),
	m_useDisplayLink(true),
	m_app(nullptr),
	m_os(nullptr),
	m_allowUpdate(false),
	m_insideUpdate(false),
	m_deallocated(false)
{
	s_shared = this;
}

AppController::~AppController()
{
	dealloc();
	if (s_shared == this)
		s_shared = nullptr;
}

AppController* AppController::shared()
{
	return s_shared;
}

bool AppController::updating() const
{
	return m_useDisplayLink ? m_displayLink != nullptr : m_mainLoop != nullptr;
}

int AppController::statusBarOrientationFor(int orientation)
{
	switch (orientation)
	{
	case 0:
		return platform::Application::PORTRAIT;
	case 1:
		return platform::Application::LANDSCAPE_RIGHT;
	case 2:
		return platform::Application::PORTRAIT_UPSIDE_DOWN;
	case 3:
		return platform::Application::LANDSCAPE_LEFT;
	default:
		return 0;
	}
}

int AppController::frameIntervalFor(int framerate)
{
	return framerate >= 1 ? platform::DisplayLink::REFRESH_RATE / framerate : 1;
}

float AppController::frameTime(int64_t previous, int64_t now)
{
	float dt = static_cast<float>(now - previous) * 1e-6f;
	if (dt > MAX_FRAME_TIME)
		dt = MAX_FRAME_TIME;
	if (dt < 0)
		dt = 0;
	return dt;
}

int AppController::compareVersions(const std::string& a, const std::string& b)
{
	const char* p = a.c_str();
	const char* q = b.c_str();
	while (*p || *q)
	{
		char* end = nullptr;
		const long x = std::strtol(p, &end, 10);
		p = *end == '.' ? end + 1 : end;
		const long y = std::strtol(q, &end, 10);
		q = *end == '.' ? end + 1 : end;
		if (x != y)
			return x < y ? -1 : 1;
		if ((*p && !std::isdigit(static_cast<unsigned char>(*p))) || (*q && !std::isdigit(static_cast<unsigned char>(*q))))
			break;
	}
	return 0;
}

void AppController::didFinishLaunching()
{
	takeBadge(m_application);
	const platform::LaunchOptions& options = m_application.options();
	if (pf::LocalNotificationsImpl::isNotificationSupportAvailable() && options.launchNotification)
		lang::Debug::printf("Received Notification while launching: %s\n", options.launchNotification->alertBody.c_str());
	lang::Debug::printf("UIApplication launching with options...\n");
	try
	{
		applicationDidFinishLaunching();
	}
	catch (...)
	{
		logCurrentException();
		endProcess(EXIT_GAME_FAILED);
	}
}

void AppController::applicationDidFinishLaunching()
{
	m_allowUpdate = true;
	m_insideUpdate = false;
	m_application.audioSession().setActive(false);
	m_useDisplayLink = compareVersions(m_application.systemVersion(), DISPLAY_LINK_VERSION) >= 0;
	m_application.setStatusBarHidden(true);

	const int screenWidth = platform::Application::SCREEN_WIDTH;
	const int screenHeight = platform::Application::SCREEN_HEIGHT;
	m_os = new framework::IphoneOSInterface(this);
	const lang::String documents = text(platform::Directories::documents());
	io::AppDataInputStream::setRootPath(documents);
	io::AppDataOutputStream::setRootPath(documents);
	m_application.setAccelerometerDelegate(this, ACCELEROMETER_INTERVAL);
	m_os->setDefaultDataPath(text(platform::Directories::bundle()));

	m_config.width = screenWidth;
	m_config.height = screenHeight;
	m_config.orientation = DEFAULT_ORIENTATION;
	framework::configure(m_config, *m_os);

	m_contentView = MyEAGLView::initWithFrameAndParameters(m_application, screenWidth, screenHeight, m_config.bits, m_config.depthbuffer);
	if (!m_contentView)
		lang::throwError(lang::Exception(lang::Format(lang::String("Failed to create the GL view"))));
	const double version = std::strtod(m_application.systemVersion().c_str(), nullptr);
	m_viewController.reset(new MyEAGLViewController(m_contentView.get(), version >= CONTENT_SCALE_VERSION));
	m_application.setResponder(m_viewController.get());
	m_contentView->layoutSubviews();

	const int statusBar = statusBarOrientationFor(m_config.orientation);
	if (statusBar)
		m_application.setStatusBarOrientation(statusBar);

	m_context = gr::EGL_createContext(screenWidth, screenHeight,
		static_cast<gr::Context::OrientationType>(m_config.orientation), updateScrFunc);
	m_viewController->setEngineContext(m_context.ptr());
	int width = screenWidth;
	int height = screenHeight;
	if (version >= SCREEN_MODE_VERSION)
	{
		width = m_contentView->context()->drawableWidth();
		height = m_contentView->context()->drawableHeight();
	}
	m_context->setNativeSize(width, height);

	installSceneResources(m_context.ptr());
	m_app = framework::init(m_os, m_context.ptr());
}

void AppController::startUpdate()
{
	if (m_viewController)
		m_viewController->resetTouches();
	if (framework::App::initialized())
	{
		framework::App::get()->activate(true);
		framework::App::get()->activateAudio(true);
	}
	releaseRetiredLoop();
	if (m_useDisplayLink)
	{
		if (!m_displayLink)
		{
			m_displayLink = m_application.createDisplayLink([this] { update(); });
			m_displayLink->setFrameInterval(frameIntervalFor(m_config.framerate));
		}
	}
	else if (!m_mainLoop)
	{
		m_mainLoop.reset(new LoopThread);
		LoopThread& loop = *m_mainLoop;
		// The thread asks for every frame: the main thread waits for each request as it would
		// for a display refresh.
		m_application.mainQueue().expect(this);
		loop.thread = std::thread([this, &loop] { mainloop(loop); });
	}
}

void AppController::stopUpdate()
{
	m_application.mainQueue().cancel(this);
	if (m_viewController)
		m_viewController->resetTouches();
	stopLoop();
	if (framework::App::initialized())
	{
		framework::App::get()->activate(false);
		framework::App::get()->activateAudio(false);
	}
}

void AppController::stopLoop()
{
	releaseRetiredLoop();
	if (m_displayLink)
	{
		m_displayLink->invalidate();
		m_retiredDisplayLinks.push_back(std::move(m_displayLink));
	}
	if (m_mainLoop)
	{
		m_mainLoop->cancelled = true;
		m_application.mainQueue().cancel(this);
		m_retiredMainLoops.push_back(std::move(m_mainLoop));
	}
}

void AppController::releaseRetiredLoop()
{
	if (m_insideUpdate)
		return;
	m_retiredDisplayLinks.clear();
	for (const std::unique_ptr<LoopThread>& loop : m_retiredMainLoops)
	{
		// The thread may still be waiting on a request: withdraw it until the thread has seen the stop.
		while (!loop->finished)
		{
			m_application.mainQueue().cancel(this);
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}
		loop->thread.join();
	}
	m_retiredMainLoops.clear();
}

void AppController::mainloop(LoopThread& loop)
{
	while (!loop.cancelled)
	{
		m_application.mainQueue().postAndWait(this, [this] { update(); });
		std::this_thread::yield();
	}
	loop.finished = true;
}

void AppController::update()
{
	// m_app is stale once deleteApp has destroyed it: only the registered application is updated.
	if (m_insideUpdate || !updating() || !m_app || m_app != framework::App::get() || m_application.terminating())
		return;
	m_insideUpdate = true;
	// Cleared on every way out of the frame, a failed one included.
	struct InsideUpdate
	{
		bool& flag;
		~InsideUpdate() { flag = false; }
	} insideUpdate{m_insideUpdate};
	try
	{
		const int64_t now = m_application.currentTimeMicros();
		const int64_t previous = m_oldtime;
		m_oldtime = now;
		if (!m_context->ready())
			return;
		const float dt = frameTime(previous, now);
		m_context->setTime(m_context->time() + dt);
		m_app->update(dt, m_context.ptr(), 3);
		if (m_app->quitRequested())
			endProcess(0);
	}
	catch (...)
	{
		logCurrentException();
		endProcess(EXIT_GAME_FAILED);
	}
}

void AppController::present()
{
	if (m_contentView)
		m_contentView->present();
}

void AppController::didAccelerate(double x, double y, double z)
{
	const gr::Context::OrientationType orientation = m_context ? m_context->orientation() : gr::Context::ORIENTATION_0;
	pf::AccelerometerImpl::setData(math::float3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)), orientation);
}

void AppController::didBecomeActive()
{
	m_allowUpdate = true;
	m_oldtime = m_application.currentTimeMicros();
	if (!m_os || !m_os->updateStopped())
		startUpdate();
	for (int i = 0; i < AppActivationListeners::s_listeners.size(); ++i)
		AppActivationListeners::s_listeners[i]->applicationDidBecomeActive();
}

void AppController::willResignActive()
{
	m_allowUpdate = false;
	if (!m_os || !m_os->updateStopped())
		stopUpdate();
	for (int i = 0; i < AppActivationListeners::s_listeners.size(); ++i)
		AppActivationListeners::s_listeners[i]->applicationWillResignActive();
}

void AppController::didReceiveLocalNotification(const platform::LocalNotification& notification)
{
	takeBadge(m_application);
	const char* eventName = pf::LocalNotificationsImpl::getEventName(&notification);
	if (eventName)
		pf::LocalNotificationsImpl::notifyListeners(lang::String(eventName));
}

void AppController::willTerminate()
{
	lang::Debug::printf("applicationWillTerminate\n");
	m_allowUpdate = false;
	if (!m_os || !m_os->updateStopped())
		stopUpdate();
	m_config = framework::App::Configuration();
	dealloc();
}

// The quit request and a failed game leave through the termination sequence, so that the
// application is destroyed (and saves what it keeps) before the process ends.
void AppController::endProcess(int exitCode)
{
	m_allowUpdate = false;
	m_application.terminate(exitCode);
}

int AppController::terminateAfterException()
{
	logCurrentException();
	try
	{
		willTerminate();
	}
	catch (...)
	{
		// The game failed again while being deactivated: it is destroyed all the same.
		dealloc();
	}
	return EXIT_GAME_FAILED;
}

void AppController::logCurrentException()
{
	try
	{
		throw;
	}
	catch (const lang::Exception& e)
	{
		logException(e.getMessage().format().c_str());
	}
	catch (...)
	{
		logException(nullptr);
	}
}

void AppController::logException(const char* message)
{
	const std::string line = message ? std::string("Exception from game: ") + message + "\n" : "Unknown exception from game!\n";
	lang::Debug::printf("%s", line.c_str());
	// The process ends with a failure: say why even when the debug log is silent.
	if (!lang::Debug::isEnabled())
		std::fputs(line.c_str(), stderr);
}

void AppController::dealloc()
{
	if (m_deallocated)
		return;
	m_deallocated = true;
	stopLoop();
	releaseRetiredLoop();
	if (m_contentView)
		m_contentView->context()->makeCurrent();
	if (framework::App::initialized())
		framework::App::deleteApp();
	// The scene layer's globals hold the device: they go even when no application is left (a
	// launch that failed in framework::init), so the device never outlives its GL context.
	cleanupSceneResources();
	m_app = nullptr;
	// The device's GL objects go while the view's context still exists.
	m_context = nullptr;
	delete m_os;
	m_os = nullptr;
	m_application.setResponder(nullptr);
	m_application.setAccelerometerDelegate(nullptr, 0);
	m_viewController.reset();
	m_contentView.reset();
}

void updateScrFunc()
{
	if (AppController::shared())
		AppController::shared()->present();
}
