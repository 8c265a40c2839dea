#ifndef GR_VERTEXFORMAT_H
#define GR_VERTEXFORMAT_H

#include <math/float4.h>

namespace gr
{

/**
 * Which vertex attributes a primitive has and the storage format of each, with the conversions
 * between every storage format and float4. A small value, copied freely.
 */
class VertexFormat
{
public:
	/** Attribute slots. */
	enum DataType
	{
		DT_POSITION = 0,
		DT_POSITIONT,
		DT_BONEWEIGHTS,
		DT_BONEINDICES,
		DT_NORMAL,
		DT_DIFFUSE,
		DT_SPECULAR,
		DT_TEX0,
		DT_TEX1,
		DT_TEX2,
		DT_TEX3,
		DT_TANGENT,
		DT_SIZE
	};

	/** Storage formats; S scalar, Vn n components, then the bits of each component (F: half float). */
	enum DataFormat
	{
		DF_NONE = 0,
		DF_S_32,
		DF_S_16,
		DF_S_8,
		DF_V2_32,
		DF_V2_16,
		DF_V2_8,
		DF_V3_32,
		DF_V3_16,
		DF_V3_8,
		DF_V4_32,
		DF_V4_16,
		DF_V4_8,
		/** x, y, z in 5 bits each, w in the top bit of one 16-bit word. */
		DF_V4_5,
		DF_V2_16F,
		DF_V3_16F,
		DF_V4_16F,
		DF_SIZE
	};

	/** Every attribute absent, alignment 1. */
	VertexFormat();

	VertexFormat& addPosition(DataFormat format = DF_V3_32)				{ setDataFormat(DT_POSITION, format); return *this; }
	VertexFormat& addTransformedPosition(DataFormat format = DF_V4_32)	{ setDataFormat(DT_POSITIONT, format); return *this; }
	VertexFormat& addNormal(DataFormat format = DF_V3_32)				{ setDataFormat(DT_NORMAL, format); return *this; }
	VertexFormat& addDiffuse(DataFormat format = DF_V4_8)				{ setDataFormat(DT_DIFFUSE, format); return *this; }
	/** Sets the first absent texture-coordinate layer; with all four present changes nothing. */
	VertexFormat& addTextureCoordinate(DataFormat format = DF_V2_32);

	void setDataFormat(DataType type, DataFormat format);
	DataFormat getDataFormat(DataType type) const;
	bool hasData(DataType type) const										{ return getDataFormat(type) != DF_NONE; }

	/** Byte alignment of each attribute (a power of two). */
	void setAlignEach(int align)											{ m_alignEach = (unsigned char)align; }
	int alignEach() const													{ return m_alignEach; }

	/** Bytes of one vertex: each present attribute's size rounded up to the alignment. */
	int vertexSize() const;

	/** Equal when all twelve data formats are; the alignment is not compared. */
	bool operator==(const VertexFormat& other) const;
	bool operator!=(const VertexFormat& other) const						{ return !(*this == other); }

	/** Bytes of one element; 0 for DF_NONE or an unknown value. */
	static int getDataSize(DataFormat format);
	/** Components of one element; 0 for DF_NONE or an unknown value. */
	static int getDataDim(DataFormat format);
	static int getDataSizeAligned(DataFormat format, int align);

	/** Reads one element; missing components read as 0. */
	static void getData(DataFormat format, const void* src, math::float4* out);
	/** Writes one element; integers saturate, halves round to nearest with ties away from zero. */
	static void setData(DataFormat format, void* dst, const math::float4& value);
	/** Copies count elements between formats, converting through float4 when they differ. */
	static void copyData(void* dst, int dstPitch, DataFormat dstFormat, const void* src, int srcPitch, DataFormat srcFormat, int count);

	/** IEEE 754 single to half precision as setData converts it. */
	static unsigned short floatToHalf(float value);
	static float halfToFloat(unsigned short half);

private:
	/** Two 4-bit formats per byte: type t in byte t/2, low nibble for even t. */
	unsigned char m_formats[6];
	unsigned char m_alignEach;
};

} // gr

#endif
