#ifndef PLATFORM_URLOPENER_H
#define PLATFORM_URLOPENER_H

#include <string>

namespace platform {

// Opens URLs in the desktop's preferred application: starts xdg-open directly (never through a
// shell) with the URL as its one argument; stateless.
class UrlOpener
{
public:
	// False when the URL is empty, starts with '-', holds a control character, or xdg-open
	// cannot be started. The child is reaped in the background.
	static bool open(const std::string& url);
	static bool acceptable(const std::string& url);
};

} // platform

#endif
