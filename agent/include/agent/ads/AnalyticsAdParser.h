#ifndef AGENT_ADS_ANALYTICSADPARSER_H
#define AGENT_ADS_ANALYTICSADPARSER_H

#include <agent/ads/AnalyticsAd.h>
#include <agent/ads/AnalyticsAdHook.h>
#include <agent/ads/AnalyticsAdImage.h>
#include <agent/ads/AnalyticsAdTheme.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class AnalyticsAdDelegate;
class AnalyticsAdImpression;
class ChunkReader;
struct AnalyticsOffer;

// The ads of the server's answer, read from its tagged binary message, and the lookups the views
// make on them. Two process-wide parsers: the current one, replaced whole each time an answer is
// published, and the old one restored from the last archived message. One class lock guards both
// pointers and every parser's maps (the lookups rotate ad blocks and fill the image map); an
// answer is parsed into a fresh parser outside the lock and published under it.
class AnalyticsAdParser
{
public:
	enum Tag : std::uint16_t
	{
		TAG_VERSION = 0x102,
		TAG_AD_BLOCK = 0x103,
		TAG_IMAGES = 0x106,
		TAG_HOOKS = 0x107,
		TAG_END_OF_MESSAGE = 0x108,
		TAG_ERROR = 0x109,
		TAG_THEMES = 0x10A,
		TAG_IMAGE_CODES = 0x10C,
		TAG_PROPERTIES = 0x10D,
		TAG_HOOK_PROPERTIES = 0x10E,
		TAG_THEME_EXTENSION = 0x10F,
	};
	// Bytes of a chunk's header: the tag and the body's size.
	static constexpr std::size_t CHUNK_HEADER_BYTES = 6;
	// Larger answers are refused unread.
	static constexpr std::size_t MAX_ANSWER_BYTES = 8 * 1024 * 1024;
	static constexpr std::uint16_t CLICK_ACTION_PROPERTY = 0x0701;
	// Ads tried in a block before a lookup gives up.
	static constexpr int MAX_AD_TRIES = 5;
	static constexpr const char* ARCHIVE_PREFIX = "adParser";

	static std::shared_ptr<AnalyticsAdParser> instance();
	static std::shared_ptr<AnalyticsAdParser> recreateInstance();
	// Read from the file cache while there is none.
	static std::shared_ptr<AnalyticsAdParser> oldInstance();
	static std::shared_ptr<AnalyticsAdParser> recreateOldInstance();
	static bool isAdParserFinished();

	// The upload's entry, on its thread: an answer that arrived (success) with its body, or none.
	// A whole, well-formed body is parsed into a fresh parser that then replaces the current one;
	// an empty, truncated or oversized body publishes nothing and the delegate hears that no data
	// came. Returns whether a parser was published.
	static bool publishAnswer(bool success, const std::string& body);

	// The lookups take the current parser once it has parsed an answer, else the old one.
	static std::shared_ptr<AnalyticsAdHook> fastHookWithName(const std::string& name);
	// None unless the last answer arrived.
	static std::shared_ptr<AnalyticsAd> fastAdWithHook(const std::string& hook, const std::string& parentName);
	static bool fastOfferWithHook(const std::string& hook, AnalyticsAdImpression* impression, AnalyticsOffer* offer);
	// Encoded image bytes; empty when there is none.
	static std::string fastImageWithCode(std::int64_t code);

	AnalyticsAdParser() = default;

	// Each lookup takes the class lock.
	std::shared_ptr<AnalyticsAdHook> hookWithName(const std::string& name);
	std::shared_ptr<AnalyticsAd> adWithHook(const std::string& hook, const std::string& parentName);
	bool offerWithHook(const std::string& hook, AnalyticsAdImpression* impression, AnalyticsOffer* offer);
	std::string getImageWithCode(std::int64_t code);
	std::string getImage(std::int64_t imageId);

	// Not owned; passed on to each parser that replaces this one.
	void setAdDelegate(AnalyticsAdDelegate* delegate);
	AnalyticsAdDelegate* adDelegate() const;
	bool internetAvailable() const;
	int adParsingPhase() const;
	std::int64_t versionId() const;

	platform::ArchiveValue archive() const;
	// Throws platform::ArchiveError for a record of another shape.
	static std::shared_ptr<AnalyticsAdParser> unarchive(const platform::ArchiveValue& value);

private:
	using AdBlock = std::vector<std::shared_ptr<AnalyticsAd>>;

	// With the class lock held.
	std::shared_ptr<AnalyticsAdHook> hookLocked(const std::string& name);
	std::shared_ptr<AnalyticsAd> adFromAdBlockLocked(AdBlock& ads, const std::string& parentName);
	std::string imageLocked(std::int64_t imageId);

	// Parsing, on a parser no other thread sees yet.
	void parseData(const std::string& data);
	void processTaggedFileChunk(std::uint16_t tag, ChunkReader& body);
	void processVersionChunk(ChunkReader& body);
	void processAdChunk(ChunkReader& body);
	void processImageChunk(ChunkReader& body);
	void processHookChunk(ChunkReader& body);
	void processEndOfMessageChunk();
	void processErrorChunk(ChunkReader& body);
	void processAdThemeChunk(ChunkReader& body);
	void processAuxImageInfoChunk(ChunkReader& body);
	void processPropertyChunk(ChunkReader& body);
	void processAuxHookInfoChunk(ChunkReader& body);
	void processAdThemeExtensionChunk(ChunkReader& body);
	void cachedImageToMemory(std::int64_t imageId);

	std::int64_t m_versionId = 0;
	int m_adParsingPhase = 0;
	bool m_internetAvailable = true;
	std::map<std::int64_t, AdBlock> m_adBlockMap;
	std::map<std::int64_t, AnalyticsAdImage> m_imageMap;
	std::map<std::string, AnalyticsAdHook> m_hookMap;
	std::map<std::int64_t, AnalyticsAdTheme> m_themeMap;
	std::map<std::int64_t, std::int64_t> m_imageCodeMap;
	AnalyticsAdDelegate* m_adDelegate = nullptr;
};

#endif
