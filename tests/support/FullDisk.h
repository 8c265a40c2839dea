#ifndef TESTS_SUPPORT_FULLDISK_H
#define TESTS_SUPPORT_FULLDISK_H

#include <lang/Debug.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

// A fresh directory whose saves fail for want of room once fill() is called, until drain().
// Run as root (with the right to mount), it is a small tmpfs mounted in a mount namespace of the
// test process's own, so it goes when the process goes, and fill() takes its last free byte: a
// real full disk. Otherwise it is a plain directory, and fill() limits the size of every file the
// process writes to 0 bytes (writes then fail with EFBIG, the way a full disk fails them with
// ENOSPC). The constructor prints which of the two ran; method() names it. While it is full, the
// debug log is on and standard error goes into a pipe (which takes writes that a file under the
// limit would refuse); drain() returns what was logged.
class FullDisk
{
public:
	FullDisk()
	{
		std::string pattern = (std::filesystem::temp_directory_path() / "full-disk-XXXXXX").string();
		if (!mkdtemp(pattern.data()))
			ADD_FAILURE() << "cannot create a temporary directory";
		m_path = pattern;
		m_tmpfs = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
			mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
			mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=256k") == 0;
		std::printf("Full disk simulated by %s\n", method());
		::testing::Test::RecordProperty("full_disk", method());
	}
	~FullDisk()
	{
		drain();
		if (m_tmpfs)
			umount2(m_path.c_str(), MNT_DETACH);
		std::error_code error;
		std::filesystem::remove_all(m_path, error);
	}
	FullDisk(const FullDisk&) = delete;
	FullDisk& operator=(const FullDisk&) = delete;

	const char* method() const { return m_tmpfs ? "a full 256 KiB tmpfs" : "a file size limit of 0 bytes"; }
	// What the system says of a write that finds no room.
	const char* reason() const { return std::strerror(m_tmpfs ? ENOSPC : EFBIG); }
	std::string path() const { return m_path; }
	std::string file(const std::string& name) const { return m_path + "/" + name; }

	void fill()
	{
		if (m_filled)
			return;
		m_filled = true;
		captureLog();
		if (m_tmpfs)
		{
			std::FILE* filler = std::fopen(fillerPath().c_str(), "wb");
			const std::string page(4096, 'f');
			while (filler && std::fwrite(page.data(), 1, page.size(), filler) == page.size() && std::fflush(filler) == 0)
				;
			if (filler)
				std::fclose(filler);
			return;
		}
		std::signal(SIGXFSZ, SIG_IGN);
		getrlimit(RLIMIT_FSIZE, &m_limit);
		rlimit none = m_limit;
		none.rlim_cur = 0;
		setrlimit(RLIMIT_FSIZE, &none);
	}

	std::string drain()
	{
		if (!m_filled)
			return "";
		m_filled = false;
		if (m_tmpfs)
			std::remove(fillerPath().c_str());
		else
			setrlimit(RLIMIT_FSIZE, &m_limit);
		return releaseLog();
	}

	// The names in the directory besides the filler.
	std::vector<std::string> entries() const
	{
		std::vector<std::string> names;
		for (const auto& entry : std::filesystem::directory_iterator(m_path))
			if (entry.path() != fillerPath())
				names.push_back(entry.path().filename().string());
		std::sort(names.begin(), names.end());
		return names;
	}

	static std::string contents(const std::string& path)
	{
		std::ifstream in(path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
	}

private:
	std::string fillerPath() const { return file(".filler"); }

	void captureLog()
	{
		m_logWasEnabled = lang::Debug::isEnabled();
		lang::Debug::setEnabled(true);
		std::fflush(stderr);
		m_stderr = dup(STDERR_FILENO);
		if (pipe(m_log) != 0)
			return;
		// A log beyond the pipe's capacity is cut rather than blocking its writer.
		fcntl(m_log[1], F_SETFL, O_NONBLOCK);
		dup2(m_log[1], STDERR_FILENO);
		close(m_log[1]);
	}

	std::string releaseLog()
	{
		std::fflush(stderr);
		dup2(m_stderr, STDERR_FILENO);
		close(m_stderr);
		lang::Debug::setEnabled(m_logWasEnabled);
		std::string log;
		char buffer[4096];
		for (ssize_t got; (got = read(m_log[0], buffer, sizeof(buffer))) > 0;)
			log.append(buffer, static_cast<size_t>(got));
		close(m_log[0]);
		return log;
	}

	std::string m_path;
	bool m_tmpfs = false;
	bool m_filled = false;
	rlimit m_limit = {};
	bool m_logWasEnabled = false;
	int m_stderr = -1;
	int m_log[2] = {-1, -1};
};

} // testsupport

#endif
