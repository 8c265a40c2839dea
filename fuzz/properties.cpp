// Feeds arbitrary text to the property parser and reads every key it found with every getter.
#include <io/PropertyParser.h>
#include <lang/Exception.h>
#include <cstdint>
#include <cstdlib>

namespace {

// Runs a getter that may refuse the value with an exception.
template <class Get>
void tryGet(Get get)
{
	try
	{
		get();
	}
	catch (const lang::Throwable&)
	{
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	try
	{
		const io::PropertyParser parser(lang::String(reinterpret_cast<const char*>(data), static_cast<int>(size)), "fuzz");
		for (const io::PropertyParser::Pair& pair : parser.pairs())
		{
			const char* key = pair.key.c_str();
			if (!parser.hasKey(key) || !parser.getString(key))
				std::abort();
			tryGet([&] { parser.getInt(key); });
			tryGet([&] { parser.getFloat(key); });
			tryGet([&] { parser.getBoolean(key); });
		}
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
