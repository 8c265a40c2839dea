#include <framework/MyEAGLViewController.h>
#include <framework/App.h>
#include <gr/Context.h>

namespace
{

// Presses or releases the first finger's emulated mouse button unless it is so already.
void setMouseButton(framework::App& app, bool down)
{
	if (app.isKeyDown(framework::App::LBUTTON) == down)
		return;
	if (down)
		app.keyDown(framework::App::LBUTTON);
	else
		app.keyUp(framework::App::LBUTTON);
	app.setKeyDown(framework::App::LBUTTON, down);
}

} // namespace

MyEAGLViewController::MyEAGLViewController(MyEAGLView* view, bool contentScaleFactorSupported) :
	m_view(view),
	m_grContext(nullptr),
	m_contentScaleFactorSupported(contentScaleFactorSupported),
	m_hasSingleTouch(false),
	m_singleTouch(0)
{
}

void MyEAGLViewController::touchesBegan(const std::vector<platform::Touch>& touches)
{
	handle(platform::TouchPhase::Began, touches);
}

void MyEAGLViewController::touchesMoved(const std::vector<platform::Touch>& touches)
{
	handle(platform::TouchPhase::Moved, touches);
}

void MyEAGLViewController::touchesEnded(const std::vector<platform::Touch>& touches)
{
	handle(platform::TouchPhase::Ended, touches);
}

void MyEAGLViewController::touchesCancelled(const std::vector<platform::Touch>& touches)
{
	handle(platform::TouchPhase::Cancelled, touches);
}

void MyEAGLViewController::touches(platform::TouchPhase phase, const std::vector<platform::Touch>& changed)
{
	handle(phase, changed);
}

void MyEAGLViewController::handle(platform::TouchPhase phase, const std::vector<platform::Touch>& touches)
{
	framework::App* app = framework::App::get();
	if (!app)
		return;
	for (const platform::Touch& touch : touches)
	{
		int x = static_cast<int>(touch.x);
		int y = static_cast<int>(touch.y);
		if (m_grContext)
			m_grContext->transformPointToScreen(x, y);
		const framework::TouchEvent event(static_cast<int>(touch.id), x, y);
		const bool owner = m_hasSingleTouch && m_singleTouch == touch.id;
		switch (phase)
		{
		case platform::TouchPhase::Began:
			app->touchBegan(event);
			if (!m_hasSingleTouch)
			{
				m_hasSingleTouch = true;
				m_singleTouch = touch.id;
				app->mouseMove(x, y);
				setMouseButton(*app, true);
			}
			break;
		case platform::TouchPhase::Moved:
			app->touchMoved(event);
			if (owner)
			{
				app->mouseMove(x, y);
				setMouseButton(*app, true);
			}
			break;
		case platform::TouchPhase::Ended:
		case platform::TouchPhase::Cancelled:
			if (phase == platform::TouchPhase::Cancelled)
				app->touchCancelled(event);
			else
				app->touchEnded(event);
			if (owner)
			{
				m_hasSingleTouch = false;
				app->mouseMove(x, y);
				setMouseButton(*app, false);
			}
			break;
		}
	}
}

void MyEAGLViewController::key(const std::string& name, bool down)
{
	framework::App* app = framework::App::get();
	const framework::App::KeyType key = framework::App::toKeyType(lang::String(name.c_str()));
	if (!app || key == framework::App::NONE)
		return;
	// Keyboard keys keep their flags themselves, as the mouse emulation does for LBUTTON.
	app->setKeyDown(key, down);
	if (down)
		app->keyDown(key);
	else
		app->keyUp(key);
}

void MyEAGLViewController::wheel(int delta)
{
	if (framework::App* app = framework::App::get())
		app->mouseWheel(delta);
}
