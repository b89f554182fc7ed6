// The phone remote: the ten presets with names and thumbnails, reset, hold, blank, the current
// layout, and the live level.
'use strict';

(() => {
  const presets = document.getElementById('presets');
  const holdButton = document.getElementById('hold');
  const blankButton = document.getElementById('blank');
  let hold = false;

  function buildPresets(list) {
    presets.textContent = '';
    for (const p of list) {
      const button = document.createElement('button');
      button.className = 'preset';
      button.dataset.slot = p.slot;
      button.disabled = !p.name;
      const slot = document.createElement('span');
      slot.className = 'slot';
      slot.textContent = 'Ctrl+' + p.slot;
      const name = document.createElement('span');
      name.className = 'name';
      name.textContent = p.name || '(empty)';
      let picture;
      if (p.thumbnail) {
        picture = document.createElement('img');
        picture.alt = '';
        picture.src = Roarmark.thumbnail(p.slot);
      } else {
        picture = document.createElement('span');
        picture.className = 'none';
      }
      button.append(slot, picture, name);
      button.addEventListener('click', () => Roarmark.command({cmd: 'preset', n: p.slot}));
      presets.append(button);
    }
  }

  document.getElementById('reset').addEventListener('click', () => Roarmark.command({cmd: 'reset'}));
  blankButton.addEventListener('click', () => Roarmark.command({cmd: 'blank'}));
  document.getElementById('current').addEventListener('click', () => Roarmark.command({cmd: 'current'}));
  holdButton.addEventListener('click', () => Roarmark.command({cmd: 'hold', on: !hold}));

  const bar = document.getElementById('level-bar');
  const peak = document.getElementById('level-peak');
  const readout = document.getElementById('readout');
  const status = document.getElementById('status');
  Roarmark.feed((m) => {
    bar.style.width = m.level + '%';
    peak.style.left = 'calc(' + m.peak + '% - 3px)';
    peak.hidden = m.peak <= 0;
    readout.textContent = m.blanked ? '–' : m.readout;
    hold = m.hold;
    holdButton.classList.toggle('on', m.hold);
    holdButton.textContent = m.hold ? 'Hold: on' : 'Hold: off';
    blankButton.classList.toggle('on', m.blanked);
    for (const b of presets.children) b.classList.toggle('shown', Number(b.dataset.slot) === m.preset);
  }, (online) => {
    status.textContent = online ? 'live' : 'offline';
    status.classList.toggle('offline', !online);
  });

  Roarmark.state().then((s) => buildPresets(s.presets));
})();
