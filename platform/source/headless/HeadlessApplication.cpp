#include <platform/HeadlessApplication.h>
#include "HeadlessDrawable.h"
#include "../PngWriter.h"
#include <platform/DisplayLink.h>
#include <csignal>
#include <cstdio>

namespace platform {

namespace {

volatile std::sig_atomic_t s_interrupted = 0;

void interrupted(int)
{
	s_interrupted = 1;
}

} // namespace

HeadlessApplication::HeadlessApplication(const LaunchOptions& options) :
	Application(options)
{
	if (!options.script.empty())
		m_script = InputScript::load(options.script);
}

int64_t HeadlessApplication::currentTimeMicros() const
{
	return START_TIME + static_cast<int64_t>(m_frame) * 1000000 / DisplayLink::REFRESH_RATE;
}

bool HeadlessApplication::openURL(const std::string& url)
{
	m_openedURLs.push_back(url);
	return true;
}

std::unique_ptr<GLContext> HeadlessApplication::createGLContext()
{
	auto drawable = std::make_unique<HeadlessDrawable>(*this);
	m_drawable = drawable.get();
	return drawable;
}

// Without a window an alert, the game service's screens among them, is a log of its title and text.
int HeadlessApplication::presentAlert(const Alert& alert)
{
	m_shownAlerts.push_back(alert);
	std::fprintf(stderr, "Alert: %s\n", alert.title.c_str());
	if (!alert.message.empty())
		std::fprintf(stderr, "%s%s", alert.message.c_str(), alert.message.back() == '\n' ? "" : "\n");
	return alert.cancelButton;
}

void HeadlessApplication::drawableDestroyed(HeadlessDrawable* drawable)
{
	if (m_drawable == drawable)
		m_drawable = nullptr;
}

void HeadlessApplication::loop()
{
	// SIGINT and SIGTERM end the run through the termination sequence, as closing a window does.
	s_interrupted = 0;
	const auto previousInterrupt = std::signal(SIGINT, interrupted);
	const auto previousTerminate = std::signal(SIGTERM, interrupted);
	const int frames = options().frames;
	for (m_frame = 0; !terminating() && (frames == 0 || m_frame < frames); ++m_frame)
	{
		if (s_interrupted)
			break;
		std::vector<std::string> captures;
		const auto& events = m_script.events();
		for (; m_nextEvent < events.size() && events[m_nextEvent].frame <= m_frame && !terminating(); ++m_nextEvent)
		{
			if (events[m_nextEvent].kind == ScriptEvent::Kind::Capture)
				captures.push_back(events[m_nextEvent].name);
			else
				deliver(events[m_nextEvent]);
		}
		sampleAccelerometer(currentTimeMicros(), m_tilt[0], m_tilt[1], m_tilt[2]);
		refreshDisplay();
		for (const std::string& name : captures)
			capture(name);
	}
	std::signal(SIGINT, previousInterrupt);
	std::signal(SIGTERM, previousTerminate);
	// Without a frame limit the loop ends only through terminate, a close or a signal; with one, the limit ends it.
	endScriptedRun(m_script, m_nextEvent, m_frame, m_captureFailed);
}

void HeadlessApplication::deliver(const ScriptEvent& event)
{
	switch (event.kind)
	{
	case ScriptEvent::Kind::Touch:
		dispatchTouch(event.phase, static_cast<std::uintptr_t>(event.finger) + 1, event.x, event.y);
		break;
	case ScriptEvent::Kind::Key:
		dispatchKey(event.name, event.down);
		break;
	case ScriptEvent::Kind::Wheel:
		dispatchWheel(event.delta);
		break;
	case ScriptEvent::Kind::Tilt:
		m_tilt[0] = event.x;
		m_tilt[1] = event.y;
		m_tilt[2] = event.z;
		break;
	case ScriptEvent::Kind::Resign:
		resignActive();
		break;
	case ScriptEvent::Kind::Become:
		becomeActive();
		break;
	case ScriptEvent::Kind::Close:
		terminate(0);
		break;
	case ScriptEvent::Kind::Answer:
		answerNextAlert(event.button);
		break;
	case ScriptEvent::Kind::Notify:
		dispatchNotification(event.name);
		break;
	case ScriptEvent::Kind::Capture:
		break;
	}
}

void HeadlessApplication::capture(const std::string& name)
{
	const std::string path = options().outputDirectory + "/" + name;
	const DisplayRotation rotation = screenRotation();
	const std::vector<uint8_t> picture = m_drawable ? rotation.screenPicture(m_drawable->readPresented()) : std::vector<uint8_t>();
	std::string failure;
	if (!PngWriter::write(path, rotation.screenWidth(), rotation.screenHeight(), picture, &failure))
	{
		std::fprintf(stderr, "Can't capture frame %d to %s: %s\n", m_frame, path.c_str(), failure.c_str());
		m_captureFailed = true;
	}
}

} // platform
