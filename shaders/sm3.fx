// Shader model 3 water on a radial grid that follows the camera: matWorld
// carries the disc to the eye, texture coordinates are taken from the world
// position so the waves stay put, and the vertex fetch techniques displace the
// disc by the heightmap (fading out at heightFallofDistance from its centre).
// The pixel work is that of shader model 2, with foam, sun glint and shore
// effects switched by boolean parameters.
#technique technique_no_vertex_fetch
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_no_vertex_fetch_noRefraction NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_no_vertex_fetch_noReflection NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_vertex_fetch VERTEX_FETCH
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_vertex_fetch_noRefraction VERTEX_FETCH NO_REFRACTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#technique technique_with_vertex_fetch_noReflection VERTEX_FETCH NO_REFLECTION
#pass AlphaBlendEnable=true SrcBlend=SrcAlpha DestBlend=InvSrcAlpha
#sampler precomputedFresnelTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler normalmapTexture Filter=Linear MipFilter=Linear AddressU=Wrap AddressV=Wrap
#sampler reflectionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler refractionTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler depthTexture Filter=Linear AddressU=Clamp AddressV=Clamp
#sampler foamTexture Filter=Linear AddressU=Wrap AddressV=Wrap
#sampler heightmapTexture Filter=Linear MipFilter=Linear AddressU=Wrap AddressV=Wrap

uniform mat4 matWorldViewProject;
uniform mat4 matWorld;
uniform float fullReflectionDistance;  // squared
uniform float reflectionStrength;
uniform float globalTransparency;
uniform vec3 eyeVector;
uniform vec4 reflectionDiffuseColor;
uniform float fudge;

uniform vec3 gridCenterTranslation;
uniform float gridRadius;
uniform vec2 currentUVScale;
uniform vec2 newUVScale;
uniform float heightFallofDistance;
uniform float extrudeFactor;

uniform bool enableFoam;
uniform float foamStartHeight;
uniform float foamScale;
uniform float foamTiling;
uniform float foamDistortion;
uniform float foamTranslation;
uniform float maxFoamDistance;  // squared

uniform bool enableSunlightReflection;
uniform float sunlightStrength;
uniform float sunlightArea;
uniform vec3 sunlightPos;
uniform vec3 sunlightColor;

uniform bool enableDepthData;
uniform float shoreTransparency;
uniform float shoreFoamScale;

uniform sampler2D precomputedFresnelTexture;
uniform sampler2D normalmapTexture;
uniform sampler2D reflectionTexture;
uniform sampler2D refractionTexture;
uniform sampler2D depthTexture;
uniform sampler2D foamTexture;
uniform sampler2D heightmapTexture;

// The smallest squared distance a division may take: a user may type 0.
const float kTiny = 1.0e-6;

#ifdef VERTEX_SHADER
out vec2 texcoord;
out vec3 worldPosition;
out vec4 clipPosition;

void main() {
  vec4 local = vec4(inPosition.xyz, 1.0);
  vec3 world = (matWorld * local).xyz;
#ifdef VERTEX_FETCH
  vec2 uvScale = newUVScale;
#else
  vec2 uvScale = currentUVScale;
#endif
  // The grid's own mapping (centre at 0.5), taken at the world position.
  texcoord = (world.xz / max(gridRadius, kTiny) + 1.0) * 0.5 * uvScale;
#ifdef VERTEX_FETCH
  vec2 fromCentre = world.xz - gridCenterTranslation.xz;
  // The rings thin out away from the centre: sample smoother heights there.
  float lod = max(fudge, 0.0) * log2(1.0 + 4.0 * length(fromCentre) / max(gridRadius, kTiny));
  float height = textureLod(heightmapTexture, texcoord, lod).r;
  float falloff = min(dot(fromCentre, fromCentre) / max(heightFallofDistance * heightFallofDistance, kTiny), 1.0);
  // matWorld only translates, so the local and the world displacement are the same.
  local.y += (1.0 - falloff) * extrudeFactor * height;
  world.y = (matWorld * local).y;
#endif
  worldPosition = world;
  clipPosition = matWorldViewProject * local;
  EmitPosition(clipPosition);
}
#endif

#ifdef FRAGMENT_SHADER
in vec2 texcoord;
in vec3 worldPosition;
in vec4 clipPosition;

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

  if (enableSunlightReflection) {
    vec3 toSun = normalize(sunlightPos - worldPosition + vec3(0.0, kTiny, 0.0));
    float glint = pow(clamp(dot(reflect(-toEye, normal), toSun), 0.0, 1.0), max(sunlightArea, 1.0)) * sunlightStrength;
    color += sunlightColor * glint;
    alpha = max(alpha, clamp(glint, 0.0, 1.0));
  }

  float foam = 0.0;
  vec4 foamSample = vec4(0.95, 0.95, 0.95, 0.0);
  if (enableFoam) {
    vec2 eyeOffset = worldPosition.xz - eyeVector.xz;
    float fade = clamp(1.0 - dot(eyeOffset, eyeOffset) / max(maxFoamDistance, kTiny), 0.0, 1.0);
    float height = texture(heightmapTexture, texcoord).r;
    float crest = clamp((height - foamStartHeight) / max(1.0 - foamStartHeight, 0.01), 0.0, 1.0);
    foamSample = texture(foamTexture, texcoord * foamTiling + normal.xz * foamDistortion + vec2(foamTranslation));
    foam = clamp(foamSample.a * crest * foamScale * fade, 0.0, 1.0);
  }

  if (enableDepthData) {
    // 1 at the plane, falling to 0 over the depth range: 0 is deep water.
    float shallow = texture(depthTexture, screen).r;
    alpha *= clamp((1.0 - shallow) * max(shoreTransparency, 0.0), 0.0, 1.0);
    float band = smoothstep(0.55, 0.95, shallow) * (1.0 - smoothstep(0.97, 1.0, shallow));
    float grain = enableFoam ? foamSample.a : 0.6 + 0.4 * normal.x;
    foam = max(foam, clamp(grain * band * shoreFoamScale, 0.0, 1.0));
  }

  color = mix(color, foamSample.rgb, foam);
  alpha = max(alpha, foam);
  outColor = vec4(clamp(color, 0.0, 1.0), alpha);
}
#endif
