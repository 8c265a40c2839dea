// The documents, library and caches directories of every world test are temporary ones of the test
// process: what the game saves, its analytics records and the user defaults never reach the home
// directory. Tests that make an application with directories of their own still set those.
#include "io/IoTestSupport.h"
#include <platform/Directories.h>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TemporaryUserDirectories : public ::testing::Environment
{
public:
	void SetUp() override
	{
		m_directory = std::make_unique<iotest::TemporaryDirectory>();
		platform::Directories::setDocuments(m_directory->file("documents"));
		platform::Directories::setLibrary(m_directory->file("library"));
		platform::Directories::setCaches(m_directory->file("caches"));
	}

	void TearDown() override { m_directory.reset(); }

private:
	std::unique_ptr<iotest::TemporaryDirectory> m_directory;
};

// Owned by GoogleTest once added.
::testing::Environment* const s_environment = ::testing::AddGlobalTestEnvironment(new TemporaryUserDirectories);

} // namespace
