// Positions arrive in clip space, projected by the renderer itself.
attribute vec3 position;
attribute vec2 texCoord;
attribute vec4 colour;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
    gl_Position = vec4(position, 1.0);
    vTexCoord = texCoord;
    vColour = colour;
}
