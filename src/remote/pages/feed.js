// Shared by the pages: the PIN (asked once, kept for this browser tab), the program's state and
// the live feed, reconnected whenever it drops.
'use strict';

const Roarmark = (() => {
  const params = new URLSearchParams(location.search);
  let pin = params.get('pin') || sessionStorage.getItem('roarmark-pin') || '';

  function withPin(path) {
    return pin ? path + (path.includes('?') ? '&' : '?') + 'pin=' + encodeURIComponent(pin) : path;
  }

  // Shows the PIN form of the page (an element with id "pin-form") and waits for an answer.
  function askPin(message) {
    const form = document.getElementById('pin-form');
    if (!form) return Promise.reject(new Error('PIN needed: add ?pin= to the address'));
    form.hidden = false;
    form.querySelector('.pin-message').textContent = message;
    const input = form.querySelector('input');
    input.value = '';
    input.focus();
    return new Promise((resolve) => {
      form.onsubmit = (event) => {
        event.preventDefault();
        pin = input.value;
        sessionStorage.setItem('roarmark-pin', pin);
        form.hidden = true;
        resolve();
      };
    });
  }

  // Fetches with the PIN; asks for it again on 401, waits out a lock-out on 429.
  async function request(path, options) {
    for (;;) {
      const response = await fetch(withPin(path), options);
      if (response.status === 401) {
        await askPin(pin ? 'Wrong PIN, try again' : 'PIN');
      } else if (response.status === 429) {
        await askPin('Too many wrong PINs: wait a minute, then enter it again');
      } else {
        return response;
      }
    }
  }

  async function state() {
    const response = await request('/api/state');
    if (!response.ok) throw new Error('state ' + response.status);
    return response.json();
  }

  async function command(body) {
    const response = await request('/api/command', {
      method: 'POST',
      headers: {'Content-Type': 'application/json'},
      body: JSON.stringify(Object.assign({}, body, pin ? {pin} : {})),
    });
    return response.status;
  }

  // The feed's socket, held here: a socket nothing refers to may be collected while open.
  let socket = null;

  // Calls onMessage with every feed message; reconnects after a drop.
  function feed(onMessage, onStatus) {
    const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
    const open = () => {
      socket = new WebSocket(scheme + '//' + location.host + withPin('/feed'));
      socket.onopen = () => onStatus && onStatus(true);
      socket.onmessage = (event) => onMessage(JSON.parse(event.data));
      socket.onclose = () => {
        if (onStatus) onStatus(false);
        setTimeout(open, 1000);
      };
    };
    open();
  }

  return {params, state, command, feed, thumbnail: (slot) => withPin('/api/thumbnail/' + slot),
          connected: () => socket !== null && socket.readyState === WebSocket.OPEN};
})();
