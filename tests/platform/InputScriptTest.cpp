#include <platform/InputScript.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <fstream>

using platform::InputScript;
using platform::ScriptEvent;
using platform::TouchPhase;

TEST(InputScript, ParsesEveryKindOfEvent)
{
	const InputScript script = InputScript::parse(
		"# a comment line\n"
		"0 touch began 0 512.5 384\n"
		"\n"
		"2 touch cancelled 3 -1 7   # trailing comment\n"
		"2 key down VOLUME_UP\n"
		"3 wheel -2\n"
		"4 tilt 1 0 -0.5\n"
		"5 resign\n"
		"6 become\n"
		"7 capture shot-1.png\n"
		"8 close\n"
		"9 notify dailyBonus\n"
		"9 notify\n");
	const auto& e = script.events();
	ASSERT_EQ(11u, e.size());
	EXPECT_EQ(ScriptEvent::Kind::Touch, e[0].kind);
	EXPECT_EQ(TouchPhase::Began, e[0].phase);
	EXPECT_FLOAT_EQ(512.5f, e[0].x);
	EXPECT_EQ(TouchPhase::Cancelled, e[1].phase);
	EXPECT_EQ(3, e[1].finger);
	EXPECT_EQ(2, e[1].frame);
	// Each event keeps its place in the script, to be named by.
	EXPECT_EQ(4, e[1].line);
	EXPECT_EQ("2 touch cancelled 3 -1 7", e[1].text);
	EXPECT_EQ("VOLUME_UP", e[2].name);
	EXPECT_TRUE(e[2].down);
	EXPECT_EQ(-2, e[3].delta);
	EXPECT_FLOAT_EQ(-0.5f, e[4].z);
	EXPECT_EQ(ScriptEvent::Kind::Resign, e[5].kind);
	EXPECT_EQ(ScriptEvent::Kind::Become, e[6].kind);
	EXPECT_EQ("shot-1.png", e[7].name);
	EXPECT_EQ(ScriptEvent::Kind::Close, e[8].kind);
	EXPECT_EQ(ScriptEvent::Kind::Notify, e[9].kind);
	EXPECT_EQ("dailyBonus", e[9].name);
	EXPECT_EQ("", e[10].name);
}

TEST(InputScript, RefusesMalformedLinesNamingTheLine)
{
	const char* const bad[] = {
		"x touch began 0 1 2",
		"-1 close",
		"1 touch began 0 1",
		"1 touch pressed 0 1 2",
		"1 touch began 0 nan 2",
		"1 touch began 0 1e9 2",
		"1 key down NOT_A_KEY",
		"1 key held A",
		"1 wheel 1.5",
		"1 close now",
		"1 notify a b",
		"1 answer 32",
		"1 capture ../escape.png",
		"1 capture /tmp/x.png",
		"1 capture .hidden",
		"1 jump",
		"2 close\n1 close",
	};
	for (const char* text : bad)
	{
		SCOPED_TRACE(text);
		try
		{
			InputScript::parse(std::string("0 close\n") + text);
			ADD_FAILURE() << "accepted";
		}
		catch (const std::invalid_argument& e)
		{
			EXPECT_NE(std::string::npos, std::string(e.what()).find("line "));
		}
	}
}

// A script that cannot be read is refused with the system's reason, a folder given for it too: a
// run of no events would pass for a run of the script's.
TEST(InputScript, AFileThatCannotBeReadIsRefusedWithTheReason)
{
	const testsupport::TemporaryDirectory directory;
	std::ofstream(directory.file("script.txt")) << "1 close\n";
	EXPECT_EQ(1u, InputScript::load(directory.file("script.txt")).events().size());
	const std::pair<std::string, const char*> cases[] = {
		{directory.file("absent.txt"), "No such file or directory"},
		{directory.path(), "Is a directory"},
		{directory.file("script.txt/sub"), "Not a directory"},
	};
	for (const auto& c : cases)
	{
		try
		{
			InputScript::load(c.first);
			ADD_FAILURE() << c.first << " was read";
		}
		catch (const std::invalid_argument& e)
		{
			EXPECT_EQ("Can't read input script " + c.first + ": " + c.second, e.what());
		}
	}
}
