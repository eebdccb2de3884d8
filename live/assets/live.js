// Live-Ergebnisse: hält die Seite über den Push-Kanal /api/events aktuell und zeichnet die Uhr.
'use strict';
(function () {
  var seite = document.body.getAttribute('data-seite');
  var anzeige = document.getElementById('verbindung');
  var quelle = null;
  var letzteNachricht = 0;
  var wartezeit = 1000;
  var wiederTimer = 0;
  var latenz = 0; // halbe Umlaufzeit einer Anfrage, ms

  function zeigeVerbindung(ok) {
    if (!anzeige) return;
    anzeige.textContent = ok ? 'verbunden' : 'getrennt';
    anzeige.className = 'verbindung ' + (ok ? 'ok' : 'weg');
  }

  function leere(el) {
    while (el.firstChild) el.removeChild(el.firstChild);
  }

  function setzeText(id, text) {
    var el = document.getElementById(id);
    if (el && el.textContent !== text) el.textContent = text;
  }

  function uhrzeit(iso) {
    return iso && iso.length >= 19 ? iso.substr(11, 8) : '–';
  }

  function titel(t) {
    var text = t && t.trim() ? t.trim() : 'Ergebnisse';
    setzeText('titel', text);
    var teil = { ergebnisse: 'Ergebnisse', top10: 'Top 10', uhr: 'Uhr' }[seite];
    document.title = text + ' – ' + teil;
  }

  function zelle(tag, text, spalte, klasse) {
    var el = document.createElement(tag);
    if (klasse) el.className = klasse;
    if (spalte) el.setAttribute('data-spalte', spalte);
    el.textContent = text;
    return el;
  }

  function istText(i) { return i >= 1 && i <= 3; }

  // Ergebnisse: alle Spalten in der Reihenfolge des Programms.
  function ergebnisTabelle(d) {
    var tbody = document.getElementById('zeilen');
    leere(tbody);
    d.rows.forEach(function (z) {
      var tr = document.createElement('tr');
      if (z.mark) tr.className = 'mark mark-' + z.mark.toLowerCase();
      d.columns.forEach(function (s, i) {
        tr.appendChild(zelle('td', z[s.key], s.title, 's' + i + (istText(i) ? ' text' : '')));
      });
      tbody.appendChild(tr);
    });
    var leer = document.getElementById('leer');
    if (leer) leer.hidden = d.rows.length > 0;
  }

  // Top 10: Platz, Fahrer, Beifahrer, Marke, Zeit2, StrafZ, Ges.; eine Zeile ohne Startnummer bleibt leer.
  var TOP_SPALTEN = [10, 1, 2, 3, 7, 8, 9];
  function topZehn(d) {
    var tbody = document.getElementById('zeilen');
    leere(tbody);
    for (var p = 0; p < 10; p++) {
      var z = d.rows[p];
      var leerZeile = !z || !z.startNumber;
      var tr = document.createElement('tr');
      if (leerZeile) tr.className = 'leer';
      else if (z.mark) tr.className = 'mark mark-' + z.mark.toLowerCase();
      TOP_SPALTEN.forEach(function (i) {
        var s = d.columns[i];
        tr.appendChild(zelle('td', leerZeile ? '' : z[s.key], s.title, 's' + i));
      });
      tbody.appendChild(tr);
    }
  }

  // Top 10 auf dem großen Schirm: ein Text, der nicht in seine Spalte passt, wird kleiner
  // (bis zur halben Größe), bevor er abgeschnitten wird.
  function passeEin() {
    if (seite !== 'top10' || window.matchMedia('(max-width: 760px)').matches) return;
    var zellen = document.querySelectorAll('table.topzehn tbody td');
    var bereich = document.createRange();
    Array.prototype.forEach.call(zellen, function (td) {
      td.style.fontSize = '';
      var stil = window.getComputedStyle(td);
      var frei = td.clientWidth - parseFloat(stil.paddingLeft) - parseFloat(stil.paddingRight);
      var breite = function () {
        bereich.selectNodeContents(td);
        return bereich.getBoundingClientRect().width;
      };
      var groesse = parseFloat(stil.fontSize);
      var kleinste = groesse / 2;
      while (breite() > frei && groesse > kleinste) {
        groesse -= 1;
        td.style.fontSize = groesse + 'px';
      }
    });
  }

  function ergebnisse(d) {
    titel(d.title);
    setzeText('stand', uhrzeit(d.changed));
    if (seite === 'ergebnisse') ergebnisTabelle(d);
    else if (seite === 'top10') {
      topZehn(d);
      passeEin();
    }
  }

  // ---- Uhr ----
  var NS = 'http://www.w3.org/2000/svg';
  function waagrecht(y, x1, x2) { var h = 5; return [x1, y, x1 + h, y - h, x2 - h, y - h, x2, y, x2 - h, y + h, x1 + h, y + h].join(' '); }
  function senkrecht(x, y1, y2) { var h = 5; return [x, y1, x + h, y1 + h, x + h, y2 - h, x, y2, x - h, y2 - h, x - h, y1 + h].join(' '); }
  // Segmente a bis g einer Siebensegmentziffer
  var FORMEN = [waagrecht(6, 10, 50), senkrecht(52, 8, 48), senkrecht(52, 52, 92), waagrecht(94, 10, 50),
    senkrecht(8, 52, 92), senkrecht(8, 8, 48), waagrecht(50, 10, 50)];
  var MUSTER = ['abcdef', 'bc', 'abdeg', 'abcdg', 'bcfg', 'acdfg', 'acdefg', 'abc', 'abcdefg', 'abcdfg'];

  function svg(breite) {
    var s = document.createElementNS(NS, 'svg');
    s.setAttribute('viewBox', '0 0 ' + breite + ' 100');
    s.setAttribute('aria-hidden', 'true');
    return s;
  }
  function neueZiffer() {
    var s = svg(60);
    s.setAttribute('class', 'ziffer');
    var teile = FORMEN.map(function (punkte) {
      var p = document.createElementNS(NS, 'polygon');
      p.setAttribute('points', punkte);
      s.appendChild(p);
      return p;
    });
    return { el: s, teile: teile, stand: '' };
  }
  function neuesZeichen(doppelpunkt) {
    var s = svg(20);
    s.setAttribute('class', 'zeichen');
    var formen = doppelpunkt ? ['5,30 15,30 15,40 5,40', '5,62 15,62 15,72 5,72'] : ['5,86 15,86 11,100 3,100'];
    var teile = formen.map(function (punkte) {
      var p = document.createElementNS(NS, 'polygon');
      p.setAttribute('points', punkte);
      s.appendChild(p);
      return p;
    });
    return { el: s, teile: teile, stand: '' };
  }
  function setzeZiffer(z, wert, farbe, aus) {
    var stand = wert + farbe + aus;
    if (z.stand === stand) return;
    var m = MUSTER[wert] || '';
    'abcdefg'.split('').forEach(function (n, i) { z.teile[i].setAttribute('fill', m.indexOf(n) >= 0 ? farbe : aus); });
    z.stand = stand;
  }
  function setzeZeichen(z, farbe) {
    if (z.stand === farbe) return;
    z.teile.forEach(function (p) { p.setAttribute('fill', farbe); });
    z.stand = farbe;
  }

  var zeilen = [];
  function baueUhr() {
    [1, 2].forEach(function (n) {
      var box = document.getElementById('ziffern' + n);
      if (!box) return;
      var z = { ziffern: [], doppelpunkt: neuesZeichen(true), komma: neuesZeichen(false), box: box };
      for (var i = 0; i < 6; i++) z.ziffern.push(neueZiffer());
      [z.ziffern[0], z.ziffern[1], z.doppelpunkt, z.ziffern[2], z.ziffern[3], z.komma, z.ziffern[4], z.ziffern[5]]
        .forEach(function (t) { box.appendChild(t.el); });
      zeilen.push(z);
    });
  }

  var zustandJetzt = null;
  var startLokal = 0; // performance.now() des Starts der laufenden Zeile

  var PHASEN = {
    Ready: 'Bereit', CountdownRunning: 'Countdown läuft', CountdownPaused: 'Countdown angehalten',
    RunningPhase1: 'läuft', RunningPhase2: 'Runde 2 läuft', Stopped: 'gestoppt', Entered: 'eingetragen'
  };

  function zustand(s, empfangen) {
    // Within one run of the program an older answer never replaces a newer one; after the
    // program was restarted the versions count anew.
    if (zustandJetzt && s.session === zustandJetzt.session && s.version < zustandJetzt.version) return;
    zustandJetzt = s;
    startLokal = empfangen - latenz - s.sinceStartMs;
    if (seite !== 'uhr') return;
    titel(s.title);
    var c = s.competitor;
    var wer = [];
    if (c.startNumber) wer.push('Nr. ' + c.startNumber);
    [c.driver, c.coDriver, c.make].forEach(function (t) { if (t && t.trim()) wer.push(t.trim()); });
    // Das Baujahr allein (es ist immer gewählt) sagt nichts über den Teilnehmer.
    if (wer.length && c.year) wer.push(c.year);
    setzeText('teilnehmer', wer.join(' · '));
    var phase = PHASEN[s.state] || '';
    if (s.state === 'RunningPhase1' && s.phases > 1) phase = 'Runde 1 läuft';
    if ((s.state === 'RunningPhase2' || s.state === 'Stopped' || s.state === 'Entered') && s.penaltyPoints &&
        s.penaltyPoints !== '0') phase += ' · Zeitstrafe ' + s.penaltyPoints;
    setzeText('phase', phase);
    document.body.style.backgroundColor = s.display.background;
    zeichneUhr();
  }

  function zeichneZeile(idx, s, jetzt) {
    var z = zeilen[idx];
    if (!z) return;
    var anz = s.display;
    var r = anz.rows[idx];
    var aus = anz.background;
    var werte = r.digits.slice();
    var farben = r.colours.slice();
    if (anz.runningRow === idx + 1) {
      var e = jetzt - startLokal;
      var a = anz.countsDown ? s.countdownMs - e : e;
      if (a < 0) a = 0;
      var h = Math.floor(a / 10);
      var m = Math.floor(h / 6000) % 60;
      var sek = Math.floor(h / 100) % 60;
      var hs = h % 100;
      var hell = anz.penaltyFromMs >= 0 && e > anz.penaltyFromMs ? anz.penalty : anz.lit;
      var dunkel = anz.dim;
      // Während die Zeit läuft, zeigen die Hundertstel 00, wie auf der Zeitanzeige.
      werte = [Math.floor(m / 10), m % 10, Math.floor(sek / 10), sek % 10, 0, 0];
      var c6 = idx === 0 || m + sek + hs > 0 ? hell : dunkel;
      farben = [Math.floor(m / 10) > 0 ? hell : dunkel, m > 0 ? hell : dunkel,
        m > 0 || Math.floor(sek / 10) > 0 ? hell : dunkel, c6, c6, c6];
      z.box.setAttribute('aria-label', m + ':' + (sek < 10 ? '0' : '') + sek);
    } else {
      z.box.setAttribute('aria-label', werte[0] + '' + werte[1] + ':' + werte[2] + werte[3] + ',' + werte[4] + werte[5]);
    }
    for (var i = 0; i < 6; i++) setzeZiffer(z.ziffern[i], werte[i], farben[i], aus);
    setzeZeichen(z.doppelpunkt, farben[1]);
    setzeZeichen(z.komma, farben[4]);
  }

  function zeichneUhr() {
    if (!zustandJetzt) return;
    var jetzt = performance.now();
    zeichneZeile(0, zustandJetzt, jetzt);
    zeichneZeile(1, zustandJetzt, jetzt);
  }

  // Misst die Umlaufzeit und holt den Stand frisch (beim Verbinden und wenn die Seite wieder sichtbar wird).
  function miss() {
    if (seite !== 'uhr' || !window.fetch) return;
    var t0 = performance.now();
    fetch('/api/state.json', { cache: 'no-store' }).then(function (antwort) {
      return antwort.json();
    }).then(function (s) {
      var t1 = performance.now();
      latenz = Math.min(Math.max((t1 - t0) / 2, 0), 500);
      zustand(s, t1);
    }).catch(function () {});
  }

  // ---- Push-Kanal ----
  function spaeter() {
    clearTimeout(wiederTimer);
    wiederTimer = setTimeout(verbinde, wartezeit);
    wartezeit = Math.min(wartezeit * 2, 10000);
  }

  function verbinde() {
    clearTimeout(wiederTimer);
    if (quelle) quelle.close();
    letzteNachricht = Date.now();
    quelle = new EventSource('/api/events');
    quelle.addEventListener('open', function () {
      zeigeVerbindung(true);
      wartezeit = 1000;
      letzteNachricht = Date.now();
      miss();
    });
    quelle.addEventListener('error', function () {
      zeigeVerbindung(false);
      // Nach einer Absage (etwa 503) versucht der Browser es nicht mehr selbst.
      if (quelle && quelle.readyState === EventSource.CLOSED) spaeter();
    });
    quelle.addEventListener('results', function (e) {
      letzteNachricht = Date.now();
      zeigeVerbindung(true);
      ergebnisse(JSON.parse(e.data));
    });
    quelle.addEventListener('state', function (e) {
      letzteNachricht = Date.now();
      zeigeVerbindung(true);
      zustand(JSON.parse(e.data), performance.now());
    });
    quelle.addEventListener('ping', function () { letzteNachricht = Date.now(); });
  }

  // Eine Verbindung, die länger als zwei Lebenszeichen schweigt, ist tot (schlafendes Handy, WLAN weg).
  setInterval(function () {
    if (quelle && Date.now() - letzteNachricht > 25000) {
      zeigeVerbindung(false);
      verbinde();
    }
  }, 5000);
  document.addEventListener('visibilitychange', function () {
    if (!document.hidden) miss();
  });

  if (seite === 'uhr') {
    baueUhr();
    setInterval(zeichneUhr, 50);
  }
  if (seite === 'top10') {
    passeEin();
    window.addEventListener('resize', passeEin);
    window.addEventListener('load', passeEin);
    // Mit der endgültigen Schrift noch einmal messen.
    if (document.fonts && document.fonts.ready) document.fonts.ready.then(passeEin);
  }
  if (window.EventSource) verbinde();
})();
