#include "IoTestSupport.h"
#include <io/FileOutputStream.h>
#include <io/FileReplacement.h>
#include <io/IOException.h>
#include <support/FullDisk.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>

namespace {

// Saves that run out of room, each returning the message thrown to the saver ("" when none).
struct FailedSave
{
	const char* what;
	std::function<std::string(const std::string& path)> save;
	// The message expected for path on a disk that fails writes for reason.
	std::function<std::string(const std::string& path, const std::string& reason)> message;
	// Whether the failure of the commit is also left to the debug log.
	bool logged = false;
};

const std::string SMALL(100, 's');
// Beyond the stream's buffer, so the write itself reaches the disk.
const std::string LARGE(300000, 'l');

std::string closeFailure(const std::string& path, const std::string& reason)
{
	return "Failed to close " + path + ": " + reason;
}

std::string largeWriteFailure(const std::string& path, const std::string& reason)
{
	return "Failed to write 300000 bytes to " + path + ": " + reason;
}

template <class Save>
std::string messageOf(Save save)
{
	try
	{
		save();
	}
	catch (const io::IOException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "";
}

TEST(FileReplacementTest, AFullDiskKeepsTheOldFileByteForByteAndSaysWhy)
{
	const FailedSave saves[] = {
		{"a small save fails when it closes",
			[](const std::string& path) {
				return messageOf([&] {
					io::FileOutputStream out(path.c_str());
					out.write(SMALL.data(), SMALL.size());
					out.close();
				});
			},
			closeFailure},
		{"a large save fails when it writes",
			[](const std::string& path) {
				return messageOf([&] {
					io::FileOutputStream out(path.c_str());
					out.write(LARGE.data(), LARGE.size());
				});
			},
			largeWriteFailure},
		{"a failed write that the saver catches is never committed by the destructor, which logs",
			[](const std::string& path) {
				io::FileOutputStream out(path.c_str());
				return messageOf([&] { out.write(LARGE.data(), LARGE.size()); });
			},
			largeWriteFailure, true},
		{"closing after a failed write reports the write's reason",
			[](const std::string& path) {
				io::FileOutputStream out(path.c_str());
				messageOf([&] { out.write(LARGE.data(), LARGE.size()); });
				return messageOf([&] { out.close(); });
			},
			closeFailure},
		{"a whole buffer at once",
			[](const std::string& path) {
				return messageOf([&] { io::FileReplacement::replace(path.c_str(), SMALL.data(), SMALL.size()); });
			},
			closeFailure},
	};
	testsupport::FullDisk disk;
	const std::string path = disk.file("save.lua");
	std::string old;
	for (int i = 0; i < 1000; ++i)
		old += static_cast<char>(i * 7 % 256);
	io::FileReplacement::replace(path.c_str(), old.data(), old.size());
	for (const FailedSave& save : saves)
	{
		disk.fill();
		EXPECT_EQ(save.message(path, disk.reason()), save.save(path)) << save.what;
		const std::string log = disk.drain();
		EXPECT_EQ(save.logged, log.find(closeFailure(path, disk.reason()) + "\n") != std::string::npos) << save.what << log;
		EXPECT_EQ(old, disk.contents(path)) << save.what;
		EXPECT_EQ(std::vector<std::string>{"save.lua"}, disk.entries()) << save.what;
	}
	EXPECT_EQ("", saves[0].save(path)) << "the next save tries again";
	EXPECT_EQ(SMALL, disk.contents(path));
}

// The contents of a save's generation: they name the generation and vary in length with it, so a
// mix of two saves, a cut one or an empty file never passes for a whole one.
std::string generation(unsigned number)
{
	static const std::string letters = [] {
		std::string text;
		for (int i = 0; i < 10026; ++i)
			text += static_cast<char>('a' + i % 26);
		return text;
	}();
	return "generation " + std::to_string(number) + "\n" + letters.substr(number % 26, 2000 + number * 7919 % 8000);
}

unsigned generationOf(const std::string& text)
{
	const size_t prefix = std::strlen("generation ");
	return text.size() > prefix ? static_cast<unsigned>(std::strtoul(text.c_str() + prefix, nullptr, 10)) : 0;
}

// Memory-backed when the system offers it, so that a save takes well under a millisecond and the
// kills spread over every step of many saves; a kill tests the rename, not the syncs, which only a
// power cut would.
std::filesystem::path fastTemporaryBase()
{
	std::error_code error;
	return access("/dev/shm", W_OK) == 0 && std::filesystem::is_directory("/dev/shm", error)
		? std::filesystem::path("/dev/shm")
		: std::filesystem::temp_directory_path();
}

// Saves the generations of path from first on, over and over, in pieces as a table writer does,
// until killed; writes a byte to ready once its first save is in place.
[[noreturn]] void saveUntilKilled(const std::string& path, unsigned first, int ready)
{
	constexpr int PIECE_BYTES = 1000;
	for (unsigned number = first;; ++number)
	{
		const std::string text = generation(number);
		io::FileOutputStream out(path.c_str());
		for (size_t at = 0; at < text.size(); at += PIECE_BYTES)
			out.write(text.data() + at, static_cast<int>(std::min<size_t>(PIECE_BYTES, text.size() - at)));
		out.close();
		const char saved = 1;
		if (number == first && write(ready, &saved, 1) != 1)
			std::_Exit(1);
	}
}

// Forks a saver of path from generation first and returns once its first save is in place.
pid_t startSaver(const std::string& path, unsigned first)
{
	int ready[2];
	if (pipe(ready) != 0)
		return -1;
	const pid_t child = fork();
	if (child == 0)
		saveUntilKilled(path, first, ready[1]);
	close(ready[1]);
	char saved = 0;
	if (child > 0 && read(ready[0], &saved, 1) != 1)
		ADD_FAILURE() << "the saver never saved";
	close(ready[0]);
	return child;
}

TEST(FileReplacementTest, ASaverKilledAtRandomLeavesTheOldOrTheNewFileWhole)
{
	constexpr int KILLS = 200;
	constexpr unsigned SAVES_TIMED = 10;
	iotest::TemporaryDirectory directory(fastTemporaryBase());
	const std::string path = directory.file("save.lua");
	const auto started = std::chrono::steady_clock::now();
	for (unsigned number = 0; number < SAVES_TIMED; ++number)
	{
		const std::string text = generation(number);
		io::FileReplacement::replace(path.c_str(), text.data(), text.size());
	}
	// Kills land from the saver's first save to about two saves later.
	const long window = std::max<long>(1, std::chrono::duration_cast<std::chrono::microseconds>(
		std::chrono::steady_clock::now() - started).count() * 2 / SAVES_TIMED);
	std::mt19937 random(20240611);
	unsigned last = SAVES_TIMED - 1;
	int newer = 0;
	for (int kill = 0; kill < KILLS; ++kill)
	{
		const pid_t child = startSaver(path, last + 1);
		ASSERT_GT(child, 0);
		// A sleep this short would overshoot by the timer's slack, which can pass a whole save.
		const auto killAt = std::chrono::steady_clock::now() + std::chrono::microseconds(random() % window);
		while (std::chrono::steady_clock::now() < killAt)
		{
		}
		::kill(child, SIGKILL);
		int status = 0;
		ASSERT_EQ(child, waitpid(child, &status, 0));
		ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself";

		const std::string text = iotest::readFile(path);
		ASSERT_FALSE(text.empty()) << "after kill " << kill;
		const unsigned number = generationOf(text);
		ASSERT_EQ(generation(number), text) << "after kill " << kill;
		ASSERT_GT(number, last) << "after kill " << kill;
		newer += number > last + 1;
		last = number;
	}
	std::printf("%d of %d kills found a save after the saver's first\n", newer, KILLS);
	EXPECT_GT(newer, 0);
	EXPECT_LT(newer, KILLS);

	// Each killed saver may have left its temporary file; the next save removes them all.
	const std::string text = generation(last + 1);
	io::FileReplacement::replace(path.c_str(), text.data(), text.size());
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries());
}

// The number of a process that has ended.
pid_t endedProcess()
{
	const pid_t child = fork();
	if (child == 0)
		std::_Exit(0);
	waitpid(child, nullptr, 0);
	return child;
}

std::string temporaryName(const std::string& file, pid_t writer, unsigned number)
{
	return file + "." + std::to_string(writer) + "." + std::to_string(number) + ".tmp";
}

TEST(FileReplacementTest, ASaveRemovesTheTemporaryFilesOfItsNameThatNoRunningWriterHolds)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	const pid_t ended = endedProcess();
	const struct
	{
		std::string entry;
		bool kept;
	} entries[] = {
		{temporaryName("save.lua", ended, 3), false},
		{temporaryName("save.lua", getpid(), 4000000000u), false},
		{temporaryName("save.lua", getppid(), 3), true},
		{temporaryName("other.lua", ended, 3), true},
		{temporaryName("save.lu", ended, 3), true},
		{"save.lua." + std::to_string(ended) + ".x.tmp", true},
		{"save.lua.bak", true},
	};
	// A save of the same name that this process has under way keeps its temporary file.
	io::FileReplacement underWay(path.c_str());
	underWay.write("under way", 9);
	ASSERT_EQ(1u, directory.entries().size());
	const std::string underWayEntry = directory.entries()[0];
	for (const auto& entry : entries)
		iotest::writeFile(directory.file(entry.entry), "left");

