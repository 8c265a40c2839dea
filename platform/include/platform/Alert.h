#ifndef PLATFORM_ALERT_H
#define PLATFORM_ALERT_H

#include <string>
#include <vector>

namespace platform {

// A modal question to the user, a plain value: its buttons in order, one of them the answer that
// Escape (or no answer at all) gives.
struct Alert
{
	std::string title;
	std::string message;
	std::vector<std::string> buttons;
	int cancelButton = 0;
};

} // platform

#endif
