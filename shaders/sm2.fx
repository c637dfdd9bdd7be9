// Shader model 2 water: the normal map per pixel, reflection and refraction
// looked up projectively and displaced by the normal, blended by a Fresnel
// term (more reflection at grazing angles) plus a distance term. Optional sun
// glint, foam on the wave crests and shore effects from the depth texture.
// Without refraction the water is blended over what is behind it; without
// reflection the reflection diffuse colour stands in for the image.
#technique technique_minRendering
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_minRendering_noRefraction NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_minRendering_noReflection NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_sunlight SUNLIGHT
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_sunlight_noRefraction SUNLIGHT NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_sunlight_noReflection SUNLIGHT NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam FOAM
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_noRefraction FOAM NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_noReflection FOAM NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth DEPTH
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth_noRefraction DEPTH NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth_noReflection DEPTH NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_sunlight FOAM SUNLIGHT
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_sunlight_noRefraction FOAM SUNLIGHT NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_sunlight_noReflection FOAM SUNLIGHT NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth_sunlight DEPTH SUNLIGHT
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth_sunlight_noRefraction DEPTH SUNLIGHT NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_depth_sunlight_noReflection DEPTH SUNLIGHT NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_depth FOAM DEPTH
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_depth_noRefraction FOAM DEPTH NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_foam_depth_noReflection FOAM DEPTH NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_maxRendering FOAM DEPTH SUNLIGHT
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_maxRendering_noRefraction FOAM DEPTH SUNLIGHT NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_maxRendering_noReflection FOAM DEPTH SUNLIGHT NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#sampler precomputedFresnelTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler normalmapTexture Filter=Linear AddressU=Wrap AddressV=Wrap
#sampler reflectionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler refractionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler depthTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler foamTexture Filter=Linear AddressU=Wrap AddressV=Wrap
#sampler heightmapTexture Filter=Linear AddressU=Wrap AddressV=Wrap

uniform mat4 matWorldViewProject;
uniform float fullReflectionDistance;  // squared
uniform float reflectionStrength;
uniform float globalTransparency;
uniform vec3 eyeVector;
uniform vec4 reflectionDiffuseColor;

uniform float sunlightStrength;
uniform float sunlightArea;
uniform vec3 sunlightPos;
uniform vec3 sunlightColor;

uniform float shoreTransparency;
uniform float shoreFoamScale;

uniform float foamStartHeight;
uniform float foamScale;
uniform float foamTiling;
uniform float foamDistortion;
uniform float foamTranslation;
uniform float maxFoamDistance;  // squared

uniform sampler2D precomputedFresnelTexture;
uniform sampler2D normalmapTexture;
uniform sampler2D reflectionTexture;
uniform sampler2D refractionTexture;
uniform sampler2D depthTexture;
uniform sampler2D foamTexture;
uniform sampler2D heightmapTexture;

#ifdef VERTEX_SHADER
out vec2 texcoord;
out vec3 worldPosition;
out vec4 clipPosition;

