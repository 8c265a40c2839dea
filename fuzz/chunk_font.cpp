// Reads arbitrary bytes as a bitmap font file, then measures, filters and draws texts with it.
#include "../tests/support/RecordingContext.h"
#include "chunk_input.h"
#include <game/BitmapFont.h>
#include <lang/Throwable.h>
#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	RecordingContext context;
	lang::Ptr<game::BitmapFont> font;
	try
	{
		font = new game::BitmapFont(&context, chunkInputFile(data, size).c_str());
	}
	catch (const lang::Throwable&)
	{
		return 0;
	}
	for (const char* text : {"", "A", "Ag\xC3\xA4\xF0\x9F\x98\x80", "\n"})
	{
		font->getStringWidth(text, INT_MIN, INT_MAX);
		font->getStringWidth(text, 1, INT_MAX);
		try
		{
			font->drawString(&context, font->filter(text), 0.f, 0.f, game::Anchor(game::Anchor::VCENTER, game::Anchor::HCENTER));
			font->drawString(&context, text, -1, 3, 10.f, 10.f, game::Anchor(game::Anchor::BOTTOM, game::Anchor::RIGHT));
		}
		catch (const lang::Throwable&)
		{
		}
	}
	return 0;
}
