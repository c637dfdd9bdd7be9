// Depth of the submerged scene below the water plane. Every channel holds
// saturate(1 - (planeYPos - y) * depthLimit) for a point at world height y:
// 1 at the plane (and above it), 0 one depth range below it or deeper. The
// target is cleared to 0, so where nothing was drawn reads as deep water.
#technique renderDepth
#pass AlphaBlendEnable=false

uniform mat4 matWorldViewProject;
uniform mat4 matWorld;
uniform float planeYPos;
uniform float depthLimit;  // 1 / depth range

#ifdef VERTEX_SHADER
out float height;

void main() {
  height = (matWorld * vec4(inPosition.xyz, 1.0)).y;
  EmitPosition(matWorldViewProject * vec4(inPosition.xyz, 1.0));
}
#endif

#ifdef FRAGMENT_SHADER
in float height;

void main() {
  outColor = vec4(clamp(1.0 - (planeYPos - height) * depthLimit, 0.0, 1.0));
}
#endif
