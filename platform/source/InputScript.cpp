#include <platform/InputScript.h>
#include <platform/Application.h>
#include <platform/FileLoader.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace platform {

namespace {

// Largest accepted frame number and coordinate magnitude.
const long MAX_FRAME = 100000000;
const float MAX_COORDINATE = 1e6f;
// Largest alert button index, finger number and wheel step count.
const long MAX_BUTTON = 31;
const long MAX_FINGER = 1000;
const long MAX_WHEEL_DELTA = 1000;

class LineReader
{
public:
	LineReader(const std::string& line, int number) : m_in(line), m_number(number) {}

	std::string word(const char* what)
	{
		std::string w;
		if (!(m_in >> w))
			fail(std::string("missing ") + what);
		return w;
	}

	long integer(const char* what, long low, long high)
	{
		return converted<long>(what, [](const std::string& w, size_t* used) { return std::stol(w, used); },
			[low, high](long value) { return value >= low && value <= high; });
	}

	float number(const char* what)
	{
		return converted<float>(what, [](const std::string& w, size_t* used) { return std::stof(w, used); },
			[](float value) { return std::isfinite(value) && std::fabs(value) <= MAX_COORDINATE; });
	}

	// The next word, or empty at the end of the line.
	std::string optionalWord()
	{
		std::string w;
		m_in >> w;
		return w;
	}

	void end()
	{
		std::string extra;
		if (m_in >> extra)
			fail("unexpected \"" + extra + "\"");
	}

	[[noreturn]] void fail(const std::string& why) const
	{
		throw std::invalid_argument("Input script line " + std::to_string(m_number) + ": " + why);
	}

private:
	// The next word converted whole by convert (a std::sto* call), failing unless every character
	// is used and the value is accepted.
	template <typename T, typename Convert, typename Accept>
	T converted(const char* what, Convert convert, Accept accept)
	{
		const std::string w = word(what);
		size_t used = 0;
		T value = 0;
		try
		{
			value = convert(w, &used);
		}
		catch (const std::exception&)
		{
			used = 0;
		}
		if (used != w.size() || !accept(value))
			fail(std::string("bad ") + what + " \"" + w + "\"");
		return value;
	}

	std::istringstream m_in;
	int m_number;
};

TouchPhase parsePhase(LineReader& reader)
{
	const std::string phase = reader.word("touch phase");
	if (phase == "began")
		return TouchPhase::Began;
	if (phase == "moved")
		return TouchPhase::Moved;
	if (phase == "ended")
		return TouchPhase::Ended;
	if (phase == "cancelled")
		return TouchPhase::Cancelled;
	reader.fail("bad touch phase \"" + phase + "\"");
}

bool plainFileName(const std::string& name)
{
	if (name.empty() || name[0] == '.' || name.size() > 200)
		return false;
	return std::all_of(name.begin(), name.end(), [](char c) {
		return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
			c == '.' || c == '_' || c == '-';
	});
}

ScriptEvent parseEvent(LineReader& reader)
{
	ScriptEvent event;
	event.frame = static_cast<int>(reader.integer("frame", 0, MAX_FRAME));
	const std::string kind = reader.word("event");
	if (kind == "touch")
	{
		event.kind = ScriptEvent::Kind::Touch;
		event.phase = parsePhase(reader);
		event.finger = static_cast<int>(reader.integer("finger", 0, MAX_FINGER));
		event.x = reader.number("x");
		event.y = reader.number("y");
	}
	else if (kind == "key")
	{
		event.kind = ScriptEvent::Kind::Key;
		const std::string state = reader.word("key state");
		if (state != "down" && state != "up")
			reader.fail("bad key state \"" + state + "\"");
		event.down = state == "down";
		event.name = reader.word("key name");
		const auto& names = Application::keyNames();
		if (std::find(names.begin(), names.end(), event.name) == names.end())
			reader.fail("unknown key \"" + event.name + "\"");
	}
	else if (kind == "wheel")
	{
		event.kind = ScriptEvent::Kind::Wheel;
		event.delta = static_cast<int>(reader.integer("wheel delta", -MAX_WHEEL_DELTA, MAX_WHEEL_DELTA));
	}
	else if (kind == "tilt")
	{
		event.kind = ScriptEvent::Kind::Tilt;
		event.x = reader.number("x");
		event.y = reader.number("y");
		event.z = reader.number("z");
	}
	else if (kind == "resign")
		event.kind = ScriptEvent::Kind::Resign;
	else if (kind == "become")
		event.kind = ScriptEvent::Kind::Become;
	else if (kind == "close")
		event.kind = ScriptEvent::Kind::Close;
	else if (kind == "capture")
	{
		event.kind = ScriptEvent::Kind::Capture;
		event.name = reader.word("file name");
		if (!plainFileName(event.name))
			reader.fail("capture needs a plain file name, not \"" + event.name + "\"");
	}
	else if (kind == "answer")
	{
		event.kind = ScriptEvent::Kind::Answer;
		event.button = static_cast<int>(reader.integer("button", 0, MAX_BUTTON));
	}
	else if (kind == "notify")
	{
		event.kind = ScriptEvent::Kind::Notify;
		event.name = reader.optionalWord();
	}
	else
		reader.fail("unknown event \"" + kind + "\"");
	reader.end();
	return event;
}

} // namespace

InputScript InputScript::parse(const std::string& text)
{
	InputScript script;
	std::istringstream in(text);
	std::string line;
	int number = 0;
	while (std::getline(in, line))
	{
		++number;
		const size_t comment = line.find('#');
		if (comment != std::string::npos)
			line.erase(comment);
		if (line.find_first_not_of(" \t\r") == std::string::npos)
			continue;
		LineReader reader(line, number);
		ScriptEvent event = parseEvent(reader);
		event.line = number;
		event.text = line.substr(line.find_first_not_of(" \t"));
		event.text.erase(event.text.find_last_not_of(" \t\r") + 1);
		if (!script.m_events.empty() && event.frame < script.m_events.back().frame)
			reader.fail("frames must not decrease");
		script.m_events.push_back(event);
	}
	return script;
}

bool InputScript::reportNotRun(size_t next, int frames) const
{
	bool captureMissed = false;
	for (size_t i = next; i < m_events.size(); ++i)
	{
		std::fprintf(stderr, "Input script line %d (%s) never ran: the run ended after %d frames\n",
			m_events[i].line, m_events[i].text.c_str(), frames);
		captureMissed = captureMissed || m_events[i].kind == ScriptEvent::Kind::Capture;
	}
	return captureMissed;
}

InputScript InputScript::load(const std::string& path)
{
	std::string text;
	int error = 0;
	if (!FileLoader::load(path, text, error))
		throw std::invalid_argument("Can't read input script " + path + ": " + std::strerror(error));
	return parse(text);
}

} // platform
