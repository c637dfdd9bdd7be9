// Textured meshes (the island) lit by a directional sun plus ambient light, per
// vertex or per pixel. The depth variants fade what lies below the water plane
// with its depth, so the shore blends into the refraction.
#technique vsLighting
#technique psLighting PER_PIXEL
#technique vsLighting_withDepthTransparency DEPTH_FADE
#technique psLighting_withDepthTransparency PER_PIXEL DEPTH_FADE

uniform mat4 matWorldViewProject;
uniform vec4 gSunLightPos;  // 1.0, then the sun position in y, z, w
uniform vec3 ambientLight;
uniform float planeYPos;
uniform float depthLimit;   // 1 / depth range
uniform sampler2D defaultTexture;

// The sun is far enough away to light every point from the same direction.
float SunLight(vec3 normal) {
  return max(dot(normalize(normal), normalize(gSunLightPos.yzw)), 0.0);
}

#ifdef VERTEX_SHADER
out vec2 texcoord;
out vec3 normal;
out float vertexLight;
out float height;

void main() {
  texcoord = inTexcoord0.xy;
  normal = inNormal.xyz;
  vertexLight = SunLight(inNormal.xyz);
  height = inPosition.y;
  EmitPosition(matWorldViewProject * vec4(inPosition.xyz, 1.0));
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;
in vec3 normal;
in float vertexLight;
in float height;

void main() {
#ifdef PER_PIXEL
  float light = SunLight(normal);
#else
  float light = vertexLight;
#endif
  vec4 color = texture(defaultTexture, texcoord);
  color.rgb *= min(vec3(light) + ambientLight, vec3(1.0));
#ifdef DEPTH_FADE
  color.a *= 1.0 - clamp((planeYPos - height) * depthLimit, 0.0, 1.0);
#endif
  outColor = color;
}
#endif
