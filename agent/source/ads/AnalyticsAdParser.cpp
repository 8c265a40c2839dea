#include <agent/AnalyticsUtil.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdDelegate.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdProperties.h>
#include <agent/ads/AnalyticsAdView.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <agent/ads/AnalyticsImageCache.h>
#include <agent/ads/AnalyticsOffer.h>
#include "ChunkReader.h"
#include <mutex>

using platform::ArchiveValue;

namespace {

// Guards both parser pointers and the maps of every parser that has been published.
std::mutex s_mutex;
std::shared_ptr<AnalyticsAdParser> s_instance;
std::shared_ptr<AnalyticsAdParser> s_oldInstance;

// The colour's first byte is not used; alpha is always 1.
AnalyticsAdColor parseColor(std::uint32_t value)
{
	return {static_cast<float>((value >> 16) & 0xFF) / 255.0f, static_cast<float>((value >> 8) & 0xFF) / 255.0f,
		static_cast<float>(value & 0xFF) / 255.0f, 1.0f};
}

void parseFontSizeColor(ChunkReader& body, AnalyticsAdTextStyle& style)
{
	style.font = body.text();
	style.fontSize = body.s16();
	style.fontColor = parseColor(body.u32());
}

void parseDimension(ChunkReader& body, AnalyticsAdDimension& dimension)
{
	dimension.width = body.s32();
	dimension.height = body.s32();
}

void parseLocation(ChunkReader& body, AnalyticsAdLocation& location)
{
	location.x = body.s32();
	location.y = body.s32();
}

std::uint32_t readBigEndian32(const unsigned char* at)
{
	return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
}

// True when the chunks' headers and declared bodies tile the data exactly.
bool wellFormed(const std::string& data)
{
	const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data.data());
	std::size_t at = 0;
	while (at < data.size())
	{
		if (data.size() - at < AnalyticsAdParser::CHUNK_HEADER_BYTES)
			return false;
		const std::size_t size = readBigEndian32(bytes + at + 2);
		at += AnalyticsAdParser::CHUNK_HEADER_BYTES;
		if (size > data.size() - at)
			return false;
		at += size;
	}
	return true;
}

std::int64_t idFromKey(const std::string& key)
{
	try
	{
		return std::stoll(key);
	}
	catch (const std::logic_error&)
	{
		throw platform::ArchiveError("ad parser key is no id");
	}
}

} // namespace

std::shared_ptr<AnalyticsAdParser> AnalyticsAdParser::instance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (!s_instance)
	{
		s_instance = std::make_shared<AnalyticsAdParser>();
		AnalyticsAdAssignment::createInstance();
	}
	return s_instance;
}

std::shared_ptr<AnalyticsAdParser> AnalyticsAdParser::recreateInstance()
{
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		s_instance.reset();
	}
	return instance();
}

std::shared_ptr<AnalyticsAdParser> AnalyticsAdParser::oldInstance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (s_oldInstance)
		return s_oldInstance;
	if (std::shared_ptr<AnalyticsFileCache> fileCache = AnalyticsFileCache::instance())
		if (std::optional<ArchiveValue> archived = fileCache->get(ARCHIVE_PREFIX))
		{
			try
			{
				s_oldInstance = unarchive(*archived);
			}
			catch (const platform::ArchiveError&)
			{
			}
		}
	AnalyticsAdAssignment::createInstance();
	return s_oldInstance;
}

std::shared_ptr<AnalyticsAdParser> AnalyticsAdParser::recreateOldInstance()
{
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		s_oldInstance.reset();
	}
	return oldInstance();
}

bool AnalyticsAdParser::isAdParserFinished()
{
	return instance()->adParsingPhase() > 0;
}

