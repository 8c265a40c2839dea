#ifndef PF_LOCALNOTIFICATION_H
#define PF_LOCALNOTIFICATION_H

#include <lang/String.h>
#include <map>

namespace pf
{

/** A local notification as the platform delivers it, a plain value: its text and, when it has one, its user-info dictionary. */
struct LocalNotification
{
	lang::String alertBody;
	bool hasUserInfo = false;
	std::map<lang::String, lang::String> userInfo;
};

} // pf

#endif
