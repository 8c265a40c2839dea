#ifndef TESTS_SUPPORT_TEMPORARYDIRECTORY_H
#define TESTS_SUPPORT_TEMPORARYDIRECTORY_H

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

// A fresh directory under base (the system's temporary directory unless given), owned by the
// test and removed with everything in it when it goes.
class TemporaryDirectory
{
public:
	explicit TemporaryDirectory(const std::filesystem::path& base = std::filesystem::temp_directory_path())
	{
		std::string pattern = (base / "test-XXXXXX").string();
		if (!mkdtemp(pattern.data()))
			ADD_FAILURE() << "cannot create a temporary directory";
		m_path = pattern;
	}
	~TemporaryDirectory()
	{
		std::error_code ignored;
		std::filesystem::remove_all(m_path, ignored);
	}
	TemporaryDirectory(const TemporaryDirectory&) = delete;
	TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

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

} // testsupport

#endif
