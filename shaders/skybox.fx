// The sky cube's faces, one texture each. Both techniques leave depth writes
// off: the sky is drawn first and never hides what comes later, not even water
// beyond the cube. The mirrored sky of the reflection pass also skips the test.
// No cull mode here: the reflection pass culls clockwise on the device.
#technique simple
#pass ZEnable=true ZWriteEnable=false
#technique simple_zenable_false
#pass ZEnable=false ZWriteEnable=false

uniform mat4 matWorldViewProject;
uniform sampler2D defaultTexture;

#ifdef VERTEX_SHADER
out vec2 texcoord;

void main() {
  texcoord = inTexcoord0.xy;
  EmitPosition(matWorldViewProject * vec4(inPosition.xyz, 1.0));
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;

void main() {
  // Stay half a texel inside the image so faces meet without a filtered seam,
  // whatever address mode the sampler has.
  vec2 halfTexel = 0.5 / vec2(textureSize(defaultTexture, 0));
  outColor = texture(defaultTexture, clamp(texcoord, halfTexel, 1.0 - halfTexel));
}
#endif
