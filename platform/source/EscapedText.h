#ifndef PLATFORM_ESCAPEDTEXT_H
#define PLATFORM_ESCAPEDTEXT_H

#include <string>

namespace platform {

// Text fields of the line-based store files: '\\', tab and line breaks escaped so that any text
// fits between tabs on one line. Stateless.
class EscapedText
{
public:
	static std::string escape(const std::string& text);
	// False when the text holds an unknown or unfinished escape.
	static bool unescape(const std::string& text, std::string& out);
};

} // platform

#endif
