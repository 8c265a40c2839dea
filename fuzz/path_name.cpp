// Builds path names from arbitrary text (a zero byte splits directory and name) and checks that
// the parts put together give the path back, also after copying and taking the parent.
#include <io/PathName.h>
#include <lang/Exception.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void checkParts(const io::PathName& path)
{
	const std::string joined = std::string(path.drive()) + path.directory() + path.basename() + path.extension();
	if (joined != path.path() || path.storeUsed() > io::PathName::STORE_SIZE)
		std::abort();
	if (path.filename() != lang::String((std::string(path.basename()) + path.extension()).c_str()))
		std::abort();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	const size_t split = input.find('\0');
	try
	{
		const io::PathName path = split == std::string::npos
			? io::PathName(input.c_str())
			: io::PathName(input.substr(0, split).c_str(), input.substr(split + 1).c_str());
		checkParts(path);
		io::PathName copy;
		copy = path;
		checkParts(copy);
		checkParts(path.parent());
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
