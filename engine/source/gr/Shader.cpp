#include <gr/Shader.h>

namespace gr
{

const char* Shader::toString(ParamType param)
{
	static const char* const NAMES[PARAM_COUNT] = {
		"NONE", "CAMERAP", "WORLDTM", "VIEWTM", "VIEWTMINV", "VIEWPROJTM", "PROJTM", "TOTALTM",
		"BONEWORLDTM", "TIME",
		"LIGHTP0", "LIGHTP1", "LIGHTP2", "LIGHTP3", "LIGHTP4", "LIGHTP5", "LIGHTP6", "LIGHTP7",
		"LIGHTC0", "LIGHTC1", "LIGHTC2", "LIGHTC3", "LIGHTC4", "LIGHTC5", "LIGHTC6", "LIGHTC7",
	};
	return NAMES[param];
}

} // gr
