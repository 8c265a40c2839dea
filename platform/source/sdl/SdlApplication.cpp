#include "SdlApplication.h"
#include "SdlDrawable.h"
#include "SdlKeys.h"
#include <platform/DisplayLink.h>
#include <platform/UrlOpener.h>
#include <algorithm>
#include <stdexcept>

namespace platform {

namespace {

// The identity of the finger that the mouse stands for.
const std::uintptr_t MOUSE_FINGER = 1;
// Added to SDL's finger ids so that they never meet the mouse's.
const std::uintptr_t FIRST_TOUCH_FINGER = 1000;
// Microseconds between display refreshes.
const int64_t REFRESH_MICROS = 1000000 / DisplayLink::REFRESH_RATE;

} // namespace

SdlApplication::SdlApplication(const LaunchOptions& options) :
	Application(options)
{
	if (!options.script.empty())
		m_script = InputScript::load(options.script);
	// Fingers and the mouse are told apart here: SDL must not mirror one as the other.
	SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
	SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
	if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
		throw std::runtime_error(std::string("Can't start SDL: ") + SDL_GetError());
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	// The window only shows the finished picture, drawn flat: it needs no depth or stencil buffer.
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
	SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
	const std::string title = options.program.empty() ? "game" : options.program.substr(options.program.find_last_of('/') + 1);
	m_window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
		WINDOW_WIDTH, WINDOW_HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
	if (!m_window)
	{
		const std::string error = SDL_GetError();
		SDL_Quit();
		throw std::runtime_error("Can't open a window: " + error);
	}
}

SdlApplication::~SdlApplication()
{
	SDL_DestroyWindow(m_window);
	SDL_Quit();
}

int64_t SdlApplication::currentTimeMicros() const
{
	static const Uint64 frequency = SDL_GetPerformanceFrequency();
	const Uint64 counter = SDL_GetPerformanceCounter();
	return static_cast<int64_t>(counter / frequency * 1000000 + counter % frequency * 1000000 / frequency);
}

bool SdlApplication::openURL(const std::string& url)
{
	return UrlOpener::open(url);
}

std::unique_ptr<GLContext> SdlApplication::createGLContext()
{
	return std::make_unique<SdlDrawable>(*this, m_window);
}

void SdlApplication::setIdleTimerDisabled(bool disabled)
{
	Application::setIdleTimerDisabled(disabled);
	if (disabled)
		SDL_DisableScreenSaver();
	else
		SDL_EnableScreenSaver();
}

// The picture keeps its proportions and is centred in the window.
SDL_Rect SdlApplication::pictureRect() const
{
	int width = 0, height = 0;
	SDL_GetWindowSize(m_window, &width, &height);
	const DisplayRotation rotation = screenRotation();
	const double scale = std::min(static_cast<double>(width) / rotation.screenWidth(),
		static_cast<double>(height) / rotation.screenHeight());
	SDL_Rect rect;
	rect.w = static_cast<int>(rotation.screenWidth() * scale + 0.5);
	rect.h = static_cast<int>(rotation.screenHeight() * scale + 0.5);
	rect.x = (width - rect.w) / 2;
	rect.y = (height - rect.h) / 2;
	return rect;
}

std::string SdlApplication::takeCapture()
{
	if (m_captures.empty())
		return "";
	const std::string path = options().outputDirectory + "/" + m_captures.front();
	m_captures.erase(m_captures.begin());
	return path;
}

// The box blocks the main thread until the user answers, as a modal alert blocks the user.
int SdlApplication::presentAlert(const Alert& alert)
{
	std::vector<SDL_MessageBoxButtonData> buttons;
	for (size_t i = 0; i < alert.buttons.size(); ++i)
	{
		SDL_MessageBoxButtonData button{};
		button.buttonid = static_cast<int>(i);
		button.text = alert.buttons[i].c_str();
		if (button.buttonid == alert.cancelButton)
			button.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
		if (i + 1 == alert.buttons.size())
			button.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
		buttons.push_back(button);
	}
	SDL_MessageBoxData box{};
	box.flags = SDL_MESSAGEBOX_INFORMATION;
	box.window = m_window;
	box.title = alert.title.c_str();
	box.message = alert.message.c_str();
	box.numbuttons = static_cast<int>(buttons.size());
	box.buttons = buttons.data();
	int chosen = -1;
	if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen < 0)
		return alert.cancelButton;
	return chosen;
}

