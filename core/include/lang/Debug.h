#ifndef LANG_DEBUG_H
#define LANG_DEBUG_H

namespace lang {

// The debug log. Silent unless enabled, in which case lines go to standard error.
class Debug
{
public:
	static void printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
	static void setEnabled(bool enabled);
	static bool isEnabled();
};

} // lang

#endif
