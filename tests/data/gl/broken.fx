// Test effect whose fragment stage does not compile.
#technique broken

#ifdef VERTEX_SHADER
void main() { EmitPosition(inPosition); }
#endif

#ifdef FRAGMENT_SHADER
void main() { outColor = undeclaredColour; }
#endif
