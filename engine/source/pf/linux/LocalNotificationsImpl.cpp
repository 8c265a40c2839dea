#include <pf/LocalNotificationsImpl.h>
#include <pf/LocalNotificationListener.h>
#include <platform/Application.h>
#include <platform/LocalNotification.h>
#include <platform/Device.h>
#include <cstdlib>

namespace pf
{

const char* const LocalNotificationsImpl::EVENT_NAME_KEY = "eventName";
lang::Array<LocalNotificationListener*> LocalNotificationsImpl::sm_listeners;

// System version from which local notifications exist.
static const float NOTIFICATIONS_VERSION = 4.0f;

bool LocalNotificationsImpl::isNotificationSupportAvailable()
{
	platform::Application* application = platform::Application::shared();
	const std::string version = application ? application->systemVersion() : platform::Device::systemVersion();
	return isNotificationSupportAvailable(lang::String(version.c_str()));
}

bool LocalNotificationsImpl::isNotificationSupportAvailable(const lang::String& systemVersion)
{
	return std::strtof(systemVersion.c_str(), nullptr) >= NOTIFICATIONS_VERSION;
}

const char* LocalNotificationsImpl::getEventName(const platform::LocalNotification* notification)
{
	if (!notification || !notification->hasUserInfo)
		return nullptr;
	const auto entry = notification->userInfo.find(EVENT_NAME_KEY);
	return entry == notification->userInfo.end() ? nullptr : entry->second.c_str();
}

void LocalNotificationsImpl::notifyListeners(const lang::String& eventName)
{
	for (int i = 0; i < sm_listeners.size(); ++i)
		sm_listeners[i]->onLocalNotification(eventName);
}

} // pf
