#include "IoTestSupport.h"
#include <io/FileOutputStream.h>
#include <io/FileReplacement.h>
#include <io/FileNotFoundException.h>
#include <io/IOException.h>
#include <support/ChildProcess.h>
#include <support/FullDisk.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <sys/stat.h>
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

// The body of a child that saves path through commands: 'o' opens a replacement of path, 'f'
// writes the whole of text and 'h' its first half, 'c' commits; each is answered '+', or '-' when
// it threw. The end of the commands ends the child at once, the replacement left as it was.
std::function<void(int, int)> commandedSave(const std::string& path, const std::string& text)
{
	return [path, text](int in, int out) {
		std::optional<io::FileReplacement> save;
		for (char command = 0; read(in, &command, 1) == 1;)
		{
			char reply = '+';
			try
			{
				if (command == 'o')
					save.emplace(path.c_str());
				else if (command == 'c')
					save->commit();
				else
					save->write(text.data(), command == 'h' ? text.size() / 2 : text.size());
			}
			catch (const io::IOException&)
			{
				reply = '-';
			}
			if (write(out, &reply, 1) != 1)
				break;
		}
		// Ends here, as a killed writer would, before the replacement's destructor can clean up.
		std::_Exit(0);
	};
}

// A replacement of path under way in a child process: open with text written, until end().
struct SaveUnderWay : testsupport::ChildProcess
{
	SaveUnderWay(const std::string& path, const std::string& text) :
		ChildProcess(commandedSave(path, text))
	{
		EXPECT_EQ('+', ask('o'));
		EXPECT_EQ('+', ask('f'));
	}
};

std::vector<std::string> added(std::vector<std::string> before, std::vector<std::string> after)
{
	std::vector<std::string> names;
	std::sort(before.begin(), before.end());
	std::sort(after.begin(), after.end());
	std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(names));
	return names;
}

TEST(FileReplacementTest, ASaveRemovesTheTemporaryFilesOfItsNameThatNoRunningWriterHolds)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	SaveUnderWay ended(path, "ended");
	ended.end();
	const std::vector<std::string> endedEntry = directory.entries();
	SaveUnderWay running(path, "running");
	const std::vector<std::string> runningEntry = added(endedEntry, directory.entries());
	// A save of the same name that this process has under way keeps its temporary file too.
	io::FileReplacement underWay(path.c_str());
	underWay.write("under way", 9);
	std::vector<std::string> before = endedEntry;
	before.insert(before.end(), runningEntry.begin(), runningEntry.end());
	const std::vector<std::string> underWayEntry = added(before, directory.entries());
	ASSERT_EQ(1u, endedEntry.size());
	ASSERT_EQ(1u, runningEntry.size());
	ASSERT_EQ(1u, underWayEntry.size());
	const struct
	{
		std::string entry;
		bool kept;
	} others[] = {
		{"save.lua.0123456789abcdef.tmp", false},
		{"other.lua.0123456789abcdef.tmp", true},
		{"save.lu.0123456789abcdef.tmp", true},
		{"save.lua.0123456789abcdeg.tmp", true},
		{"save.lua.0123456789ABCDEF.tmp", true},
		{"save.lua.0123456789abcde.tmp", true},
		{"save.lua.bak", true},
	};
	for (const auto& other : others)
		iotest::writeFile(directory.file(other.entry), "left");
	std::filesystem::create_directory(directory.file("save.lua.fedcba9876543210.tmp"));

	io::FileReplacement::replace(path.c_str(), "saved", 5);
	const std::vector<std::string> after = directory.entries();
	const auto kept = [&](const std::string& entry) { return std::count(after.begin(), after.end(), entry) == 1; };
	EXPECT_FALSE(kept(endedEntry[0])) << "the temporary of a writer that died";
	EXPECT_TRUE(kept(runningEntry[0])) << "the temporary of a writer in another process";
	EXPECT_TRUE(kept(underWayEntry[0])) << "the temporary of a writer in this process";
	EXPECT_TRUE(kept("save.lua.fedcba9876543210.tmp")) << "a directory";
	for (const auto& other : others)
		EXPECT_EQ(other.kept, kept(other.entry)) << other.entry;
	EXPECT_EQ('+', running.ask('c'));
	EXPECT_EQ("running", iotest::readFile(path));
	underWay.commit();
	EXPECT_EQ("under way", iotest::readFile(path));
}