bool AnalyticsAdParser::publishAnswer(bool success, const std::string& body)
{
	const std::shared_ptr<AnalyticsAdParser> current = instance();
	AnalyticsAdDelegate* delegate = current->adDelegate();
	if (!success || body.empty() || body.size() > MAX_ANSWER_BYTES || !wellFormed(body))
	{
		{
			std::lock_guard<std::mutex> lock(s_mutex);
			current->m_internetAvailable = success;
		}
		if (delegate)
			delegate->dataUnavailable();
		return false;
	}
	std::shared_ptr<AnalyticsAdParser> fresh = std::make_shared<AnalyticsAdParser>();
	fresh->m_adDelegate = delegate;
	fresh->m_internetAvailable = success;
	fresh->parseData(body);
	std::lock_guard<std::mutex> lock(s_mutex);
	s_instance = std::move(fresh);
	return true;
}

void AnalyticsAdParser::parseData(const std::string& data)
{
	const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data.data());
	for (std::size_t at = 0; at < data.size();)
	{
		const std::uint16_t tag = static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
		const std::size_t size = readBigEndian32(bytes + at + 2);
		ChunkReader body(bytes + at + CHUNK_HEADER_BYTES, size);
		processTaggedFileChunk(tag, body);
		at += CHUNK_HEADER_BYTES + size;
	}
	m_adParsingPhase = 1;
	if (m_adDelegate)
		m_adDelegate->dataAvailable();
}

void AnalyticsAdParser::processTaggedFileChunk(std::uint16_t tag, ChunkReader& body)
{
	switch (tag)
	{
	case TAG_VERSION: processVersionChunk(body); break;
	case TAG_AD_BLOCK: processAdChunk(body); break;
	case TAG_IMAGES: processImageChunk(body); break;
	case TAG_HOOKS: processHookChunk(body); break;
	case TAG_END_OF_MESSAGE: processEndOfMessageChunk(); break;
	case TAG_ERROR: processErrorChunk(body); break;
	case TAG_THEMES: processAdThemeChunk(body); break;
	case TAG_IMAGE_CODES: processAuxImageInfoChunk(body); break;
	case TAG_PROPERTIES: processPropertyChunk(body); break;
	case TAG_HOOK_PROPERTIES: processAuxHookInfoChunk(body); break;
	case TAG_THEME_EXTENSION: processAdThemeExtensionChunk(body); break;
	default: break;
	}
}

void AnalyticsAdParser::processVersionChunk(ChunkReader& body)
{
	const std::uint32_t version = body.u32();
	if (body.ok())
		m_versionId = version;
}

void AnalyticsAdParser::processAdChunk(ChunkReader& body)
{
	const std::int64_t blockId = body.u8();
	const std::uint16_t count = body.u16();
	if (!body.ok())
		return;
	// Filled as the ads arrive: a count from the wire reserves nothing.
	AdBlock& ads = m_adBlockMap[blockId];
	ads.clear();
	for (std::uint16_t i = 0; i < count; ++i)
	{
		std::shared_ptr<AnalyticsAd> ad = std::make_shared<AnalyticsAd>();
		ad->adId = body.s64();
		ad->projectId = body.s64();
		ad->adText = body.text();
		ad->advertiser = body.text();
		ad->canvasId = body.s64();
		ad->imageId = body.s64();
		ad->adCookie = body.bytes(body.u8());
		if (!body.ok())
			return;
		cachedImageToMemory(ad->imageId);
		ads.push_back(std::move(ad));
	}
}

void AnalyticsAdParser::processImageChunk(ChunkReader& body)
{
	const std::uint16_t count = body.u16();
	std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance();
	for (std::uint16_t i = 0; i < count && body.ok(); ++i)
	{
		AnalyticsAdImage image;
		image.imageId = body.s64();
		if (image.imageId < 0)
			return;
		image.width = body.s32();
		image.height = body.s32();
		image.mimeFormat = body.text();
		image.imageDataSize = body.u32();
		// The data cannot reach past this chunk's body.
		image.image = body.bytes(static_cast<std::size_t>(image.imageDataSize));
		if (!body.ok() || image.imageId == 0)
			continue;
		m_imageMap[image.imageId] = image;
		if (cache)
			cache->save(image, image.imageId);
	}
}