void SdlApplication::loop()
{
	const int frames = options().frames;
	int64_t next = currentTimeMicros();
	while (!terminating())
	{
		if (frames > 0 && m_refreshes >= frames)
			break;
		SDL_Event event;
		const int64_t wait = next - currentTimeMicros();
		if (wait > 0 && SDL_WaitEventTimeout(&event, static_cast<int>((wait + 999) / 1000)))
			handle(event);
		while (!terminating() && SDL_PollEvent(&event))
			handle(event);
		const int64_t now = currentTimeMicros();
		if (terminating() || now < next)
			continue;

		const auto& events = m_script.events();
		for (; m_nextEvent < events.size() && events[m_nextEvent].frame <= m_refreshes; ++m_nextEvent)
			inject(events[m_nextEvent]);
		while (!terminating() && SDL_PollEvent(&event))
			handle(event);
		if (terminating())
			break;
		sampleAccelerometer(now, m_tilt[0], m_tilt[1], m_tilt[2]);
		refreshDisplay();
		m_captures.clear();
		++m_refreshes;
		// A late refresh does not make the next ones come early to catch up.
		next = std::max(next + REFRESH_MICROS, now);
	}
	endScriptedRun(m_script, m_nextEvent, m_refreshes, m_captureFailed);
}

void SdlApplication::handle(const SDL_Event& event)
{
	switch (event.type)
	{
	case SDL_QUIT:
		terminate(0);
		break;
	case SDL_WINDOWEVENT:
		if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
			resignActive();
		else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
			becomeActive();
		else if (event.window.event == SDL_WINDOWEVENT_CLOSE)
			terminate(0);
		break;
	case SDL_MOUSEBUTTONDOWN:
		if (event.button.button == SDL_BUTTON_LEFT && event.button.which != SDL_TOUCH_MOUSEID && !m_mouseDown)
		{
			m_mouseDown = true;
			handleMouse(TouchPhase::Began, event.button.x, event.button.y);
		}
		break;
	case SDL_MOUSEMOTION:
		if (m_mouseDown && event.motion.which != SDL_TOUCH_MOUSEID)
			handleMouse(TouchPhase::Moved, event.motion.x, event.motion.y);
		break;
	case SDL_MOUSEBUTTONUP:
		if (event.button.button == SDL_BUTTON_LEFT && event.button.which != SDL_TOUCH_MOUSEID && m_mouseDown)
		{
			m_mouseDown = false;
			handleMouse(TouchPhase::Ended, event.button.x, event.button.y);
		}
		break;
	case SDL_FINGERDOWN:
	case SDL_FINGERMOTION:
	case SDL_FINGERUP:
	{
		int width = 0, height = 0;
		SDL_GetWindowSize(m_window, &width, &height);
		float x = 0, y = 0;
		if (!toScreen(event.tfinger.x * width, event.tfinger.y * height, x, y) && event.type == SDL_FINGERDOWN)
			break;
		const TouchPhase phase = event.type == SDL_FINGERDOWN ? TouchPhase::Began :
			event.type == SDL_FINGERUP ? TouchPhase::Ended : TouchPhase::Moved;
		dispatchTouch(phase, FIRST_TOUCH_FINGER + static_cast<std::uintptr_t>(event.tfinger.fingerId), x, y);
		break;
	}
	case SDL_MOUSEWHEEL:
		dispatchWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
		break;
	case SDL_KEYDOWN:
	case SDL_KEYUP:
	{
		if (event.key.repeat)
			break;
		const bool down = event.type == SDL_KEYDOWN;
		if (event.key.keysym.sym == SDLK_f && (event.key.keysym.mod & KMOD_CTRL))
		{
			if (down)
				m_tilt[0] = -m_tilt[0];
			break;
		}
		const std::string name = SdlKeys::name(event.key.keysym.sym);
		if (!name.empty())
			dispatchKey(name, down);
		break;
	}
	default:
		break;
	}
}

void SdlApplication::handleMouse(TouchPhase phase, int x, int y)
{
	float sx = 0, sy = 0;
	toScreen(static_cast<float>(x), static_cast<float>(y), sx, sy);
	dispatchTouch(phase, MOUSE_FINGER, sx, sy);
}

