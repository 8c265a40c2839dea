#include <framework/App.h>
#include <framework/OSInterface.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <lang/GlobalStorage.h>
#include <cstring>

namespace framework
{

const char* const s_keysz[App::KEY_COUNT] = {
	"NONE",
	"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
	"N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
	"PAGEDOWN", "PAGEUP", "HOME", "END", "INSERT", "DELETE", "RETURN", "SHIFT", "CONTROL", "TAB",
	"SPACE", "BACKSPACE", "PAUSE", "ESCAPE",
	"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
	"LEFT", "RIGHT", "UP", "DOWN", "LBUTTON", "MBUTTON", "RBUTTON",
	"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
	"MULTIPLY", "ADD", "SUBTRACT", "DIVIDE", "LEFTSOFT", "RIGHTSOFT", "MIDDLE", "ASTERISK", "HASH",
	"CLEAR", "EDIT", "SEND", "VOLUME_UP", "VOLUME_DOWN", "KEY_GAMING_A", "KEY_GAMING_B", "KEY_BACK",
	"KEY_MENU", "KEY_ALT",
};

App::Configuration::Configuration() :
	width(0),
	height(0),
	bits(16),
	fullscreen(true),
	showCursor(true),
	depthbuffer(false),
	stencilbuffer(false),
	captureMouse(false),
	iconResourceID(0),
	usedShaders(nullptr),
	usedParticles(nullptr),
	idleTime(1),
	debugMemoryAllocs(false),
	orientation(0),
	framerate(60),
	singleton(false)
{
}

App::App(OSInterface* os) :
	m_os(os),
	m_dataPath(lang::String("")),
	m_quit(false),
	m_exitCode(0)
{
	lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_APP] = this;
	for (bool& down : m_keyDown)
		down = false;
}

App::~App()
{
	if (lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_APP] == this)
		lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_APP] = nullptr;
}

void App::keyDown(KeyType)
{
}

void App::keyUp(KeyType)
{
}

void App::orientationChanged()
{
}

void App::resolutionChanged()
{
}

void App::mouseMove(int, int)
{
}

void App::mouseWheel(int)
{
}

void App::touchBegan(const TouchEvent& touch)
{
	m_touches.add(touch);
}

void App::touchMoved(const TouchEvent& touch)
{
	for (TouchEvent& t : m_touches)
		if (t.id == touch.id)
		{
			t = touch;
			return;
		}
}

void App::touchEnded(const TouchEvent& touch)
{
	for (int i = 0; i < m_touches.size(); ++i)
		if (m_touches[i].id == touch.id)
		{
			m_touches.remove(i);
			return;
		}
}

void App::touchCancelled(const TouchEvent& touch)
{
	touchEnded(touch);
}

void App::activate(bool)
{
	for (bool& down : m_keyDown)
		down = false;
	m_touches.clear();
}

bool App::activateAudio(bool)
{
	return true;
}

void App::quit(int code)
{
	m_quit = true;
	m_exitCode = code;
}

void App::setDataPath(const lang::String& path)
{
	m_dataPath = io::PathName(path);
}

lang::String App::path(const lang::String& name) const
{
	const io::PathName base(m_os->getDefaultDataPath(), m_dataPath.toString());
	const io::PathName file(name);
	return io::PathName(base.toString(), file.toString()).toString();
}

const char* App::toString(KeyType key)
{
	return key >= 0 && key < KEY_COUNT ? s_keysz[key] : nullptr;
}

App::KeyType App::toKeyType(const lang::String& name)
{
	for (int i = 0; i < KEY_COUNT; ++i)
		if (std::strcmp(s_keysz[i], name.c_str()) == 0)
			return static_cast<KeyType>(i);
	return NONE;
}

App* App::get()
{
	return static_cast<App*>(lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_APP]);
}

bool App::initialized()
{
	return get() != nullptr;
}

void App::deleteApp()
{
	delete get();
	lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_APP] = nullptr;
	io::AppDataInputStream::setRootPath(lang::String(""));
	io::AppDataOutputStream::setRootPath(lang::String(""));
}

} // framework
