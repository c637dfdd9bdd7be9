// Test effect: a textured quad, transformed by one matrix, with an optional tint.
#technique textured
#pass CullMode=None ZEnable=false
#technique tinted TINT
#pass CullMode=None ZEnable=false

uniform mat4 matWorldViewProject;
uniform sampler2D defaultTexture;
uniform vec4 tint;

#ifdef VERTEX_SHADER
out vec2 uv;
void main() {
  uv = inTexcoord0.xy;
  EmitPosition(matWorldViewProject * inPosition);
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 uv;
void main() {
#ifdef TINT
  outColor = tint;
#else
  outColor = texture(defaultTexture, uv);
#endif
}
#endif
