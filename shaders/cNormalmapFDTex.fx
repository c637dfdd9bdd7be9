// Normals of the heightmap texture by finite differences, the same as the CPU
// normal map computes them: forward differences, or centred differences with
// Sobel weights, wrapping around at the edges as the heightmap tiles. Each
// component v of the unit normal is stored as the byte trunc(v * 127 + 128).
// Heights are read at texel centres with point filtering: a pixel centre lies
// on a texel corner, where rounding alone would pick the neighbour.
#technique forwardDifference
#pass ZEnable=false ZWriteEnable=false CullMode=None AlphaBlendEnable=false AlphaTestEnable=false
#technique centeredDifference CENTERED
#pass ZEnable=false ZWriteEnable=false CullMode=None AlphaBlendEnable=false AlphaTestEnable=false

uniform float amplitude;
uniform vec2 upOffset;     // one texel down the rows: (0, 1/W)
uniform vec2 rightOffset;  // one texel along the columns: (1/W, 0)
uniform sampler2D defaultTexture;
#sampler defaultTexture Filter=Point MipFilter=None AddressU=Wrap AddressV=Wrap

#ifdef VERTEX_SHADER
out vec2 texcoord;

void main() {
  texcoord = inTexcoord0.xy + 0.5 * (rightOffset + upOffset);
  // v = 0 is the top row of the target.
  EmitPosition(vec4(inTexcoord0.x * 2.0 - 1.0, 1.0 - inTexcoord0.y * 2.0, 0.0, 1.0));
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;

// Scaled height at an offset from this texel. fract wraps whatever the address
// mode; level 0 keeps the seam's jump in coordinates from picking a small mip.
float H(vec2 offset) {
  return amplitude * textureLod(defaultTexture, fract(texcoord + offset), 0.0).r;
}

// trunc(v * 127 + 128) as an exact 8-bit level, so the target's rounding keeps it.
vec3 Encode(vec3 n) {
  return floor(n * 127.0 + 128.0) / 255.0;
}

void main() {
  vec2 up = upOffset;
  vec2 right = rightOffset;
#ifdef CENTERED
  float sx = 0.25 * ((2.0 * H(right) + H(right - up) + H(right + up)) -
                     (2.0 * H(-right) + H(-right - up) + H(-right + up)));
  float sz = 0.25 * ((2.0 * H(up) + H(up + right) + H(up - right)) -
                     (2.0 * H(-up) + H(-up + right) + H(-up - right)));
#else
  float h = H(vec2(0.0));
  float sx = H(right) - h;
  float sz = H(up) - h;
#endif
  outColor = vec4(Encode(normalize(vec3(-sx, -sz, 1.0))), 1.0);
}
#endif
