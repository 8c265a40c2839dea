#include <agent/ads/AnalyticsAdTheme.h>

using platform::ArchiveValue;

namespace {

ArchiveValue archiveColor(const AnalyticsAdColor& c)
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAdColor");
	value.set("red", ArchiveValue::real(c.red));
	value.set("green", ArchiveValue::real(c.green));
	value.set("blue", ArchiveValue::real(c.blue));
	value.set("alpha", ArchiveValue::real(c.alpha));
	return value;
}

// A component as the answer gives it: from 0 to 1.
float unarchiveComponent(const ArchiveValue& value, const char* key)
{
	const double component = value.get(key).asDouble();
	if (!(component >= 0.0 && component <= 1.0))
		throw platform::ArchiveError(std::string("Colour component ") + key + " out of 0 to 1");
	return static_cast<float>(component);
}

AnalyticsAdColor unarchiveColor(const ArchiveValue& value)
{
	return {unarchiveComponent(value, "red"), unarchiveComponent(value, "green"), unarchiveComponent(value, "blue"),
		unarchiveComponent(value, "alpha")};
}

ArchiveValue archivePair(const char* className, const char* first, std::int64_t a, const char* second, std::int64_t b)
{
	ArchiveValue value = ArchiveValue::record(className);
	value.set(first, ArchiveValue::integer(a));
	value.set(second, ArchiveValue::integer(b));
	return value;
}

ArchiveValue archiveLocation(const AnalyticsAdLocation& l)
{
	return archivePair("AnalyticsAdLocation", "x", l.x, "y", l.y);
}

ArchiveValue archiveDimension(const AnalyticsAdDimension& d)
{
	return archivePair("AnalyticsAdDimension", "width", d.width, "height", d.height);
}

AnalyticsAdLocation unarchiveLocation(const ArchiveValue& value)
{
	return {value.get("x").asInt(), value.get("y").asInt()};
}

AnalyticsAdDimension unarchiveDimension(const ArchiveValue& value)
{
	return {value.get("width").asInt(), value.get("height").asInt()};
}

ArchiveValue archiveStyle(const AnalyticsAdTextStyle& s)
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAdTextStyle");
	value.set("fontColor", archiveColor(s.fontColor));
	value.set("fontSize", ArchiveValue::integer(s.fontSize));
	value.set("font", ArchiveValue::string(s.font));
	value.set("location", archiveLocation(s.location));
	value.set("dimension", archiveDimension(s.dimension));
	return value;
}

AnalyticsAdTextStyle unarchiveStyle(const ArchiveValue& value)
{
	AnalyticsAdTextStyle s;
	s.fontColor = unarchiveColor(value.get("fontColor"));
	s.fontSize = value.get("fontSize").asInt();
	s.font = value.get("font").asString();
	s.location = unarchiveLocation(value.get("location"));
	s.dimension = unarchiveDimension(value.get("dimension"));
	return s;
}

// The theme's nested records in archive order, for both directions.
template <class Theme, class Visit>
void eachPart(Theme& t, Visit&& visit)
{
	visit("portraitAppNameTextStyle", t.portraitAppNameTextStyle);
	visit("portraitSellMessageTextStyle", t.portraitSellMessageTextStyle);
	visit("portraitAdvertiserTextStyle", t.portraitAdvertiserTextStyle);
	visit("landscapeAppNameTextStyle", t.landscapeAppNameTextStyle);
	visit("landscapeSellMessageTextStyle", t.landscapeSellMessageTextStyle);
	visit("landscapeAdvertiserTextStyle", t.landscapeAdvertiserTextStyle);
	visit("portraitAdDimension", t.portraitAdDimension);
	visit("portraitAppImageDimension", t.portraitAppImageDimension);
	visit("portraitAppImageLocation", t.portraitAppImageLocation);
	visit("landscapeAdDimension", t.landscapeAdDimension);
	visit("landscapeAppImageDimension", t.landscapeAppImageDimension);
	visit("landscapeAppImageLocation", t.landscapeAppImageLocation);
}

struct Archiver
{
	ArchiveValue& value;
	void operator()(const char* key, const AnalyticsAdTextStyle& s) { value.set(key, archiveStyle(s)); }
	void operator()(const char* key, const AnalyticsAdDimension& d) { value.set(key, archiveDimension(d)); }
	void operator()(const char* key, const AnalyticsAdLocation& l) { value.set(key, archiveLocation(l)); }
};

struct Unarchiver
{
	const ArchiveValue& value;
	void operator()(const char* key, AnalyticsAdTextStyle& s) { s = unarchiveStyle(value.get(key)); }
	void operator()(const char* key, AnalyticsAdDimension& d) { d = unarchiveDimension(value.get(key)); }
	void operator()(const char* key, AnalyticsAdLocation& l) { l = unarchiveLocation(value.get(key)); }
};

} // namespace

ArchiveValue AnalyticsAdTheme::archive() const
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAdTheme");
	value.set("themeId", ArchiveValue::integer(themeId));
	value.set("sellMessage", ArchiveValue::string(sellMessage));
	value.set("portraitAdImageId", ArchiveValue::integer(portraitAdImageId));
	value.set("landscapeAdImageId", ArchiveValue::integer(landscapeAdImageId));
	eachPart(*this, Archiver{value});
	return value;
}

AnalyticsAdTheme AnalyticsAdTheme::unarchive(const ArchiveValue& value)
{
	AnalyticsAdTheme theme;
	theme.themeId = value.get("themeId").asInt();
	theme.sellMessage = value.get("sellMessage").asString();
	theme.portraitAdImageId = value.get("portraitAdImageId").asInt();
	theme.landscapeAdImageId = value.get("landscapeAdImageId").asInt();
	eachPart(theme, Unarchiver{value});
	return theme;
}
