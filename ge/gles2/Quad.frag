// The texel is chosen here, not by the sampler: its index is the floor of
// the interpolated coordinate in texels, wrapped as the desktop's repeating
// textures wrap. A pixel centre exactly on the border between two texels
// gets the one the border bias (a small fraction of a texel, either way)
// points to, however the implementation's interpolation rounds there; and
// the sampler is asked for that texel's centre only, so no implementation's
// sampler rounding or wrapping takes part. The colour arrives as whole bytes;
// the texel times the colour is rounded in exact whole-number steps,
// round(texel * colour / 255), as the OpenGL 1.1 renderer's modulation
// comes out.
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
uniform vec2 texSize;
uniform float borderBias;
varying vec2 vTexCoord;
varying vec4 vColour;
void main() {
    vec2 index = mod(floor(vTexCoord * texSize + borderBias), texSize);
    vec4 texel = floor(texture2D(image, (index + 0.5) / texSize) * 255.0 + 0.5);
    vec4 product = texel * floor(vColour + 0.5) + 128.0;
    gl_FragColor = floor((product + floor(product / 256.0)) / 256.0) / 255.0;
}
