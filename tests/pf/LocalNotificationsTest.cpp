#include <pf/LocalNotificationListener.h>
#include <pf/LocalNotificationsImpl.h>
#include <platform/LocalNotification.h>
#include <gtest/gtest.h>

using platform::LocalNotification;
using pf::LocalNotificationsImpl;

namespace
{

struct Listener : pf::LocalNotificationListener
{
	std::vector<std::string> events;
	void onLocalNotification(const lang::String& eventName) override { events.push_back(eventName.c_str()); }
};

} // namespace

TEST(LocalNotifications, SupportedFromSystemVersion4)
{
	EXPECT_TRUE(LocalNotificationsImpl::isNotificationSupportAvailable(lang::String("4.0")));
	EXPECT_TRUE(LocalNotificationsImpl::isNotificationSupportAvailable(lang::String("6.1.0")));
	EXPECT_FALSE(LocalNotificationsImpl::isNotificationSupportAvailable(lang::String("3.2")));
}

TEST(LocalNotifications, EventNameComesOnlyFromUserInfo)
{
	LocalNotification none;
	LocalNotification withoutName;
	withoutName.hasUserInfo = true;
	withoutName.userInfo["other"] = "x";
	LocalNotification named = withoutName;
	named.userInfo["eventName"] = "dailyBonus";
	EXPECT_EQ(nullptr, LocalNotificationsImpl::getEventName(nullptr));
	EXPECT_EQ(nullptr, LocalNotificationsImpl::getEventName(&none));
	EXPECT_EQ(nullptr, LocalNotificationsImpl::getEventName(&withoutName));
	EXPECT_STREQ("dailyBonus", LocalNotificationsImpl::getEventName(&named));

	Listener first, second;
	LocalNotificationsImpl::sm_listeners.add(&first);
	LocalNotificationsImpl::sm_listeners.add(&second);
	LocalNotificationsImpl::notifyListeners(lang::String("dailyBonus"));
	LocalNotificationsImpl::sm_listeners.clear();
	EXPECT_EQ(std::vector<std::string>{"dailyBonus"}, first.events);
	EXPECT_EQ(std::vector<std::string>{"dailyBonus"}, second.events);
}
