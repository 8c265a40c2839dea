#ifndef LANG_CHARACTER_H
#define LANG_CHARACTER_H

namespace lang {

// Character classification of single codes; stateless.
class Character
{
public:
	// True exactly for the codes of '0' to '9'.
	static bool isDigit(int c) { return c >= '0' && c <= '9'; }
	// True for space, tab, newline, vertical tab, form feed and carriage return.
	static bool isWhitespace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
};

} // lang

#endif