void AnalyticsAdParser::processHookChunk(ChunkReader& body)
{
	const std::uint32_t count = body.u32();
	for (std::uint32_t i = 0; i < count && body.ok(); ++i)
	{
		AnalyticsAdHook hook;
		hook.name = body.text();
		hook.adBlockId = body.u8();
		hook.themeId = body.u8();
		if (body.ok())
			m_hookMap[hook.name] = hook;
	}
}

void AnalyticsAdParser::processEndOfMessageChunk()
{
	std::shared_ptr<AnalyticsFileCache> fileCache = AnalyticsFileCache::instance();
	if (!fileCache)
		return;
	fileCache->save(archive(), ARCHIVE_PREFIX);
	if (std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance())
		fileCache->save(cache->archive(), AnalyticsImageCache::ARCHIVE_PREFIX);
}

void AnalyticsAdParser::processErrorChunk(ChunkReader& body)
{
	body.u16();
	body.text();
	if (m_adDelegate)
		m_adDelegate->dataUnavailable();
}

void AnalyticsAdParser::processAdThemeChunk(ChunkReader& body)
{
	const std::uint8_t count = body.u8();
	for (std::uint8_t i = 0; i < count && body.ok(); ++i)
	{
		AnalyticsAdTheme theme;
		theme.themeId = body.u8();
		theme.sellMessage = body.text();
		theme.portraitAdImageId = body.s64();
		theme.landscapeAdImageId = body.s64();
		parseFontSizeColor(body, theme.portraitSellMessageTextStyle);
		parseFontSizeColor(body, theme.portraitAppNameTextStyle);
		parseFontSizeColor(body, theme.portraitAdvertiserTextStyle);
		if (!body.ok())
			return;
		cachedImageToMemory(theme.portraitAdImageId);
		cachedImageToMemory(theme.landscapeAdImageId);
		m_themeMap[theme.themeId] = theme;
	}
}

void AnalyticsAdParser::processAuxImageInfoChunk(ChunkReader& body)
{
	const std::uint32_t count = body.u32();
	for (std::uint32_t i = 0; i < count && body.ok(); ++i)
	{
		const std::int64_t imageId = body.s64();
		const std::int64_t code = body.s16();
		if (!body.ok())
			return;
		cachedImageToMemory(imageId);
		m_imageCodeMap[code] = imageId;
	}
}

void AnalyticsAdParser::processPropertyChunk(ChunkReader& body)
{
	body.u16();
	body.u16();
	const std::int32_t refresh = body.s32();
	const std::int64_t timestamp = body.s64();
	const std::int8_t portraitMax = body.s8();
	const std::int8_t landscapeMax = body.s8();
	if (!body.ok())
		return;
	AnalyticsAdProperties::setBannerRefreshInSeconds(refresh);
	AnalyticsAdProperties::setCacheUpdateTimestamp(timestamp);
	if (std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance())
		cache->setCacheUpdateTimestamp(AnalyticsAdProperties::getCacheUpdateTimestamp());
	AnalyticsAdProperties::setPortraitAdsMaxShown(portraitMax);
	AnalyticsAdProperties::setLandscapeAdsMaxShown(landscapeMax);
	const std::string portraitAtStart = body.text();
	if (body.ok())
		AnalyticsAdProperties::setPortraitAdsShownAtStart(AnalyticsUtil::convertStrToNum(portraitAtStart));
	const std::string landscapeAtStart = body.text();
	if (body.ok())
		AnalyticsAdProperties::setLandscapeAdsShownAtStart(AnalyticsUtil::convertStrToNum(landscapeAtStart));
}

