#ifndef PF_LOCALNOTIFICATIONSIMPL_H
#define PF_LOCALNOTIFICATIONSIMPL_H

#include <lang/Array.h>
#include <lang/String.h>

namespace platform
{
struct LocalNotification;
}

namespace pf
{

class LocalNotificationListener;

/** Recognises local notifications and passes their event names to the process-wide listeners (not owned). */
class LocalNotificationsImpl
{
public:
	/** The user-info key that carries the event name. */
	static const char* const EVENT_NAME_KEY;

	/** The system version is at least 4.0. */
	static bool isNotificationSupportAvailable();
	static bool isNotificationSupportAvailable(const lang::String& systemVersion);
	/** The notification's event name; null when it, its user info or the name is missing. The text lives as long as the notification. */
	static const char* getEventName(const platform::LocalNotification* notification);
	static void notifyListeners(const lang::String& eventName);

	static lang::Array<LocalNotificationListener*> sm_listeners;
};

} // pf

#endif
