#include "sdl/SdlKeys.h"
#include <platform/Application.h>
#include <gtest/gtest.h>

using platform::SdlKeys;

// A window gives the application the names a headless run gives: every name an input script may
// send comes back under that name from the key the window injects for it, and the keyboard's own
// keys keep their names (Escape is ESCAPE, not the Back key).
TEST(SdlKeys, AWindowGivesEveryKeyTheNameAHeadlessRunGives)
{
	for (const std::string& name : platform::Application::keyNames())
	{
		EXPECT_NE(SDLK_UNKNOWN, SdlKeys::keycode(name)) << name;
		EXPECT_EQ(name, SdlKeys::name(SdlKeys::keycode(name)));
	}
	const std::pair<SDL_Keycode, const char*> keys[] = {
		{SDLK_ESCAPE, "ESCAPE"}, {SDLK_AC_BACK, "KEY_BACK"}, {SDLK_q, "Q"}, {SDLK_KP_0, "0"}, {SDLK_F12, "F12"},
		{SDLK_RSHIFT, "SHIFT"}, {SDLK_KP_ENTER, "RETURN"}, {SDLK_APPLICATION, "KEY_MENU"}, {SDLK_CAPSLOCK, ""},
	};
	for (const auto& k : keys)
		EXPECT_EQ(k.second, SdlKeys::name(k.first)) << k.second;
}