void AnalyticsAdParser::processAuxHookInfoChunk(ChunkReader& body)
{
	const std::uint16_t hooks = body.u16();
	for (std::uint16_t i = 0; i < hooks && body.ok(); ++i)
	{
		const std::string name = body.text();
		const std::uint16_t properties = body.u16();
		for (std::uint16_t p = 0; p < properties && body.ok(); ++p)
		{
			const std::uint16_t key = body.u16();
			const std::int64_t value = body.s64();
			auto hook = m_hookMap.find(name);
			if (body.ok() && key == CLICK_ACTION_PROPERTY && hook != m_hookMap.end())
				hook->second.clickAction = value;
		}
	}
}

void AnalyticsAdParser::processAdThemeExtensionChunk(ChunkReader& body)
{
	const std::uint8_t count = body.u8();
	for (std::uint8_t i = 0; i < count && body.ok(); ++i)
	{
		auto stored = m_themeMap.find(body.u8());
		AnalyticsAdTheme theme = stored != m_themeMap.end() ? stored->second : AnalyticsAdTheme();
		parseFontSizeColor(body, theme.landscapeSellMessageTextStyle);
		parseFontSizeColor(body, theme.landscapeAppNameTextStyle);
		parseFontSizeColor(body, theme.landscapeAdvertiserTextStyle);
		parseDimension(body, theme.portraitAdDimension);
		parseDimension(body, theme.portraitAppImageDimension);
		parseLocation(body, theme.portraitAppImageLocation);
		parseDimension(body, theme.landscapeAdDimension);
		parseDimension(body, theme.landscapeAppImageDimension);
		parseLocation(body, theme.landscapeAppImageLocation);
		AnalyticsAdTextStyle* const portrait[] = {&theme.portraitSellMessageTextStyle, &theme.portraitAppNameTextStyle, &theme.portraitAdvertiserTextStyle};
		AnalyticsAdTextStyle* const landscape[] = {&theme.landscapeSellMessageTextStyle, &theme.landscapeAppNameTextStyle, &theme.landscapeAdvertiserTextStyle};
		for (AnalyticsAdTextStyle* style : portrait)
			parseLocation(body, style->location);
		for (AnalyticsAdTextStyle* style : portrait)
			parseDimension(body, style->dimension);
		for (AnalyticsAdTextStyle* style : landscape)
			parseLocation(body, style->location);
		for (AnalyticsAdTextStyle* style : landscape)
			parseDimension(body, style->dimension);
		if (body.ok() && stored != m_themeMap.end())
			stored->second = theme;
	}
}

void AnalyticsAdParser::cachedImageToMemory(std::int64_t imageId)
{
	if (m_imageMap.count(imageId))
		return;
	if (std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance())
		if (std::optional<AnalyticsAdImage> image = cache->get(imageId))
			m_imageMap[imageId] = *image;
}

namespace {

// The parser the lookups use: the current one once it has parsed an answer, else the old one.
std::shared_ptr<AnalyticsAdParser> lookupParser(bool needsInternet)
{
	std::shared_ptr<AnalyticsAdParser> current = AnalyticsAdParser::instance();
	if (needsInternet && !current->internetAvailable())
		return nullptr;
	return current->adParsingPhase() > 0 ? current : AnalyticsAdParser::oldInstance();
}

} // namespace

std::shared_ptr<AnalyticsAdHook> AnalyticsAdParser::fastHookWithName(const std::string& name)
{
	std::shared_ptr<AnalyticsAdParser> parser = lookupParser(false);
	return parser ? parser->hookWithName(name) : nullptr;
}

std::shared_ptr<AnalyticsAd> AnalyticsAdParser::fastAdWithHook(const std::string& hook, const std::string& parentName)
{
	std::shared_ptr<AnalyticsAdParser> parser = lookupParser(true);
	return parser ? parser->adWithHook(hook, parentName) : nullptr;
}

bool AnalyticsAdParser::fastOfferWithHook(const std::string& hook, AnalyticsAdImpression* impression, AnalyticsOffer* offer)
{
	std::shared_ptr<AnalyticsAdParser> parser = lookupParser(true);
	return parser && parser->offerWithHook(hook, impression, offer);
}

