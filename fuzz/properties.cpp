// Feeds arbitrary text to the property parser and reads every key it found with every getter.
#include <io/PropertyParser.h>
#include <lang/Exception.h>
#include <cstdint>
#include <cstdlib>

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
			try
			{
				parser.getInt(key);
			}
			catch (const lang::Throwable&)
			{
			}
			try
			{
				parser.getFloat(key);
			}
			catch (const lang::Throwable&)
			{
			}
			try
			{
				parser.getBoolean(key);
			}
			catch (const lang::Throwable&)
			{
			}
		}
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
