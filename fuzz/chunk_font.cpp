// Reads arbitrary bytes as a bitmap font file, then measures, filters and draws texts with it at
// every anchor, on a device whose images have a texture and on one whose images have none.
#include "../tests/support/RecordingContext.h"
#include "chunk_drawing.h"
#include "chunk_input.h"
#include <game/BitmapFont.h>
#include <lang/Throwable.h>
#include <climits>

namespace
{

void useFont(RecordingContext& context, const game::BitmapFont& font)
{
	for (const char* text : {"", "A", "Ag\xC3\xA4\xF0\x9F\x98\x80", "\n"})
	{
		font.getStringWidth(text, INT_MIN, INT_MAX);
		font.getStringWidth(text, 1, INT_MAX);
		for (const game::Anchor& anchor : DRAW_ANCHORS)
		{
			try
			{
				font.drawString(&context, font.filter(text), 0.f, 0.f, anchor);
				font.drawString(&context, text, -1, 3, 10.f, 10.f, anchor);
			}
			catch (const lang::Throwable&)
			{
			}
		}
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string& file = chunkInputFile(data, size);
	drawOnEveryDevice([&file](RecordingContext& context) {
		lang::Ptr<game::BitmapFont> font;
		try
		{
			font = new game::BitmapFont(&context, file.c_str());
		}
		catch (const lang::Throwable&)
		{
			return;
		}
		useFont(context, *font);
	});
	return 0;
}