std::string AnalyticsAdParser::fastImageWithCode(std::int64_t code)
{
	std::shared_ptr<AnalyticsAdParser> parser = lookupParser(false);
	return parser ? parser->getImageWithCode(code) : std::string();
}

std::shared_ptr<AnalyticsAdHook> AnalyticsAdParser::hookWithName(const std::string& name)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return hookLocked(name);
}

std::shared_ptr<AnalyticsAdHook> AnalyticsAdParser::hookLocked(const std::string& name)
{
	auto hook = m_hookMap.find(name);
	if (hook == m_hookMap.end())
		hook = m_hookMap.find("");
	if (hook == m_hookMap.end())
		return nullptr;
	auto stored = m_themeMap.find(hook->second.themeId);
	if (stored == m_themeMap.end())
		return nullptr;
	std::shared_ptr<AnalyticsAdTheme> theme = std::make_shared<AnalyticsAdTheme>(stored->second);
	theme->portraitAdImage = imageLocked(theme->portraitAdImageId);
	theme->landscapeAdImage = imageLocked(theme->landscapeAdImageId);
	if (theme->landscapeAdImageId > 0 && theme->landscapeAdImage.empty())
		return nullptr;
	if (theme->portraitAdImageId > 0 && theme->portraitAdImage.empty())
		return nullptr;
	std::shared_ptr<AnalyticsAdHook> found = std::make_shared<AnalyticsAdHook>(hook->second);
	found->adTheme = std::move(theme);
	return found;
}

std::shared_ptr<AnalyticsAd> AnalyticsAdParser::adWithHook(const std::string& hookName, const std::string& parentName)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	std::shared_ptr<AnalyticsAdHook> hook = hookLocked(hookName);
	if (!hook)
		return nullptr;
	auto block = m_adBlockMap.find(hook->adBlockId);
	if (block == m_adBlockMap.end() || block->second.empty())
		return nullptr;
	std::shared_ptr<AnalyticsAd> ad;
	for (int tries = 0; tries < MAX_AD_TRIES && !ad; ++tries)
		ad = adFromAdBlockLocked(block->second, parentName);
	if (!ad)
		return nullptr;
	std::shared_ptr<AnalyticsAd> shown = std::make_shared<AnalyticsAd>(*ad);
	shown->adImage = imageLocked(shown->imageId);
	return shown->adImage.empty() ? nullptr : shown;
}

std::shared_ptr<AnalyticsAd> AnalyticsAdParser::adFromAdBlockLocked(AdBlock& ads, const std::string& parentName)
{
	std::shared_ptr<AnalyticsAd> ad = ads.front();
	ads.erase(ads.begin());
	ads.push_back(ad);
	return AnalyticsAdAssignment::createInstance()->assignAd(ad, parentName);
}

bool AnalyticsAdParser::offerWithHook(const std::string& hookName, AnalyticsAdImpression* impression, AnalyticsOffer* offer)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	std::shared_ptr<AnalyticsAdHook> hook = hookLocked(hookName);
	if (!hook || !offer)
		return false;
	auto block = m_adBlockMap.find(hook->adBlockId);
	if (block == m_adBlockMap.end() || block->second.empty())
		return false;
	AdBlock& ads = block->second;
	std::shared_ptr<AnalyticsAd> ad = ads.front();
	ads.erase(ads.begin());
	ads.push_back(ad);
	offer->appName = ad->adText;
	offer->appIcon = imageLocked(ad->imageId);
	offer->referralUrl = AnalyticsAdView::webUrlForOffer(hookName, *ad, impression);
	if (impression)
		impression->updateWithAd(*ad);
	return true;
}

std::string AnalyticsAdParser::getImageWithCode(std::int64_t code)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	auto image = m_imageCodeMap.find(code);
	return image == m_imageCodeMap.end() ? std::string() : imageLocked(image->second);
}

std::string AnalyticsAdParser::getImage(std::int64_t imageId)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return imageLocked(imageId);
}

