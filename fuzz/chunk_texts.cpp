// Reads arbitrary bytes as a localised text file: its language list, then every language's texts.
#include "chunk_input.h"
#include <game/TextGroupSet.h>
#include <lang/Throwable.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	lang::Ptr<game::TextGroupSet> set = new game::TextGroupSet(chunkInputFile(data, size).c_str());
	try
	{
		set->loadLocaleCodes();
		set->loadTextGroup("ALL");
	}
	catch (const lang::Throwable&)
	{
	}
	for (const lang::String& language : set->getLanguages())
	{
		try
		{
			if (game::TextGroup* group = set->loadTextGroup(language))
				group->get("title");
			set->releaseTextGroup(language);
		}
		catch (const lang::Throwable&)
		{
		}
	}
	return 0;
}
