#ifndef TESTS_IO_IOTESTSUPPORT_H
#define TESTS_IO_IOTESTSUPPORT_H

#include <lang/Throwable.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace iotest {

// A fresh directory under base (the system's temporary directory unless given), removed with
// everything in it.
class TemporaryDirectory
{
public:
	explicit TemporaryDirectory(const std::filesystem::path& base = std::filesystem::temp_directory_path())
	{
		std::string pattern = (base / "io-test-XXXXXX").string();
		if (!mkdtemp(pattern.data()))
			ADD_FAILURE() << "cannot create a temporary directory";
		m_path = pattern;
	}
	~TemporaryDirectory() { std::filesystem::remove_all(m_path); }

	std::string file(const std::string& name) const { return (m_path / name).string(); }
	std::string path() const { return m_path.string(); }
	// Names of the entries in the directory.
	std::vector<std::string> entries() const
	{
		std::vector<std::string> names;
		for (const auto& entry : std::filesystem::directory_iterator(m_path))
			names.push_back(entry.path().filename().string());
		return names;
	}

private:
	std::filesystem::path m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes)
{
	std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The formatted message of the E that call throws; a failure when it throws nothing.
template <class E, class F>
std::string messageOf(F call)
{
	try
	{
		call();
	}
	catch (const E& e)
	{
		return e.getMessage().format().c_str();
	}
	ADD_FAILURE() << "nothing thrown";
	return "";
}

} // iotest

#endif
