#ifndef PF_LOCALNOTIFICATIONLISTENER_H
#define PF_LOCALNOTIFICATIONLISTENER_H

#include <lang/String.h>

namespace pf
{

/** Told the event name of each local notification; registered and owned by the application. */
class LocalNotificationListener
{
public:
	virtual ~LocalNotificationListener() {}
	virtual void onLocalNotification(const lang::String& eventName) = 0;
};

} // pf

#endif