bool SdlApplication::toScreen(float windowX, float windowY, float& screenX, float& screenY) const
{
	const SDL_Rect rect = pictureRect();
	const DisplayRotation rotation = screenRotation();
	screenX = (windowX - rect.x) * rotation.screenWidth() / rect.w;
	screenY = (windowY - rect.y) * rotation.screenHeight() / rect.h;
	return screenX >= 0 && screenY >= 0 && screenX < rotation.screenWidth() && screenY < rotation.screenHeight();
}

void SdlApplication::toWindow(float screenX, float screenY, int& windowX, int& windowY) const
{
	const SDL_Rect rect = pictureRect();
	const DisplayRotation rotation = screenRotation();
	windowX = rect.x + static_cast<int>(screenX * rect.w / rotation.screenWidth());
	windowY = rect.y + static_cast<int>(screenY * rect.h / rotation.screenHeight());
}

// Scripted input travels the same road as the user's: through SDL's event queue.
void SdlApplication::inject(const ScriptEvent& scripted)
{
	SDL_Event event;
	SDL_zero(event);
	const Uint32 windowId = SDL_GetWindowID(m_window);
	switch (scripted.kind)
	{
	case ScriptEvent::Kind::Touch:
	{
		int x = 0, y = 0;
		toWindow(scripted.x, scripted.y, x, y);
		if (scripted.finger == 0)
		{
			if (scripted.phase == TouchPhase::Moved)
			{
				event.type = SDL_MOUSEMOTION;
				event.motion.windowID = windowId;
				event.motion.state = SDL_BUTTON_LMASK;
				event.motion.x = x;
				event.motion.y = y;
			}
			else
			{
				const bool began = scripted.phase == TouchPhase::Began;
				event.type = began ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
				event.button.windowID = windowId;
				event.button.button = SDL_BUTTON_LEFT;
				event.button.state = began ? SDL_PRESSED : SDL_RELEASED;
				event.button.clicks = 1;
				event.button.x = x;
				event.button.y = y;
			}
		}
		else
		{
			int width = 0, height = 0;
			SDL_GetWindowSize(m_window, &width, &height);
			event.type = scripted.phase == TouchPhase::Began ? SDL_FINGERDOWN :
				scripted.phase == TouchPhase::Moved ? SDL_FINGERMOTION : SDL_FINGERUP;
			event.tfinger.fingerId = scripted.finger;
			event.tfinger.x = static_cast<float>(x) / width;
			event.tfinger.y = static_cast<float>(y) / height;
			event.tfinger.windowID = windowId;
		}
		break;
	}
	case ScriptEvent::Kind::Key:
		event.type = scripted.down ? SDL_KEYDOWN : SDL_KEYUP;
		event.key.windowID = windowId;
		event.key.state = scripted.down ? SDL_PRESSED : SDL_RELEASED;
		event.key.keysym.sym = SdlKeys::keycode(scripted.name);
		break;
	case ScriptEvent::Kind::Wheel:
		event.type = SDL_MOUSEWHEEL;
		event.wheel.windowID = windowId;
		event.wheel.y = scripted.delta;
		event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
		break;
	case ScriptEvent::Kind::Tilt:
		m_tilt[0] = scripted.x;
		m_tilt[1] = scripted.y;
		m_tilt[2] = scripted.z;
		return;
	case ScriptEvent::Kind::Resign:
	case ScriptEvent::Kind::Become:
		event.type = SDL_WINDOWEVENT;
		event.window.windowID = windowId;
		event.window.event = scripted.kind == ScriptEvent::Kind::Resign ? SDL_WINDOWEVENT_FOCUS_LOST : SDL_WINDOWEVENT_FOCUS_GAINED;
		break;
	case ScriptEvent::Kind::Close:
		event.type = SDL_QUIT;
		break;
	case ScriptEvent::Kind::Capture:
		m_captures.push_back(scripted.name);
		return;
	case ScriptEvent::Kind::Answer:
		answerNextAlert(scripted.button);
		return;
	case ScriptEvent::Kind::Notify:
		dispatchNotification(scripted.name);
		return;
	}
	SDL_PushEvent(&event);
}

} // platform