// Two sandboxed copies of the game share a folder: each is process 1 of a namespace of its own.
// A's temporary file is written in full when B starts its save (and with it the clean-up of left
// temporaries) and writes half; A commits, and B dies before it does.
TEST(FileReplacementTest, WritersWithTheSameProcessNumberNeverCommitEachOthersFiles)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	const std::string old = "old", first = generation(1), second = generation(2);
	io::FileReplacement::replace(path.c_str(), old.data(), old.size());
	testsupport::ChildProcess a(commandedSave(path, first), testsupport::ChildProcess::Namespaces::OWN);
	testsupport::ChildProcess b(commandedSave(path, second), testsupport::ChildProcess::Namespaces::OWN);
	if (!a.refusal().empty() || !b.refusal().empty())
		GTEST_SKIP() << "the system gives no process namespace of its own: " << (a.refusal().empty() ? b.refusal() : a.refusal());
	ASSERT_EQ(1, a.pid());
	ASSERT_EQ(1, b.pid());

	EXPECT_EQ('+', a.ask('o'));
	EXPECT_EQ('+', a.ask('f'));
	EXPECT_EQ('+', b.ask('o'));
	EXPECT_EQ('+', b.ask('h'));
	const bool committed = a.ask('c') == '+';
	b.end();
	a.end();
	EXPECT_TRUE(committed) << "B took A's temporary file for one left behind";
	const std::string saved = iotest::readFile(path);
	EXPECT_EQ(committed ? "A's" : "the old", saved == first ? "A's" : saved == old ? "the old" : "another") << " content";

	io::FileReplacement::replace(path.c_str(), old.data(), old.size());
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries()) << "B's temporary file stays";
}

// Should the temporary file go and another file take its name (a writer that does not follow the
// lock), the commit puts neither in place and leaves the other file alone.
TEST(FileReplacementTest, ACommitNeverPutsInPlaceAFileThatTookItsTemporarysName)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	io::FileReplacement::replace(path.c_str(), "old", 3);
	io::FileReplacement save(path.c_str());
	save.write("new", 3);
	const std::vector<std::string> temporary = added({"save.lua"}, directory.entries());
	ASSERT_EQ(1u, temporary.size());
	std::filesystem::remove(directory.file(temporary[0]));
	iotest::writeFile(directory.file(temporary[0]), "other");

	EXPECT_EQ(closeFailure(path, std::strerror(ENOENT)), messageOf([&] { save.commit(); }));
	EXPECT_EQ("old", iotest::readFile(path));
	EXPECT_EQ("other", iotest::readFile(directory.file(temporary[0])));
}

// What a writer of concurrentSaves reports when its saves are done.
struct SavesReport
{
	int failures = 0;
	// Reads right after a commit that found no whole save of any writer.
	int torn = 0;
	char firstFailure[256] = "";
};

constexpr unsigned CONCURRENT_SAVES = 100;

std::string concurrentSave(unsigned writer, unsigned save)
{
	return "writer " + std::to_string(writer) + " " + generation(writer * CONCURRENT_SAVES + save);
}

// Whether text is the whole of some save of some writer.
bool isWholeSave(const std::string& text)
{
	unsigned writer = 0;
	unsigned number = 0;
	if (std::sscanf(text.c_str(), "writer %u generation %u", &writer, &number) != 2 || number < writer * CONCURRENT_SAVES)
		return false;
	return text == concurrentSave(writer, number - writer * CONCURRENT_SAVES);
}

