#include <pf/Locale.h>
#include <pf/LocaleImpl.h>
#include <gtest/gtest.h>
#include <cstdlib>

using pf::LocaleImpl;

TEST(Locale, NormalisesLanguageCodes)
{
	const std::pair<const char*, const char*> cases[] = {
		{"fr", "fr_FR"}, {"EN", "en_EN"}, {"zh-Hant", "zh_TW"}, {"zh-Hans", "zh_CN"}, {"pt-PT", "pt_PT"},
		{"en-GB", "en_GB"}, {"zh-Hans-CN", "zh_Hans_CN"}, {"zh_Hans_SG", "zh_Hans_SG"}, {"haw", "haw"},
		{"x", "x"}, {"", ""},
	};
	for (const auto& c : cases)
		EXPECT_STREQ(c.second, LocaleImpl::normalize(lang::String(c.first)).c_str()) << c.first;
}

TEST(Locale, ReadsTheEnvironmentInOrder)
{
	setenv("LANGUAGE", "fr:zh_TW:pt_PT", 1);
	setenv("LANG", "en_US.UTF-8", 1);
	unsetenv("LC_ALL");
	unsetenv("LC_MESSAGES");
	pf::Locale locale;
	const lang::Array<lang::String> languages = locale.getPreferedLanguages();
	ASSERT_EQ(4, languages.size());
	EXPECT_STREQ("fr_FR", languages[0].c_str());
	EXPECT_STREQ("zh_TW", languages[1].c_str());
	EXPECT_STREQ("pt_PT", languages[2].c_str());
	EXPECT_STREQ("en_EN", languages[3].c_str());
}
