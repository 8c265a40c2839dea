#include <platform/HtmlTitle.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace platform {

namespace {

// Longest character reference name or number looked at, in bytes.
const size_t MAX_REFERENCE = 10;

std::string lowerCase(std::string text)
{
	std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
	return text;
}

// The position just after the element's start tag, npos when there is none.
size_t findStartTag(const std::string& lower, const std::string& name, size_t from)
{
	for (size_t at = lower.find("<" + name, from); at != std::string::npos; at = lower.find("<" + name, at + 1))
	{
		const size_t after = at + 1 + name.size();
		if (after >= lower.size())
			return std::string::npos;
		const char c = lower[after];
		if (c == '>' || c == '/' || std::isspace(static_cast<unsigned char>(c)))
		{
			const size_t close = lower.find('>', after);
			return close == std::string::npos ? std::string::npos : close + 1;
		}
	}
	return std::string::npos;
}

void appendUtf8(std::string& out, unsigned long code)
{
	if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
		code = 0xFFFD;
	if (code < 0x80)
		out += static_cast<char>(code);
	else if (code < 0x800)
	{
		out += static_cast<char>(0xC0 | (code >> 6));
		out += static_cast<char>(0x80 | (code & 0x3F));
	}
	else if (code < 0x10000)
	{
		out += static_cast<char>(0xE0 | (code >> 12));
		out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
		out += static_cast<char>(0x80 | (code & 0x3F));
	}
	else
	{
		out += static_cast<char>(0xF0 | (code >> 18));
		out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
		out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
		out += static_cast<char>(0x80 | (code & 0x3F));
	}
}

// Decodes the reference at text[at] ('&'), which ends before limit; returns the position after it,
// or at + 1 with the '&' kept when it is not one.
size_t decodeReference(const std::string& text, size_t at, size_t limit, std::string& out)
{
	const size_t stop = std::min(limit, at + MAX_REFERENCE + 2);
	const size_t end = static_cast<size_t>(std::find(text.begin() + static_cast<std::ptrdiff_t>(at), text.begin() + static_cast<std::ptrdiff_t>(stop), ';') - text.begin());
	if (end >= stop || end == at + 1)
	{
		out += '&';
		return at + 1;
	}
	const std::string name = text.substr(at + 1, end - at - 1);
	static const struct { const char* name; const char* text; } named[] = {
		{"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "},
	};
	for (const auto& entry : named)
		if (name == entry.name)
		{
			out += entry.text;
			return end + 1;
		}
	if (name[0] == '#' && name.size() > 1)
	{
		const bool hex = name[1] == 'x' || name[1] == 'X';
		const std::string digits = name.substr(hex ? 2 : 1);
		char* last = nullptr;
		const unsigned long code = digits.empty() ? 0 : std::strtoul(digits.c_str(), &last, hex ? 16 : 10);
		if (!digits.empty() && *last == 0 && std::isxdigit(static_cast<unsigned char>(digits[0])))
		{
			appendUtf8(out, code);
			return end + 1;
		}
	}
	out += '&';
	return at + 1;
}

} // namespace

std::string HtmlTitle::extract(const std::string& html)
{
	const std::string lower = lowerCase(html);
	const size_t begin = findStartTag(lower, "title", 0);
	if (begin == std::string::npos)
		return "";
	size_t end = lower.find("</title", begin);
	if (end == std::string::npos)
		end = html.size();

	std::string decoded;
	for (size_t i = begin; i < end;)
		if (html[i] == '&')
			i = decodeReference(html, i, end, decoded);
		else
			decoded += html[i++];

	std::string title;
	bool space = false;
	for (char c : decoded)
	{
		if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f')
		{
			space = !title.empty();
			continue;
		}
		if (space)
			title += ' ';
		space = false;
		title += c;
	}
	return title;
}

} // platform
