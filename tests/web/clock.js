// Injected into the page before its own scripts by the browser tests: the
// page's clocks and animation frames are the test's, not the machine's.
//   Date        stands still at the moment the test names (as faketime holds
//               the desktop's wall clock), so the game's seed is fixed;
//   performance.now and requestAnimationFrame advance only when the test
//               calls __dunmarkTest.frame(milliseconds).
// It also counts what reaches WebGL, so that the test sees from outside
// which frames were drawn, and keeps the console's lines.
(function () {
  'use strict';
  const frozen = __FROZEN_MS__;
  const RealDate = Date;
  function FrozenDate(...args) {
    if (!new.target) {
      return new RealDate(frozen).toString();
    }
    return args.length === 0 ? new RealDate(frozen) : new RealDate(...args);
  }
  FrozenDate.prototype = RealDate.prototype;
  FrozenDate.now = function () { return frozen; };
  FrozenDate.parse = RealDate.parse;
  FrozenDate.UTC = RealDate.UTC;
  window.Date = FrozenDate;

  let now = 0;
  let nextId = 1;
  let waiting = [];
  const performanceNow = function () { return now; };
  Object.defineProperty(Performance.prototype, 'now', { value: performanceNow, configurable: true });
  window.requestAnimationFrame = function (callback) {
    const id = nextId++;
    waiting.push({ id: id, callback: callback });
    return id;
  };
  window.cancelAnimationFrame = function (id) {
    waiting = waiting.filter(function (entry) { return entry.id !== id; });
  };

  // frameDraws: the draw calls of the last frame that drew, the one the
  // canvas shows; mostFrameDraws: of the frame with the most.
  const counts = { frames: 0, drawCalls: 0, clears: 0, drawnFrames: 0, mouse: 0, touch: 0,
                   clientX: 0, clientY: 0, frameDraws: 0, mostFrameDraws: 0 };
  let gl = null;
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    const context = getContext.call(this, type, attributes);
    if (context && /webgl/.test(type) && !context.dunmarkCounted) {
      context.dunmarkCounted = true;
      gl = context;
      ['drawArrays', 'drawElements'].forEach(function (name) {
        const draw = context[name];
        context[name] = function () {
          counts.drawCalls++;
          return draw.apply(this, arguments);
        };
      });
      const clear = context.clear;
      context.clear = function () {
        counts.clears++;
        return clear.apply(this, arguments);
      };
    }
    return context;
  };
  ['mousedown', 'mouseup', 'mousemove'].forEach(function (type) {
    window.addEventListener(type, function (event) {
      counts.mouse++;
      counts.clientX = event.clientX;
      counts.clientY = event.clientY;
    }, true);
  });

  ['touchstart', 'touchend'].forEach(function (type) {
    window.addEventListener(type, function (event) {
      counts.touch++;
      counts.clientX = event.changedTouches[0].clientX;
      counts.clientY = event.changedTouches[0].clientY;
    }, true);
  });

  const lines = [];
  ['log', 'warn', 'error'].forEach(function (level) {
    const original = console[level];
    console[level] = function () {
      lines.push(Array.prototype.join.call(arguments, ' '));
      return original.apply(console, arguments);
    };
  });

  function decode(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) {
      bytes[i] = text.charCodeAt(i);
    }
    return bytes;
  }

  let reference = null;  // RGB, rows top first
  let ignored = null;    // 1 where the step's rectangles leave a pixel out
  let mask = null;       // partial-alpha blends on each pixel, from the twin

  window.__dunmarkTest = {
    // One animation frame, the given milliseconds after the last; answers
    // whether the frame drew (WebGL calls were made).
    frame: function (milliseconds) {
      now += milliseconds;
      const due = waiting;
      waiting = [];
      const draws = counts.drawCalls;
      const before = counts.drawCalls + counts.clears;
      due.forEach(function (entry) { entry.callback(now); });
      counts.frames++;
      const drew = counts.drawCalls + counts.clears > before;
      if (drew) {
        counts.drawnFrames++;
        counts.frameDraws = counts.drawCalls - draws;
        counts.mostFrameDraws = Math.max(counts.mostFrameDraws, counts.frameDraws);
      }
      return drew;
    },
    waiting: function () { return waiting.length; },
    now: function () { return now; },
    counts: function () { return Object.assign({}, counts); },
    lines: function () { return lines.slice(); },
    setReference: function (rgbBase64, ignoredBase64) {
      reference = decode(rgbBase64);
      ignored = ignoredBase64 ? decode(ignoredBase64) : null;
    },
    setMask: function (maskBase64) {
      mask = decode(maskBase64);
    },
    // The canvas's drawing buffer against the reference, outside the
    // ignored rectangles: the pixels off by more than 1 in a channel (far)
    // and by exactly 1 (near); with the mask (non-zero where this frame
    // blended with partial alpha), the pixels off that the allowance does
    // not cover (bad: off by more than 1, or by 1 outside the mask) and
    // those it covers (used).
    compare: function (withMask) {
      const width = 640;
      const height = 480;
      const pixels = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      const result = { far: 0, near: 0, bad: 0, used: 0 };
      for (let y = 0; y < height; y++) {
        const row = (height - 1 - y) * width;  // readPixels gives rows bottom first
        for (let x = 0; x < width; x++) {
          const index = y * width + x;
          if (ignored && ignored[index]) {
            continue;
          }
          const p = (row + x) * 4;
          const r = index * 3;
          const d = Math.max(Math.abs(pixels[p] - reference[r]),
                             Math.abs(pixels[p + 1] - reference[r + 1]),
                             Math.abs(pixels[p + 2] - reference[r + 2]));
          if (d === 0) {
            continue;
          }
          if (d > 1) {
            result.far++;
          } else {
            result.near++;
          }
          if (withMask) {
            if (d > 1 || mask[index] === 0) {
              result.bad++;
            } else {
              result.used++;
            }
          }
        }
      }
      return result;
    },
    // A hash of the drawing buffer outside one rectangle (rows top first).
    signature: function (left, top, width, height) {
      const pixels = new Uint8Array(640 * 480 * 4);
      gl.readPixels(0, 0, 640, 480, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      let hash = 0;
      for (let y = 0; y < 480; y++) {
        const row = (479 - y) * 640;
        for (let x = 0; x < 640; x++) {
          if (x >= left && x < left + width && y >= top && y < top + height) {
            continue;
          }
          const p = (row + x) * 4;
          hash = (Math.imul(hash, 31) + pixels[p] + pixels[p + 1] * 257 + pixels[p + 2] * 65537) | 0;
        }
      }
      return hash;
    },
    // The canvas's drawing buffer as RGB, rows top first, in base64.
    pixels: function () {
      const width = 640;
      const height = 480;
      const pixels = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      let text = '';
      for (let y = 0; y < height; y++) {
        const row = (height - 1 - y) * width;
        let part = '';
        for (let x = 0; x < width; x++) {
          const p = (row + x) * 4;
          part += String.fromCharCode(pixels[p], pixels[p + 1], pixels[p + 2]);
        }
        text += part;
      }
      return btoa(text);
    },
  };
})();