void main() {
  texcoord = inTexcoord0.xy;
  worldPosition = inPosition.xyz;
  clipPosition = matWorldViewProject * vec4(inPosition.xyz, 1.0);
  EmitPosition(clipPosition);
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;
in vec3 worldPosition;
in vec4 clipPosition;

// The smallest squared distance a division may take: a user may type 0.
const float kTiny = 1.0e-6;

// Normal map texels hold trunc(v * 127 + 128) per component, z up; the world's up is y.
vec3 WorldNormal(vec2 uv) {
  vec3 n = (texture(normalmapTexture, uv).rgb * 255.0 - 128.0) / 127.0;
  return normalize(vec3(n.x, n.z, n.y) + vec3(0.0, 1.0e-4, 0.0));
}

// Where this pixel lies in the reflection and refraction images (v downwards).
vec2 ScreenCoordinate() {
  float w = max(abs(clipPosition.w), kTiny);
  return vec2(clipPosition.x / w * 0.5 + 0.5, 0.5 - clipPosition.y / w * 0.5);
}

// Share of reflection: Fresnel by viewing angle, growing with distance to full
// reflection, less the global transparency.
float ReflectionWeight(vec3 normal, vec3 toEye) {
  float cosTheta = clamp(dot(toEye, normal), 0.0, 1.0);
  float fresnel = texture(precomputedFresnelTexture, vec2(cosTheta, 0.5)).r;
  vec2 horizontal = worldPosition.xz - eyeVector.xz;
  float distanceTerm = min(dot(horizontal, horizontal) / max(fullReflectionDistance, kTiny), 1.0);
  return clamp(min(fresnel + distanceTerm, 1.0) - globalTransparency, 0.0, 1.0);
}

void main() {
  vec3 normal = WorldNormal(texcoord);
  vec3 toEye = normalize(eyeVector - worldPosition + vec3(0.0, kTiny, 0.0));
  float weight = ReflectionWeight(normal, toEye);
  vec2 screen = ScreenCoordinate();
  vec2 offset = normal.xz * reflectionStrength * 0.5;

#ifdef NO_REFLECTION
  vec3 reflection = reflectionDiffuseColor.rgb;
#else
  vec3 reflection = texture(reflectionTexture, screen + offset).rgb;
#endif
#if defined(NO_REFRACTION) || defined(NO_REFLECTION)
  // Nothing seen through the water: it is blended over what lies behind.
  vec3 color = reflection;
  float alpha = weight;
#else
  vec3 refraction = texture(refractionTexture, screen - offset).rgb;
  vec3 color = mix(refraction, reflection, weight);
  float alpha = 1.0;
#endif

#ifdef SUNLIGHT
  vec3 toSun = normalize(sunlightPos - worldPosition + vec3(0.0, kTiny, 0.0));
  float glint = pow(clamp(dot(reflect(-toEye, normal), toSun), 0.0, 1.0), max(sunlightArea, 1.0)) * sunlightStrength;
  color += sunlightColor * glint;
  alpha = max(alpha, clamp(glint, 0.0, 1.0));
#endif

  float foam = 0.0;
  vec4 foamSample = vec4(0.0);
#ifdef FOAM
  vec2 eyeOffset = worldPosition.xz - eyeVector.xz;
  float fade = clamp(1.0 - dot(eyeOffset, eyeOffset) / max(maxFoamDistance, kTiny), 0.0, 1.0);
  float height = texture(heightmapTexture, texcoord).r;
  float crest = clamp((height - foamStartHeight) / max(1.0 - foamStartHeight, 0.01), 0.0, 1.0);
  vec2 foamCoordinate = texcoord * foamTiling + normal.xz * foamDistortion + vec2(foamTranslation);
  foamSample = texture(foamTexture, foamCoordinate);
  foam = clamp(foamSample.a * crest * foamScale * fade, 0.0, 1.0);
#endif

#ifdef DEPTH
  // 1 at the plane, falling to 0 over the depth range: 0 is deep water.
  float shallow = texture(depthTexture, screen).r;
  alpha *= clamp((1.0 - shallow) * max(shoreTransparency, 0.0), 0.0, 1.0);
  float band = smoothstep(0.55, 0.95, shallow) * (1.0 - smoothstep(0.97, 1.0, shallow));
#ifdef FOAM
  float shoreFoam = foamSample.a * band * shoreFoamScale;
#else
  float shoreFoam = (0.6 + 0.4 * normal.x) * band * shoreFoamScale;
#endif
  foam = max(foam, clamp(shoreFoam, 0.0, 1.0));
#endif

#ifdef FOAM
  vec3 foamColor = foamSample.rgb;
#else
  vec3 foamColor = vec3(0.95);
#endif
  color = mix(color, foamColor, foam);
  alpha = max(alpha, foam);
  outColor = vec4(clamp(color, 0.0, 1.0), alpha);
}
#endif
