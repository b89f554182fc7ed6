// The meter drawn from the feed: bar, horizontal bar, needle or readout (?style=), in the
// program's colours, on a transparent background, moving smoothly at the display's frame rate.
'use strict';

(() => {
  const canvas = document.getElementById('meter');
  const context = canvas.getContext('2d');
  const styles = {bar: 1, hbar: 2, needle: 3, readout: 0};
  const forced = styles[Roarmark.params.get('style')];
  let look = null;
  let lastStyleKey = null;
  // The two newest feed values and when the newest came, for moving between them.
  let from = {level: 0, peak: 0};
  let to = {level: 0, peak: 0, readout: '', blanked: false, style: 1};
  let arrived = performance.now();
  const feedInterval = 25;  // ms, one capture buffer

  async function loadLook() {
    try {
      look = (await Roarmark.state()).look;
    } catch (error) {
      setTimeout(loadLook, 2000);
    }
  }

  function shown() {
    const t = Math.min(1, (performance.now() - arrived) / feedInterval);
    // The meter rises at once and falls smoothly, as the program's own does.
    const level = to.level >= from.level ? to.level : from.level + (to.level - from.level) * t;
    return {level, peak: to.peak};
  }

  function resize() {
    const ratio = window.devicePixelRatio || 1;
    const w = Math.round(canvas.clientWidth * ratio);
    const h = Math.round(canvas.clientHeight * ratio);
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
  }

  // Blocks of a bar: lit up to the level, the peak block lit in the peak colour.
  function drawBlocks(colours, vertical, level, peak) {
    const count = colours.length - (vertical ? 1 : 0);
    const length = vertical ? canvas.height : canvas.width;
    const pitch = length / count;
    const gap = look.blocks ? Math.max(1, pitch * 0.15) : 0;
    const lit = (level / 100) * length;
    const peakIndex = peak > 0 ? Math.floor(((peak / 100) * length) / pitch) : -1;
    for (let i = 0; i < count; i++) {
      let colour = i * pitch < lit ? colours[i] : look.background;
      if (i === peakIndex && peakIndex > 0) colour = look.colourPeak ? look.peak : colours[i];
      context.fillStyle = colour;
      if (vertical) {
        context.fillRect(0, canvas.height - (i + 1) * pitch + gap, canvas.width, pitch - gap);
      } else {
        context.fillRect(i * pitch, 0, pitch - gap, canvas.height);
      }
    }
  }

  function drawNeedle(level, peak) {
    const w = canvas.width;
    const h = canvas.height;
    const pivotX = w / 2;
    const pivotY = h * 0.95;
    const radius = Math.min(w / 2, h * 0.9) * 0.95;
    const angle = (value) => Math.PI * (1.25 + 0.5 * (value / 100));
    context.lineCap = 'round';
    context.strokeStyle = look.needleEdge;
    context.lineWidth = Math.max(2, radius * 0.02);
    context.beginPath();
    context.arc(pivotX, pivotY, radius, angle(0), angle(100));
    context.stroke();
    const hand = (value, colour, width) => {
      context.strokeStyle = colour;
      context.lineWidth = width;
      context.beginPath();
      context.moveTo(pivotX, pivotY);
      context.lineTo(pivotX + radius * Math.cos(angle(value)),
                     pivotY + radius * Math.sin(angle(value)));
      context.stroke();
    };
    if (peak > 0) hand(peak, look.peak, Math.max(1, radius * 0.01));
    hand(level, look.needle, Math.max(2, radius * 0.025));
  }

  function drawReadout(text) {
    const size = Math.min(canvas.height * 0.8, canvas.width / 3);
    context.font = 'bold ' + Math.round(size) + 'px sans-serif';
    context.textAlign = 'center';
    context.textBaseline = 'middle';
    if (!look.transparentReadout) {
      context.fillStyle = look.readoutBox;
      context.fillRect(0, 0, canvas.width, canvas.height);
    }
    context.fillStyle = look.readoutText;
    context.fillText(text, canvas.width / 2, canvas.height / 2);
  }

  function frame() {
    resize();
    context.clearRect(0, 0, canvas.width, canvas.height);
    if (look) {
      const style = forced !== undefined ? forced : to.style;
      const {level, peak} = shown();
      const blank = to.blanked;
      if (style === 1) drawBlocks(look.vertical, true, blank ? 0 : level, blank ? 0 : peak);
      if (style === 2) drawBlocks(look.horizontal, false, blank ? 0 : level, blank ? 0 : peak);
      if (style === 3) drawNeedle(blank ? 0 : level, blank ? 0 : peak);
      if (style === 0) drawReadout(blank ? '' : to.readout);
    }
    requestAnimationFrame(frame);
  }

  // What the overlay draws from, for tests to compare with the picture.
  window.roarmarkOverlay = () => ({level: shown().level, peak: to.peak, style: to.style});

  Roarmark.feed((message) => {
    from = shown();
    to = message;
    arrived = performance.now();
    // A new layout brings new colours.
    const key = message.preset + '/' + message.style;
    if (key !== lastStyleKey) {
      if (lastStyleKey !== null) loadLook();
      lastStyleKey = key;
    }
  });
  loadLook();
  requestAnimationFrame(frame);
})();