	io::FileReplacement::replace(path.c_str(), "saved", 5);
	const std::vector<std::string> after = directory.entries();
	for (const auto& entry : entries)
		EXPECT_EQ(entry.kept, std::count(after.begin(), after.end(), entry.entry) == 1) << entry.entry;
	EXPECT_EQ(1, std::count(after.begin(), after.end(), underWayEntry));
	underWay.commit();
	EXPECT_EQ("under way", iotest::readFile(path));
}

// Names up to the limit of a name, of one-byte and of two-byte characters: the temporary file's
// name stays within the limit and starts with whole characters of the name.
TEST(FileReplacementTest, EveryNameThatFitsTheLimitSaves)
{
	iotest::TemporaryDirectory directory;
	std::string twoByteCharacters;
	for (int i = 0; i < 127; ++i)
		twoByteCharacters += "\xc3\xa9";
	for (const std::string& file : {std::string(250, 'a'), std::string(255, 'b'), twoByteCharacters})
	{
		const std::string path = directory.file(file);
		ASSERT_TRUE(std::ofstream(path).good()) << file.size() << " bytes cannot be a name here";
		std::filesystem::remove(path);
		io::FileReplacement save(path.c_str());
		save.write("saved", 5);
		ASSERT_EQ(1u, directory.entries().size());
		const std::string temporary = directory.entries()[0];
		const size_t stem = temporary.find('.');
		EXPECT_LE(temporary.size(), 255u);
		EXPECT_EQ(file.substr(0, stem), temporary.substr(0, stem));
		EXPECT_NE(0x80, static_cast<unsigned char>(file[stem]) & 0xC0) << "a character cut in two";
		save.commit();
		EXPECT_EQ("saved", iotest::readFile(path)) << file.size() << " bytes";
		EXPECT_EQ(std::vector<std::string>{file}, directory.entries());
		std::filesystem::remove(path);
	}
}

} // namespace
