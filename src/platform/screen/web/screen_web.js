// The web screen's side in the page (screen_web.cpp calls these): the canvas
// placed as a window or filling the page, drawing, waiting for an animation
// frame, the Yes/No question, the screen wake lock and the cursor. The page
// itself is screen_web.html.
mergeInto(LibraryManager.library, {
  $screenWeb: {
    canvas: null,
    context: null,
    fullscreen: null,  // [width, height] of the full-screen mode, or null
    image: null,       // the last frame's ImageData, over the program's memory at imageAt
    imageAt: 0,
    drawnAt: null,     // [x, y, width, height] of the image the canvas holds, or null
    drawnFrame: false, // an image was put since the last animation frame began
    drawnWake: null,   // a program waiting for that animation frame
    wakeLock: null,
    wakeWanted: false,

    // A full-screen mode fills the page with its aspect kept: by a whole factor
    // where one fits, sharp pixels, centred on black.
    place: function() {
      var s = screenWeb;
      if (!s.fullscreen) return;
      var w = s.fullscreen[0], h = s.fullscreen[1];
      var scale = Math.min(window.innerWidth / w, window.innerHeight / h);
      if (scale >= 1) scale = Math.floor(scale);
      s.canvas.style.width = w * scale + 'px';
      s.canvas.style.height = h * scale + 'px';
      s.canvas.style.left = Math.floor((window.innerWidth - w * scale) / 2) + 'px';
      s.canvas.style.top = Math.floor((window.innerHeight - h * scale) / 2) + 'px';
    },

    // The canvas at its size; a canvas resized loses its pixels, so only then.
    resize: function(width, height) {
      var c = screenWeb.canvas;
      if (c.width !== width || c.height !== height) {
        c.width = width;
        c.height = height;
      }
      screenWeb.context.fillStyle = '#000';
      screenWeb.context.fillRect(0, 0, width, height);
      screenWeb.drawnAt = null;
    },
  },

  screen_web_open__deps: ['$screenWeb'],
  screen_web_open: function(width, height) {
    var s = screenWeb;
    s.canvas = document.getElementById('screen');
    if (!s.canvas) return;
    s.context = s.canvas.getContext('2d', {alpha: false});
    s.canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    // A canvas whose context the browser took back comes back blank.
    s.canvas.addEventListener('contextrestored', function() { s.drawnAt = null; });
    document.getElementById('caption-close').addEventListener('click', function() {
      Module['_screen_web_close_request']();
    });
    window.addEventListener('resize', s.place);
    // Scripts ask for the program's end as a person does with the close box.
    window['program']['requestClose'] = function() { Module['_screen_web_close_request'](); };
    HEAP32[width >> 2] = window.innerWidth;
    HEAP32[height >> 2] = window.innerHeight;
  },

  screen_web_window__deps: ['$screenWeb'],
  screen_web_window: function(title, x, y, width, height, shown) {
    var s = screenWeb, caption = document.getElementById('caption');
    s.fullscreen = null;
    document.title = UTF8ToString(title);
    document.getElementById('caption-title').textContent = document.title;
    if (!shown) {
      s.canvas.style.display = 'none';
      caption.style.display = 'none';
      return;
    }
    if (s.canvas.width !== width || s.canvas.height !== height || s.canvas.style.display === 'none') s.resize(width, height);
    s.canvas.style.width = width + 'px';
    s.canvas.style.height = height + 'px';
    s.canvas.style.left = x + 'px';
    s.canvas.style.top = y + 'px';
    s.canvas.style.display = 'block';
    // The caption with its close box sits above the client area, as a frame's.
    caption.style.left = x + 'px';
    caption.style.width = width + 'px';
    caption.style.display = 'flex';
    caption.style.top = (y - caption.offsetHeight) + 'px';
  },

  screen_web_fullscreen__deps: ['$screenWeb'],
  screen_web_fullscreen: function(title, width, height) {
    var s = screenWeb;
    document.title = UTF8ToString(title);
    document.getElementById('caption').style.display = 'none';
    s.fullscreen = [width, height];
    s.resize(width, height);
    s.canvas.style.display = 'block';
    s.place();
  },

  screen_web_draw__deps: ['$screenWeb'],
  screen_web_draw: function(rgba, x, y, width, height, changedTop, changedBottom) {
    var s = screenWeb, c = s.canvas;
    var program = window['program'];
    if (program['frames'] === 0) program['firstFrameMs'] = performance.now();
    program['frames']++;
    // One ImageData over the program's memory while the pixels stay where they
    // are; made again when they move or the memory grows (a new buffer).
    var image = s.image;
    if (!image || s.imageAt !== rgba || image.width !== width || image.height !== height ||
        image.data.buffer !== HEAPU8.buffer) {
      image = s.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
      s.imageAt = rgba;
    }
    // Where the canvas holds the last image at this place, only the rows that
    // changed are put, and none when none did; else all of it, on black.
    var at = s.drawnAt;
    if (at && at[0] === x && at[1] === y && at[2] === width && at[3] === height) {
      if (changedTop < changedBottom)
        s.context.putImageData(image, x, y, 0, changedTop, width, changedBottom - changedTop);
    } else {
      if (x > 0 || y > 0 || width < c.width || height < c.height) {
        s.context.fillStyle = '#000';
        s.context.fillRect(0, 0, c.width, c.height);
      }
      s.context.putImageData(image, x, y);
      s.drawnAt = [x, y, width, height];
    }
    if (!s.drawnFrame) {
      s.drawnFrame = true;
      requestAnimationFrame(function() {
        s.drawnFrame = false;
        var wake = s.drawnWake;
        s.drawnWake = null;
        if (wake) wake();
      });
    }
  },

  // Returns once no image has been put in the current animation frame: at
  // once if none has, else at the next one. A program late for a frame so
  // loses no time; one ahead of the page is held to a frame an image.
  screen_web_wait_until_drawn__deps: ['$screenWeb', '$Asyncify'],
  screen_web_wait_until_drawn: function() {
    var s = screenWeb;
    // Asyncify calls this again as it resumes the program, to take the value.
    if (!s.drawnFrame && Asyncify.state !== Asyncify.State.Rewinding) return 0;
    return Asyncify.handleSleep(function(wakeUp) {
      s.drawnWake = function() { wakeUp(1); };
    });
  },

  screen_web_clear__deps: ['$screenWeb'],
  screen_web_clear: function() {
    var s = screenWeb;
    if (s.context) s.context.clearRect(0, 0, s.canvas.width, s.canvas.height);
    s.drawnAt = null;
  },

  // Returns at the page's next animation frame; the browser runs meanwhile. A
  // hidden page has none, so a program there waits until it is shown again.
  screen_web_wait_for_frame__deps: ['$Asyncify'],
  screen_web_wait_for_frame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      requestAnimationFrame(function() { wakeUp(); });
    });
  },

  // The Yes/No box: IDYES (6) or IDNO (7), once a button is clicked. Yes has the
  // focus, so Return answers it; Escape does nothing.
  screen_web_ask__deps: ['$Asyncify'],
  screen_web_ask: function(text, caption) {
    var box = document.getElementById('question');
    box.querySelector('.caption').textContent = UTF8ToString(caption);
    box.querySelector('.text').textContent = UTF8ToString(text);
    return Asyncify.handleSleep(function(wakeUp) {
      var yes = box.querySelector('.yes'), no = box.querySelector('.no');
      var answer = function(value) {
        yes.onclick = no.onclick = null;
        box.hidden = true;
        wakeUp(value);
      };
      yes.onclick = function() { answer(6); };
      no.onclick = function() { answer(7); };
      box.hidden = false;
      yes.focus();
    });
  },

  // The screen saver kept off is the page's screen wake lock, where the browser grants it.
  screen_web_wake_lock__deps: ['$screenWeb'],
  screen_web_wake_lock: function(hold) {
    var s = screenWeb;
    s.wakeWanted = !!hold;
    if (!navigator.wakeLock) return;
    if (hold && !s.wakeLock) {
      navigator.wakeLock.request('screen').then(function(lock) {
        if (s.wakeWanted) s.wakeLock = lock; else lock.release();
      }, function() {});
    } else if (!hold && s.wakeLock) {
      s.wakeLock.release();
      s.wakeLock = null;
    }
  },

  // The canvas's place and size on the page, in CSS pixels.
  screen_web_canvas_place__deps: ['$screenWeb'],
  screen_web_canvas_place: function(left, top, width, height) {
    var r = screenWeb.canvas.getBoundingClientRect();
    HEAPF64[left >> 3] = r.left;
    HEAPF64[top >> 3] = r.top;
    HEAPF64[width >> 3] = r.width;
    HEAPF64[height >> 3] = r.height;
  },

  screen_web_cursor__deps: ['$screenWeb'],
  screen_web_cursor: function(visible) {
    if (screenWeb.canvas) screenWeb.canvas.style.cursor = visible ? 'default' : 'none';
  },

  // The canvas's pixels as 0x00RRGGBB, for tests.
  screen_web_read_back__deps: ['$screenWeb'],
  screen_web_read_back: function(pixels, capacity, width, height) {
    var s = screenWeb, c = s.canvas;
    if (!c || c.style.display === 'none' || c.width * c.height > capacity) return 0;
    var data = s.context.getImageData(0, 0, c.width, c.height).data;
    for (var i = 0; i < c.width * c.height; ++i)
      HEAPU32[(pixels >> 2) + i] = data[4 * i] << 16 | data[4 * i + 1] << 8 | data[4 * i + 2];
    HEAP32[width >> 2] = c.width;
    HEAP32[height >> 2] = c.height;
    return 1;
  },
});
