#ifndef PLATFORM_HTMLTITLE_H
#define PLATFORM_HTMLTITLE_H

#include <string>

namespace platform {

// Reads a web page's title as a browser's document.title gives it: the text of the first
// <title> element (tag names in any case), character references decoded, white space collapsed
// and trimmed. Stateless; any bytes are accepted.
class HtmlTitle
{
public:
	// Empty when the page has no title.
	static std::string extract(const std::string& html);
};

} // platform

#endif
