// Feeds arbitrary bytes to the bundle index parser and looks up every entry it made.
#include <io/ByteArrayInputStream.h>
#include <io/FileBundle.h>
#include <lang/Exception.h>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	io::FileBundle bundle;
	try
	{
		io::ByteArrayInputStream index(data, static_cast<int>(size));
		bundle.parseIndex(index, "data/");
	}
	catch (const lang::Throwable&)
	{
	}
	int found = 0;
	for (const auto& entry : bundle.files())
	{
		if (!bundle.containsFile(entry.key) || bundle.getOffset(entry.key) < 0 || bundle.getSize(entry.key) < 0)
			std::abort();
		++found;
	}
	if (found != bundle.fileCount())
		std::abort();
	return 0;
}
