#include "SdlKeys.h"

namespace platform {

namespace {

struct NamedKey
{
	SDL_Keycode key;
	const char* name;
};

// Keys named beyond letters, digits and function keys; the first entry of a key is its name, the
// first entry of a name is the key scripts inject. A key keeps its own name, as in a headless run:
// what the application makes of Escape is its own choice.
const NamedKey NAMED_KEYS[] = {
	{SDLK_PAGEDOWN, "PAGEDOWN"}, {SDLK_PAGEUP, "PAGEUP"}, {SDLK_HOME, "HOME"}, {SDLK_END, "END"},
	{SDLK_INSERT, "INSERT"}, {SDLK_DELETE, "DELETE"}, {SDLK_RETURN, "RETURN"}, {SDLK_KP_ENTER, "RETURN"},
	{SDLK_LSHIFT, "SHIFT"}, {SDLK_RSHIFT, "SHIFT"}, {SDLK_LCTRL, "CONTROL"}, {SDLK_RCTRL, "CONTROL"},
	{SDLK_TAB, "TAB"}, {SDLK_SPACE, "SPACE"}, {SDLK_BACKSPACE, "BACKSPACE"}, {SDLK_PAUSE, "PAUSE"},
	{SDLK_ESCAPE, "ESCAPE"}, {SDLK_LEFT, "LEFT"}, {SDLK_RIGHT, "RIGHT"}, {SDLK_UP, "UP"}, {SDLK_DOWN, "DOWN"},
	{SDLK_KP_MULTIPLY, "MULTIPLY"}, {SDLK_ASTERISK, "MULTIPLY"},
	{SDLK_KP_PLUS, "ADD"}, {SDLK_PLUS, "ADD"}, {SDLK_EQUALS, "ADD"},
	{SDLK_KP_MINUS, "SUBTRACT"}, {SDLK_MINUS, "SUBTRACT"},
	{SDLK_KP_DIVIDE, "DIVIDE"}, {SDLK_SLASH, "DIVIDE"},
	{SDLK_CLEAR, "CLEAR"}, {SDLK_VOLUMEUP, "VOLUME_UP"}, {SDLK_VOLUMEDOWN, "VOLUME_DOWN"},
	{SDLK_AC_BACK, "KEY_BACK"}, {SDLK_MENU, "KEY_MENU"}, {SDLK_APPLICATION, "KEY_MENU"},
	{SDLK_LALT, "KEY_ALT"}, {SDLK_RALT, "KEY_ALT"},
};

} // namespace

std::string SdlKeys::name(SDL_Keycode key)
{
	if (key >= SDLK_a && key <= SDLK_z)
		return std::string(1, static_cast<char>('A' + (key - SDLK_a)));
	if (key >= SDLK_0 && key <= SDLK_9)
		return std::string(1, static_cast<char>('0' + (key - SDLK_0)));
	if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
		return std::string(1, static_cast<char>('1' + (key - SDLK_KP_1)));
	if (key == SDLK_KP_0)
		return "0";
	if (key >= SDLK_F1 && key <= SDLK_F12)
		return "F" + std::to_string(1 + (key - SDLK_F1));
	for (const NamedKey& named : NAMED_KEYS)
		if (named.key == key)
			return named.name;
	return "";
}

SDL_Keycode SdlKeys::keycode(const std::string& name)
{
	if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
		return SDLK_a + (name[0] - 'A');
	if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
		return SDLK_0 + (name[0] - '0');
	for (int i = 1; i <= 12; ++i)
		if (name == "F" + std::to_string(i))
			return SDLK_F1 + (i - 1);
	for (const NamedKey& named : NAMED_KEYS)
		if (name == named.name)
			return named.key;
	return SDLK_UNKNOWN;
}

} // platform
