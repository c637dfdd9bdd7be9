// Shader model 1 water: the normal of every vertex comes from the CPU in
// texture coordinate set 1 (z up). The reflection and refraction are looked up
// projectively through the remap matrix at the vertex position displaced by
// that normal, in proportion to its depth, and blended by the Fresnel lookup
// plus a distance term. Optional foam on the wave crests.
#technique NoFoam_Default_technique
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique NoFoam_NoRefraction_technique NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique NoFoam_NoReflection_technique NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique Foam_Default_technique FOAM
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique Foam_NoRefraction_technique FOAM NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique Foam_NoReflection_technique FOAM NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#sampler precomputedFresnelTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler reflectionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler refractionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler foamTexture Filter=Linear AddressU=Wrap AddressV=Wrap
#sampler heightmapTexture Filter=Linear AddressU=Wrap AddressV=Wrap

uniform mat4 matWorldViewProject;
uniform mat4 remapMatrix;
uniform float fullReflectionDistance;  // squared
uniform float reflectionStrength;
uniform float globalTransparency;
uniform vec3 eyeVector;
uniform vec4 reflectionDiffuseColor;

uniform float foamStartHeight;
uniform float foamScale;
uniform float foamTiling;
uniform float foamDistortion;
uniform float foamTranslation;
uniform float maxFoamDistance;  // squared

uniform sampler2D precomputedFresnelTexture;
uniform sampler2D reflectionTexture;
uniform sampler2D refractionTexture;
uniform sampler2D foamTexture;
uniform sampler2D heightmapTexture;

// The smallest squared distance a division may take: a user may type 0.
const float kTiny = 1.0e-6;

#ifdef VERTEX_SHADER
out vec2 texcoord;
out vec3 worldPosition;
out vec3 worldNormal;
out vec4 projected;

void main() {
  vec3 n = inTexcoord1.xyz;
  // Far geomipmap patches carry a zero normal: they are flat.
  worldNormal = dot(n, n) > kTiny ? normalize(vec3(n.x, n.z, n.y)) : vec3(0.0, 1.0, 0.0);
  texcoord = inTexcoord0.xy;
  worldPosition = inPosition.xyz;
  vec4 clipPosition = matWorldViewProject * vec4(inPosition.xyz, 1.0);
  // Displaced in proportion to depth, so the distortion keeps its size on screen.
  vec3 shift = vec3(n.x, 0.0, n.y) * reflectionStrength * clipPosition.w;
  projected = remapMatrix * (matWorldViewProject * vec4(inPosition.xyz + shift, 1.0));
  EmitPosition(clipPosition);
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;
in vec3 worldPosition;
in vec3 worldNormal;
in vec4 projected;

void main() {
  vec3 normal = normalize(worldNormal);
  vec3 toEye = normalize(eyeVector - worldPosition + vec3(0.0, kTiny, 0.0));
  float cosTheta = clamp(dot(toEye, normal), 0.0, 1.0);
  float fresnel = texture(precomputedFresnelTexture, vec2(cosTheta, 0.5)).r;
  vec2 horizontal = worldPosition.xz - eyeVector.xz;
  float distanceTerm = min(dot(horizontal, horizontal) / max(fullReflectionDistance, kTiny), 1.0);
  float weight = clamp(min(fresnel + distanceTerm, 1.0) - globalTransparency, 0.0, 1.0);
  float w = projected.w;
  vec2 screen = projected.xy / (abs(w) > kTiny ? w : kTiny);

#ifdef NO_REFLECTION
  vec3 reflection = reflectionDiffuseColor.rgb;
#else
  vec3 reflection = texture(reflectionTexture, screen).rgb;
#endif
#if defined(NO_REFRACTION) || defined(NO_REFLECTION)
  // Nothing seen through the water: it is blended over what lies behind.
  vec3 color = reflection;
  float alpha = weight;
#else
  vec3 color = mix(texture(refractionTexture, screen).rgb, reflection, weight);
  float alpha = 1.0;
#endif

#ifdef FOAM
  vec2 eyeOffset = worldPosition.xz - eyeVector.xz;
  float fade = clamp(1.0 - dot(eyeOffset, eyeOffset) / max(maxFoamDistance, kTiny), 0.0, 1.0);
  float height = texture(heightmapTexture, texcoord).r;
  float crest = clamp((height - foamStartHeight) / max(1.0 - foamStartHeight, 0.01), 0.0, 1.0);
  vec4 foamSample = texture(foamTexture, texcoord * foamTiling + normal.xz * foamDistortion + vec2(foamTranslation));
  float foam = clamp(foamSample.a * crest * foamScale * fade, 0.0, 1.0);
  color = mix(color, foamSample.rgb, foam);
  alpha = max(alpha, foam);
#endif
  outColor = vec4(clamp(color, 0.0, 1.0), alpha);
}
#endif