std::string AnalyticsAdParser::imageLocked(std::int64_t imageId)
{
	std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance();
	auto image = m_imageMap.find(imageId);
	if (image != m_imageMap.end())
	{
		if (cache)
			cache->setAsMostRecentlyUsed(imageId);
		return image->second.image;
	}
	if (!cache)
		return std::string();
	std::optional<AnalyticsAdImage> cached = cache->get(imageId);
	return cached ? cached->image : std::string();
}

void AnalyticsAdParser::setAdDelegate(AnalyticsAdDelegate* delegate)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	m_adDelegate = delegate;
}

AnalyticsAdDelegate* AnalyticsAdParser::adDelegate() const
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return m_adDelegate;
}

bool AnalyticsAdParser::internetAvailable() const
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return m_internetAvailable;
}

int AnalyticsAdParser::adParsingPhase() const
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return m_adParsingPhase;
}

std::int64_t AnalyticsAdParser::versionId() const
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return m_versionId;
}

ArchiveValue AnalyticsAdParser::archive() const
{
	std::lock_guard<std::mutex> lock(s_mutex);
	ArchiveValue blocks = ArchiveValue::dictionary();
	for (const auto& block : m_adBlockMap)
	{
		ArchiveValue ads = ArchiveValue::array();
		for (const std::shared_ptr<AnalyticsAd>& ad : block.second)
			ads.append(ad->archive());
		blocks.set(std::to_string(block.first), ads);
	}
	ArchiveValue hooks = ArchiveValue::dictionary();
	for (const auto& hook : m_hookMap)
		hooks.set(hook.first, hook.second.archive());
	ArchiveValue themes = ArchiveValue::dictionary();
	for (const auto& theme : m_themeMap)
		themes.set(std::to_string(theme.first), theme.second.archive());
	ArchiveValue codes = ArchiveValue::dictionary();
	for (const auto& code : m_imageCodeMap)
		codes.set(std::to_string(code.first), ArchiveValue::integer(code.second));
	ArchiveValue value = ArchiveValue::record("AnalyticsAdParser");
	value.set("versionId", ArchiveValue::integer(m_versionId));
	value.set("adBlockMap", blocks);
	value.set("canvasMap", ArchiveValue::dictionary());
	value.set("hookMap", hooks);
	value.set("themeMap", themes);
	value.set("imageCodeMap", codes);
	value.set("adParsingPhase", ArchiveValue::integer(m_adParsingPhase));
	return value;
}

std::shared_ptr<AnalyticsAdParser> AnalyticsAdParser::unarchive(const ArchiveValue& value)
{
	std::shared_ptr<AnalyticsAdParser> parser = std::make_shared<AnalyticsAdParser>();
	parser->m_internetAvailable = false;
	parser->m_versionId = value.get("versionId").asInt();
	const ArchiveValue& blocks = value.get("adBlockMap");
	for (const std::string& key : blocks.keys())
	{
		AdBlock& ads = parser->m_adBlockMap[idFromKey(key)];
		for (const ArchiveValue& ad : blocks.get(key).items())
			ads.push_back(std::make_shared<AnalyticsAd>(AnalyticsAd::unarchive(ad)));
	}
	const ArchiveValue& hooks = value.get("hookMap");
	for (const std::string& key : hooks.keys())
		parser->m_hookMap[key] = AnalyticsAdHook::unarchive(hooks.get(key));
	const ArchiveValue& themes = value.get("themeMap");
	for (const std::string& key : themes.keys())
		parser->m_themeMap[idFromKey(key)] = AnalyticsAdTheme::unarchive(themes.get(key));
	const ArchiveValue& codes = value.get("imageCodeMap");
	for (const std::string& key : codes.keys())
		parser->m_imageCodeMap[idFromKey(key)] = codes.get(key).asInt();
	parser->m_adParsingPhase = static_cast<int>(value.get("adParsingPhase").asInt());
	return parser;
}
