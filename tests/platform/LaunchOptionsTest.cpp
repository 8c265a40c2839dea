#include <platform/LaunchOptions.h>
#include <gtest/gtest.h>
#include <stdexcept>

using platform::LaunchOptions;

TEST(LaunchOptions, ReadsEveryOption)
{
	const char* argv[] = {"/opt/game/run", "--headless", "--frames", "12", "--script", "s.txt", "--output", "out",
		"--data", "d", "--documents", "docs", "--system-version", "3.0", "--notification", "", "--library", "lib",
		"--caches", "tmp", "--player", "Ann", "--game-service", "cancel"};
	const LaunchOptions o = LaunchOptions::parse(24, argv);
	EXPECT_TRUE(o.headless);
	EXPECT_EQ(12, o.frames);
	EXPECT_EQ("s.txt", o.script);
	EXPECT_EQ("out", o.outputDirectory);
	EXPECT_EQ("d", o.dataDirectory);
	EXPECT_EQ("docs", o.documentsDirectory);
	EXPECT_EQ("3.0", o.systemVersion);
	EXPECT_EQ("lib", o.libraryDirectory);
	EXPECT_EQ("tmp", o.cachesDirectory);
	EXPECT_EQ("Ann", o.player);
	EXPECT_EQ("cancel", o.gameService);
	EXPECT_EQ("/opt/game/run", o.program);
	// A notification's alert text may be empty: the option itself says it was there.
	ASSERT_TRUE(o.launchNotification);
	EXPECT_EQ("", o.launchNotification->alertBody);
	EXPECT_FALSE(LaunchOptions::parse(1, argv).launchNotification);
}

TEST(LaunchOptions, HelpAsksForAUsageThatNamesEveryOption)
{
	for (const char* option : {"--help", "-h"})
	{
		const char* argv[] = {"run", "--headless", option};
		EXPECT_TRUE(LaunchOptions::parse(3, argv).help) << option;
	}
	const char* argv[] = {"run"};
	EXPECT_FALSE(LaunchOptions::parse(1, argv).help);
	const std::string usage = LaunchOptions::usage("/opt/game/run");
	EXPECT_EQ(0u, usage.find("Usage: /opt/game/run [options]\n"));
	for (const char* option : {"--headless", "--frames N", "--script FILE", "--output DIR", "--data DIR", "--documents DIR",
		"--library DIR", "--caches DIR", "--player NAME", "--game-service STATE", "--system-version V",
		"--notification TEXT", "-h, --help"})
		EXPECT_NE(std::string::npos, usage.find(std::string("  ") + option + " ")) << option;
	// A new user gives the data folder itself as often as the folder that holds it.
	EXPECT_NE(std::string::npos, usage.find("data folder (the game's is data_ipad), or\n")) << usage;
}

TEST(LaunchOptions, RefusesWhatItDoesNotKnow)
{
	const std::vector<std::vector<const char*>> bad = {
		{"run", "--fast"}, {"run", "--frames"}, {"run", "--frames", "-3"}, {"run", "--frames", "7x"}, {"run", "--script"}, {"run", "--notification"},
		{"run", "--game-service", "maybe"}, {"run", "--system-version", "abc"}, {"run", "--system-version", ""},
		{"run", "--system-version", "4."}, {"run", "--system-version", ".4"}, {"run", "--system-version", "4..1"},
		{"run", "--system-version", "4.1b"}, {"run", "--system-version", "-4"},
	};
	for (const auto& argv : bad)
		EXPECT_THROW(LaunchOptions::parse(static_cast<int>(argv.size()), argv.data()), std::invalid_argument) << argv[1] << " " << argv.back();
	for (const char* version : {"4", "3.1", "4.3.2", "10.0"})
	{
		const char* argv[] = {"run", "--system-version", version};
		EXPECT_EQ(version, LaunchOptions::parse(3, argv).systemVersion);
	}
}

// GAME_LOG and its kind: only a value that means yes turns them on.
TEST(LaunchOptions, AnEnvironmentSwitchIsOnOnlyForAYes)
{
	for (const char* yes : {"1", "yes", "YES", "true", "True", "on"})
		EXPECT_TRUE(LaunchOptions::switchedOn(yes)) << yes;
	for (const char* no : {static_cast<const char*>(nullptr), "", "0", "no", "false", "off", "2", " 1"})
		EXPECT_FALSE(LaunchOptions::switchedOn(no)) << (no ? no : "(unset)");
}
