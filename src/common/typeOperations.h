// Small value records for 2-, 3- and 4-component vectors and their single-precision
// arithmetic. They are plain aggregates laid out without padding, so arrays of them are
// the interleaved component arrays that the field files and point stores hold.
#pragma once

#include <type_traits>

struct float2
{
    float x;
    float y;
};

struct float3
{
    float x;
    float y;
    float z;
};

// An RGBA colour for the drawing routines: x red, y green, z blue, w alpha.
struct float4
{
    float x;
    float y;
    float z;
    float w;
};

struct int2
{
    int x;
    int y;
};

// A field size: x width, y height, z number of time steps.
struct int3
{
    int x;
    int y;
    int z;
};

static_assert(sizeof(float2) == 8 && sizeof(float3) == 12 && sizeof(float4) == 16);
static_assert(sizeof(int2) == 8 && sizeof(int3) == 12);
static_assert(std::is_trivially_copyable_v<float2> && std::is_trivially_copyable_v<float3>);

inline float2 makeFloat2(const float& x, const float& y)
{
    return float2{x, y};
}
inline float3 makeFloat3(const float& x, const float& y, const float& z)
{
    return float3{x, y, z};
}
inline float4 makeFloat4(const float& x, const float& y, const float& z, const float& w)
{
    return float4{x, y, z, w};
}
inline int2 makeInt2(const int& x, const int& y)
{
    return int2{x, y};
}

// The scale factor is always the left operand; there is no vector * scalar form.
inline float2 operator*(const float& scale, const float2& vec)
{
    return float2{scale * vec.x, scale * vec.y};
}
inline float3 operator*(const float& scale, const float3& vec)
{
    return float3{scale * vec.x, scale * vec.y, scale * vec.z};
}

inline float2 operator+(const float2& vec1, const float2& vec2)
{
    return float2{vec1.x + vec2.x, vec1.y + vec2.y};
}
inline float3 operator+(const float3& vec1, const float3& vec2)
{
    return float3{vec1.x + vec2.x, vec1.y + vec2.y, vec1.z + vec2.z};
}

inline float2 operator-(const float2& vec1, const float2& vec2)
{
    return float2{vec1.x - vec2.x, vec1.y - vec2.y};
}
inline float3 operator-(const float3& vec1, const float3& vec2)
{
    return float3{vec1.x - vec2.x, vec1.y - vec2.y, vec1.z - vec2.z};
}

// Dot products.
inline float operator*(const float2& vec1, const float2& vec2)
{
    return vec1.x * vec2.x + vec1.y * vec2.y;
}
inline float operator*(const float3& vec1, const float3& vec2)
{
    return vec1.x * vec2.x + vec1.y * vec2.y + vec1.z * vec2.z;
}

inline float3 cross(const float3& vec1, const float3& vec2)
{
    return float3{vec1.y * vec2.z - vec1.z * vec2.y, vec1.z * vec2.x - vec1.x * vec2.z,
                  vec1.x * vec2.y - vec1.y * vec2.x};
}

// Exact IEEE comparison, no tolerance: NaN never equals anything, 0 equals -0.
inline bool operator==(const float2& vec1, const float2& vec2)
{
    return vec1.x == vec2.x && vec1.y == vec2.y;
}
inline bool operator!=(const float2& vec1, const float2& vec2)
{
    return !(vec1 == vec2);
}
inline bool operator==(const float3& vec1, const float3& vec2)
{
    return vec1.x == vec2.x && vec1.y == vec2.y && vec1.z == vec2.z;
}
