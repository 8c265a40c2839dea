#ifndef PLATFORM_LOCALNOTIFICATION_H
#define PLATFORM_LOCALNOTIFICATION_H

#include <map>
#include <string>

namespace platform {

// A local notification as the platform delivers it, a plain value: its alert text and, when it
// has one, its user-info dictionary.
struct LocalNotification
{
	std::string alertBody;
	bool hasUserInfo = false;
	std::map<std::string, std::string> userInfo;
};

} // platform

#endif
