// The script of the HTML page: a use's expansion is laid out from the
// page's JSON data when it is opened, a level at a time, so that opening
// the page costs no more than reading its source.
'use strict';
(function () {
  const panel = document.getElementById('panel');
  let definitions = null;
  let uses = null; // every marked use of the page, in order
  let current = -1;

  function definition(number) {
    if (definitions === null) definitions = JSON.parse(document.getElementById('definitions').textContent);
    return number >= 0 && number < definitions.length ? definitions[number] : null;
  }

  // The nodes of a source, read when one of its uses is first opened.
  function nodesOf(section) {
    if (!section.nodes) {
      section.nodes = JSON.parse(section.querySelector('script.uses').textContent);
      section.querySelectorAll('pre.src .u').forEach(function (span, index) { span.useIndex = index; });
    }
    return section.nodes;
  }

  function element(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) appendText(made, text);
    return made;
  }

  // Control characters show as "\xNN", as in the source above.
  const control = /[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f]/;
  function appendText(parent, text) {
    let rest = text;
    for (let found = rest.search(control); found >= 0; found = rest.search(control)) {
      parent.append(rest.slice(0, found));
      const code = rest.charCodeAt(found).toString(16).toUpperCase().padStart(2, '0');
      parent.append(element('span', 'x', '\\x' + code));
      rest = rest.slice(found + 1);
    }
    parent.append(rest);
  }

  // A node: [definition, name text, value, hexadecimal value, piece...].
  function nodeBox(node) {
    const box = element('div', 'node');
    const head = element('div', 'head');
    head.append(element('code', 'name', node[1]));
    const defined = definition(node[0]);
    if (defined !== null) {
      const place = defined[2] > 0 ? defined[1] + ':' + defined[2] : defined[1];
      head.append(element('span', 'at', defined[0] + ' defined at ' + place));
      if (defined[3]) head.append(element('code', 'define', defined[3]));
    }
    if (node[2]) head.append(element('span', 'value', '= ' + node[2] + ' (' + node[3] + ')'));
    box.append(head);
    const expansion = element('pre', 'exp');
    for (let index = 4; index < node.length; ++index) {
      const piece = node[index];
      if (typeof piece === 'string') {
        appendText(expansion, piece);
      } else {
        const nested = element('span', 'nu', piece[1]);
        nested.node = piece;
        nested.title = 'open this use';
        expansion.append(nested);
      }
    }
    box.append(expansion);
    return box;
  }

  function toggleNested(span) {
    if (span.box) {
      span.box.remove();
      span.box = null;
      span.classList.remove('open');
      return;
    }
    span.box = nodeBox(span.node);
    span.classList.add('open');
    span.closest('.node').append(span.box);
  }

  function openUse(span) {
    const section = span.closest('section.file');
    const node = nodesOf(section)[span.useIndex];
    if (!node) return;
    panel.textContent = '';
    const close = element('button', 'close', 'close (Esc)');
    close.addEventListener('click', closePanel);
    panel.append(close, nodeBox(node));
    panel.hidden = false;
    document.body.classList.add('open');
  }

  function closePanel() {
    panel.hidden = true;
    document.body.classList.remove('open');
  }

  function allUses() {
    if (uses === null) uses = Array.prototype.slice.call(document.querySelectorAll('pre.src .u'));
    return uses;
  }

  function select(span) {
    const list = allUses();
    if (current >= 0 && current < list.length) list[current].classList.remove('cur');
    current = list.indexOf(span);
    span.classList.add('cur');
    span.tabIndex = -1;
    span.focus({ preventScroll: true });
    span.scrollIntoView({ block: 'nearest' });
  }

  function move(step) {
    const list = allUses();
    if (list.length === 0) return;
    const next = current < 0 ? (step > 0 ? 0 : list.length - 1) : Math.min(Math.max(current + step, 0), list.length - 1);
    select(list[next]);
    if (!panel.hidden) openUse(list[next]);
  }

  document.addEventListener('click', function (event) {
    const nested = event.target.closest('.nu');
    if (nested) {
      toggleNested(nested);
      return;
    }
    const use = event.target.closest('pre.src .u');
    if (use) {
      select(use);
      openUse(use);
    }
  });

  document.addEventListener('keydown', function (event) {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    if (event.key === 'n' || event.key === 'j') {
      move(1);
    } else if (event.key === 'p' || event.key === 'k') {
      move(-1);
    } else if (event.key === 'Enter' && current >= 0) {
      openUse(allUses()[current]);
    } else if (event.key === 'Escape') {
      closePanel();
    } else {
      return;
    }
    event.preventDefault();
  });

  document.documentElement.setAttribute('data-ready', '');
})();
