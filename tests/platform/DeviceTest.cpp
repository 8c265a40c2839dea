#include <platform/Device.h>
#include <platform/Directories.h>
#include <gtest/gtest.h>

using platform::Device;

TEST(Device, PreferredLanguagesFromTheEnvironment)
{
	struct Case
	{
		const char* language;
		const char* lcAll;
		const char* lang;
		std::vector<std::string> expected;
	};
	const Case cases[] = {
		{nullptr, nullptr, "fr_FR.UTF-8", {"fr"}},
		{"fr:zh_TW:pt_PT", nullptr, "en_US.UTF-8", {"fr", "zh-Hant", "pt-PT", "en"}},
		{"zh_CN:zh_SG:zh_HK", nullptr, nullptr, {"zh-Hans", "zh-Hant"}},
		{nullptr, "en_GB.UTF-8@euro", "de_DE", {"en-GB"}},
		{"", nullptr, "C", {"en"}},
		{nullptr, nullptr, nullptr, {"en"}},
		{"haw:de", nullptr, "POSIX", {"haw", "de", "en"}},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.expected, Device::preferredLanguages(c.language, c.lcAll, nullptr, c.lang)) << (c.language ? c.language : "-");
}

TEST(Device, IdentifierIsStableAndVersionNumeric)
{
	const std::string id = Device::uniqueIdentifier();
	EXPECT_GE(id.size(), 16u);
	EXPECT_EQ(id, Device::uniqueIdentifier());
	const std::string version = Device::systemVersion();
	ASSERT_FALSE(version.empty());
	EXPECT_TRUE(isdigit(static_cast<unsigned char>(version[0]))) << version;
}