// The body of a child that, told to go, saves path CONCURRENT_SAVES times in pieces, reads it back
// after each commit, and answers with its SavesReport.
std::function<void(int, int)> concurrentSaves(const std::string& path, unsigned writer)
{
	return [path, writer](int in, int out) {
		constexpr size_t PIECE_BYTES = 1000;
		char go = 0;
		if (read(in, &go, 1) != 1)
			return;
		SavesReport report;
		for (unsigned number = 0; number < CONCURRENT_SAVES; ++number)
		{
			const std::string text = concurrentSave(writer, number);
			try
			{
				io::FileReplacement save(path.c_str());
				for (size_t at = 0; at < text.size(); at += PIECE_BYTES)
					save.write(text.data() + at, std::min(PIECE_BYTES, text.size() - at));
				save.commit();
				report.torn += !isWholeSave(iotest::readFile(path));
			}
			catch (const io::IOException& e)
			{
				if (report.failures++ == 0)
					std::snprintf(report.firstFailure, sizeof report.firstFailure, "%s", e.getMessage().format().c_str());
			}
		}
		if (write(out, &report, sizeof report) != static_cast<ssize_t>(sizeof report))
			std::_Exit(1);
	};
}

TEST(FileReplacementTest, ConcurrentWritersWithTheSameProcessNumberLoseNoSave)
{
	constexpr unsigned WRITERS = 4;
	iotest::TemporaryDirectory directory(fastTemporaryBase());
	const std::string path = directory.file("save.lua");
	std::vector<std::unique_ptr<testsupport::ChildProcess>> writers;
	for (unsigned writer = 0; writer < WRITERS; ++writer)
	{
		writers.push_back(std::make_unique<testsupport::ChildProcess>(concurrentSaves(path, writer), testsupport::ChildProcess::Namespaces::OWN));
		if (!writers.back()->refusal().empty())
			GTEST_SKIP() << "the system gives no process namespace of its own: " << writers.back()->refusal();
		ASSERT_EQ(1, writers.back()->pid());
	}
	for (const auto& writer : writers)
		ASSERT_TRUE(writer->send('g'));
	for (unsigned writer = 0; writer < WRITERS; ++writer)
	{
		SavesReport report;
		ASSERT_TRUE(writers[writer]->receive(report)) << "writer " << writer << " ended early";
		EXPECT_EQ(0, report.failures) << "writer " << writer << ", first: " << report.firstFailure;
		EXPECT_EQ(0, report.torn) << "writer " << writer;
		writers[writer]->end();
	}
	EXPECT_TRUE(isWholeSave(iotest::readFile(path)));
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries());
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

TEST(FileReplacementTest, ANameOverTheLimitIsRefusedBeforeAnythingIsWritten)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file(std::string(256, 'n'));
	EXPECT_EQ("Failed to open " + path + " for writing: File name too long",
		iotest::messageOf<io::FileNotFoundException>([&] { io::FileReplacement save(path.c_str()); }));
	EXPECT_EQ(std::vector<std::string>{}, directory.entries());
}

std::string octal(mode_t mode)
{
	char text[8];
	std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
	return text;
}

// A save keeps the permissions of the file it replaces, but its owner can always read and write
// it, so that a save made unreadable never stays so.
TEST(FileReplacementTest, ASaveKeepsTheOldPermissionsWithTheOwnersReadAndWrite)
{
	const struct
	{
		mode_t old;
		mode_t saved;
	} modes[] = {
		{0000, 0600},
		{0400, 0600},
		{0200, 0600},
		{0044, 0644},
		{0640, 0640},
		{0755, 0755},
		{0606, 0606},
	};
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	for (const auto& mode : modes)
	{
		io::FileReplacement::replace(path.c_str(), "old", 3);
		ASSERT_EQ(0, chmod(path.c_str(), mode.old));
		io::FileReplacement::replace(path.c_str(), "new", 3);
		struct stat status;
		ASSERT_EQ(0, stat(path.c_str(), &status));
		EXPECT_EQ(octal(mode.saved), octal(status.st_mode & 07777)) << "over mode " << octal(mode.old);
	}
}

} // namespace
