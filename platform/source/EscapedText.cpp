#include "EscapedText.h"

namespace platform {

std::string EscapedText::escape(const std::string& text)
{
	std::string out;
	for (char c : text)
		switch (c)
		{
		case '\\': out += "\\\\"; break;
		case '\t': out += "\\t"; break;
		case '\n': out += "\\n"; break;
		case '\r': out += "\\r"; break;
		default: out += c; break;
		}
	return out;
}

bool EscapedText::unescape(const std::string& text, std::string& out)
{
	out.clear();
	for (size_t i = 0; i < text.size(); ++i)
	{
		if (text[i] != '\\')
		{
			out += text[i];
			continue;
		}
		if (++i == text.size())
			return false;
		switch (text[i])
		{
		case '\\': out += '\\'; break;
		case 't': out += '\t'; break;
		case 'n': out += '\n'; break;
		case 'r': out += '\r'; break;
		default: return false;
		}
	}
	return true;
}

} // platform
