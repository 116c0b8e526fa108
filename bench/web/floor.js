// The browser's replay floor: a bare WebGL 1 canvas that draws, on every
// animation frame, the frames record_frames wrote down with the least WebGL
// work that gives the game's pictures: the game renderer's context, shaders
// and capture into the 512x256 render texture, and one buffer update and one
// draw for each run of quads from the same texture (between two binds,
// clears or captures), the uniforms set once a run. When the renderer's
// shaders change, this page follows. No engine, no ticks, no sound. It shows the
// title screen, and each mouse release switches between it and the world view;
// each goes through the four recorded phases of the animation, 32 frames a
// phase, as the game does. The textures come decoded (pack_textures).
'use strict';

(function () {
  const width = 640;
  const height = 480;
  const framesPerPhase = 32;
  const phaseCount = 4;
  const renderSlot = 0;
  const fontSlot = 4;
  const slotCount = 256;
  // The renderer's own shaders, taken from its source when the floor page is
  // laid out (floor_shaders.py).
  const vertexSource = window.floorShaders.vertex;
  const fragmentSource = window.floorShaders.fragment;
  // A quad as the OpenGL 1.1 renderer's polygon 0, 1, 3, 2 is cut: the
  // triangles 1-3-0 and 3-2-0. The position's depth is left to its default:
  // SwiftShader sets no two triangles up as one rectangle.
  const triangles = [1, 3, 0, 3, 2, 0];
  const stride = 32;   // clip x, y; s, t; the colour's four bytes as floats
  const cornerSize = stride / 4;

  const canvas = document.getElementById('canvas');
  const gl = canvas.getContext('webgl', {
    alpha: false, depth: false, stencil: false, antialias: false,
    premultipliedAlpha: false, preserveDrawingBuffer: true,
  });
  const names = new Array(slotCount).fill(null);
  const uScale = new Float32Array(slotCount);
  const vScale = new Float32Array(slotCount);
  const texWidth = new Int32Array(slotCount);
  const texHeight = new Int32Array(slotCount);
  let cornerFloats = new Float32Array(cornerSize * 6 * 256);
  let runCorners = 0;   // the corners of the run not drawn yet
  let bufferFloats = 0;
  const xScale = Math.fround(2 / width);
  const yScale = Math.fround(2 / height);
  let texSizeLocation = null;
  let bound = -1;
  let named = -1;
  let target = -1;
  const recording = { title: [], encounter: [] };
  let shown = 'title';
  let count = 0;
  window.floorFrames = 0;

  function parseFrames(text) {
    let frame = null;
    for (const line of text.split('\n')) {
      const parts = line.split(' ');
      switch (parts[0]) {
        case 'texture':
        case '':
          break;
        case 'frame':
          frame = [];
          recording[parts[1]][Number(parts[2])] = frame;
          break;
        case 'end':
          frame = null;
          break;
        case 'clear':
          frame.push({ kind: 'clear', f: parts.slice(1, 4).map(Number) });
          break;
        case 'bind':
        case 'target':
          frame.push({ kind: parts[0], slot: Number(parts[1]) });
          break;
        case 'quad': {
          const vertices = [];
          for (let i = 0; i < 4; ++i) {
            const p = parts.slice(1 + 5 * i, 6 + 5 * i);
            vertices.push({ x: Math.fround(Number(p[0])), y: Math.fround(Number(p[1])),
              colour: parseInt(p[2], 16) >>> 0, u: Math.fround(Number(p[3])), v: Math.fround(Number(p[4])) });
          }
          frame.push({ kind: 'quad', vertices: vertices });
          break;
        }
        case 'text': {
          const bytes = [];
          const hex = parts[7];
          for (let i = 0; hex !== '-' && i + 1 < hex.length; i += 2) {
            bytes.push(parseInt(hex.substr(i, 2), 16));
          }
          frame.push({ kind: 'text', f: parts.slice(1, 7).map(function (x) { return Math.fround(Number(x)); }),
            bytes: bytes });
          break;
        }
        default:
          throw new Error('not a recording: ' + line);
      }
    }
  }

  function setNearestClamped() {
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
  }

  function compile(kind, source) {
    const shader = gl.createShader(kind);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    return shader;
  }

  function setUp() {
    gl.viewport(0, 0, width, height);
    gl.enable(gl.BLEND);
    gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
    gl.disable(gl.DITHER);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    const program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER, vertexSource));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER, fragmentSource));
    gl.bindAttribLocation(program, 0, 'position');
    gl.bindAttribLocation(program, 1, 'texCoord');
    gl.bindAttribLocation(program, 2, 'colour');
    gl.linkProgram(program);
    gl.useProgram(program);
    gl.uniform1i(gl.getUniformLocation(program, 'image'), 0);
    texSizeLocation = gl.getUniformLocation(program, 'texSize');
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, stride, 0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(1, 2, gl.FLOAT, false, stride, 8);
    gl.enableVertexAttribArray(2);
    gl.vertexAttribPointer(2, 4, gl.FLOAT, false, stride, 16);
    upload(renderSlot, 512, 256, 512, 256, null);
  }

  function upload(slot, imageWidth, imageHeight, w, h, texels) {
    const name = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, name);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, w, h, 0, gl.RGBA, gl.UNSIGNED_BYTE, texels);
    setNearestClamped();
    names[slot] = name;
    uScale[slot] = imageWidth / w;
    vScale[slot] = imageHeight / h;
    texWidth[slot] = w;
    texHeight[slot] = h;
    named = slot;
  }

  function uploadPacked(buffer) {
    const words = new DataView(buffer);
    for (let at = 0; at < buffer.byteLength;) {
      const field = function (i) { return words.getUint32(at + 4 * i, true); };
      const size = field(5);
      upload(field(0), field(1), field(2), field(3), field(4), new Uint8Array(buffer, at + 24, size));
      at += 24 + size;
    }
  }

  // Draws the run of quads from the named texture.
  function flush() {
    if (runCorners === 0) {
      return;
    }
    const floats = runCorners * cornerSize;
    gl.uniform2f(texSizeLocation, texWidth[named], texHeight[named]);
    if (floats > bufferFloats) {
      gl.bufferData(gl.ARRAY_BUFFER, cornerFloats, gl.STREAM_DRAW);
      bufferFloats = cornerFloats.length;
    } else {
      gl.bufferSubData(gl.ARRAY_BUFFER, 0, cornerFloats, 0, floats);
    }
    gl.drawArrays(gl.TRIANGLES, 0, runCorners);
    runCorners = 0;
  }

  function bindName(slot) {
    flush();
    named = slot;
    gl.bindTexture(gl.TEXTURE_2D, slot >= 0 ? names[slot] : null);
  }

  function bindTexture(slot) {
    if (slot !== bound) {
      bound = slot;
      bindName(slot);
    }
  }

  function drawQuad(vertices) {
    if (bound < 0 || named < 0 || names[named] === null) {
      return;
    }
    const su = uScale[bound];
    const sv = vScale[bound];
    const f = Math.fround;
    if ((runCorners + 6) * cornerSize > cornerFloats.length) {
      const larger = new Float32Array(cornerFloats.length * 2);
      larger.set(cornerFloats);
      cornerFloats = larger;
    }
    for (let i = 0; i < 6; ++i) {
      const v = vertices[triangles[i]];
      const at = cornerSize * (runCorners + i);
      cornerFloats[at] = f(f(v.x * xScale) - 1);
      cornerFloats[at + 1] = f(f(f(height - v.y) * yScale) - 1);
      cornerFloats[at + 2] = su * v.u;
      cornerFloats[at + 3] = sv * v.v;
      cornerFloats[at + 4] = (v.colour >>> 16) & 255;
      cornerFloats[at + 5] = (v.colour >>> 8) & 255;
      cornerFloats[at + 6] = v.colour & 255;
      cornerFloats[at + 7] = (v.colour >>> 24) & 255;
    }
    runCorners += 6;
  }

  function tint(factor, shift) {
    return (Math.trunc(Math.fround(255 * factor)) & 255) << shift >>> 0;
  }

  function drawText(op) {
    const previous = bound;
    bindTexture(fontSlot);
    const f = op.f;
    const colour = (tint(f[5], 24) | tint(f[2], 16) | tint(f[3], 8) | tint(f[4], 0)) >>> 0;
    const g = 1 / 16;
    let top = f[1];
    let start = 0;
    const bytes = op.bytes;
    for (let i = 0; ; ++i) {
      if (i < bytes.length && bytes[i] !== 10) {
        continue;
      }
      const n = i - start;
      let pen = f[0] - 7 * Math.floor(n / 2) - 3 * (n % 2) - 2;
      for (let k = start; k < i; ++k) {
        const u = Math.fround((bytes[k] % 16) * g);
        const v = Math.fround(Math.floor(bytes[k] / 16) * g);
        drawQuad([{ x: pen, y: top, colour: colour, u: u, v: v },
          { x: pen + 12, y: top, colour: colour, u: u + g, v: v },
          { x: pen, y: top + 12, colour: colour, u: u, v: v + g },
          { x: pen + 12, y: top + 12, colour: colour, u: u + g, v: v + g }]);
        pen += 7;
      }
      top += 14;
      if (i >= bytes.length) {
        break;
      }
      start = i + 1;
    }
    if (previous >= 0) {
      bindTexture(previous);
    } else {
      bound = -1;
      bindName(-1);
    }
  }

  function setTarget(slot) {
    if (target !== -1 && names[target] !== null) {
      bindName(target);
      gl.copyTexImage2D(gl.TEXTURE_2D, 0, gl.RGB, 0, height - texHeight[target], texWidth[target],
        texHeight[target], 0);
    }
    target = slot;
  }

  function play(frame) {
    for (const op of frame) {
      switch (op.kind) {
        case 'clear':
          flush();
          gl.clearColor(op.f[0], op.f[1], op.f[2], 0);
          gl.clear(gl.COLOR_BUFFER_BIT);
          break;
        case 'bind':
          bindTexture(op.slot);
          break;
        case 'target':
          setTarget(op.slot);
          break;
        case 'quad':
          drawQuad(op.vertices);
          break;
        case 'text':
          drawText(op);
          break;
      }
    }
    flush();
  }

  function frame() {
    play(recording[shown][Math.floor(count / framesPerPhase) % phaseCount]);
    ++count;
    ++window.floorFrames;
    requestAnimationFrame(frame);
  }

  canvas.addEventListener('mouseup', function () {
    shown = shown === 'title' ? 'encounter' : 'title';
  });
  canvas.addEventListener('contextmenu', function (event) {
    event.preventDefault();
  });

  Promise.all([
    fetch('frames.txt').then(function (r) { return r.text(); }),
    fetch('textures.bin').then(function (r) { return r.arrayBuffer(); }),
  ]).then(function (loaded) {
    parseFrames(loaded[0]);
    setUp();
    uploadPacked(loaded[1]);
    requestAnimationFrame(frame);
  });
})();
