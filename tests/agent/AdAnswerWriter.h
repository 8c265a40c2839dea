#ifndef TESTS_AGENT_ADANSWERWRITER_H
#define TESTS_AGENT_ADANSWERWRITER_H

#include <agent/ads/AnalyticsAdParser.h>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Big-endian fields of one chunk body of the server's ad answer.
class AdBody
{
public:
	AdBody& u8(std::uint64_t v) { return number(v, 1); }
	AdBody& u16(std::uint64_t v) { return number(v, 2); }
	AdBody& u32(std::uint64_t v) { return number(v, 4); }
	AdBody& u64(std::uint64_t v) { return number(v, 8); }
	AdBody& text(const std::string& t) { u16(t.size()); return raw(t); }
	AdBody& raw(const std::string& bytes) { m_bytes += bytes; return *this; }
	// Font, size and colour.
	AdBody& style(const std::string& font, int size, std::uint32_t colour) { return text(font).u16(static_cast<std::uint16_t>(size)).u32(colour); }
	const std::string& bytes() const { return m_bytes; }

private:
	AdBody& number(std::uint64_t v, int size)
	{
		for (int i = size - 1; i >= 0; --i)
			m_bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
		return *this;
	}
	std::string m_bytes;
};

// Builds ad answers chunk by chunk, the way the server writes them.
class AdAnswerWriter
{
public:
	struct Ad
	{
		Ad(std::int64_t adId, std::int64_t imageId, std::int64_t canvasId = 0, const std::string& cookie = "") :
			adId(adId), imageId(imageId), canvasId(canvasId), cookie(cookie)
		{
		}
		std::int64_t adId, imageId, canvasId;
		std::string cookie;
	};
	struct Image
	{
		Image(std::int64_t imageId, const std::string& data = "PNGDATA") : imageId(imageId), data(data) {}
		std::int64_t imageId;
		std::string data;
	};

	AdAnswerWriter& chunk(std::uint16_t tag, const AdBody& body)
	{
		AdBody header;
		header.u16(tag).u32(body.bytes().size());
		m_bytes += header.bytes() + body.bytes();
		return *this;
	}
	AdAnswerWriter& version(std::uint32_t v) { return chunk(AnalyticsAdParser::TAG_VERSION, AdBody().u32(v)); }
	AdAnswerWriter& end() { return chunk(AnalyticsAdParser::TAG_END_OF_MESSAGE, AdBody()); }
	AdAnswerWriter& error(int code, const std::string& message) { return chunk(AnalyticsAdParser::TAG_ERROR, AdBody().u16(code).text(message)); }
	AdAnswerWriter& adBlock(int blockId, const std::vector<Ad>& ads)
	{
		AdBody body;
		body.u8(blockId).u16(ads.size());
		for (const Ad& ad : ads)
			body.u64(ad.adId).u64(7).text("App").text("Advertiser").u64(ad.canvasId).u64(ad.imageId).u8(ad.cookie.size()).raw(ad.cookie);
		return chunk(AnalyticsAdParser::TAG_AD_BLOCK, body);
	}
	AdAnswerWriter& images(const std::vector<Image>& images)
	{
		AdBody body;
		body.u16(images.size());
		for (const Image& image : images)
			body.u64(image.imageId).u32(50).u32(50).text("image/png").u32(image.data.size()).raw(image.data);
		return chunk(AnalyticsAdParser::TAG_IMAGES, body);
	}
	// Names with their ad block and theme.
	AdAnswerWriter& hooks(const std::vector<std::pair<std::string, std::pair<int, int>>>& hooks)
	{
		AdBody body;
		body.u32(hooks.size());
		for (const auto& hook : hooks)
			body.text(hook.first).u8(hook.second.first).u8(hook.second.second);
		return chunk(AnalyticsAdParser::TAG_HOOKS, body);
	}
	AdAnswerWriter& theme(int themeId, std::int64_t portraitImage, std::int64_t landscapeImage, std::uint32_t colour = 0xFF000000)
	{
		AdBody body;
		body.u8(1).u8(themeId).text("Sell").u64(portraitImage).u64(landscapeImage)
			.style("Helvetica", 12, colour).style("Helvetica", 14, colour).style("Helvetica", 10, colour);
		return chunk(AnalyticsAdParser::TAG_THEMES, body);
	}
	// The eighteen geometry records all (value, value + 1).
	AdAnswerWriter& themeExtension(int themeId, std::int32_t value)
	{
		AdBody body;
		body.u8(1).u8(themeId).style("Arial", 11, 0).style("Arial", 13, 0).style("Arial", 9, 0);
		for (int i = 0; i < 18; ++i)
			body.u32(static_cast<std::uint32_t>(value)).u32(static_cast<std::uint32_t>(value + 1));
		return chunk(AnalyticsAdParser::TAG_THEME_EXTENSION, body);
	}
	AdAnswerWriter& imageCode(std::int64_t imageId, int code) { return chunk(AnalyticsAdParser::TAG_IMAGE_CODES, AdBody().u32(1).u64(imageId).u16(code)); }
	AdAnswerWriter& properties(std::int32_t refresh, int portraitMax, int landscapeMax, const std::string& portraitAtStart, const std::string& landscapeAtStart)
	{
		return chunk(AnalyticsAdParser::TAG_PROPERTIES, AdBody().u16(0).u16(0).u32(static_cast<std::uint32_t>(refresh)).u64(99)
			.u8(static_cast<std::uint8_t>(portraitMax)).u8(static_cast<std::uint8_t>(landscapeMax)).text(portraitAtStart).text(landscapeAtStart));
	}
	AdAnswerWriter& clickAction(const std::string& hook, std::int64_t action)
	{
		return chunk(AnalyticsAdParser::TAG_HOOK_PROPERTIES, AdBody().u16(1).text(hook).u16(2).u16(0x0702).u64(5).u16(AnalyticsAdParser::CLICK_ACTION_PROPERTY).u64(action));
	}
	// One hook "banner" on block 1 and theme 1, its theme, and the ads with their images.
	AdAnswerWriter& banner(const std::vector<Ad>& ads)
	{
		std::vector<Image> pictures;
		for (const Ad& ad : ads)
			pictures.push_back({ad.imageId});
		return images(pictures).theme(1, 0, 0).themeExtension(1, 10).hooks({{"banner", {1, 1}}}).adBlock(1, ads);
	}

	const std::string& bytes() const { return m_bytes; }

private:
	std::string m_bytes;
};

#endif
