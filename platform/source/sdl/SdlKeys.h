#ifndef PLATFORM_SDLKEYS_H
#define PLATFORM_SDLKEYS_H

#include <SDL.h>
#include <string>

namespace platform {

// The keyboard's keys by the names that input carries (Application::keyNames); stateless.
class SdlKeys
{
public:
	// Empty for a key without a name.
	static std::string name(SDL_Keycode key);
	// SDLK_UNKNOWN for an unknown name.
	static SDL_Keycode keycode(const std::string& name);
};

} // platform

#endif
