#include "app/TestGame.h"
#include "io/IoTestSupport.h"
#include <framework/AppController.h>
#include <platform/Application.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <png.h>
#include <cstdio>
#include <fstream>

namespace
{

struct Picture
{
	int width = 0;
	int height = 0;
	std::vector<unsigned char> rgba;

	unsigned rgb(int x, int y) const
	{
		const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
		return (p[0] << 16) | (p[1] << 8) | p[2];
	}
};

Picture readPng(const std::string& path)
{
	Picture picture;
	png_image image{};
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str()))
		return picture;
	image.format = PNG_FORMAT_RGBA;
	picture.rgba.resize(PNG_IMAGE_SIZE(image));
	if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr))
	{
		picture.width = static_cast<int>(image.width);
		picture.height = static_cast<int>(image.height);
	}
	return picture;
}

} // namespace

TEST(HeadlessRun, ScriptedTouchShowsWhereItLandedOnTheCapturedScreen)
{
	const testsupport::TemporaryDirectory temporary;
	const std::string directory = temporary.path();
	const std::string script = directory + "/capture-script.txt";
	std::ofstream(script) << "1 touch began 0 200 100\n3 capture headless-touch.png\n";
	platform::LaunchOptions options;
	options.headless = true;
	options.frames = 5;
	options.script = script;
	options.outputDirectory = directory;
	options.documentsDirectory = directory + "/framework-documents";
	auto application = platform::Application::create(options);
	AppController controller(*application);
	ASSERT_EQ(0, application->run(controller));

	const Picture shot = readPng(directory + "/headless-touch.png");
	ASSERT_EQ(1024, shot.width);
	ASSERT_EQ(768, shot.height);
	const unsigned background = TestGame::BACKGROUND & 0xffffff;
	const unsigned marker = TestGame::MARKER & 0xffffff;
	struct Probe
	{
		int x, y;
		unsigned colour;
	};
	// The 40-pixel marker is centred on (200, 100); the rest is background.
	for (const Probe p : {Probe{200, 100, marker}, Probe{182, 82, marker}, Probe{217, 117, marker},
			Probe{177, 100, background}, Probe{200, 122, background}, Probe{600, 500, background}, Probe{1023, 767, background}})
		EXPECT_EQ(p.colour, shot.rgb(p.x, p.y)) << p.x << "," << p.y;
}

// The output folder is made as the first capture needs it, and the run says nothing; a capture
// that cannot be written fails the run with the system's reason; so does one that the run never
// reached because the application quit itself first (Escape quits the test application).
TEST(HeadlessRun, CapturesMakeTheirFolderAndFailTheRunWhenNotWritten)
{
	iotest::TemporaryDirectory directory;
	iotest::writeFile(directory.file("plain"), "a file, not a folder");
	const struct
	{
		const char* script;
		std::string output;
		int exitCode;
		// What the run writes to the standard error holds this; empty: it writes nothing at all.
		std::string logged;
	} cases[] = {
		{"3 capture shot.png\n", directory.file("made/deeper"), 0, ""},
		{"3 capture shot.png\n", directory.file("plain/sub"), 1, "Can't capture frame 3 to " + directory.file("plain/sub/shot.png") +
			": can't make the folder " + directory.file("plain/sub") + ": Not a directory\n"},
		{"1 key down ESCAPE\n3 capture late.png\n", directory.path(), 1, "Input script line 2 (3 capture late.png) never ran: "},
	};
	for (const auto& c : cases)
	{
		const std::string script = directory.file("script.txt");
		std::ofstream(script) << c.script;
		platform::LaunchOptions options;
		options.headless = true;
		options.frames = 5;
		options.script = script;
		options.outputDirectory = c.output;
		options.documentsDirectory = directory.file("documents");
		auto application = platform::Application::create(options);
		AppController controller(*application);
		testing::internal::CaptureStderr();
		EXPECT_EQ(c.exitCode, application->run(controller)) << c.script << c.output;
		const std::string log = testing::internal::GetCapturedStderr();
		EXPECT_TRUE(c.logged.empty() ? log.empty() : log.find(c.logged) != std::string::npos) << c.script << c.output << "\n" << log;
	}
	EXPECT_EQ(1024, readPng(directory.file("made/deeper/shot.png")).width);
}
