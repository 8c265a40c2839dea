#include <hgr/ParticleSystemDescription.h>
#include <gr/BaseTexture.h>
#include <gr/Shader.h>
#include <io/IOException.h>
#include <io/InputStream.h>
#include <io/PropertyParser.h>
#include <lang/Array.h>
#include <lang/Float.h>
#include <lang/Format.h>
#include <cmath>
#include <cstring>

namespace hgr
{

namespace
{

/** Longest value-domain type word read, in bytes. */
const int MAX_DOMAIN_WORD = 255;
/** Highest texture frame rate accepted, in frames per second. */
const float MAX_TEXTURE_FRAME_RATE = 100.f;
/** Most texture frames accepted (a 256 x 256 grid). */
const int MAX_TEXTURE_FRAMES = 65536;

/** The value text of a key that must be present, copied out of the parser's scratch buffer. */
lang::String requiredValue(const io::PropertyParser& parser, const char* key, const char* kind)
{
	const char* value = parser.getString(key);
	if (!value)
		lang::throwError(io::IOException(lang::Format("Failed to parse {2}, no key {0} in \"{1}\"", key, parser.name(), kind)));
	return lang::String(value);
}

template <class E>
void readEnum(const io::PropertyParser& parser, E& value, const char* key, const char* typeName,
	const char* const* words, int count)
{
	const lang::String text = requiredValue(parser, key, typeName);
	for (int i = 0; i < count; ++i)
	{
		if (text == lang::String(words[i]))
		{
			value = static_cast<E>(i);
			return;
		}
	}
	value = static_cast<E>(count);
	lang::throwError(io::IOException(lang::Format(lang::String("Failed to read ") + typeName + " {0} from {1}", key, parser.name())));
}

bool isBlank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/**
 * Reads the next blank-separated word of s as one number and moves s past it; false when there is
 * no word or the whole word is not a number. The scanner leaves its end on the last character of a
 * number that ends the text, so that case is recognised by the character it stopped on.
 */
bool parseNumber(const char*& s, float* out)
{
	while (isBlank(*s))
		++s;
	const char* wordEnd = s;
	while (*wordEnd && !isBlank(*wordEnd))
		++wordEnd;
	if (wordEnd == s)
		return false;
	const lang::String word(s, static_cast<int>(wordEnd - s));
	const char* const begin = word.c_str();
	const char* const end = begin + word.length();
	const char* stop = begin;
	int error = 0;
	*out = lang::Float::parse(begin, &stop, &error);
	const bool lastCharacterTaken = stop == end - 1 && ((*stop >= '0' && *stop <= '9') || *stop == '.');
	if (error != 0 || !std::strpbrk(begin, "0123456789") || (stop != end && !lastCharacterTaken))
		return false;
	s = wordEnd;
	return true;
}

/** Rotation or elasticity is in use unless its domain is the constant 0. */
bool isConstantZero(const math::Domain& domain)
{
	return domain.type() == math::Domain::CONSTANT && domain.getParameter(0) == 0.f;
}

bool isPositiveSquare(int n)
{
	if (n < 1)
		return false;
	const long long root = std::llround(std::sqrt(static_cast<double>(n)));
	return root * root == n;
}

void invalid(const char* text, const lang::String& name)
{
	lang::throwError(io::IOException(lang::Format(text, name)));
}

void checkLimit(const char* text, const lang::String& name, int value)
{
	if (value < 1 || value > ParticleSystem::MAX_LIMIT)
		lang::throwError(io::IOException(lang::Format(text, name, value, ParticleSystem::MAX_LIMIT)));
}

} // namespace

void ParticleSystem::Description::read(io::InputStream* in)
{
	const int size = in->available() > 0 ? in->available() : 0;
	lang::Array<char> text;
	text.resize(size + 1, 0);
	int got = 0;
	while (got < size)
	{
		const int n = in->read(text.data() + got, size - got);
		if (n <= 0)
			break;
		got += n;
	}
	if (got < size)
		lang::throwError(io::IOException(lang::Format("Failed to read particle system {0}", in->toString())));

	io::PropertyParser parser(lang::String(text.data()), in->toString());
	systemMaxEmissions = parser.getInt("systemmaxemissions");
	read(parser, systemRate, "systemrate");
	read(parser, systemStopTime, "systemstoptime");
	read(parser, systemLifeTime, "systemlifetime");
	emissionMaxParticles = parser.getInt("emissionmaxparticles");
	read(parser, emissionRate, "emissionrate");
	read(parser, emissionStopTime, "emissionstoptime");
	read(parser, emissionLifeTime, "emissionlifetime");
	read(parser, emissionPosition, "emissionposition");
	read(parser, particleLifeTime, "particlelifetime");
	read(parser, particleStartVelocity, "particlestartvelocity");
	read(parser, particleStartPosition, "particlestartposition");
	read(parser, particleStartSize, "particlestartsize");
	read(parser, particleEndSize, "particleendsize");
	read(parser, particleStartAlpha, "particlestartalpha");
	read(parser, particleEndAlpha, "particleendalpha");
	read(parser, particleStartColor, "particlestartcolor");
	read(parser, particleEndColor, "particleendcolor");
	read(parser, particleSpriteElasticity, "particlespriteelasticity");
	read(parser, particleSpriteRotation, "particlespriterotation");
	read(parser, particleSpriteStartRotationSpeed, "particlespritestartrotationspeed");
	read(parser, particleSpriteEndRotationSpeed, "particlespriteendrotationspeed");
	gravity = parser.getFloat("gravity");
	read(parser, wind, "wind");
	textureFrameRate = parser.getFloat("textureframerate");
	textureFrames = parser.getInt("textureframes");
	textureName = requiredValue(parser, "texturename", "name");
	shaderName = requiredValue(parser, "shadername", "name");
	read(parser, textureAnimation, "textureanimation");
	read(parser, view, "textureview");
	read(parser, emissionLimitKill, "emissionlimitkill");
	read(parser, systemLimitKill, "systemlimitkill");
	particleUpdateAlways = parser.getBoolean("particleupdatealways");
	particleAlignedToUserNormal = parser.hasKey("particlealignedtousernormal") && parser.getBoolean("particlealignedtousernormal");
	readOpt(parser, particleUserNormal, "particleusernormal", math::float3(0.f, 1.f, 0.f));
}

void ParticleSystem::Description::check(const lang::String& name) const
{
	const bool rotationUsed = !(isConstantZero(particleSpriteRotation) && isConstantZero(particleSpriteStartRotationSpeed));
	checkLimit("Invalid value in \"{0}\": SystemMaxEmissions={1} (out-of-range, max is {2})", name, systemMaxEmissions);
	if (systemLimitKill == KILL_INVALID)
		invalid("Invalid value  in \"{0}\": systemLimitKill invalid", name);
	checkLimit("Invalid value in \"{0}\": MaxParticles={1} (out-of-range, max is {2})", name, emissionMaxParticles);
	if (emissionLimitKill == KILL_INVALID)
		invalid("Invalid value  in \"{0}\": emissionLimitKill invalid", name);
	if (!isConstantZero(particleSpriteElasticity))
	{
		if (rotationUsed)
			invalid("Invalid combination in \"{0}\": Sprite rotation and elasticity are mutually exclusive", name);
		if (particleAlignedToUserNormal)
			invalid("Invalid combination in \"{0}\": particleAlignedToUserNormal and elasticity are mutually exclusive", name);
	}
	// Written so that a rate that is not a number fails too.
	if (!(textureFrameRate >= 0.f && textureFrameRate <= MAX_TEXTURE_FRAME_RATE))
		lang::throwError(io::IOException(lang::Format("Invalid value in \"{0}\": textureFrameRate={1} (out-of-range 0-100)", name, textureFrameRate)));
	if (!isPositiveSquare(textureFrames))
		lang::throwError(io::IOException(lang::Format("Invalid value in \"{0}\": TextureFrames={1} (not square of integer)", name, textureFrames)));
	if (textureFrames > MAX_TEXTURE_FRAMES)
		lang::throwError(io::IOException(lang::Format("Invalid value in \"{0}\": TextureFrames={1} (out-of-range, max is {2})", name, textureFrames, MAX_TEXTURE_FRAMES)));
	if (textureAnimation == ANIMATION_INVALID)
		invalid("Invalid value  in \"{0}\": textureAnimation invalid", name);
	if (view == VIEW_INVALID)
		invalid("Invalid value  in \"{0}\": particleView invalid", name);
}

void ParticleSystem::Description::computeTextureFrames()
{
	const int frames = textureFrames > 0 ? textureFrames : 0;
	const int perRow = frames <= 1 ? 1 : static_cast<int>(std::sqrt(static_cast<double>(frames)));
	textureFrameSize = 1.f / static_cast<float>(perRow);
	textureFrameOffsets.resize(2 * frames);
	for (int j = 0; j < frames; ++j)
	{
		textureFrameOffsets[2 * j] = static_cast<float>(j % perRow) * textureFrameSize;
		textureFrameOffsets[2 * j + 1] = static_cast<float>(j / perRow) * textureFrameSize;
	}
}

void ParticleSystem::Description::read(io::PropertyParser& parser, math::Domain& domain, const char* key)
{
	const lang::String value = requiredValue(parser, key, "value domain");
	char word[MAX_DOMAIN_WORD + 1];
	const char* s = value.c_str();
	if (lang::String::scanString(s, word, sizeof(word), &s) == 0)
		lang::throwError(io::IOException(lang::Format("Failed to value domain type string from variable {0} in file {1}", key, parser.name())));
	const math::Domain::DomainType type = math::Domain::toDomainType(lang::String(word).toUpperCase().c_str());
	if (type == math::Domain::DOMAINTYPE_COUNT)
		lang::throwError(io::IOException(lang::Format("Invalid value domain type string in variable {0} in file {1}", key, parser.name())));

	domain.setType(type);
	const int count = math::Domain::getParameterCount(type);
	for (int i = 0; i < count; ++i)
	{
		float number = 0.f;
		if (!parseNumber(s, &number))
			lang::throwError(io::IOException(lang::Format("Failed to parse value domain {0} in file {1}", key, parser.name())));
		domain.setParameter(i, number);
	}
}

void ParticleSystem::Description::read(io::PropertyParser& parser, math::float3& v, const char* key)
{
	const lang::String value = requiredValue(parser, key, "3-vector");
	const char* s = value.c_str();
	for (int i = 0; i < 3; ++i)
	{
		float number = 0.f;
		if (!parseNumber(s, &number))
			lang::throwError(io::IOException(lang::Format("Failed to parse 3-vector {0} in file {1}", key, parser.name())));
		v[i] = number;
	}
}

void ParticleSystem::Description::readOpt(io::PropertyParser& parser, math::float3& v, const char* key, const math::float3& def)
{
	if (parser.hasKey(key))
		read(parser, v, key);
	else
		v = def;
}

void ParticleSystem::Description::read(io::PropertyParser& parser, KillType& value, const char* key)
{
	static const char* const WORDS[] = {"NONE", "OLDEST", "RANDOM"};
	readEnum(parser, value, key, "KillType", WORDS, KILL_INVALID);
}

void ParticleSystem::Description::read(io::PropertyParser& parser, ViewType& value, const char* key)
{
	static const char* const WORDS[] = {"CAMERAUP", "WORLDUP"};
	readEnum(parser, value, key, "ViewType", WORDS, VIEW_INVALID);
}

void ParticleSystem::Description::read(io::PropertyParser& parser, AnimationType& value, const char* key)
{
	static const char* const WORDS[] = {"LOOP", "LIFE", "RANDOM"};
	readEnum(parser, value, key, "AnimationType", WORDS, ANIMATION_INVALID);
}

} // hgr
