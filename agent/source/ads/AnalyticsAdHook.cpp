#include <agent/ads/AnalyticsAdHook.h>

using platform::ArchiveValue;

ArchiveValue AnalyticsAdHook::archive() const
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAdHook");
	value.set("name", ArchiveValue::string(name));
	value.set("adBlockId", ArchiveValue::integer(adBlockId));
	value.set("themeId", ArchiveValue::integer(themeId));
	value.set("clickAction", ArchiveValue::integer(clickAction));
	if (adTheme)
		value.set("adTheme", adTheme->archive());
	return value;
}

AnalyticsAdHook AnalyticsAdHook::unarchive(const ArchiveValue& value)
{
	AnalyticsAdHook hook;
	hook.name = value.get("name").asString();
	hook.adBlockId = value.get("adBlockId").asInt();
	hook.themeId = value.get("themeId").asInt();
	hook.clickAction = value.get("clickAction").asInt();
	if (value.has("adTheme"))
		hook.adTheme = std::make_shared<AnalyticsAdTheme>(AnalyticsAdTheme::unarchive(value.get("adTheme")));
	return hook;
}
